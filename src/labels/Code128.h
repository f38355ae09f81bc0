// Code 128 set B: the value table (printable ASCII plus twelve Latin-1 characters standing for the
// special values), the element widths of each symbol and the encoder of a whole symbol.
#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <vector>

namespace code128 {

inline constexpr int kSymbolCount = 107;
inline constexpr int kStartB = 104;
inline constexpr int kStop = 106;

// Bar and space widths in modules, bar first, as the decimal number they are written as (212222);
// the stop symbol has seven elements, every other six.
inline constexpr std::array<uint32_t, kSymbolCount> kPatterns = {
    212222, 222122, 222221, 121223, 121322, 131222, 122213, 122312, 132212, 221213, 221312,  231212,
    112232, 122132, 122231, 113222, 123122, 123221, 223211, 221132, 221231, 213212, 223112,  312131,
    311222, 321122, 321221, 312212, 322112, 322211, 212123, 212321, 232121, 111323, 131123,  131321,
    112313, 132113, 132311, 211313, 231113, 231311, 112133, 112331, 132131, 113123, 113321,  133121,
    313121, 211331, 231131, 213113, 213311, 213131, 311123, 311321, 331121, 312113, 312311,  332111,
    314111, 221411, 431111, 111224, 111422, 121124, 121421, 141122, 141221, 112214, 112412,  122114,
    122411, 142112, 142211, 241211, 221114, 413111, 241112, 134111, 111242, 121142, 121241,  114212,
    124112, 124211, 411212, 421112, 421211, 212141, 214121, 412121, 111143, 111341, 131141,  114113,
    114311, 411113, 411311, 113141, 114131, 311141, 411131, 211412, 211214, 211232, 2331112,
};

// The characters that carry values 95 to 106 (DEL, FNC 3, FNC 2, SHIFT, CODE C, FNC 4, CODE A,
// FNC 1, START A, START B, START C, STOP).
inline constexpr std::array<char16_t, 12> kSpecialChars = {u'\u00EE', u'\u00EC', u'\u00C4', u'\u00C5',
                                                           u'\u00C9', u'\u00E6', u'\u00C6', u'\u00F4',
                                                           u'\u00F6', u'\u00F2', u'\u00FB', u'\u00F9'};

namespace detail {
// Value of each character code below 256, -1 for characters outside the table.
struct ValueTable {
    std::array<int8_t, 256> value{};
    constexpr ValueTable() {
        for (auto& v : value)
            v = -1;
        for (int c = 32; c <= 126; ++c)
            value[c] = static_cast<int8_t>(c - 32);
        for (int i = 0; i < 12; ++i)
            value[kSpecialChars[i]] = static_cast<int8_t>(95 + i);
    }
};
inline constexpr ValueTable kValues;

// The patterns spread into one width a byte, padded to eight bytes so that a symbol is one copy.
struct WidthTable {
    std::array<std::array<uint8_t, 8>, kSymbolCount> widths{};
    std::array<uint8_t, kSymbolCount> count{};
    constexpr WidthTable() {
        for (int v = 0; v < kSymbolCount; ++v) {
            uint8_t digits[8] = {};
            int n = 0;
            for (uint32_t p = kPatterns[v]; p != 0; p /= 10)
                digits[n++] = static_cast<uint8_t>(p % 10);
            for (int i = 0; i < n; ++i)
                widths[v][i] = digits[n - 1 - i];
            count[v] = static_cast<uint8_t>(n);
        }
    }
};
inline constexpr WidthTable kWidths;
}  // namespace detail

// The symbol value of a character, -1 when the table lacks it (exact, case-sensitive).
inline int ValueOf(QChar c) {
    const char16_t u = c.unicode();
    return u < 256 ? detail::kValues.value[u] : -1;
}
// The character that stands for a value (0 to 106).
QChar CharOf(int value);
// The element widths of a value's symbol.
inline const uint8_t* WidthsOf(int value) {
    return detail::kWidths.widths[value].data();
}
inline int WidthCountOf(int value) {
    return detail::kWidths.count[value];
}

// Elements of the symbol whose widths start here: 7 for the stop, 6 for every other. No other pattern
// starts like the stop, so a run of widths can be walked symbol by symbol.
inline int SymbolLength(const uint8_t* widths) {
    const uint8_t* stop = WidthsOf(kStop);
    for (int i = 0; i < 6; ++i)
        if (widths[i] != stop[i]) return 6;
    return 7;
}
namespace detail {
constexpr bool stopPrefixIsUnique() {
    for (int v = 0; v < kStop; ++v)
        if (kPatterns[v] == kPatterns[kStop] / 10) return false;
    return true;
}
static_assert(stopPrefixIsUnique());
}  // namespace detail

// The check value of a text: start B plus each kept character's value times its position among the
// kept characters, modulo 103. Characters outside the table are skipped.
int CheckValue(QStringView text);

// The whole symbol's element widths, bar first: start B, each kept character, the check, stop.
// `widths` is overwritten (reuse it to avoid allocations); returns the check value.
int Encode(QStringView text, std::vector<uint8_t>& widths);

// Total width in modules of a run of element widths.
int ModuleCount(const std::vector<uint8_t>& widths);

}  // namespace code128
