// SmtpTestSink: an SMTP server on loopback for tests that delivers into a TestMailbox. It offers
// AUTH PLAIN and LOGIN; it can refuse every authentication (535) or some recipients (550), or
// take the connection and say nothing at all.
#pragma once

#include <QByteArray>
#include <QSet>

#include <atomic>
#include <mutex>

#include "support/LoopbackServer.h"
#include "support/TestMailbox.h"

class SmtpTestSink : public LoopbackServer {
  public:
    explicit SmtpTestSink(TestMailbox& mailbox, int port = 0);
    ~SmtpTestSink() override;

    // With a user set, authentication is required and must match.
    void requireLogin(const QByteArray& user, const QByteArray& password);
    void refuseAuthentication(bool refuse) { refuseAuth_ = refuse; }
    void refuseRecipient(const QByteArray& address);
    void setSilent(bool silent) { silent_ = silent; }

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
    std::atomic<bool> refuseAuth_{false};
    std::atomic<bool> silent_{false};
    std::atomic<int> authentications_{0};
    std::atomic<int> transactions_{0};
};
