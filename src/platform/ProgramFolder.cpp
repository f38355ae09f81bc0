// Program folder and executable name.
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString& folderOverride() {
    static QString f;
    return f;
}
}  // namespace

QString ProgramFolder() {
    if (!folderOverride().isEmpty()) return folderOverride();
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QFileInfo info(exeDir);
    if (!exeDir.isEmpty() && info.isDir() && info.isWritable()) return exeDir;
    const QString data = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                             .filePath(QStringLiteral("ZeltoLavrix"));
    QDir().mkpath(data);
    return data;
}

void SetProgramFolder(const QString& folder) {
    folderOverride() = folder;
}

QString ExecutableName() {
    return QStringLiteral("ZeltoLavrix");
}
