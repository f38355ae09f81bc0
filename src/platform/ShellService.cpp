// The shell service and its desktop implementation.
#include "platform/ShellService.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kOpenerStartMs = 3000;
constexpr int kOpenerAnswerMs = 3000;

std::shared_ptr<ShellService>& current() {
    static std::shared_ptr<ShellService> s;
    return s;
}

// A local path becomes a file URL; an address ("http://...", "mailto:...") stays as it is.
QUrl urlFor(const QString& file) {
    if (QFileInfo::exists(file)) return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    const QUrl url(file, QUrl::TolerantMode);
    if (url.isValid() && url.scheme().size() > 1) return url;
    return QUrl::fromLocalFile(file);
}
}  // namespace

ShellService& ShellService::instance() {
    if (!current()) current() = std::make_shared<DesktopShellService>();
    return *current();
}

std::shared_ptr<ShellService> ShellService::setInstance(std::shared_ptr<ShellService> service) {
    auto previous = current();
    current() = std::move(service);
    return previous;
}

bool DesktopShellService::execute(const QString& file, const QString& operation, const QString& parameters,
                                  const QString& workDir, bool /*minimised*/) {
    if (file.isEmpty()) return false;
    const QString op = operation.trimmed().toLower();
    if (!op.isEmpty() && op != QLatin1String("open")) return false;
    const QFileInfo info(file);
    if (info.isFile() && info.isExecutable())
        return QProcess::startDetached(info.absoluteFilePath(), QProcess::splitCommand(parameters), workDir);
    if (!info.exists() && info.isAbsolute()) return false;
    const QUrl url = urlFor(file);
    // The desktop's opener says whether anything took the file; Qt's own opener would start it
    // and answer yes even where no program opens such a file.
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return QDesktopServices::openUrl(url);
    auto* opener = new QProcess;
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({url.toString()});
    if (!workDir.isEmpty()) opener->setWorkingDirectory(workDir);
    opener->start();
    if (!opener->waitForStarted(kOpenerStartMs)) {
        delete opener;
        return false;
    }
    // It ends at once with the desktop's answer; an opener still running after a moment has
    // started the program itself, which stays open after it.
    QEventLoop wait;
    QTimer::singleShot(kOpenerAnswerMs, &wait, &QEventLoop::quit);
    QObject::connect(opener, &QProcess::finished, &wait, &QEventLoop::quit);
    if (opener->state() != QProcess::NotRunning) wait.exec(QEventLoop::ExcludeUserInputEvents);
    if (opener->state() != QProcess::NotRunning) {
        QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
        return true;
    }
    const bool opened = opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
    delete opener;
    return opened;
}
