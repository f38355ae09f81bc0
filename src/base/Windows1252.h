// The Windows-1252 code page of Italian regional settings: the script host's Chr, Asc and String, and
// the 8-bit text files the program writes and reads (layout export files).
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringView>

// Code 0-255 to its character; the codes the page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map
// to the control character of the same number, as Windows does.
QChar AnsiToChar(int code);
// Character to its code; a character outside the code page reads as "?" (63).
int CharToAnsi(QChar c);

// Whole texts, byte for character both ways. A character outside the page is written as "?", one
// "?" for a character outside the basic plane too.
QString DecodeWindows1252(QByteArrayView bytes);
QByteArray EncodeWindows1252(QStringView text);
// The same, appended to what `out` holds, with no text in between (large files).
void AppendDecodedWindows1252(QByteArrayView bytes, QString& out);
void AppendEncodedWindows1252(QStringView text, QByteArray& out);
