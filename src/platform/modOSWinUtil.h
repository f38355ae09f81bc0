// modOSWinUtil: the operating-system helpers (temporary folder, file test, process wait, shell open,
// INI values, path pieces, default printer, keystroke texts), and the raising of the program's
// errors, which lives with the services that need no window system.
#pragma once

#include <QString>

#include <cstdint>

#include "base/Variant.h"
#include "platform/RaiseAppError.h"

// File attribute bits as FileExists tests them.
namespace FileAttr {
inline constexpr int kReadOnly = 1;
inline constexpr int kHidden = 2;
inline constexpr int kDirectory = 16;
inline constexpr int kArchive = 32;
}  // namespace FileAttr

// "TEMP", else "TMP", when it names an existing folder; else the program folder.
QString GetTempDir();
// True for an existing file or folder; with a mask, only when one of its attribute bits is set.
// Never raises.
bool FileExists(const QString& path, int16_t attributeMask = 0);
// The exit code of a process started by the program (see ProcessRunner.h).
int32_t WaitForProcess(int64_t processId, bool blocking);
// Applies the shell operation to a file or address; True when the shell accepted the request.
bool ShellExecuteFile(const QString& file, const QString& operation = QStringLiteral("open"),
                      const QString& parameters = {}, const QString& workDir = {}, bool minimised = false);
// A value of an INI file; the default when the file, section or key is missing.
QString GetIniString(const QString& iniFile, const QString& section, const QString& key,
                     const QString& defaultValue);
// Text after the last "\" (or, without one, the last "/"); the whole path without separators.
QString GetFileNameFromPath(const QString& path);
// Text before that separator; empty without separators.
QString GetDirFromPath(const QString& path);
// The default printer's name, cut before a comma ("name,driver,port").
QString GetDefaultPrinterName();
// A relative path is put after the program folder.
QString MakeAbsolutePath(const QString& path);
// The keystroke text of a virtual-key code, cased by Shift and Caps Lock; False (text untouched)
// for keys that type nothing.
bool KeyCodeToSendKeys(int16_t keyCode, QString& text);
