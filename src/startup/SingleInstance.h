// The single-instance rule: one running copy of the program per user. A lock file held by a
// process that no longer runs does not count, so a crashed copy never blocks the next start.
#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

class SingleInstance {
  public:
    // The lock lives in the per-user runtime folder of this computer unless a path is given.
    explicit SingleInstance(const QString& lockPath = {});
    // True when this process is now the only instance (the lock is held until destruction).
    bool acquire();
    bool held() const { return held_; }
    const QString& lockPath() const { return path_; }

    static QString defaultLockPath();

  private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    bool held_ = false;
};
