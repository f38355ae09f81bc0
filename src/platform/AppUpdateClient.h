// AppUpdateClient: the update server's client over HTTP or HTTPS. The server's update script
// answers a GET with the query App (the application name), Ver (the version text of the running
// program, "0002_0002_0049") and, to download, Get=1:
//   - without Get: one line "version text,size in bytes,date,file name on the server" describing
//     the newest package above that version, or an empty body when there is none;
//   - with Get=1: the bytes of that package.
// Every exchange is bounded: the server's headers (16 KB), the line (4 KB), a download (the size
// the line announced) and the time the whole exchange may take, however slowly the bytes come.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class AppUpdateClient {
  public:
    // Bytes received and expected (-1 when unknown); false stops the transfer.
    using Progress = std::function<bool(int64_t received, int64_t total)>;

    static constexpr int64_t kMaxHeaderBytes = 16 * 1024;
    static constexpr int64_t kMaxLineBytes = 4 * 1024;

    // With an empty `localFile`, asks `scriptUrl` for a package newer than the version and returns
    // the server's line (empty when none). With a local file, downloads the package into it: the
    // file appears only once complete, and a package larger than `expectedSize` (when not
    // negative) is refused the moment it passes it. Raises the program's error, in Italian, when
    // the server cannot be reached, answers with an error or too much, the deadline passes or the
    // transfer is stopped; nothing is left behind then. The window keeps working meanwhile.
    QString GetAppUpdateFile(const QString& scriptUrl, const QString& applicationName, int major, int minor,
                             int revision, const QString& localFile, const Progress& progress = {},
                             int64_t expectedSize = -1);

    // The time a whole exchange may take; a download gets besides one second for every 16 KB it
    // is announced to hold, an hour at most.
    void SetDeadline(int milliseconds) { deadlineMs_ = milliseconds; }
    int DeadlineFor(int64_t expectedSize) const;

  private:
    int deadlineMs_ = 30000;
};
