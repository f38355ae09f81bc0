// The Windows-1252 code page of Italian regional settings, for Chr, Asc and String.
#pragma once

#include <QChar>

namespace vbs {

// Code 0-255 to its character.
QChar AnsiToChar(int code);
// Character to its code; a character outside the code page reads as "?" (63).
int CharToAnsi(QChar c);

}  // namespace vbs
