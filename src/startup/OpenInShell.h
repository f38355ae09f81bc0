// Opening a file or address with the desktop's program for it, saying so when none took it.
#pragma once

#include <QString>

class QWidget;

// Hands `fileOrAddress` to the shell ("open"); when no program opens it, tells the user in Italian
// with the file's path (or the address), so that it can be opened by hand. True when it opened.
bool OpenInShell(const QString& fileOrAddress, QWidget* owner = nullptr);
