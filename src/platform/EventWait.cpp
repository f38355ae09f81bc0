// Waits on the monotonic clock.
#include "platform/EventWait.h"

#include <QEventLoop>
#include <QTimer>

#include <thread>

bool EventWait::Wait(std::chrono::milliseconds limit) {
    if (woken_) return true;
    const auto until = std::chrono::steady_clock::now() + limit;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(limit);
    QEventLoop* outer = loop_;
    loop_ = &loop;
    loop.exec();
    loop_ = outer;
    // Neither woken nor timed out: the loop was ended from outside, or refused to start, as every
    // loop does once the program is told to end. Returning now would make the caller spin.
    if (!woken_ && timer.isActive()) {
        ended_ = true;
        std::this_thread::sleep_until(until);
    }
    return woken_;
}

void EventWait::Wake() {
    woken_ = true;
    if (loop_) loop_->quit();
}

void EventWait::Pause(std::chrono::milliseconds span) {
    // sleep_until on the steady clock: woken early by a signal, it sleeps again.
    std::this_thread::sleep_until(std::chrono::steady_clock::now() + span);
}
