// modOSWinUtil: the operating-system helpers (temporary folder, file test, process wait, shell open,
// INI values, path pieces, default printer, keystroke texts) and the raising of the program's errors.
#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <type_traits>
#include <typeinfo>

#include "base/AppError.h"
#include "base/Object.h"
#include "base/Variant.h"

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

// The class name that an error raised by an object carries.
QString ClassNameOfType(const std::type_info& type);
template <class T>
QString ClassNameOf(const T& object) {
    if constexpr (std::is_base_of_v<Object, T>)
        return object.className();
    else
        return ClassNameOfType(typeid(object));
}

// Raises the program's own error (code 32755) from a text source or an object (its class name).
[[noreturn]] void RaiseAppError(const Variant& source, const QString& description);
// Raises vbObjectError + number with the description "[source], Err.: number" + CR + description.
[[noreturn]] void RaiseErrorEx(const Variant& source, int32_t number, const QString& description);
[[noreturn]] void RaiseErrorExNamed(const QString& sourceLabel, int32_t number, const QString& description);

// Any other object as the source: its class name goes between the brackets.
template <class T>
requires(!std::is_convertible_v<const T&, Variant> && std::is_class_v<T>)
    [[noreturn]] void RaiseErrorEx(const T& source, int32_t number, const QString& description) {
    RaiseErrorExNamed(ClassNameOf(source), number, description);
}
template <class T>
requires(!std::is_convertible_v<const T&, Variant> && std::is_class_v<T>)
    [[noreturn]] void RaiseAppError(const T& source, const QString& description) {
    RaiseErrorExNamed(ClassNameOf(source), kAppErrorCode, description);
}
