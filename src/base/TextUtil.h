// Small text helpers shared by every layer: setting texts to Booleans, file paths, leading numbers.
#pragma once

#include <QString>

// "FALSE", "FALSO", "NO" and "0" (any case, blanks around) are False; any other text is True.
bool StrToBool(const QString& text);

// dir + fileName with its extension replaced by ext: ("/srv/dati", "a.b.txt", "mdb") -> "/srv/dati/a.mdb".
// An empty ext keeps the name's extension; an empty dir leaves the name alone.
QString BuildPath(const QString& dir, const QString& fileName, const QString& ext);

// VB's Val: the number at the start of a text ("2abc" -> 2, "abc" -> 0, " 1 2" -> 12); "." is the decimal
// point.
double LeadingNumber(const QString& text);
