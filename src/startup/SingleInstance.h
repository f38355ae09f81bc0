// The single-instance rule: one running copy of the program per user. A lock file held by a
// process that no longer runs does not count, so a crashed copy never blocks the next start.
// Beside the lock, the running copy listens on a local socket so that a second start can ask it to
// bring its window forward (a minimised window is otherwise lost where the desktop has no taskbar).
#pragma once

#include <QLockFile>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;

class SingleInstance {
  public:
    // The lock lives in the per-user runtime folder of this computer unless a path is given.
    explicit SingleInstance(const QString& lockPath = {});
    ~SingleInstance();
    // True when this process is now the only instance (the lock is held until destruction).
    bool acquire();
    bool held() const { return held_; }
    const QString& lockPath() const { return path_; }
    // The socket beside the lock on which the running copy listens.
    QString socketPath() const;

    // The instance that holds the lock: `anotherStart` runs each time a second start asks.
    void listen(std::function<void()> anotherStart);
    // A second start: asks the running copy to come forward; False when nobody answered.
    bool askRunningToComeForward();

    static QString defaultLockPath();

  private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    bool held_ = false;
};
