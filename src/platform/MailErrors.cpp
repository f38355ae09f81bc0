// The errors of the mail transport.
#include "platform/MailErrors.h"

#include "base/AppError.h"

void MailFail(const QString& description) {
    throw AppError(vbObjectError + 1, QStringLiteral("Mail"), description);
}

namespace {
// Never shown: the program is ending.
constexpr int32_t kStopped = vbObjectError + 2;
}  // namespace

void MailFailStopped() {
    throw AppError(kStopped, QStringLiteral("Mail"),
                   QStringLiteral("Scambio con il server di posta interrotto: il programma si chiude."));
}

bool MailStopped(const AppError& e) {
    return e.number() == kStopped;
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

QString MailNoConnection(const QString& where) {
    return QStringLiteral("Impossibile collegarsi al server di posta ") + where + QLatin1Char('.');
}

QString MailSilent(const QString& where) {
    return QStringLiteral("Il server di posta ") + where + QStringLiteral(" non risponde.");
}

QString MailHungUp(const QString& where) {
    return QStringLiteral("Il server di posta ") + where +
           QStringLiteral(" ha chiuso la connessione senza rispondere.");
}

QString MailLate(const QString& where, int seconds) {
    return QStringLiteral("Il server di posta %1 non ha completato la risposta entro %2 secondi.")
        .arg(where)
        .arg(seconds);
}

QString MailTooLong(const QString& where, qint64 bytes) {
    constexpr qint64 kMegabyte = 1024 * 1024;
    const QString size = bytes % kMegabyte == 0 ? QString::number(bytes / kMegabyte) + QStringLiteral(" MB")
                                                : QString::number(bytes / 1024) + QStringLiteral(" KB");
    return QStringLiteral("La risposta del server di posta %1 supera i %2.").arg(where, size);
}

QString MailProtectionFailed(const QString& where) {
    return QStringLiteral("Connessione protetta con il server di posta ") + where +
           QStringLiteral(" non riuscita.");
}

QString MailUnexpectedStartTlsAnswer() {
    return QStringLiteral("Risposta inattesa del server di posta a STARTTLS.");
}

QString MailCertificateRefused(const QString& where, MailCertificateFault fault) {
    QString why;
    switch (fault) {
        case MailCertificateFault::SelfSigned:
            why = QStringLiteral("certificato autofirmato");
            break;
        case MailCertificateFault::UnknownIssuer:
            why = QStringLiteral("emesso da un'autorità non riconosciuta");
            break;
        case MailCertificateFault::Expired:
            why = QStringLiteral("certificato scaduto");
            break;
        case MailCertificateFault::NotYetValid:
            why = QStringLiteral("certificato non ancora valido");
            break;
        case MailCertificateFault::WrongName:
            why = QStringLiteral("intestato a un altro server");
            break;
        case MailCertificateFault::Revoked:
            why = QStringLiteral("certificato revocato");
            break;
        case MailCertificateFault::Other:
            why = QStringLiteral("certificato non attendibile");
            break;
    }
    return QStringLiteral("Il certificato del server di posta ") + where + QStringLiteral(" non è valido (") +
           why + QStringLiteral(").");
}
