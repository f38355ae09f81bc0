// Window subclassing as an event filter.
#include "platform/clsSubclassWnd.h"

clsSubclassWnd::~clsSubclassWnd() {
    TerminateSubclassing();
}

void clsSubclassWnd::Define(QObject* window, const std::vector<int32_t>& messages) {
    TerminateSubclassing();
    messages_ = messages;
    window_ = window;
    if (window_) {
        window_->installEventFilter(this);
        installed_ = true;
    }
}

void clsSubclassWnd::TerminateSubclassing() {
    if (!installed_) return;
    if (window_) window_->removeEventFilter(this);
    installed_ = false;
}

bool clsSubclassWnd::ProcessWM(QEvent& event) {
    if (disabled_) return false;
    for (int32_t m : messages_) {
        if (m != static_cast<int32_t>(event.type())) continue;
        // Only the first matching entry raises the event.
        bool endWithValue = false;
        if (onWindowsMessage_) onWindowsMessage_(event, endWithValue);
        return endWithValue;
    }
    return false;
}

bool clsSubclassWnd::eventFilter(QObject* watched, QEvent* event) {
    if (installed_ && watched == window_ && event && ProcessWM(*event)) return true;
    return QObject::eventFilter(watched, event);
}
