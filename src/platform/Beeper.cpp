// The beep service.
#include "platform/Beeper.h"

#include <QApplication>

namespace {
std::function<void()>& handler() {
    static std::function<void()> h;
    return h;
}
}  // namespace

void Beeper::Beep() {
    if (handler()) {
        handler()();
        return;
    }
    QApplication::beep();
}

std::function<void()> Beeper::setHandler(std::function<void()> h) {
    std::function<void()> previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}
