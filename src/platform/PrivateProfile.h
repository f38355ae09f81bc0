// Reading a value of a Windows-style INI file ("[section]" and "key=value" lines).
#pragma once

#include <QString>

// Section and key match without regard to letter case; the value is trimmed and one pair of
// surrounding quotes is removed. A missing file, section or key gives `defaultValue`.
// Values are cut to `maxChars` characters, as a fixed buffer would.
QString ReadPrivateProfileString(const QString& file, const QString& section, const QString& key,
                                 const QString& defaultValue, int maxChars = 255);
