// MailMessage: one outgoing message (recipient, subject, text) and its wire form: UTF-8, names
// and subject as encoded words, the text quoted-printable with CRLF line breaks, no header value
// carrying a line break.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct MailMessage {
    QString recipientName;
    QString recipientAddress;
    QString subject;
    // Line breaks may be CR, LF or CRLF.
    QString text;
};

// True for a single plain address "local@domain" (no name, no list, no spaces, no line breaks).
bool IsValidMailAddress(const QString& address);

// The message as sent: headers and body, CRLF line breaks, ending with CRLF.
QByteArray ComposeMail(const MailMessage& message, const QString& senderAddress, const QDateTime& date);

// A header value as a phrase: plain words as they are, words needing it as UTF-8 encoded words,
// folded so that no line passes 78 characters. Control characters count as blanks.
QByteArray EncodeHeaderText(const QString& text, int firstLineUsed);
// The text as UTF-8 quoted-printable, every line break CRLF.
QByteArray EncodeQuotedPrintable(const QString& text);
