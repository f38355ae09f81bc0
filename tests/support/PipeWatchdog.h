// A guard for tests that hand a named pipe to code that must not wait on it: should a reader still wait
// after a long while, the pipe's other end is opened, `bytes` written and the pipe closed, so that the
// wrong reading ends and its result fails the test instead of hanging it.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class PipeWatchdog {
  public:
    PipeWatchdog(const QString& pipe, QByteArray bytes)
        : thread_([this, path = QFile::encodeName(pipe), bytes = std::move(bytes)] {
              using namespace std::chrono_literals;
              std::unique_lock lock(mutex_);
              if (stop_.wait_for(lock, 60s, [this] { return done_; })) return;
              fired_ = true;
              // A writer that opens without waiting finds the pipe only while someone reads it.
              while (!stop_.wait_for(lock, 100ms, [this] { return done_; })) {
                  const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                  if (fd < 0) continue;
                  if (::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) < 0) {
                      // The reader is gone: nothing to end.
                  }
                  ::close(fd);
              }
          }) {}
    ~PipeWatchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        stop_.notify_all();
        thread_.join();
    }
    // True once the guard has had to open the pipe.
    bool fired() {
        std::lock_guard lock(mutex_);
        return fired_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable stop_;
    bool done_ = false;
    bool fired_ = false;
    std::thread thread_;  // last: started once the members above exist
};
