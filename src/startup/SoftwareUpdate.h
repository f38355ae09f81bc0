// The software update: finding the newest update package in the work folder's "Updates" folder or
// on the update server, offering it, downloading and checking it, unpacking a cabinet and starting
// the package's start file, after which the program ends.
//
// Package kinds: a cabinet (".cab") is unpacked into the temporary folder + application name,
// keeping its stored paths, and its start file ("aggiorna.sh", "setup.sh", "setup.run",
// "install.run", letter case ignored) is started there; a shell script (".sh") or a self-contained
// executable (".run") is started directly. Any other kind is refused.
#pragma once

#include <QString>

#include <cstdint>

class AppUpdateClient;
namespace odb {
class itfProgress;
}

// Where CheckSoftwareUpdate looks for packages.
enum UpdateMode : int32_t { kUpdateLocalAndOnline = 0, kUpdateLocalOnly = 1, kUpdateOnlineOnly = 2 };

// A package as the descriptor names it.
struct UpdatePackage {
    int16_t major = 0, minor = 0, revision = 0;
    double date = 0;     // last change (local) or the server's date
    int32_t size = 0;    // bytes
    QString file;        // local: the path; online: the name on the server
    int16_t source = 0;  // 1 local, 2 online
};

// The version as package names carry it: "0002_0002_0049".
QString UpdateVersionText(int major, int minor, int revision);
// The update script's address: the base address of the setting "UpdateBaseURL" (section
// "Configuration"), or the built-in one, followed by "/GetAppUpdateFile.asp".
QString GetUpdateURL();
// The descriptor of the newest package above the version ("LC:" + local file name, "OL:" + the
// server's line), or empty. Never raises: a missing folder or an unreachable server finds nothing.
QString FindUpdatePackage(const QString& rootDir, const QString& applicationName, int major, int minor,
                          int revision, int32_t mode, AppUpdateClient* client, odb::itfProgress* progress);
// Reads a descriptor; raises "Errore nei dati di aggiornamento: " + descriptor when it is not one.
bool ParseUpdateDescriptor(const QString& rootDir, const QString& descriptor, const QString& applicationName,
                           UpdatePackage& package);
// The whole flow; True when an update was started (with `endAfterStart` the program then ends).
// The client may be absent (one of its own is used), and so may the progress sink.
bool CheckSoftwareUpdate(const QString& rootDir, const QString& applicationName, int major, int minor,
                         int revision, int32_t mode, AppUpdateClient* client, odb::itfProgress* progress,
                         bool noQuestion, bool endAfterStart);
// Hooks the start-up check (local packages only, no progress window) into the database opening.
void InstallStartupUpdateCheck();
