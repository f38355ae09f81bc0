// Composing an outgoing message.
#include "platform/MailMessage.h"

#include <QList>
#include <QRegularExpression>
#include <QUuid>

namespace {

constexpr int kLineLimit = 76;
// UTF-8 bytes in one encoded word: base64 of 45 bytes is 60 characters, 72 with its frame.
constexpr int kEncodedChunk = 45;

// Line breaks, tabs and other control characters become blanks, runs of blanks one blank.
QString oneLine(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        s += (c.unicode() < 0x20 || c.unicode() == 0x7f) ? QChar(' ') : c;
    return s.simplified();
}

bool plainWord(const QString& word) {
    if (word.contains(QLatin1String("=?"))) return false;
    for (QChar c : word)
        if (c.unicode() < 0x21 || c.unicode() > 0x7e) return false;
    return true;
}

// Words of a phrase that may stand unquoted: atext only.
bool atomWord(const QString& word) {
    static const QString specials = QStringLiteral("()<>[]:;@\\,.\"");
    for (QChar c : word)
        if (specials.contains(c)) return false;
    return plainWord(word);
}

// Encoded words for `text`, none splitting a UTF-8 sequence.
QList<QByteArray> encodedWords(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    QList<QByteArray> words;
    int start = 0;
    while (start < utf8.size()) {
        int end = std::min<int>(start + kEncodedChunk, static_cast<int>(utf8.size()));
        // Back off continuation bytes so the chunk ends on a whole character.
        while (end < utf8.size() && end > start && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            --end;
        words << "=?UTF-8?B?" + utf8.mid(start, end - start).toBase64() + "?=";
        start = end;
    }
    return words;
}

QByteArray fold(const QList<QByteArray>& tokens, int firstLineUsed) {
    QByteArray out;
    int used = firstLineUsed;
    for (const QByteArray& t : tokens) {
        if (!out.isEmpty()) {
            if (used + 1 + t.size() > kLineLimit) {
                out += "\r\n ";
                used = 1;
            } else {
                out += ' ';
                ++used;
            }
        }
        out += t;
        used += static_cast<int>(t.size());
    }
    return out;
}

// A display name for an address header: atoms, a quoted string, or encoded words.
QByteArray displayName(const QString& name, int firstLineUsed) {
    const QString n = oneLine(name);
    if (n.isEmpty()) return {};
    bool ascii = true, atoms = true;
    for (const QString& w : n.split(QLatin1Char(' '))) {
        if (!plainWord(w)) ascii = false;
        if (!atomWord(w)) atoms = false;
    }
    if (ascii && atoms) return fold(n.toLatin1().split(' '), firstLineUsed);
    if (ascii && n.size() + 2 + firstLineUsed <= kLineLimit) {
        QByteArray q = n.toLatin1();
        q.replace('\\', "\\\\");
        q.replace('"', "\\\"");
        return '"' + q + '"';
    }
    return fold(encodedWords(n), firstLineUsed);
}

QString domainOf(const QString& address) {
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'));
    return at >= 0 ? address.mid(at + 1) : QStringLiteral("localhost");
}

}  // namespace

bool IsValidMailAddress(const QString& address) {
    static const QRegularExpression pattern(QStringLiteral(
        "^[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+(\\.[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+)*"
        "@[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?(\\.[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?)*\\z"));
    return address.size() <= 254 && pattern.match(address).hasMatch();
}

QByteArray EncodeHeaderText(const QString& text, int firstLineUsed) {
    const QString t = oneLine(text);
    if (t.isEmpty()) return {};
    // Plain words as long as they come first; from the first word needing it, the rest encoded
    // as a whole (blanks between encoded words vanish when decoded).
    const QStringList words = t.split(QLatin1Char(' '));
    QList<QByteArray> tokens;
    int i = 0;
    for (; i < words.size() && plainWord(words[i]); ++i)
        tokens << words[i].toLatin1();
    if (i < words.size()) {
        QString rest = words.mid(i).join(QLatin1Char(' '));
        tokens += encodedWords(rest);
    }
    return fold(tokens, firstLineUsed);
}

QByteArray EncodeQuotedPrintable(const QString& text) {
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QByteArray out;
    const QList<QByteArray> lines = normalized.toUtf8().split('\n');
    for (int li = 0; li < lines.size(); ++li) {
        const QByteArray& line = lines[li];
        int used = 0;
        for (int i = 0; i < line.size(); ++i) {
            const auto c = static_cast<unsigned char>(line[i]);
            const bool last = i == line.size() - 1;
            QByteArray piece;
            if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last))
                piece = QByteArray(1, static_cast<char>(c));
            else
                piece = '=' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
            // Soft line break: a line of at most 76 characters, the "=" included.
            if (used + piece.size() > kLineLimit - 1) {
                out += "=\r\n";
                used = 0;
            }
            out += piece;
            used += static_cast<int>(piece.size());
        }
        if (li < lines.size() - 1) out += "\r\n";
    }
    return out;
}

QByteArray ComposeMail(const MailMessage& message, const QString& senderAddress, const QDateTime& date) {
    QByteArray m;
    m += "Date: " + date.toString(Qt::RFC2822Date).toLatin1() + "\r\n";
    m += "From: <" + senderAddress.toLatin1() + ">\r\n";
    const QByteArray name = displayName(message.recipientName, 4);
    m += "To: " + (name.isEmpty() ? QByteArray() : name + ' ') + '<' + message.recipientAddress.toLatin1() +
         ">\r\n";
    const QByteArray subject = EncodeHeaderText(message.subject, 9);
    m += "Subject:" + (subject.isEmpty() ? QByteArray() : ' ' + subject) + "\r\n";
    m += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + '@' +
         domainOf(senderAddress).toLatin1() + ">\r\n";
    m += "MIME-Version: 1.0\r\n";
    m += "Content-Type: text/plain; charset=UTF-8\r\n";
    m += "Content-Transfer-Encoding: quoted-printable\r\n";
    m += "\r\n";
    m += EncodeQuotedPrintable(message.text);
    m += "\r\n";
    return m;
}
