// The process-wide hook of the waits for the user.
#include "platform/WaitingForUser.h"

namespace {

WaitingForUser::Hook& hook() {
    static WaitingForUser::Hook h;
    return h;
}

}  // namespace

WaitingForUser::WaitingForUser() {
    if (hook()) held_ = hook()();
}

void WaitingForUser::SetHook(Hook h) {
    hook() = std::move(h);
}
