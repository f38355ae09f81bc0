// The job thread: a QThread (so that sockets made there have an event dispatcher to refer to)
// waiting on a condition for its next job.
#include "platform/AsideThread.h"

#include <QThread>

#include <condition_variable>
#include <exception>
#include <mutex>

#include "platform/EventWait.h"

namespace {
constexpr auto kTick = std::chrono::milliseconds(10);
}  // namespace

struct AsideThread::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::function<void()> job;
    bool done = true;
    bool quit = false;
    std::exception_ptr failure;
};

AsideThread::AsideThread() : shared_(std::make_unique<Shared>()) {
    Shared* s = shared_.get();
    thread_.reset(QThread::create([s] {
        std::unique_lock<std::mutex> lock(s->mutex);
        for (;;) {
            s->changed.wait(lock, [s] { return s->quit || s->job; });
            if (!s->job) return;
            const std::function<void()> job = std::move(s->job);
            s->job = nullptr;
            lock.unlock();
            std::exception_ptr failure;
            try {
                job();
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            s->failure = failure;
            s->done = true;
            s->changed.notify_all();
        }
    }));
    thread_->start();
}

AsideThread::~AsideThread() {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->quit = true;
    }
    shared_->changed.notify_all();
    thread_->wait();
}

void AsideThread::hand(const std::function<void()>& job) {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->job = job;
    shared_->done = false;
    shared_->failure = nullptr;
    shared_->changed.notify_all();
}

void AsideThread::raiseFailure() {
    std::exception_ptr failure;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        failure = shared_->failure;
    }
    if (failure) std::rethrow_exception(failure);
}

void AsideThread::Run(const std::function<void()>& job, const std::function<void()>& stop) {
    hand(job);
    const auto done = [this] {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        return shared_->done;
    };
    EventWait wait;
    while (!done()) {
        wait.Reset();
        wait.Wait(kTick);
        if (!wait.Ended()) continue;
        if (stop) stop();
        waitBlocked();
        break;
    }
    raiseFailure();
}

void AsideThread::RunBlocked(const std::function<void()>& job) {
    hand(job);
    waitBlocked();
    raiseFailure();
}

void AsideThread::waitBlocked() {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->changed.wait(lock, [this] { return shared_->done; });
}
