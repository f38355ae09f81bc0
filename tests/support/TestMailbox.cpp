// The in-memory mailbox and its decoding, through libetpan's MIME readers.
#include "support/TestMailbox.h"

#include <libetpan/libetpan.h>

#include <cstdlib>

namespace {

QByteArray headerBlock(const QByteArray& raw) {
    const qsizetype end = raw.indexOf("\r\n\r\n");
    return end < 0 ? raw : raw.left(end + 2);
}

QByteArray rawHeader(const QByteArray& raw, const QByteArray& name) {
    QByteArray value;
    bool in = false;
    for (QByteArray line : headerBlock(raw).split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        const bool continuation = line.startsWith(' ') || line.startsWith('\t');
        if (continuation && in) {
            value += line;
            continue;
        }
        if (in) break;
        if (line.toLower().startsWith(name.toLower() + ':')) {
            in = true;
            value = line.mid(name.size() + 1);
        }
    }
    return value.trimmed();
}

}  // namespace

QString DecodedHeader(const QByteArray& raw, const QByteArray& name) {
    const QByteArray value = rawHeader(raw, name);
    if (value.isEmpty()) return {};
    size_t index = 0;
    char* decoded = nullptr;
    if (mailmime_encoded_phrase_parse("utf-8", value.constData(), static_cast<size_t>(value.size()), &index,
                                      "utf-8", &decoded) != MAILIMF_NO_ERROR ||
        !decoded)
        return QString::fromUtf8(value);
    const QString text = QString::fromUtf8(decoded);
    std::free(decoded);
    return text;
}

QString TestMail::header(const QByteArray& name) const {
    return DecodedHeader(raw, name);
}

QString TestMail::text() const {
    const qsizetype start = raw.indexOf("\r\n\r\n");
    if (start < 0) return {};
    const QByteArray body = raw.mid(start + 4);
    const QByteArray encoding = rawHeader(raw, "Content-Transfer-Encoding").toLower();
    int mechanism = MAILMIME_MECHANISM_8BIT;
    if (encoding == "quoted-printable") mechanism = MAILMIME_MECHANISM_QUOTED_PRINTABLE;
    if (encoding == "base64") mechanism = MAILMIME_MECHANISM_BASE64;
    size_t index = 0;
    char* decoded = nullptr;
    size_t length = 0;
    if (mailmime_part_parse(body.constData(), static_cast<size_t>(body.size()), &index, mechanism, &decoded,
                            &length) != MAILIMF_NO_ERROR)
        return QString::fromUtf8(body);
    QString text = QString::fromUtf8(decoded, static_cast<qsizetype>(length));
    mailmime_decoded_part_free(decoded);
    // The trailing line break the message ends with is not part of the text.
    if (text.endsWith(QLatin1String("\r\n"))) text.chop(2);
    return text;
}

uint32_t TestMailbox::add(const QByteArray& raw, const QDateTime& received, const QByteArray& envelopeFrom,
                          const QList<QByteArray>& recipients) {
    TestMail m;
    m.raw = raw;
    m.received = received;
    m.envelopeFrom = envelopeFrom;
    m.recipients = recipients;
    m.subject = DecodedHeader(raw, "Subject");
    std::lock_guard<std::mutex> lock(mutex_);
    m.uid = nextUid_++;
    mails_.push_back(std::move(m));
    return mails_.back().uid;
}

uint32_t TestMailbox::addWithSubject(const QString& subject, const QDateTime& received) {
    QByteArray raw = "From: <x@ditta.it>\r\nSubject: ";
    bool ascii = true;
    for (QChar c : subject)
        ascii = ascii && c.unicode() < 128;
    raw += ascii ? subject.toLatin1() : "=?UTF-8?B?" + subject.toUtf8().toBase64() + "?=";
    raw += "\r\n\r\ntesto\r\n";
    return add(raw, received);
}

std::vector<TestMail> TestMailbox::messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return mails_;
}

size_t TestMailbox::size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return mails_.size();
}
