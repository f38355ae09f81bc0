// ImapInbox: reads the account's inbox over IMAP with libetpan, without changing it: EXAMINE (read
// only), one SEARCH for the subject, then the received date and the subject of the matches,
// newest first, fetched with BODY.PEEK in batches until the list is full. The exchange runs on a
// thread of its own while the calling thread's window events flow, and ends by one deadline from
// the sign-on to the sign-off (MailAccount::DeadlineSeconds), or at once when the program is told
// to end (MailStopped).
#pragma once

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "platform/MailAccount.h"
#include "platform/MailSocketStream.h"

class AsideThread;
struct mailimap;

struct ReceivedMail {
    QDateTime received;  // the server's INTERNALDATE, in local time
    QString subject;     // decoded
};

class ImapInbox {
  public:
    explicit ImapInbox(MailAccount account);
    ~ImapInbox();
    ImapInbox(const ImapInbox&) = delete;
    ImapInbox& operator=(const ImapInbox&) = delete;

    // Connects, logs in and opens the inbox read-only. No account, or a refused login, raises
    // "Accesso fallito"; a line break in the account is refused before any connection.
    void SignOn();
    bool SignedOn() const { return imap_ != nullptr; }
    // The messages whose decoded subject begins with `prefix` (exactly), newest first, at most
    // `limit`; `each`, when given, hears every one on this thread once the exchange is over, also
    // those read before a failure, but none after a breach of the deadline or of the bound.
    std::vector<ReceivedMail> List(const QString& prefix, int limit,
                                   const std::function<void(const ReceivedMail&)>& each = {});
    // Logs out; errors are ignored.
    void SignOff();

    // Headers fetched per request.
    static constexpr int kBatch = 100;

  private:
    [[noreturn]] void fail(const QString& what, int code);
    void drop();
    // What the exchange's thread is given to stop it when the program is told to end.
    std::function<void()> stopping();
    void signOnSteps();
    void listSteps(const QString& prefix, int limit, std::vector<ReceivedMail>& list);
    MailAccount account_;
    // Once stopped, every later exchange fails at once.
    MailSocketStream::Switch stop_;
    // The thread of the exchange: the connection and the session live on it.
    std::unique_ptr<AsideThread> thread_;
    std::unique_ptr<MailSocketStream> connection_;
    mailimap* imap_ = nullptr;
    // The last failure was the stream's deadline or bound.
    bool breached_ = false;
};

// A Subject header field ("Subject: ..." with its folded lines) decoded to text.
QString DecodeSubjectField(const QByteArray& field);
