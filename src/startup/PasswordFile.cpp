// Reading and replacing the start-up password file.
#include "startup/PasswordFile.h"

#include <QFile>
#include <QSaveFile>

#include "base/TextUtil.h"
#include "platform/ProgramFolder.h"
#include "platform/modOSWinUtil.h"

namespace {

const QString kSource = QStringLiteral("PasswordFile");
// Qt sets the owner's write bit for WriteUser too: both go.
constexpr QFileDevice::Permissions kWriteBits =
    QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup | QFileDevice::WriteOther;

}  // namespace

QString PasswordFilePath() {
    return BuildPath(ProgramFolder(), QStringLiteral("prtct1.sys"), QString());
}

QString ReadPasswordFile() {
    QFile file(PasswordFilePath());
    if (!file.exists()) return {};
    if (!file.open(QIODevice::ReadOnly))
        RaiseAppError(kSource, QStringLiteral("Impossibile leggere il file ") + file.fileName() +
                                   QStringLiteral(": ") + file.errorString());
    return QString::fromLatin1(file.readAll());
}

void WritePasswordFile(const QString& scrambled) {
    const QString path = PasswordFilePath();
    QFile old(path);
    // The old file is read-only: it becomes writable for the replacement, keeping its other rights.
    if (old.exists() && !old.setPermissions(old.permissions() | QFileDevice::WriteOwner))
        RaiseAppError(kSource, QStringLiteral("Impossibile modificare il file ") + path +
                                   QStringLiteral(": ") + old.errorString());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(scrambled.toLatin1()) != scrambled.size() ||
        !file.commit())
        RaiseAppError(kSource, QStringLiteral("Impossibile scrivere il file ") + path + QStringLiteral(": ") +
                                   file.errorString());
    QFile written(path);
    written.setPermissions(written.permissions() & ~kWriteBits);
}
