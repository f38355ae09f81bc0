// The start-up password file "prtct1.sys" in the program folder: the scrambled password as one
// Latin-1 byte per character, nothing else. No file, or an empty one, means no password.
#pragma once

#include <QString>

QString PasswordFilePath();
// The stored (scrambled) password; "" when there is no file. An existing file that cannot be read
// raises the program's error: it never counts as no password.
QString ReadPasswordFile();
// Replaces the file: the new content is written under a temporary name and renamed over the old
// file, so that an interrupted change leaves the old password or the new one, never a part of
// it. The file is left read-only. Raises the program's error when it cannot be written.
void WritePasswordFile(const QString& scrambled);
