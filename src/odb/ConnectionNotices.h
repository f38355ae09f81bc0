// ConnectionNotices: tells whoever holds data read through a connection that the connection is
// about to close, so that windows and other holders let their data sets go while they still can.
#pragma once

#include <QObject>

namespace odb {

class Connection;

class ConnectionNotices : public QObject {
    Q_OBJECT
  public:
    // The one notifier of the process (never destroyed: connections may close at exit).
    static ConnectionNotices& instance();

  signals:
    // Raised by CloseConnection on an open connection, before anything is closed.
    void closing(const odb::Connection* connection);
};

}  // namespace odb
