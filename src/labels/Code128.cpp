// The Code 128 set-B encoder: one table lookup and one copy of widths per character.
#include "labels/Code128.h"

#include <cstring>

namespace code128 {

QChar CharOf(int value) {
    return value < 95 ? QChar(char16_t(32 + value)) : QChar(kSpecialChars[value - 95]);
}

int CheckValue(QStringView text) {
    // 64 bits: value times position stays exact for any text a QString can hold.
    uint64_t sum = kStartB;
    uint64_t position = 0;
    for (const QChar c : text) {
        const int v = ValueOf(c);
        if (v < 0) continue;
        sum += static_cast<uint64_t>(v) * ++position;
    }
    return static_cast<int>(sum % 103);
}

int Encode(QStringView text, std::vector<uint8_t>& widths) {
    // Room for every character plus start, check and stop, and the slack of the eight-byte copies.
    widths.resize(6 * (static_cast<size_t>(text.size()) + 2) + 7 + 8);
    uint8_t* out = widths.data();
    std::memcpy(out, WidthsOf(kStartB), 8);
    out += 6;
    uint64_t sum = kStartB;
    uint64_t position = 0;
    for (const QChar c : text) {
        const int v = ValueOf(c);
        if (v < 0) continue;
        sum += static_cast<uint64_t>(v) * ++position;
        std::memcpy(out, WidthsOf(v), 8);
        out += WidthCountOf(v);
    }
    const int check = static_cast<int>(sum % 103);
    std::memcpy(out, WidthsOf(check), 8);
    out += 6;
    std::memcpy(out, WidthsOf(kStop), 8);
    out += 7;
    widths.resize(static_cast<size_t>(out - widths.data()));
    return check;
}

int ModuleCount(const std::vector<uint8_t>& widths) {
    int n = 0;
    for (const uint8_t w : widths)
        n += w;
    return n;
}

}  // namespace code128
