// The software-update flow.
#include "startup/SoftwareUpdate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

#include "base/AppError.h"
#include "base/DateUtil.h"
#include "base/Format.h"
#include "base/TextUtil.h"
#include "base/Variant.h"
#include "odb/Interfaces.h"
#include "platform/AppUpdateClient.h"
#include "platform/CabinetFile.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/modOSWinUtil.h"
#include "startup/DatabaseOpening.h"
#include "startup/EndProgram.h"
#include "startup/SharedState.h"
#include "startup/modZeltoFormUtility.h"

namespace {

const QString kSource = QStringLiteral("APPLICATION UPDATE");
const QString kDefaultUpdateBaseUrl = QStringLiteral("https://www.quendral.it/QoLib");
constexpr int kVersionTextLength = 14;
// The start files a cabinet may hold, in the order they are looked for.
const QStringList kStartFiles = {QStringLiteral("aggiorna.sh"), QStringLiteral("setup.sh"),
                                 QStringLiteral("setup.run"), QStringLiteral("install.run")};

enum class PackageKind { Cabinet, Direct, Unsupported };

PackageKind KindOf(const QString& package) {
    const QString suffix = QFileInfo(package).suffix().toUpper();
    if (suffix == QLatin1String("CAB")) return PackageKind::Cabinet;
    if (suffix == QLatin1String("SH") || suffix == QLatin1String("RUN")) return PackageKind::Direct;
    return PackageKind::Unsupported;
}

// The work folder's "Updates" folder (its name in any letter case), with a trailing separator.
QString PackageFolder(const QString& rootDir) {
    const QDir root(rootDir);
    QString name = QStringLiteral("Updates");
    if (!root.exists(name))
        for (const QString& sub : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (sub.compare(name, Qt::CaseInsensitive) == 0) name = sub;
    return BuildPath(rootDir, name, QString()) + QLatin1Char('/');
}

// The version in a package name after the application name and one separator, when it has three parts.
bool VersionOfName(const QString& name, const QString& applicationName, int& major, int& minor,
                   int& revision) {
    const QStringList parts =
        name.mid(applicationName.size() + 1, kVersionTextLength).split(QLatin1Char('_'));
    if (parts.size() != 3) return false;
    bool ok1 = false, ok2 = false, ok3 = false;
    major = parts[0].toInt(&ok1);
    minor = parts[1].toInt(&ok2);
    revision = parts[2].toInt(&ok3);
    return ok1 && ok2 && ok3;
}

// The extension of a file named on the server: after its last "." or "_" ("name_CAB" is a cabinet).
QString ServerExtension(const QString& serverFile) {
    const QString name = GetFileNameFromPath(serverFile);
    const qsizetype at = std::max(name.lastIndexOf(QLatin1Char('.')), name.lastIndexOf(QLatin1Char('_')));
    return at < 0 ? QString() : QLatin1Char('.') + name.mid(at + 1).toUpper();
}

// A text as one argument of a command line.
QString QuotedArgument(const QString& text) {
    if (!text.isEmpty() && !text.contains(QLatin1Char(' ')) && !text.contains(QLatin1Char('"'))) return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\\\"")) +
           QLatin1Char('"');
}

void Warn(const QString& text) {
    Prompt::instance().msgBox(text, MsgBoxStyle::vbExclamation, g_strMsgBoxTitle);
}

// The first start file found in the unpacked folder, letter case ignored; empty when none.
QString FindStartFile(const QString& folder) {
    const QStringList names = QDir(folder).entryList(QDir::Files);
    for (const QString& wanted : kStartFiles)
        for (const QString& name : names)
            if (name.compare(wanted, Qt::CaseInsensitive) == 0) return QDir(folder).filePath(name);
    return QString();
}

// A folder of its own for each unpacking, kept after the program ends for the started update.
QString NewUnpackFolder(const QString& applicationName) {
    QTemporaryDir dir(QDir(QDir::tempPath()).filePath(applicationName + QStringLiteral("-XXXXXX")));
    if (!dir.isValid()) return QString();
    dir.setAutoRemove(false);
    return dir.path();
}

}  // namespace

