// The mail account in the settings store.
#include "platform/MailAccount.h"

#include <QDir>
#include <QFile>

#include "platform/MailErrors.h"
#include "platform/SettingsStore.h"

namespace {

const QString kApp = QStringLiteral("Zelto Lavrix");
const QString kSection = QStringLiteral("MailAccount");

QString get(const QString& key, const QString& fallback = {}) {
    return GetSetting(kApp, kSection, key, fallback);
}

int number(const QString& key, int fallback, int low, int high) {
    bool ok = false;
    const int v = get(key).trimmed().toInt(&ok);
    return ok && v >= low && v <= high ? v : fallback;
}

}  // namespace

QString MailAccount::SecurityText(Security security) {
    switch (security) {
        case Security::None:
            return QStringLiteral("none");
        case Security::StartTls:
            return QStringLiteral("starttls");
        case Security::Tls:
            break;
    }
    return QStringLiteral("tls");
}

MailAccount::Security MailAccount::SecurityFromText(const QString& text, Security fallback) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("none")) return Security::None;
    if (t == QLatin1String("starttls")) return Security::StartTls;
    if (t == QLatin1String("tls")) return Security::Tls;
    return fallback;
}

MailAccount::Field MailAccount::FieldWithLineBreak() const {
    for (Field field : {&MailAccount::smtpServer, &MailAccount::imapServer, &MailAccount::user,
                        &MailAccount::password, &MailAccount::sender})
        if ((this->*field).contains(QLatin1Char('\r')) || (this->*field).contains(QLatin1Char('\n')))
            return field;
    return nullptr;
}

QString MailAccount::FieldName(Field field) {
    if (field == &MailAccount::smtpServer) return QStringLiteral("Server (SMTP)");
    if (field == &MailAccount::imapServer) return QStringLiteral("Server (IMAP)");
    if (field == &MailAccount::user) return QStringLiteral("Utente");
    if (field == &MailAccount::password) return QStringLiteral("Password");
    return QStringLiteral("Indirizzo del mittente");
}

void MailAccount::RequireSingleLines() const {
    if (const Field field = FieldWithLineBreak())
        MailFail(QStringLiteral("Account di posta non valido: il campo \"") + FieldName(field) +
                 QStringLiteral("\" non può contenere ritorni a capo."));
}

MailAccount MailAccount::Load() {
    MailAccount a;
    a.smtpServer = get(QStringLiteral("SmtpServer")).trimmed();
    a.smtpPort = number(QStringLiteral("SmtpPort"), a.smtpPort, 1, 65535);
    a.smtpSecurity = SecurityFromText(get(QStringLiteral("SmtpSecurity")), a.smtpSecurity);
    a.imapServer = get(QStringLiteral("ImapServer")).trimmed();
    a.imapPort = number(QStringLiteral("ImapPort"), a.imapPort, 1, 65535);
    a.imapSecurity = SecurityFromText(get(QStringLiteral("ImapSecurity")), a.imapSecurity);
    a.user = get(QStringLiteral("User"));
    a.password = get(QStringLiteral("Password"));
    a.sender = get(QStringLiteral("Sender")).trimmed();
    a.timeoutSeconds = number(QStringLiteral("Timeout"), a.timeoutSeconds, 1, 3600);
    return a;
}

void MailAccount::Save() const {
    // The file is closed to others before the password goes in.
    const QString file = QDir(SettingsFolder()).filePath(kApp + QStringLiteral(".ini"));
    QDir().mkpath(SettingsFolder());
    if (!QFile::exists(file)) {
        QFile f(file);
        if (f.open(QIODevice::WriteOnly)) f.close();
    }
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    SaveSetting(kApp, kSection, QStringLiteral("SmtpServer"), smtpServer.trimmed());
    SaveSetting(kApp, kSection, QStringLiteral("SmtpPort"), QString::number(smtpPort));
    SaveSetting(kApp, kSection, QStringLiteral("SmtpSecurity"), SecurityText(smtpSecurity));
    SaveSetting(kApp, kSection, QStringLiteral("ImapServer"), imapServer.trimmed());
    SaveSetting(kApp, kSection, QStringLiteral("ImapPort"), QString::number(imapPort));
    SaveSetting(kApp, kSection, QStringLiteral("ImapSecurity"), SecurityText(imapSecurity));
    SaveSetting(kApp, kSection, QStringLiteral("User"), user);
    SaveSetting(kApp, kSection, QStringLiteral("Password"), password);
    SaveSetting(kApp, kSection, QStringLiteral("Sender"), sender.trimmed());
}
