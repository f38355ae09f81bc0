// Kill tests: a child repeating one operation, killed at a point spread over its measured time.
#include "support/OperationKiller.h"

#include <QRandomGenerator>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <thread>
#include <vector>

using std::chrono::microseconds;
using Steady = std::chrono::steady_clock;

namespace {

// The monotonic clock is one for every process, so the child's times compare with the parent's.
int64_t Now() {
    return std::chrono::duration_cast<microseconds>(Steady::now().time_since_epoch()).count();
}

// Runs the start and the operations, telling the parent when each ended.
[[noreturn]] void RunChild(int ends, const std::function<void()>& start,
                           const std::function<void()>& operation) {
    const auto tell = [ends] {
        const int64_t at = Now();
        if (write(ends, &at, sizeof at) != sizeof at) _exit(2);
    };
    // A forked child goes on with its parent's random numbers, and so would pick the very names for
    // its temporary files that earlier children were killed holding: it moves on by a stretch of its
    // own, as a program started afresh has numbers of its own. (Qt's shared generator cannot be
    // seeded again.)
    QRandomGenerator::global()->discard(QRandomGenerator::system()->bounded(1u << 16));
    try {
        if (start) start();
        tell();
        for (;;) {
            operation();
            tell();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "the killed operation failed: %s\n", e.what());
    } catch (...) {
    }
    _exit(1);
}

}  // namespace

microseconds TimeOf(const std::function<void()>& work) {
    const auto begin = Steady::now();
    work();
    return std::chrono::duration_cast<microseconds>(Steady::now() - begin);
}

OperationKiller::OperationKiller(microseconds span, unsigned seed)
    : random_(seed), span_(std::max(span, microseconds(1))) {}

KilledChild OperationKiller::run(const std::function<void()>& start, const std::function<void()>& operation,
                                 int before, const std::function<bool()>& seen) {
    int ends[2];
    if (pipe(ends) != 0) return {};
    const pid_t pid = fork();
    if (pid < 0) {
        close(ends[0]);
        close(ends[1]);
        return {};
    }
    if (pid == 0) {
        close(ends[0]);
        RunChild(ends[1], start, operation);
    }
    close(ends[1]);
    // When the start and each operation ended.
    std::vector<int64_t> ended;
    const auto next = [&] {
        int64_t at = 0;
        if (read(ends[0], &at, sizeof at) != sizeof at) return false;
        ended.push_back(at);
        return true;
    };
    bool running = true;
    for (int n = before < 0 ? 0 : before + 1; n > 0 && running; --n)
        running = next();
    if (running && seen) {
        // Looked for until the operation under way ends: however long either process is held up,
        // the kill falls inside it or right after it, never before what it looks for.
        pollfd end{ends[0], POLLIN, 0};
        while (!seen()) {
            if (poll(&end, 1, 0) > 0) {
                running = next();
                break;
            }
            std::this_thread::sleep_for(microseconds(20));
        }
    } else if (running) {
        std::uniform_int_distribution<int64_t> pause(0, 2 * span_.count());
        std::this_thread::sleep_for(microseconds(pause(random_)));
    }
    kill(pid, SIGKILL);
    const int64_t killedAt = Now();
    int status = 0;
    waitpid(pid, &status, 0);
    while (next()) {
    }
    close(ends[0]);

    const int operations = std::max(0, static_cast<int>(ended.size()) - 1);
    if (operations > 0) span_ = microseconds(ended.back() - ended[ended.size() - 2]);
    // The operation under way when the kill came had run this long already.
    if (!ended.empty()) span_ = std::max(span_, microseconds(killedAt - ended.back()));
    span_ = std::max(span_, microseconds(1));
    return {running && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, operations};
}
