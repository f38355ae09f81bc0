// Waits on the monotonic clock.
#include "platform/EventWait.h"

#include <QEventLoop>
#include <QTimer>

#include <thread>

bool EventWait::Wait(std::chrono::milliseconds limit) {
    if (woken_) return true;
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
