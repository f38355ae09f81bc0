// MailSocketStream: a connection to a mail server on a QSslSocket, handed to libetpan as its
// stream: TLS from the start or after STARTTLS, the server's certificate and name checked by Qt.
// Every wait is bounded by a timeout, the whole exchange by a deadline however slowly the server
// drips its bytes, and the bytes of one response (all that comes between two commands) by a
// bound, so that a silent, slow or endless server ends in an error before its bytes reach the
// parser. The stream is used on one thread, the one that created it; its switch stops it from
// any other, in every phase: a server's name is looked up on a thread of its own, whose answer is
// not waited for once stopped, and the socket is the switch's from its first connecting.
#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

class QSslSocket;
struct _mailstream;

class MailSocketStream {
  public:
    // The bytes one response may hold: far beyond the subjects and dates of a few hundred messages.
    static constexpr qint64 kMaxResponseBytes = 4 * 1024 * 1024;

    // Stops the connections that watch it, from any thread: their waits end at once, and they fail
    // with MailFailStopped from then on.
    class Switch {
      public:
        Switch() = default;
        ~Switch();
        Switch(const Switch&) = delete;
        Switch& operator=(const Switch&) = delete;
        void Stop();
        bool Stopped() const;

      private:
        friend class MailSocketStream;
        // Watches `descriptor` in place of the one watched before.
        void watch(int descriptor);
        void unwatch();
        // `wake` is called by the Stop, at once when stopped already; an empty one is forgotten.
        void wakeOnStop(std::function<void()> wake);
        mutable std::mutex mutex_;
        bool stopped_ = false;
        // A duplicate of the watched connection's descriptor: shutting it wakes every wait on the
        // connection, and being ours it is never closed and reused under a Stop.
        int watched_ = -1;
        std::function<void()> wake_;
    };

    // Finds the addresses of a server's name (in ASCII form), on a thread of its own; none when
    // the name is unknown.
    using HostLookup = std::function<QList<QHostAddress>(const QByteArray& name)>;
    // Replaces the lookup (tests); returns the one in use before.
    static HostLookup SetHostLookup(HostLookup lookup);

    // The deadline runs from now.
    MailSocketStream(QString host, int port, int timeoutMs, int deadlineSeconds, Switch* stop = nullptr);
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
    // Why the stream cut the exchange (silence, deadline, bound), in the user's words; empty while
    // it did not.
    QString CutText() const;
    // True once the exchange was cut by its deadline or by the bound on a response.
    bool Breached() const { return cut_ == Cut::Late || cut_ == Cut::TooLong; }
    // True once the server sent anything.
    bool Answered() const { return answered_; }
    QString Where() const;
    bool Stopped() const { return stop_ && stop_->Stopped(); }

  private:
    struct Driver;
    enum class Cut { None, Silent, Late, TooLong };
    // The wait allowed now: the timeout, or less when the deadline is nearer; 0 past it.
    int waitLimit() const;
    // After a wait of `limit` ran out: the deadline's or the server's silence.
    Cut timeoutCut(int limit) const;
    [[noreturn]] void failTls(int limit);
    // The server's addresses, found by `end`.
    QList<QHostAddress> addresses(std::chrono::steady_clock::time_point end, int limit);
    // Connects the socket to `address` by `end`: 0, or why not (ETIMEDOUT once `end` passed).
    int connectTo(const QHostAddress& address, std::chrono::steady_clock::time_point end);
    QString host_;
    int port_;
    int timeoutMs_;
    int deadlineSeconds_;
    std::chrono::steady_clock::time_point deadline_;
    Cut cut_ = Cut::None;
    qint64 received_ = 0;  // bytes of the response being read
    bool answered_ = false;
    Switch* stop_;
    std::unique_ptr<QSslSocket> socket_;
};
