// Opening, creating and testing the one shared database of the run.
#pragma once

#include <QString>

#include <functional>

class QObject;

// Opens (first creating when missing) "ZeltoLavrix.mdb" in the work folder with the main window as
// event sink and the message window as progress sink. False when it failed (after its message)
// or when the options dialog shown for a missing file was not confirmed.
bool OpenDatabase();
// The connection and the database both exist and the database is open.
bool IsDatabaseOpen();
// The software-update check that runs before the file is opened, when the work folder is set.
void SetStartupUpdateCheck(std::function<void(const QString& rootDir)> check);
// Runs `released` each time the shared database is about to be let go, while it is still open,
// for as long as `context` lives: windows and timers drop what they read through it.
void OnDatabaseRelease(QObject* context, std::function<void()> released);
