// The Code 128 encoder and generator: worked vectors and a cross-check of printable texts against
// libzint's subset-B encoder.
#include <gtest/gtest.h>

#include <zint.h>

#include <random>

#include "labels/Code128.h"
#include "labels/modBarcodeGenerator.h"
#include "platform/RecordingSurface.h"

namespace {

// Element widths as groups of digits, one group a symbol ("211214 121124 ...").
QString symbolsOf(const std::vector<uint8_t>& widths) {
    QString out;
    for (size_t i = 0; i < widths.size();) {
        const int n = code128::SymbolLength(widths.data() + i);
        if (!out.isEmpty()) out += u' ';
        for (int k = 0; k < n; ++k)
            out += QChar(u'0' + widths[i + k]);
        i += n;
    }
    return out;
}

// The module row as 0/1 bars, from widths.
std::string modulesOf(const std::vector<uint8_t>& widths) {
    std::string row;
    bool bar = true;
    // Bars and spaces alternate across symbol boundaries except after a stop (7 elements).
    for (size_t i = 0; i < widths.size();) {
        const int n = code128::SymbolLength(widths.data() + i);
        bar = true;
        for (int k = 0; k < n; ++k, bar = !bar)
            row.append(widths[i + k], bar ? '1' : '0');
        i += n;
    }
    return row;
}

TEST(Code128, WorkedVectors) {
    const QString a60(60, u'A');
    struct Row {
        QString text;
        QString encoded;  // kept characters and the check character
        int check;
        int modules;
        QString symbols;  // empty: not compared
    } rows[] = {
        {QStringLiteral("abc"), QStringLiteral("abcz"), 90, 68,
         QStringLiteral("211214 121124 121421 141122 214121 2331112")},
        {QString(), QStringLiteral("!"), 1, 35, QStringLiteral("211214 222122 2331112")},
        {a60, a60 + u'A', 33, 695, {}},
        // A tab is not in the table and leaves no trace; check 102 is drawn as FNC 1's pattern.
        {QStringLiteral("A\tB"), QStringLiteral("AB\u00F4"), 102, 57,
         QStringLiteral("211214 111323 131123 411131 2331112")},
        // Letter case matters; accented letters outside the twelve are dropped.
        {QStringLiteral("\u00E9a\u00E8"), QStringLiteral("ab"), 66, 46,
         QStringLiteral("211214 121124 121421 2331112")},
        {QStringLiteral("Aa"), QStringLiteral("Aa]"), 61, 57,
         QStringLiteral("211214 111323 121124 221411 2331112")},
        // FNC 1 in the text carries its value, 102: 104 + 102 + 33 x 2 = 272, check 66.
        {QStringLiteral("\u00F4A"), QStringLiteral("\u00F4Ab"), 66, 57,
         QStringLiteral("211214 411131 111323 121421 2331112")},
        // A stop character is drawn where it stands (13 modules) and the symbol goes on.
        {QStringLiteral("AB\u00F9CD"), {}, -1, 92, {}},
    };
    std::vector<uint8_t> widths;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text.toStdString());
        const int check = code128::Encode(r.text, widths);
        if (r.check >= 0) {
            EXPECT_EQ(r.check, check);
            EXPECT_EQ(r.encoded, AddCode128Checksum(r.text));
        }
        EXPECT_EQ(r.modules, code128::ModuleCount(widths));
        if (!r.symbols.isEmpty()) {
            EXPECT_EQ(r.symbols, symbolsOf(widths));
        }
    }
    EXPECT_EQ(60494 % 103, code128::CheckValue(a60));
    // "AB" stop "CD": the stop sits third, after start, A and B.
    code128::Encode(QStringLiteral("AB\u00F9CD"), widths);
    EXPECT_TRUE(symbolsOf(widths).startsWith(QStringLiteral("211214 111323 131123 2331112 ")));
}

// Printable ASCII texts give exactly the module row of libzint's subset-B encoder.
TEST(Code128, PrintableTextsMatchAnIndependentEncoder) {
    std::mt19937 random(20240315);
    std::uniform_int_distribution<int> length(1, 60), printable(32, 126);
    zint_symbol* symbol = ZBarcode_Create();
    std::vector<uint8_t> widths;
    int compared = 0;
    for (int i = 0; i < 10000; ++i) {
        std::string text(static_cast<size_t>(length(random)), ' ');
        for (char& c : text)
            c = static_cast<char>(printable(random));
        ZBarcode_Clear(symbol);
        symbol->symbology = BARCODE_CODE128B;
        ASSERT_LT(ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(text.data()),
                                  static_cast<int>(text.size())),
                  ZINT_ERROR)
            << text;
        std::string theirs;
        for (int x = 0; x < symbol->width; ++x)
            theirs += (symbol->encoded_data[0][x >> 3] >> (x & 7)) & 1 ? '1' : '0';
        code128::Encode(QString::fromLatin1(text), widths);
        ASSERT_EQ(theirs, modulesOf(widths)) << text;
        ++compared;
    }
    ZBarcode_Delete(symbol);
    EXPECT_EQ(10000, compared);
}

// The generator draws one box per element, bars black and spaces white, and returns the width.
TEST(Code128, TheGeneratorFillsEachElementAndReturnsTheWidth) {
    RecordingSurface surface(QSizeF(100, 50));
    const float width = DrawBarcode128(surface, QStringLiteral("abc"), 10, 5, 8, 0.25f);
    EXPECT_EQ(17.0f, width);
    ASSERT_EQ(37, surface.log.size());  // five symbols of six elements and the stop's seven
    EXPECT_EQ(QStringLiteral("fill 5 10 5.5 18 0"), surface.log.first());
    EXPECT_EQ(QStringLiteral("fill 5.5 10 5.75 18 16777215"), surface.log[1]);
    EXPECT_EQ(QStringLiteral("fill 21.5 10 22 18 0"), surface.log.last());
    EXPECT_EQ(0, surface.drawStyle());
    EXPECT_EQ(1, surface.drawWidth());
    // The stop drawn from its pattern alone: 13 modules, bar first and last.
    RecordingSurface stop(QSizeF(100, 50));
    EXPECT_EQ(6.5f, DrawBarPattern(stop, QStringLiteral("2331112"), 0, 0, 5, 0.5f));
    EXPECT_EQ(7, stop.log.size());
    EXPECT_TRUE(stop.log.last().endsWith(QStringLiteral(" 0")));
}

}  // namespace
