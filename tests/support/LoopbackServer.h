// LoopbackServer: a TCP server on 127.0.0.1 for tests, each connection served on a thread of its
// own by the subclass; lines and byte counts are read with the server's stop flag in view.
#pragma once

#include <QByteArray>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

class LoopbackServer {
  public:
    // One client connection.
    class Connection {
      public:
        Connection(int fd, const std::atomic<bool>& stopping) : fd_(fd), stopping_(stopping) {}
        // A line without its CRLF; false when the client left or the server stops.
        bool readLine(QByteArray& line);
        bool readBytes(qsizetype count, QByteArray& out);
        // False when the client left or the server stops before all of it went.
        bool send(const QByteArray& data);
        // Sends `unit` again and again until `bytes` went or `ms` passed, the client left or the
        // server stops; the bytes sent.
        qint64 flood(const QByteArray& unit, qint64 bytes, int ms);
        // Waits `ms` milliseconds; false when the server stops meanwhile.
        bool pause(int ms);
        // Waits until the client leaves or the server stops, answering nothing.
        void stayQuiet();

      private:
        bool fill();
        int fd_;
        const std::atomic<bool>& stopping_;
        QByteArray buffer_;
    };

    // Listens on `port` (0: a free one) and starts accepting.
    explicit LoopbackServer(int port = 0);
    virtual ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    int connections() const { return connections_; }

  protected:
    // Subclasses call this at the end of their destructor's work, before their members go.
    void stop();
    virtual void serve(Connection& client) = 0;

  private:
    void run();
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::thread acceptor_;
    std::mutex mutex_;
    std::vector<std::thread> clients_;
};
