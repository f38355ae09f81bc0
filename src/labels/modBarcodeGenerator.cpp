// The barcode generator walks the encoder's element widths symbol by symbol, one box fill per element.
#include "labels/modBarcodeGenerator.h"

#include <vector>

#include "base/AppError.h"
#include "labels/Code128.h"
#include "platform/DrawSurface.h"

namespace {

constexpr int32_t kBlack = 0;

// Widths are summed in single precision, symbol by symbol, so that the result is the sum of the
// symbols' widths as drawn.
float drawElements(DrawSurface& surface, const uint8_t* widths, int count, float top, float x, float height,
                   float module) {
    surface.setDrawStyle(0);
    surface.setDrawWidth(1);
    float pos = 0;
    for (int i = 0; i < count; ++i) {
        const float w = widths[i] * module;
        surface.filledBox(QPointF(x + pos, top), QPointF(x + pos + w, top + height),
                          i % 2 == 0 ? kBlack : kVbWhite);
        pos += w;
    }
    return pos;
}

}  // namespace

QString AddCode128Checksum(const QString& text) {
    QString kept;
    kept.reserve(text.size() + 1);
    for (const QChar c : text)
        if (code128::ValueOf(c) >= 0) kept += c;
    return kept + code128::CharOf(code128::CheckValue(kept));
}

float DrawBarcode128(DrawSurface& surface, const QString& text, float top, float left, float height,
                     float module) {
    if (text.size() > kMaxBarcodeCharacters)
        throw AppError(5, QString(),
                       QStringLiteral("Codice a barre troppo lungo: %1 caratteri (al massimo %2)")
                           .arg(text.size())
                           .arg(kMaxBarcodeCharacters));
    thread_local std::vector<uint8_t> widths;
    code128::Encode(text, widths);
    float total = 0;
    for (size_t i = 0; i < widths.size();) {
        const int n = code128::SymbolLength(widths.data() + i);
        total += drawElements(surface, widths.data() + i, n, top, left + total, height, module);
        i += n;
    }
    return total;
}

float DrawBarPattern(DrawSurface& surface, const QString& pattern, float top, float x, float height,
                     float module) {
    std::vector<uint8_t> widths;
    for (const QChar c : pattern)
        widths.push_back(static_cast<uint8_t>(qMax(0, c.digitValue())));
    return drawElements(surface, widths.data(), static_cast<int>(widths.size()), top, x, height, module);
}
