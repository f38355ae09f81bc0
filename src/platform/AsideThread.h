// AsideThread: a thread of its own that runs the jobs handed to it one at a time, while the thread
// that hands them keeps its window events flowing. What a job leaves on it (a socket) belongs to
// it from one job to the next.
#pragma once

#include <functional>
#include <memory>

class QThread;

class AsideThread {
  public:
    AsideThread();
    // Ends the thread; no job may be running.
    ~AsideThread();
    AsideThread(const AsideThread&) = delete;
    AsideThread& operator=(const AsideThread&) = delete;

    // Runs `job` there and returns once it is done, raising here what it raised. Meanwhile this
    // thread runs its window events. Once the program is told to end there are none to run: `stop`
    // is called here, and must make the job end at once, and the job is waited for without events.
    void Run(const std::function<void()>& job, const std::function<void()>& stop = {});
    // Runs a short `job` there, blocking this thread without its events.
    void RunBlocked(const std::function<void()>& job);

  private:
    struct Shared;
    void hand(const std::function<void()>& job);
    void waitBlocked();
    void raiseFailure();
    std::unique_ptr<Shared> shared_;
    std::unique_ptr<QThread> thread_;
};
