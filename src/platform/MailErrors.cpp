// The errors of the mail transport.
#include "platform/MailErrors.h"

#include "base/AppError.h"

void MailFail(const QString& description) {
    throw AppError(vbObjectError + 1, QStringLiteral("Mail"), description);
}

QString MailLoginFailed() {
    return QStringLiteral("Accesso fallito");
}

QString MailWithReply(const QString& what, const QString& reply) {
    return reply.isEmpty() ? what : what + QStringLiteral("\rRisposta del server: ") + reply;
}

QString MailHostPort(const QString& host, int port) {
    return (host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host) +
           QLatin1Char(':') + QString::number(port);
}
