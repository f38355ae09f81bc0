// The operating-system helpers.
#include "platform/modOSWinUtil.h"

#include <QDir>
#include <QFileInfo>

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
