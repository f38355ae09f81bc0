// ScrambleString: the reversible scrambling of passwords, kept in the start-up password file and
// in the users' rows.
#pragma once

#include <QString>

// Scrambling (decode False) rotates the 8 bits of each Latin-1 code right by one and, in a text of
// odd length, inverts the top bit at odd positions; a text of blanks alone scrambles to "".
// Unscrambling (decode True) undoes it for every stored text, blanks included: a password such as
// "A" is stored as one blank. Characters outside Latin-1 count as "?".
QString ScrambleString(const QString& text, bool decode);
