// The track-1 codec.
#include "terminal/carddevices/Track1Codec.h"

#include <bit>

namespace {

constexpr int kCodeBits = 6;
constexpr int kCharBits = 7;
constexpr int kUnknownCode = 63;  // "_"
constexpr int kCodeLength = 8;    // length of a worker code mended from a damaged track

// The character with a parity bit making the count of ones odd.
int withParity(int code) {
    return std::popcount(static_cast<unsigned>(code)) % 2 == 0 ? code | (1 << kCodeBits) : code;
}

// Appends bits to bytes, each byte filled from its least significant bit.
class BitPacker {
  public:
    void put(int value, int count) {
        for (int i = 0; i < count; ++i) {
            if (used_ == 8) {
                bytes_.append('\0');
                used_ = 0;
            }
            if (value & (1 << i)) bytes_.data()[bytes_.size() - 1] |= static_cast<char>(1 << used_);
            ++used_;
        }
    }
    QByteArray take() { return std::move(bytes_); }

  private:
    QByteArray bytes_;
    int used_ = 8;
};

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A track read without its end sentinel: the digits before the first other character, padded
// with "0" or cut to eight, and the eighth made "1", so that such a read never passes for a code
// that was written; shorter texts stay as read.
QString mendUnterminated(QString text) {
    int firstOther = 0;
    while (firstOther < text.size() && isDigit(text[firstOther]))
        ++firstOther;
    if (text.size() >= kCodeLength && firstOther < kCodeLength) {
        text.truncate(firstOther);
        text = text.leftJustified(kCodeLength, QLatin1Char('0'));
    } else if (firstOther > kCodeLength) {
        text.truncate(kCodeLength);
    }
    if (text.size() == kCodeLength) text[kCodeLength - 1] = QLatin1Char('1');
    return text;
}

}  // namespace

QChar Track1Character(int code) {
    // The track-1 alphabet of ISO/IEC 7811 (0x20 to 0x5F) with three places exchanged.
    switch (code) {
        case 12:
            return QLatin1Char('@');
        case 13:
            return QLatin1Char(',');
        case 32:
            return QLatin1Char('-');
        default:
            return QChar(0x20 + (code & 63));
    }
}

int Track1Code(QChar c) {
    switch (c.unicode()) {
        case '@':
            return 12;
        case ',':
            return 13;
        case '-':
            return 32;
        default:
            break;
    }
    const int u = c.unicode();
    if (u < 0x20 || u > 0x5F) return -1;
    const int code = u - 0x20;
    return code == 12 || code == 13 || code == 32 ? -1 : code;
}

QByteArray AsciiToHexForTrack1(const QString& text, const QString& startSentinel,
                               const QString& endSentinel) {
    const QString framed = startSentinel + text + endSentinel;
    BitPacker packer;
    int lrc = 0;
    for (QChar c : framed) {
        int code = Track1Code(c);
        if (code < 0) code = kUnknownCode;
        lrc ^= code;
        packer.put(withParity(code), kCharBits);
    }
    packer.put(withParity(lrc), kCharBits);
    QByteArray bytes = packer.take();
    while (!bytes.isEmpty() && bytes.back() == '\0')
        bytes.chop(1);
    return bytes;
}

QString HexToAsciiFromTrack1(const QByteArray& raw, const QString& startSentinel,
                             const QString& endSentinel) {
    const qsizetype zero = raw.indexOf('\0');
    const QByteArray bytes = zero < 0 ? raw : raw.left(zero);
    QString text;
    text.reserve(bytes.size() * 8 / kCharBits);
    int code = 0;
    int taken = 0;
    for (char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        for (int bit = 7; bit >= 0; --bit) {
            if (taken < kCodeBits && (b & (1u << bit))) code |= 1 << taken;
            if (++taken == kCharBits) {  // the seventh bit is parity, not checked
                text.append(Track1Character(code));
                code = 0;
                taken = 0;
            }
        }
    }
    if (!text.isEmpty() && QString(text[0]) == startSentinel) text.remove(0, 1);
    const qsizetype end = text.indexOf(endSentinel);
    if (end >= 0) return text.left(end);
    return mendUnterminated(text);
}
