// The error a piece of code raises: its VB number (0 when it raises none) or its description ("").
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

inline QString DescriptionOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e.description();
    }
    return {};
}
