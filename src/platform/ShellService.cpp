// The shell service and its desktop implementation.
#include "platform/ShellService.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {
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
    if (QDesktopServices::openUrl(url)) return true;
    return QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString()}, workDir);
}
