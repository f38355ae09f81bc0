// SmtpSender: sends messages through the account's SMTP server with libcurl: TLS or STARTTLS with
// the server's certificate checked, authentication when the account has a user, and timeouts, so
// that a silent server ends in an error. Failures raise AppError with an Italian description of
// what happened, quoting the server's reply when it refused; a refused authentication is "Accesso
// fallito". A line break in the account is refused before any connection.
#pragma once

#include "platform/MailAccount.h"
#include "platform/MailMessage.h"

class SmtpSender {
  public:
    explicit SmtpSender(MailAccount account);

    // Connects and authenticates without sending anything.
    void CheckSignOn();
    // Sends one message; a malformed or empty recipient address is refused before any connection.
    void Send(const MailMessage& message);

  private:
    MailAccount account_;
};
