// The VB error number a piece of code raises, or 0 when it raises none.
#pragma once

#include <functional>

#include "base/AppError.h"

inline int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e.number();
    }
    return 0;
}
