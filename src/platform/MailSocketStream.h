// MailSocketStream: a connection to a mail server on a QSslSocket, handed to libetpan as its
// stream: TLS from the start or after STARTTLS, the server's certificate and name checked by Qt,
// every wait bounded by a timeout so that a silent server ends in an error.
#pragma once

#include <QString>

#include <memory>

class QSslSocket;
struct _mailstream;

class MailSocketStream {
  public:
    MailSocketStream(QString host, int port, int timeoutMs);
    ~MailSocketStream();
    MailSocketStream(const MailSocketStream&) = delete;
    MailSocketStream& operator=(const MailSocketStream&) = delete;

    // Connects, with TLS from the start when `tls`; raises the transport's error on failure.
    void Connect(bool tls);
    // Turns the open connection into a TLS one (after the server agreed to STARTTLS).
    void StartTls();
    // A libetpan stream over this connection; libetpan owns it (closing it ends the connection),
    // this object must outlive it.
    _mailstream* NewStream();
    // True once a wait for the server ran out.
    bool TimedOut() const { return timedOut_; }
    QString Where() const;

  private:
    struct Driver;
    [[noreturn]] void failTls();
    QString host_;
    int port_;
    int timeoutMs_;
    bool timedOut_ = false;
    std::unique_ptr<QSslSocket> socket_;
};
