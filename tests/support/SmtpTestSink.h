// SmtpTestSink: an SMTP server on loopback for tests that delivers into a TestMailbox. It offers
// AUTH PLAIN and LOGIN; it can refuse every authentication (535) or some recipients (550), take
// the connection and say nothing at all, or misbehave in one of the ways of Fault.
#pragma once

#include <QByteArray>
#include <QSet>

#include <atomic>
#include <mutex>

#include "support/LoopbackServer.h"
#include "support/TestMailbox.h"

class SmtpTestSink : public LoopbackServer {
  public:
    // A greeting that never ends, reply lines to EHLO that never end, or a reply to AUTH that never
    // ends; each given up after kGiveUpBytes or kGiveUpMs.
    enum class Fault { None, EndlessGreeting, EndlessLines, EndlessAuthReply };
    static constexpr qint64 kGiveUpBytes = 256LL * 1024 * 1024;
    static constexpr int kGiveUpMs = 30000;

    explicit SmtpTestSink(TestMailbox& mailbox, int port = 0);
    ~SmtpTestSink() override;

    // With a user set, authentication is required and must match.
    void requireLogin(const QByteArray& user, const QByteArray& password);
    void refuseAuthentication(bool refuse) { refuseAuth_ = refuse; }
    void refuseRecipient(const QByteArray& address);
    void setSilent(bool silent) { silent_ = silent; }
    void setFault(Fault fault) { fault_ = fault; }
    // Offers STARTTLS, answers it with `reply` as it is, and then says nothing.
    void answerStartTls(const QByteArray& reply);

    int authentications() const { return authentications_; }
    // MAIL FROM commands received (a message begun).
    int transactions() const { return transactions_; }

  protected:
    void serve(Connection& client) override;

  private:
    bool authenticate(Connection& client, const QByteArray& argument);
    TestMailbox& mailbox_;
    mutable std::mutex mutex_;
    QByteArray user_, password_;
    QSet<QByteArray> refused_;
    QByteArray startTlsAnswer_;
    std::atomic<bool> refuseAuth_{false};
    std::atomic<bool> silent_{false};
    std::atomic<Fault> fault_{Fault::None};
    std::atomic<int> authentications_{0};
    std::atomic<int> transactions_{0};
};
