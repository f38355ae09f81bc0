// RunClock: the script's own time against its limit, and the waits for the user kept out of it.
#include "vbs/RunClock.h"

namespace vbs {

namespace {

thread_local RunClock* current = nullptr;
RunClock::TimeSource timeSource = nullptr;

}  // namespace

RunClock::Clock::time_point RunClock::now() {
    return timeSource ? timeSource() : Clock::now();
}

void RunClock::setTimeSource(TimeSource source) {
    timeSource = source;
}

void RunClock::start(int limitMs) {
    limited_ = limitMs > 0;
    limit_ = std::chrono::milliseconds(limited_ ? limitMs : 0);
    deadline_ = now() + limit_;
    askAt_ = limit_;
    waits_ = 0;
}

RunClock::Clock::duration RunClock::runTime() const {
    // The deadline has moved on by every wait: what is left of it tells the script's own time.
    const Clock::time_point at = waiting_ > 0 ? waitStart_ : now();
    return at - (deadline_ - limit_) + static_cast<int>(waits_) * kWaitWeight;
}

RunClock::Wait::Wait(RunClock* clock) : clock_(clock) {
    if (!clock_) return;
    // Nested waits are one wait: the outermost one moves the deadline on.
    if (clock_->waiting_++ > 0) return;
    clock_->waitStart_ = now();
    ++clock_->waits_;
}

RunClock::Wait::~Wait() {
    if (!clock_) return;
    if (--clock_->waiting_ == 0) clock_->deadline_ += now() - clock_->waitStart_;
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
