// Argument handling shared by the built-in functions: omitted arguments, default values of
// objects, and the conversions with VBScript's error numbers (5 invalid, 13 mismatch, 94 Null).
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

#include "base/Variant.h"

namespace vbs {

// True when argument i was passed and not left out.
bool HasArg(const VariantList& args, size_t i);
// How many arguments were passed, not counting those left out at the end.
size_t GivenCount(const VariantList& args);

// The value of argument i: an object stands for its default member, as in any expression.
// A required argument that was left out raises 449.
Variant ArgValue(const VariantList& args, size_t i);

// A whole number (rounded half to even); Null raises 94. `fallback` when left out.
int32_t LongArg(const VariantList& args, size_t i, int32_t fallback);
int32_t LongArg(const VariantList& args, size_t i);  // required
// A text; Null raises 94.
QString StringArg(const VariantList& args, size_t i, const QString& fallback = {});
// vbBinaryCompare (0, the default) or vbTextCompare (1); other values raise 5, Null 94.
bool TextCompareArg(const VariantList& args, size_t i);
// A first-day-of-week argument: 1 (Sunday) to 7 (Saturday); 0 takes the Italian setting (Monday).
int FirstDayArg(const VariantList& args, size_t i, int fallback);

struct BuiltinContext;

// The longest text a built-in builds (as the interpreter's own limit): past it, error 14 (out of
// string space) is raised before any memory is taken; a text the run has no room for raises 7.
inline constexpr qsizetype kMaxBuiltinText = 64 * 1024 * 1024;
void CheckTextLength(BuiltinContext& ctx, qint64 length);
// Room for an array of `count` elements built by a built-in, or error 7.
void CheckArrayLength(BuiltinContext& ctx, qint64 count);

// Error 5: invalid procedure call or argument.
[[noreturn]] void RaiseInvalidArgument();

}  // namespace vbs
