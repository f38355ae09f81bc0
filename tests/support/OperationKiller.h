// Kill tests: a child process repeating one operation, killed at a point spread over the time that
// operation takes on this machine now, never within a fixed time, so that they hold on a slow or
// busy disk as on a fast one.
#pragma once

#include <chrono>
#include <functional>
#include <random>

// How long `work` takes, done once and unkilled.
std::chrono::microseconds TimeOf(const std::function<void()>& work);

// What one killed child did.
struct KilledChild {
    bool killed = false;  // false: it ended by itself (an exception, a refusal) or never started
    int operations = 0;   // whole operations it finished
};

class OperationKiller {
  public:
    // `span`: one whole operation, as TimeOf measured it first.
    OperationKiller(std::chrono::microseconds span, unsigned seed);

    // Forks a child that runs `start` once, then `operation` over and over until it is killed. The
    // kill comes after the start and `before` operations were seen finished (before < 0: counted from
    // the fork, so that it may fall inside the start), at a random pause within twice the span: before,
    // inside and after the operation's writes, and in the next one. With `seen`, it comes as soon as
    // `seen` holds instead, or as the operation under way ends when it never does.
    KilledChild run(const std::function<void()>& start, const std::function<void()>& operation,
                    int before = 0, const std::function<bool()>& seen = {});

    // The time one operation takes now: the latest whole one the children finished, or longer when
    // a killed one had run longer than that.
    std::chrono::microseconds span() const { return span_; }

  private:
    std::mt19937 random_;
    std::chrono::microseconds span_;
};
