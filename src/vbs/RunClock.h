// RunClock: the time limit of a script run. The script's own time counts against it, the members of
// host objects it calls included; time spent waiting for the user does not. A script that keeps the
// user busy is asked whether to stop once its own time and a fixed second for each wait pass the limit:
// however long the user takes over a few boxes, only a script that keeps showing them is asked.
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
        if (limited_ && waiting_ == 0 && now() >= deadline_) throw ScriptAbort();
    }
    // What one wait for the user weighs in the run's time, whatever its length.
    static constexpr Clock::duration kWaitWeight = std::chrono::seconds(1);
    // The run's time has gone past the limit since it started or since the user last chose to let it
    // go on.
    bool overdue() const { return limited_ && runTime() >= askAt_; }
    void goOn() { askAt_ = runTime() + limit_; }

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
    // Waits begun so far, nested ones counted once: a change across a call tells that the call waited
    // for the user.
    unsigned waits() const { return waits_; }

    // Tests drive the time the clocks read; null goes back to the steady clock.
    using TimeSource = Clock::time_point (*)();
    static void setTimeSource(TimeSource source);

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
    static Clock::time_point now();
    // The script's own time plus kWaitWeight for each wait.
    Clock::duration runTime() const;

    bool limited_ = false;
    Clock::duration limit_{};
    Clock::time_point deadline_;  // moves on by the time spent waiting for the user
    Clock::duration askAt_{};     // in run time
    Clock::time_point waitStart_;
    int waiting_ = 0;
    unsigned waits_ = 0;
};

}  // namespace vbs
