// HostileImapServer: an IMAP server on loopback that misbehaves on purpose, for the client's bounds:
// it drips its greeting a byte at a time, sends a greeting or a search reply that never ends, or
// endless lines after the login; politely, it accepts any login and finds nothing; it can also
// hang up at once without a word (any protocol), or find 200 messages, serve the first batch of
// their headers and then hang up, flood or drip. It keeps every line it is sent and counts the
// bytes it managed to send. A client without bounds would read forever: the server gives up by
// itself after kGiveUpBytes bytes or kGiveUpMs milliseconds and closes.
#pragma once

#include <QByteArray>
#include <QList>

#include <atomic>
#include <mutex>

#include "support/LoopbackServer.h"

class HostileImapServer : public LoopbackServer {
  public:
    enum class Mode {
        Polite,
        HangUp,
        DripGreeting,
        EndlessGreeting,
        EndlessLines,
        EndlessSearch,
        BatchThenHangUp,
        BatchThenEndless,
        BatchThenDrip
    };
    // The messages found in the BatchThen modes, UIDs 1 to kFound.
    static constexpr int kFound = 200;

    static constexpr qint64 kGiveUpBytes = 256LL * 1024 * 1024;
    static constexpr int kGiveUpMs = 30000;

    explicit HostileImapServer(Mode mode, int dripMs = 200);
    ~HostileImapServer() override;

    // The lines received, without their line ends.
    QList<QByteArray> received() const;
    // Ends every connection and gives the bytes sent in all: final once the server stopped.
    qint64 finish();

  protected:
    void serve(Connection& client) override;

  private:
    // Sends `unit` again and again, until the client goes or the server gives up.
    void flood(Connection& client, const QByteArray& unit);
    // Sends `opening`, then 'x', a byte every dripMs_.
    void drip(Connection& client, const QByteArray& opening);
    // The FETCH answer for the UIDs of `set`: each message's date and subject.
    static QByteArray headersOf(const QByteArray& set);
    Mode mode_;
    int dripMs_;
    mutable std::mutex mutex_;
    QList<QByteArray> received_;
    std::atomic<qint64> sent_{0};
};
