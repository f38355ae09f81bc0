// The operating-system helpers and error raising.
#include "platform/modOSWinUtil.h"

#include <QDir>
#include <QFileInfo>

#include <cxxabi.h>
#include <cstdlib>
#include <memory>

#include "platform/DefaultPrinter.h"
#include "platform/KeyState.h"
#include "platform/PrivateProfile.h"
#include "platform/ProcessRunner.h"
#include "platform/ProgramFolder.h"
#include "platform/ShellService.h"

namespace {

int attributesOf(const QFileInfo& info) {
    int a = 0;
    if (info.isDir())
        a |= FileAttr::kDirectory;
    else
        a |= FileAttr::kArchive;
    if (!info.isWritable()) a |= FileAttr::kReadOnly;
    if (info.isHidden()) a |= FileAttr::kHidden;
    return a & 0xFF;
}

qsizetype lastSeparator(const QString& path) {
    const qsizetype back = path.lastIndexOf(QLatin1Char('\\'));
    return back >= 0 ? back : path.lastIndexOf(QLatin1Char('/'));
}

}  // namespace

QString GetTempDir() {
    for (const char* name : {"TEMP", "TMP"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty() && FileExists(value, FileAttr::kDirectory)) return value;
    }
    return ProgramFolder();
}

bool FileExists(const QString& path, int16_t attributeMask) {
    if (path.isEmpty() || path.contains(QChar(0))) return false;
    const QFileInfo info(path);
    if (!info.exists()) return false;
    if (attributeMask == 0) return true;
    return (attributesOf(info) & attributeMask) != 0;
}

int32_t WaitForProcess(int64_t processId, bool blocking) {
    return WaitForProcessEnd(processId, blocking);
}

bool ShellExecuteFile(const QString& file, const QString& operation, const QString& parameters,
                      const QString& workDir, bool minimised) {
    return ShellService::instance().execute(file, operation, parameters, workDir, minimised);
}

QString GetIniString(const QString& iniFile, const QString& section, const QString& key,
                     const QString& defaultValue) {
    return ReadPrivateProfileString(iniFile, section, key, defaultValue);
}

QString GetFileNameFromPath(const QString& path) {
    const qsizetype at = lastSeparator(path);
    return at >= 0 ? path.mid(at + 1) : path;
}

QString GetDirFromPath(const QString& path) {
    const qsizetype at = lastSeparator(path);
    return at >= 0 ? path.left(at) : QString();
}

QString GetDefaultPrinterName() {
    QString name = DefaultPrinterName();
    const qsizetype comma = name.indexOf(QLatin1Char(','));
    if (comma >= 0) name.truncate(comma);
    return name;
}

QString MakeAbsolutePath(const QString& path) {
    const bool rooted = !path.isEmpty() && (path[0] == QLatin1Char('\\') || path[0] == QLatin1Char('/'));
    const bool drive = path.size() > 1 && path[1] == QLatin1Char(':');
    if (rooted || drive) return path;
    const QString folder = ProgramFolder();
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))) return folder + path;
    return folder + QLatin1Char('/') + path;
}

bool KeyCodeToSendKeys(int16_t keyCode, QString& text) {
    QString t;
    if (keyCode >= 65 && keyCode <= 90)
        t = QChar(u'A' + (keyCode - 65));
    else if (keyCode >= 48 && keyCode <= 57)
        t = QChar(u'0' + (keyCode - 48));
    else if (keyCode >= 96 && keyCode <= 105)
        t = QChar(u'0' + (keyCode - 96));
    else if (keyCode >= 106 && keyCode <= 111)
        t = QChar(u'*' + (keyCode - 106));
    else if (keyCode == 32)
        t = QStringLiteral(" ");
    else if (keyCode == 190)
        t = QStringLiteral(".");
    else if (keyCode == 188)
        t = QStringLiteral(",");
    else if (keyCode == 27)
        t = QStringLiteral("{ESC}");
    else if (keyCode == 189)
        t = QStringLiteral("-");
    else if (keyCode == 8)
        t = QStringLiteral("{BACKSPACE}");
    else
        return false;
    // Caps Lock counts while it is switched on, not only while it is held down.
    const KeyboardState keys = KeyState::current();
    const bool upper = keys.shiftDown != keys.capsLockOn;
    text = upper ? t.toUpper() : t.toLower();
    return true;
}

QString ClassNameOfType(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    QString name = QString::fromLatin1(status == 0 && demangled ? demangled.get() : type.name());
    // Without namespace and template arguments: "odb::DataSet" -> "DataSet".
    const qsizetype angle = name.indexOf(QLatin1Char('<'));
    if (angle >= 0) name.truncate(angle);
    const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
    if (colons >= 0) name = name.mid(colons + 2);
    return name;
}

void RaiseErrorExNamed(const QString& sourceLabel, int32_t number, const QString& description) {
    QString text = QStringLiteral("[") + sourceLabel + QStringLiteral("], Err.: ") + QString::number(number);
    if (!description.isEmpty()) text += QLatin1Char('\r') + description;
    throw AppError(vbObjectError + number, QString::fromLatin1(kProductName), text);
}

void RaiseErrorEx(const Variant& source, int32_t number, const QString& description) {
    QString label;
    if (source.isObject())
        label = source.objectValue() ? source.objectValue()->className() : QStringLiteral("Nothing");
    else
        label = source.toText();
    RaiseErrorExNamed(label, number, description);
}

void RaiseAppError(const Variant& source, const QString& description) {
    RaiseErrorEx(source, kAppErrorCode, description);
}
