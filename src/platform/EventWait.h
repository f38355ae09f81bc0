// Waits of the user-interface thread on a monotonic clock: one that keeps window events flowing
// until it is woken or its time is up, and a fixed pause that handles no events. Neither spins.
#pragma once

#include <chrono>

class QEventLoop;

class EventWait {
  public:
    EventWait() = default;
    EventWait(const EventWait&) = delete;
    EventWait& operator=(const EventWait&) = delete;

    // Runs window events until Wake() or until `limit` has passed; true when woken. A Wake() that
    // came before the wait makes it return at once. Once the program is told to end, Qt runs no
    // event loop any more: the wait then blocks for the rest of `limit` without events.
    bool Wait(std::chrono::milliseconds limit);
    // True once a wait found the program told to end.
    bool Ended() const { return ended_; }
    void Wake();
    // Makes the next Wait wait again.
    void Reset() { woken_ = false; }

    // Blocks the thread for `span` without handling any event.
    static void Pause(std::chrono::milliseconds span);

  private:
    QEventLoop* loop_ = nullptr;
    bool woken_ = false;
    bool ended_ = false;
};
