// Processes started by the program are kept by id so that their exit code can be read back.
#include "platform/ProcessRunner.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <signal.h>
#include <cerrno>
#include <map>
#include <memory>

#include "base/AppError.h"

namespace {

std::map<int64_t, std::unique_ptr<QProcess>>& started() {
    static std::map<int64_t, std::unique_ptr<QProcess>> m;
    return m;
}

bool foreignProcessAlive(int64_t pid) {
    if (pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// ERROR_INVALID_PARAMETER, as the platform reports a process that cannot be opened.
constexpr int32_t kInvalidProcess = 87;

}  // namespace

int64_t StartProcess(const QString& commandLine, const QString& workDir) {
    QStringList parts = QProcess::splitCommand(commandLine);
    if (parts.isEmpty()) return 0;
    auto process = std::make_unique<QProcess>();
    process->setProgram(parts.takeFirst());
    process->setArguments(parts);
    if (!workDir.isEmpty()) process->setWorkingDirectory(workDir);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start();
    if (!process->waitForStarted()) return 0;
    const int64_t pid = process->processId();
    started()[pid] = std::move(process);
    return pid;
}

int32_t WaitForProcessEnd(int64_t pid, bool blocking) {
    auto it = started().find(pid);
    if (it != started().end()) {
        QProcess& p = *it->second;
        if (p.state() != QProcess::NotRunning) {
            if (blocking) {
                p.waitForFinished(-1);
            } else {
                QEventLoop loop;
                QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
                if (p.state() != QProcess::NotRunning) loop.exec();
            }
        }
        const int32_t code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        started().erase(it);
        return code;
    }
    // A process the program did not start: its end is seen, its exit code is not.
    if (!foreignProcessAlive(pid)) {
        if (blocking) throw AppError(kInvalidProcess, QString(), QStringLiteral("Processo non trovato"));
        return 0;
    }
    if (blocking) {
        QEventLoop loop;  // no user events: only the poll timer runs
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!foreignProcessAlive(pid)) loop.quit();
        });
        poll.start(50);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    } else {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!foreignProcessAlive(pid)) loop.quit();
        });
        poll.start(50);
        loop.exec();
    }
    return 0;
}
