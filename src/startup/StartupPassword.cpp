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
    // Until the password dialog installs its check nothing can write a password file, so there is
    // no password to ask.
    return check() ? check()(owner) : true;
}
