// ImapTestServer: an IMAP server on loopback for tests, serving the INBOX of a TestMailbox: LOGIN,
// SELECT and EXAMINE, SEARCH on subjects and headers (as real servers do: decoded, ignoring case,
// anywhere in the text), FETCH of UID, INTERNALDATE, FLAGS and body sections (header fields sent as
// literals), STORE, LOGOUT. It counts the header sections it hands out and every flag it changes,
// and can take the connection and say nothing.
#pragma once

#include <QByteArray>

#include <atomic>
#include <mutex>

#include "support/LoopbackServer.h"
#include "support/TestMailbox.h"

class ImapTestServer : public LoopbackServer {
  public:
    explicit ImapTestServer(TestMailbox& mailbox, int port = 0);
    ~ImapTestServer() override;

    void requireLogin(const QByteArray& user, const QByteArray& password);
    void setSilent(bool silent) { silent_ = silent; }

    int headersServed() const { return headersServed_; }
    int flagChanges() const { return flagChanges_; }
    int searches() const { return searches_; }
    int fetchCommands() const { return fetchCommands_; }

  protected:
    void serve(Connection& client) override;

  private:
    struct Session;
    TestMailbox& mailbox_;
    std::mutex mutex_;
    QByteArray user_, password_;
    std::atomic<bool> silent_{false};
    std::atomic<int> headersServed_{0};
    std::atomic<int> flagChanges_{0};
    std::atomic<int> searches_{0};
    std::atomic<int> fetchCommands_{0};
};
