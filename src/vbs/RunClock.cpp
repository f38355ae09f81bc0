// RunClock: the script's own time against its limit, and the waits for the user kept out of it.
#include "vbs/RunClock.h"

namespace vbs {

namespace {

thread_local RunClock* current = nullptr;

}  // namespace

void RunClock::start(int limitMs) {
    limited_ = limitMs > 0;
    limit_ = std::chrono::milliseconds(limited_ ? limitMs : 0);
    deadline_ = Clock::now() + limit_;
    askAt_ = deadline_;
}

RunClock::Wait::Wait(RunClock* clock) : clock_(clock) {
    if (!clock_) return;
    // Nested waits are one wait: the outermost one moves the deadline on.
    if (clock_->waiting_++ == 0) clock_->waitStart_ = Clock::now();
    ++clock_->waits_;
}

RunClock::Wait::~Wait() {
    if (!clock_) return;
    if (--clock_->waiting_ == 0) clock_->deadline_ += Clock::now() - clock_->waitStart_;
}

RunClock* RunClock::running() {
    return current;
}

RunClock::Running::Running(RunClock& clock) : previous_(current) {
    current = &clock;
}

RunClock::Running::~Running() {
    current = previous_;
}

}  // namespace vbs
