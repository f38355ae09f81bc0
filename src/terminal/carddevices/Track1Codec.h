// Track 1 in the raw form of the dual-coercivity reader/encoder: card text to packed bytes and
// back. A character is its 6-bit code in this system's track alphabet plus an odd-parity bit; a
// longitudinal redundancy character follows the end sentinel.
#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

// The character of a 6-bit code (0 to 63), and the code of a character (-1 when it has none).
QChar Track1Character(int code);
int Track1Code(QChar c);

// Packs `text` between the sentinels: every character 7 bits, bit 0 first, filling each byte from
// its least significant bit; trailing zero bytes dropped. A character outside the alphabet
// (lower-case letters among them) is packed as "_".
QByteArray AsciiToHexForTrack1(const QString& text, const QString& startSentinel = QStringLiteral("%"),
                               const QString& endSentinel = QStringLiteral("?"));

// Unpacks bytes read from the device, taking each byte from its most significant bit: the text
// up to the first zero byte, without the start sentinel, cut at the end sentinel. A track without
// an end sentinel is mended into an eight-digit code when it looks like one (see the source).
// No check of parity or LRC.
QString HexToAsciiFromTrack1(const QByteArray& raw, const QString& startSentinel = QStringLiteral("%"),
                             const QString& endSentinel = QStringLiteral("?"));
