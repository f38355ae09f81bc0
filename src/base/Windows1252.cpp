// Windows-1252: Latin-1 with typographic characters in 0x80-0x9F.
#include "base/Windows1252.h"

namespace {

// 0x80-0x9F; codes the page leaves undefined map to themselves, as Windows does.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Code of a character outside 0x00-0x7F and 0xA0-0xFF: its place in kHigh, else "?".
char highCode(char16_t u) {
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

QChar AnsiToChar(int code) {
    if (code >= 0x80 && code <= 0x9F) return QChar(kHigh[code - 0x80]);
    return QChar(static_cast<char16_t>(code & 0xFF));
}

int CharToAnsi(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    return static_cast<unsigned char>(highCode(u));
}

QString DecodeWindows1252(QByteArrayView bytes) {
    QString out;
    AppendDecodedWindows1252(bytes, out);
    return out;
}

QByteArray EncodeWindows1252(QStringView text) {
    QByteArray out;
    AppendEncodedWindows1252(text, out);
    return out;
}

void AppendDecodedWindows1252(QByteArrayView bytes, QString& out) {
    const qsizetype at = out.size();
    const qsizetype n = bytes.size();
    out.resize(at + n);
    char16_t* to = reinterpret_cast<char16_t*>(out.data()) + at;
    const auto* from = reinterpret_cast<const unsigned char*>(bytes.data());
    // Latin-1 but for 0x80-0x9F, which texts seldom hold: widened in one plain pass, then those fixed.
    unsigned high = 0;
    for (qsizetype i = 0; i < n; ++i) {
        to[i] = from[i];
        high |= static_cast<unsigned>((from[i] & 0xE0) == 0x80);
    }
    if (!high) return;
    for (qsizetype i = 0; i < n; ++i)
        if ((from[i] & 0xE0) == 0x80) to[i] = kHigh[from[i] - 0x80];
}

void AppendEncodedWindows1252(QStringView text, QByteArray& out) {
    const qsizetype at = out.size();
    const qsizetype n = text.size();
    out.resize(at + n);
    char* to = out.data() + at;
    const char16_t* from = text.utf16();
    // Latin-1 characters outside 0x80-0x9F are their own codes: narrowed in one plain pass.
    unsigned outside = 0;
    for (qsizetype i = 0; i < n; ++i) {
        to[i] = static_cast<char>(from[i]);
        outside |= static_cast<unsigned>(from[i] > 0xFF) | static_cast<unsigned>((from[i] & 0xFFE0) == 0x80);
    }
    if (!outside) return;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = from[i];
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            *to++ = static_cast<char>(u);
        } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(from[i + 1])) {
            *to++ = '?';
            ++i;
        } else {
            *to++ = highCode(u);
        }
    }
    out.truncate(to - out.data());
}
