// The password scrambling.
#include "startup/ScrambleString.h"

QString ScrambleString(const QString& text, bool decode) {
    // Only what is being scrambled follows the blank rule: a stored text may be blanks alone.
    if (!decode) {
        qsizetype end = text.size();
        while (end > 0 && text[end - 1] == u' ')
            --end;
        if (end == 0) return {};
    }
    const QByteArray codes = text.toLatin1();
    const bool oddLength = codes.size() % 2 != 0;
    QString out(codes.size(), QChar());
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const auto c = static_cast<uint8_t>(codes[i]);
        // Positions count from 1: the odd ones are the even indexes.
        const bool flip = oddLength && i % 2 == 0;
        uint8_t r = 0;
        if (!decode) {
            r = static_cast<uint8_t>((c >> 1) | ((c & 1) << 7));
            if (flip) r ^= 0x80;
        } else {
            uint8_t top = c >> 7;
            if (flip) top ^= 1;
            r = static_cast<uint8_t>(((c & 0x7F) << 1) | top);
        }
        out[i] = QChar(r);
    }
    return out;
}
