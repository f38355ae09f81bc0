// The raising of the program's own errors, from a text source or from an object (its class name).
#pragma once

#include <QString>

#include <cstdint>
#include <type_traits>
#include <typeinfo>

#include "base/AppError.h"
#include "base/Object.h"
#include "base/Variant.h"

// The class name that an error raised by an object carries.
QString ClassNameOfType(const std::type_info& type);
template <class T>
QString ClassNameOf(const T& object) {
    if constexpr (std::is_base_of_v<Object, T>)
        return object.className();
    else
        return ClassNameOfType(typeid(object));
}

// Raises the program's own error (code 32755) from a text source or an object (its class name).
[[noreturn]] void RaiseAppError(const Variant& source, const QString& description);
// Raises vbObjectError + number with the description "[source], Err.: number" + CR + description.
[[noreturn]] void RaiseErrorEx(const Variant& source, int32_t number, const QString& description);
[[noreturn]] void RaiseErrorExNamed(const QString& sourceLabel, int32_t number, const QString& description);

// Any other object as the source: its class name goes between the brackets.
template <class T>
requires(!std::is_convertible_v<const T&, Variant> && std::is_class_v<T>)
    [[noreturn]] void RaiseErrorEx(const T& source, int32_t number, const QString& description) {
    RaiseErrorExNamed(ClassNameOf(source), number, description);
}
template <class T>
requires(!std::is_convertible_v<const T&, Variant> && std::is_class_v<T>)
    [[noreturn]] void RaiseAppError(const T& source, const QString& description) {
    RaiseErrorExNamed(ClassNameOf(source), kAppErrorCode, description);
}
