// modBarcodeGenerator: Code 128 set B drawn on any surface: start B, the text's characters, the check
// character and stop, as black bars and white spaces, with no quiet zone and no human-readable line.
#pragma once

#include <QString>

class DrawSurface;

// The text without the characters the table lacks, followed by its check character.
QString AddCode128Checksum(const QString& text);
// The longest text drawn: at the thinnest module a printer shows (0.1 mm) it is already wider than
// any page.
inline constexpr int kMaxBarcodeCharacters = 1000;
// Draws the whole symbol with its top-left corner at (left, top); returns its width in surface units.
// A text longer than kMaxBarcodeCharacters raises error 5 and draws nothing.
float DrawBarcode128(DrawSurface& surface, const QString& text, float top, float left, float height,
                     float module);
// Draws one symbol from its widths written as digits ("211214"), bar first; returns its width.
float DrawBarPattern(DrawSurface& surface, const QString& pattern, float top, float x, float height,
                     float module);
