// The mail service over SMTP and IMAP.
#include "platform/MailService.h"

#include "platform/MailErrors.h"
#include "platform/SmtpSender.h"

MailService::MailService() : MailService(MailAccount::Load()) {}

MailService::MailService(MailAccount account) : account_(std::move(account)) {}

MailService::~MailService() {
    SignOff();
}

void MailService::SignOn(Purpose purpose) {
    SignOff();
    if (purpose == Purpose::Sending) {
        auto smtp = std::make_unique<SmtpSender>(account_);
        smtp->CheckSignOn();
        smtp_ = std::move(smtp);
    } else {
        auto imap = std::make_unique<ImapInbox>(account_);
        imap->SignOn();
        imap_ = std::move(imap);
    }
    signedOn_ = true;
}

void MailService::requireSignOn() const {
    if (!signedOn_) MailFail(QStringLiteral("Sessione di posta non aperta."));
}

void MailService::Send(const MailMessage& message) {
    requireSignOn();
    if (!smtp_) MailFail(QStringLiteral("Sessione di posta non aperta per l'invio."));
    smtp_->Send(message);
}

std::vector<ReceivedMail> MailService::ListInbox(const QString& subjectPrefix, int limit,
                                                 const std::function<void(const ReceivedMail&)>& each) {
    requireSignOn();
    if (!imap_) MailFail(QStringLiteral("Sessione di posta non aperta per la lettura."));
    return imap_->List(subjectPrefix, limit, each);
}

void MailService::SignOff() {
    if (imap_) imap_->SignOff();
    imap_.reset();
    smtp_.reset();
    signedOn_ = false;
}
