// The errors of the mail transport: one number and source, Italian descriptions that say what
// happened and quote the server only when it answered.
#pragma once

#include <QString>

class AppError;

// Raises the transport's error with `description`.
[[noreturn]] void MailFail(const QString& description);
// Raises the error of an exchange stopped because the program is ending; MailStopped tells it.
[[noreturn]] void MailFailStopped();
bool MailStopped(const AppError& e);
// The description of a refused sign-on: also that of an absent account.
QString MailLoginFailed();
// `what`, then the server's reply on a line of its own.
QString MailWithReply(const QString& what, const QString& reply);
// "host:port", an IPv6 address in brackets.
QString MailHostPort(const QString& host, int port);

// What happened with the server at `where` ("host:port"), told alike by sending and listing.
QString MailNoConnection(const QString& where);
QString MailSilent(const QString& where);
QString MailHungUp(const QString& where);
QString MailLate(const QString& where, int seconds);
// `bytes` in whole megabytes, or else in kilobytes.
QString MailTooLong(const QString& where, qint64 bytes);
QString MailProtectionFailed(const QString& where);
// STARTTLS agreed to, and then something other than the protected connection.
QString MailUnexpectedStartTlsAnswer();

// Why a server's certificate was refused.
enum class MailCertificateFault {
    SelfSigned,
    UnknownIssuer,
    Expired,
    NotYetValid,
    WrongName,
    Revoked,
    Other
};
QString MailCertificateRefused(const QString& where, MailCertificateFault fault);
