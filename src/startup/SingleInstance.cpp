// Single instance on QLockFile.
#include "startup/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

#include "platform/SettingsStore.h"

SingleInstance::SingleInstance(const QString& lockPath)
    : path_(lockPath.isEmpty() ? defaultLockPath() : lockPath) {}

QString SingleInstance::defaultLockPath() {
    // The per-user runtime folder belongs to this computer: a home shared by several computers
    // must not make one computer's copy block another's.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = SettingsFolder();
    return QDir(folder).filePath(QStringLiteral("ZeltoLavrix.lock"));
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
