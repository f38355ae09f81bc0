// The errors of the mail transport: one number and source, Italian descriptions.
#pragma once

#include <QString>

// Raises the transport's error with `description`.
[[noreturn]] void MailFail(const QString& description);
// The description of a refused sign-on: also that of an absent account.
QString MailLoginFailed();
// `what`, then the server's reply on a line of its own.
QString MailWithReply(const QString& what, const QString& reply);
// "host:port", an IPv6 address in brackets.
QString MailHostPort(const QString& host, int port);
