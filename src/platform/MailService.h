// MailService: the computer's mail, in place of the system's mail profile: sign-on, sending,
// listing the inbox and sign-off, on the account kept in the settings store. Sending goes
// through SMTP, the listing through IMAP, read only. Sign-on (connection and authentication)
// comes first; a refused authentication and an absent account both raise "Accesso fallito",
// other failures an Italian description of what happened, with the server's reply when it gave
// one (AppError, source "Mail").
#pragma once

#include <memory>
#include <vector>

#include "platform/ImapInbox.h"
#include "platform/MailAccount.h"
#include "platform/MailMessage.h"

class SmtpSender;

class MailService {
  public:
    enum class Purpose { Sending, Listing };

    // The account stored on this computer.
    MailService();
    explicit MailService(MailAccount account);
    ~MailService();
    MailService(const MailService&) = delete;
    MailService& operator=(const MailService&) = delete;

    void SignOn(Purpose purpose);
    // True between a successful sign-on and the sign-off.
    bool SignedOn() const { return signedOn_; }
    void Send(const MailMessage& message);
    // The received messages whose subject begins with `subjectPrefix`, newest first (see ImapInbox).
    std::vector<ReceivedMail> ListInbox(const QString& subjectPrefix, int limit,
                                        const std::function<void(const ReceivedMail&)>& each = {});
    void SignOff();

    const MailAccount& Account() const { return account_; }

  private:
    void requireSignOn() const;
    MailAccount account_;
    std::unique_ptr<SmtpSender> smtp_;
    std::unique_ptr<ImapInbox> imap_;
    bool signedOn_ = false;
};
