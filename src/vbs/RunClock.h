// RunClock: the time limit of a script run. The script's own time counts against it, the members of
// host objects it calls included; time spent waiting for the user does not. The run's whole time,
// waits included, tells when a script that keeps the user busy is asked whether to stop.
#pragma once

#include <chrono>

namespace vbs {

// Thrown when the time limit passes; On Error Resume Next does not stop it.
struct ScriptAbort {};

class RunClock {
  public:
    using Clock = std::chrono::steady_clock;

    // No limit when limitMs <= 0.
    void start(int limitMs);
    // Throws ScriptAbort once the script's own time has passed the limit. The clock stands still while
    // the user is waited for.
    void check() const {
        if (limited_ && waiting_ == 0 && Clock::now() >= deadline_) throw ScriptAbort();
    }
    // The run, waits included, has gone on past the limit since it started or since the user last
    // chose to let it go on.
    bool overdue() const { return limited_ && Clock::now() >= askAt_; }
    void goOn() { askAt_ = Clock::now() + limit_; }

    // The user is being waited for from Wait's making to its end.
    class Wait {
      public:
        explicit Wait(RunClock* clock);
        ~Wait();
        Wait(const Wait&) = delete;
        Wait& operator=(const Wait&) = delete;

      private:
        RunClock* clock_;
    };
    // Waits begun so far: a change across a call tells that the call waited for the user.
    unsigned waits() const { return waits_; }

    // The clock of the script work under way on this thread, if any.
    static RunClock* running();
    // Makes a clock the running one for its lifetime.
    class Running {
      public:
        explicit Running(RunClock& clock);
        ~Running();
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

      private:
        RunClock* previous_;
    };

  private:
    bool limited_ = false;
    Clock::duration limit_{};
    Clock::time_point deadline_;  // moves on by the time spent waiting for the user
    Clock::time_point askAt_;
    Clock::time_point waitStart_;
    int waiting_ = 0;
    unsigned waits_ = 0;
};

}  // namespace vbs
