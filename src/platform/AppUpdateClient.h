// AppUpdateClient: the update server's client over HTTP or HTTPS. The server's update script
// answers a GET with the query App (the application name), Ver (the version text of the running
// program, "0002_0002_0049") and, to download, Get=1:
//   - without Get: one line "version text,size in bytes,date,file name on the server" describing
//     the newest package above that version, or an empty body when there is none;
//   - with Get=1: the bytes of that package.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class AppUpdateClient {
  public:
    // Bytes received and expected (-1 when unknown); false stops the transfer.
    using Progress = std::function<bool(int64_t received, int64_t total)>;

    // With an empty `localFile`, asks `scriptUrl` for a package newer than the version and returns
    // the server's line (empty when none). With a local file, downloads the package into it; the
    // file appears only once complete, and the reply is empty. Raises the program's error when the
    // server cannot be reached, answers with an error or the transfer is stopped.
    QString GetAppUpdateFile(const QString& scriptUrl, const QString& applicationName, int major, int minor,
                             int revision, const QString& localFile, const Progress& progress = {});

    // How long a transfer may stay silent before it is given up.
    void SetTransferTimeout(int milliseconds) { timeoutMs_ = milliseconds; }

  private:
    int timeoutMs_ = 30000;
};
