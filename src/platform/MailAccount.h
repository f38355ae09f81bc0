// MailAccount: the mail account of this computer, kept in the settings store's section
// "MailAccount": the SMTP server that sends and the IMAP server whose inbox is listed, their
// ports and security, the user, the password and the sender's address.
#pragma once

#include <QString>

#include <algorithm>

struct MailAccount {
    enum class Security { None, StartTls, Tls };

    QString smtpServer;
    int smtpPort = 587;
    Security smtpSecurity = Security::StartTls;
    // An empty IMAP server is the SMTP server.
    QString imapServer;
    int imapPort = 993;
    Security imapSecurity = Security::Tls;
    QString user;
    QString password;
    QString sender;
    // Seconds a connection or a silent server is waited for.
    int timeoutSeconds = 30;
    // Seconds a whole exchange may take, however the server drips its answers: four waits.
    int DeadlineSeconds() const { return 4 * std::max(1, timeoutSeconds); }

    bool IsEmpty() const { return smtpServer.trimmed().isEmpty(); }
    QString ImapHost() const {
        return imapServer.trimmed().isEmpty() ? smtpServer.trimmed() : imapServer.trimmed();
    }

    // The stored account; the defaults above for what is missing.
    static MailAccount Load();
    // Stores the account and leaves the settings file readable by its owner only (it holds the
    // password).
    void Save() const;

    using Field = QString MailAccount::*;
    // The first field that holds a line break, which would split a command to the server in two;
    // null when none does.
    Field FieldWithLineBreak() const;
    // The field's name as the account window shows it.
    static QString FieldName(Field field);
    // Raises the transport's error when a field holds a line break.
    void RequireSingleLines() const;

    static QString SecurityText(Security security);
    static Security SecurityFromText(const QString& text, Security fallback);
};
