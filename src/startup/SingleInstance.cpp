// Single instance on QLockFile.
#include "startup/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

#include "platform/SettingsStore.h"

SingleInstance::SingleInstance(const QString& lockPath)
    : path_(lockPath.isEmpty() ? defaultLockPath() : lockPath) {}

QString SingleInstance::defaultLockPath() {
    // Next to the user's settings: the settings are what a second instance must not touch.
    return QDir(SettingsFolder()).filePath(QStringLiteral("ZeltoLavrix.lock"));
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
