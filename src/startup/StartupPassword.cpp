// The start-up password hook.
#include "startup/StartupPassword.h"

namespace {
std::function<bool(QWidget*)>& check() {
    static std::function<bool(QWidget*)> c;
    return c;
}
}  // namespace

void SetStartupPasswordCheck(std::function<bool(QWidget*)> c) {
    check() = std::move(c);
}

bool CheckStartupPassword(QWidget* owner) {
    // Without an installed check (tests of the start-up road) there is no password to ask.
    return check() ? check()(owner) : true;
}