QString UpdateVersionText(int major, int minor, int revision) {
    return QStringLiteral("%1_%2_%3")
        .arg(major, 4, 10, QLatin1Char('0'))
        .arg(minor, 4, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

QString GetUpdateURL() {
    QString base = GetSetting(kAppSettingsName, QStringLiteral("Configuration"),
                              QStringLiteral("UpdateBaseURL"), QString())
                       .trimmed();
    if (base.isEmpty()) base = kDefaultUpdateBaseUrl;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + QStringLiteral("/GetAppUpdateFile.asp");
}

QString FindUpdatePackage(const QString& rootDir, const QString& applicationName, int major, int minor,
                          int revision, int32_t mode, AppUpdateClient* client, odb::itfProgress*) {
    const QString target =
        (applicationName + QLatin1Char('_') + UpdateVersionText(major, minor, revision)).toUpper();
    QString localFind, onlineFind;
    if (mode == kUpdateLocalAndOnline || mode == kUpdateLocalOnly) {
        const QDir folder(PackageFolder(rootDir));
        for (const QString& name : folder.entryList(QDir::Files)) {
            if (!name.startsWith(applicationName, Qt::CaseInsensitive)) continue;
            if (name.left(target.size()).toUpper() <= target) continue;
            // A package that could not be started would be offered again at every start.
            if (KindOf(name) == PackageKind::Unsupported) continue;
            // Names compare in upper case too, so that the version decides.
            if (localFind.isEmpty() || name.toUpper() > localFind.toUpper()) localFind = name;
        }
    }
    if (mode == kUpdateLocalAndOnline || mode == kUpdateOnlineOnly) {
        int askMajor = major, askMinor = minor, askRevision = revision;
        int m = 0, n = 0, r = 0;
        if (!localFind.isEmpty() && VersionOfName(localFind, applicationName, m, n, r)) {
            askMajor = m;
            askMinor = n;
            askRevision = r;
        }
        try {
            AppUpdateClient own;
            AppUpdateClient& c = client ? *client : own;
            onlineFind = c.GetAppUpdateFile(GetUpdateURL(), applicationName, askMajor, askMinor, askRevision,
                                            QString());
        } catch (const AppError&) {
            // An unreachable server just finds nothing.
        }
    }
    if (!onlineFind.isEmpty()) return QStringLiteral("OL:") + onlineFind;
    if (!localFind.isEmpty()) return QStringLiteral("LC:") + localFind;
    return QString();
}

bool ParseUpdateDescriptor(const QString& rootDir, const QString& descriptor, const QString& applicationName,
                           UpdatePackage& package) {
    try {
        QString versionText;
        UpdatePackage p;
        if (descriptor.startsWith(QLatin1String("LC:"))) {
            p.file = descriptor.mid(3);
            const QString name = GetFileNameFromPath(p.file);
            if (!name.startsWith(applicationName, Qt::CaseInsensitive)) throw AppError();
            versionText = name.mid(applicationName.size() + 1, kVersionTextLength);
            const QString inFolder = PackageFolder(rootDir) + name;
            if (FileExists(inFolder)) p.file = inFolder;
            const QFileInfo info(p.file);
            if (!info.isFile()) throw AppError();
            p.date = OleDateFromQDateTime(info.lastModified());
            p.size = Variant(static_cast<double>(info.size())).toLong();
            p.source = 1;
        } else if (descriptor.startsWith(QLatin1String("OL:"))) {
            const QStringList fields = descriptor.mid(3).split(QLatin1Char(','));
            if (fields.size() < 4) throw AppError();
            versionText = fields[0];
            p.size = Variant(fields[1]).toLong();
            if (p.size < 0) throw AppError();
            p.date = p.size != 0 ? Variant(fields[2]).toDate() : 0;
            p.file = fields[3];
            p.source = 2;
        } else {
            throw AppError();
        }
        const QStringList parts = versionText.split(QLatin1Char('_'));
        if (parts.size() != 3) throw AppError();
        p.major = Variant(parts[0]).toInteger();
        p.minor = Variant(parts[1]).toInteger();
        p.revision = Variant(parts[2]).toInteger();
        package = p;
        return true;
    } catch (const AppError&) {
        RaiseAppError(kSource, QStringLiteral("Errore nei dati di aggiornamento: ") + descriptor);
    }
}

bool CheckSoftwareUpdate(const QString& rootDir, const QString& applicationName, int major, int minor,
                         int revision, int32_t mode, AppUpdateClient* client, odb::itfProgress* progress,
                         bool noQuestion, bool endAfterStart) {
    using namespace MsgBoxStyle;
    const QString descriptor =
        FindUpdatePackage(rootDir, applicationName, major, minor, revision, mode, client, progress);
    if (descriptor.isEmpty()) return false;
    UpdatePackage package;
    ParseUpdateDescriptor(rootDir, descriptor, applicationName, package);
    if (package.size == 0) return false;

    if (!noQuestion) {
        // The title the message boxes show: the program's name when none was set.
        const QString title = g_strMsgBoxTitle.isEmpty() ? DefaultMsgBoxTitle() : g_strMsgBoxTitle;
        const QString text =
            QStringLiteral(
                "E' DISPONIBILE UN AGGIORNAMENTO SOFTWARE, INSTALLARLO ADESSO ?\r\rNUOVA VERSIONE:\r") +
            title +
            QStringLiteral(" v.%1.%2.%3\r").arg(package.major).arg(package.minor).arg(package.revision) +
            QString::number(static_cast<int64_t>(RoundHalfEven(package.size / 1000.0))) +
            QStringLiteral("KB del ") + VbFormatDateTime(Variant::fromDate(package.date), 2) +
            QStringLiteral("\r\rN.B.: L'applicazione verrà chiusa durante l'aggiornamento.");
        if (Prompt::instance().msgBox(text, vbYesNo | vbInformation, g_strMsgBoxTitle) != MsgResult::Yes)
            return false;
    }

    QString packagePath = package.file;
    // A package fetched here is removed again on any failure, so that it is not offered again.
    QString downloaded;
    struct RemoveOnFailure {
        QString& file;
        bool started = false;
        ~RemoveOnFailure() {
            if (!started && !file.isEmpty()) QFile::remove(file);
        }
    } removeOnFailure{downloaded};
    if (package.source == 2) {
        packagePath = PackageFolder(rootDir) + applicationName + QLatin1Char('_') +
                      UpdateVersionText(package.major, package.minor, package.revision) +
                      ServerExtension(package.file);
        // Nothing is fetched that could not be started.
        if (KindOf(packagePath) == PackageKind::Unsupported) {
            Warn(QStringLiteral("Formato del file di aggiornamento non supportato.\r\rFILE: ") +
                 package.file);
            return false;
        }
        QDir().mkpath(PackageFolder(rootDir));
        bool stopped = false;
        AppUpdateClient::Progress onProgress;
        if (progress) {
            progress->OnStart(0, std::max<int32_t>(1, package.size / 1024));
            onProgress = [&](int64_t received, int64_t) {
                if (!progress->OnProgress(0, package.size / 1024, static_cast<int32_t>(received / 1024),
                                          nullptr, nullptr))
                    stopped = true;
                return !stopped;
            };
        }
        try {
            AppUpdateClient own;
            (client ? *client : own)
                .GetAppUpdateFile(GetUpdateURL(), applicationName, major, minor, revision, packagePath,
                                  onProgress, package.size);
            downloaded = packagePath;  // a failed download leaves nothing (and keeps what was there)
        } catch (const AppError& e) {
            if (progress) progress->OnEnd(0, package.size / 1024);
            if (stopped) return false;
            RaiseAppError(kSource,
                          QStringLiteral("Impossibile scaricare l'aggiornamento: ") + e.description());
        }
        if (progress) progress->OnEnd(0, package.size / 1024);
        // Nothing that did not arrive whole is ever started, nor found again at the next start.
        const int64_t arrived = QFileInfo(packagePath).size();
        if (arrived != package.size) {
            Warn(QStringLiteral(
                     "Il file di aggiornamento scaricato non è integro: %1 byte invece di %2.\r\rFILE: ")
                     .arg(arrived)
                     .arg(package.size) +
                 packagePath);
            return false;
        }
    }

    QString startFile = packagePath, workDir;
    switch (KindOf(packagePath)) {
        case PackageKind::Unsupported:
            Warn(QStringLiteral("Formato del file di aggiornamento non supportato.\r\rFILE: ") + packagePath);
            return false;
        case PackageKind::Direct:
            break;
        case PackageKind::Cabinet: {
            workDir = NewUnpackFolder(applicationName);
            std::string badName, error;
            if (workDir.isEmpty() ||
                !CabinetFile::Extract(packagePath.toStdString(), workDir.toStdString(), badName, error)) {
                if (!workDir.isEmpty()) QDir(workDir).removeRecursively();
                if (!badName.empty())
                    Warn(QStringLiteral("Il file di aggiornamento contiene un percorso non ammesso: ") +
                         QString::fromStdString(badName) + QStringLiteral("\r\rFILE: ") + packagePath);
                else
                    Warn(QStringLiteral("Impossibile estrarre il file di aggiornamento: ") +
                         QString::fromStdString(error) + QStringLiteral(".\r\rFILE: ") + packagePath);
                return false;
            }
            startFile = FindStartFile(workDir);
            if (startFile.isEmpty()) {
                Warn(QStringLiteral(
                    "File di avvio per l'aggiornamento non identificato, è necessario l'avvio manuale."));
                startFile = workDir;  // the folder opens for the user
            }
            break;
        }
    }

    // Scripts and programs that arrived in a package carry no permission to run.
    if (QFileInfo(startFile).isFile())
        QFile::setPermissions(startFile, QFile::permissions(startFile) | QFile::ExeOwner | QFile::ExeUser);
    const QString parameters =
        applicationName + QLatin1Char(' ') + QuotedArgument(QCoreApplication::applicationDirPath());
    if (!ShellExecuteFile(startFile, QStringLiteral("open"), parameters, workDir, false)) {
        Prompt::instance().msgBox(QStringLiteral("Impossibile avviare l'aggiornamento: ") + startFile,
                                  vbCritical, g_strMsgBoxTitle);
        return false;
    }
    removeOnFailure.started = true;
    if (endAfterStart) EndProgram();
    return true;
}

void InstallStartupUpdateCheck() {
    SetStartupUpdateCheck([](const QString& rootDir) {
        CheckSoftwareUpdate(rootDir, kAppExeName, AppVersionMajor(), AppVersionMinor(), AppVersionRevision(),
                            kUpdateLocalOnly, nullptr, nullptr, false, true);
    });
}
