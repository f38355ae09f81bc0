// Single instance on QLockFile; the running copy's local socket.
#include "startup/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <memory>

#include "platform/SettingsStore.h"

namespace {

const QByteArray kComeForward = QByteArrayLiteral("show\n");
constexpr int kAnswerMs = 2000;

}  // namespace

SingleInstance::SingleInstance(const QString& lockPath)
    : path_(lockPath.isEmpty() ? defaultLockPath() : lockPath) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultLockPath() {
    // The per-user runtime folder belongs to this computer: a home shared by several computers
    // must not make one computer's copy block another's.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = SettingsFolder();
    return QDir(folder).filePath(QStringLiteral("ZeltoLavrix.lock"));
}

QString SingleInstance::socketPath() const {
    const QFileInfo lock(path_);
    return QDir(lock.absolutePath()).filePath(lock.completeBaseName() + QStringLiteral(".sock"));
}

bool SingleInstance::acquire() {
    if (held_) return true;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    lock_ = std::make_unique<QLockFile>(path_);
    // Never stale by age: only a lock whose process is gone is taken over.
    lock_->setStaleLockTime(0);
    held_ = lock_->tryLock(0);
    if (!held_) lock_.reset();
    return held_;
}

void SingleInstance::listen(std::function<void()> anotherStart) {
    if (!held_ || server_) return;
    server_ = std::make_unique<QLocalServer>();
    // A socket left by a copy that crashed: the lock is ours, so the socket is too.
    QLocalServer::removeServer(socketPath());
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath())) {
        server_.reset();
        return;
    }
    QObject::connect(
        server_.get(), &QLocalServer::newConnection, server_.get(),
        [this, anotherStart = std::move(anotherStart)] {
            while (QLocalSocket* caller = server_->nextPendingConnection()) {
                QObject::connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
                auto said = std::make_shared<QByteArray>();
                QObject::connect(caller, &QLocalSocket::readyRead, caller, [caller, said, anotherStart] {
                    said->append(caller->readAll());
                    if (!said->contains(kComeForward)) return;
                    said->clear();
                    anotherStart();
                });
            }
        });
}

bool SingleInstance::askRunningToComeForward() {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(kAnswerMs)) return false;
    socket.write(kComeForward);
    const bool sent = socket.waitForBytesWritten(kAnswerMs);
    socket.disconnectFromServer();
    return sent;
}
