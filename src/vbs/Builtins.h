// The built-in functions and constants of the script language, as a table the interpreter looks up
// by name (case-insensitively).
#pragma once

#include <QString>

#include <vector>

#include "base/Variant.h"

namespace vbs {

class MemoryMeter;
class ScriptClock;
class ScriptPrompt;

// What a built-in may reach besides its arguments: the host's clock and prompt, and the meter of
// what the run holds (texts and arrays a built-in builds are checked against it before they are made).
struct BuiltinContext {
    ScriptClock* clock = nullptr;
    ScriptPrompt* prompt = nullptr;
    MemoryMeter* memory = nullptr;
};

// Arguments arrive evaluated, omitted ones as Variant::missing(); errors are raised as AppError
// with VBScript's numbers (5 invalid argument, 13 type mismatch, 6 overflow, 94 invalid use of Null...).
using BuiltinFn = Variant (*)(BuiltinContext& ctx, VariantList& args);

struct BuiltinDef {
    const char* name;
    int minArgs;
    int maxArgs;  // -1: any number (Array)
    BuiltinFn fn;
};

// Every built-in function, and the named constants (vbCrLf, vbTrue, vbLong...).
const std::vector<BuiltinDef>& Builtins();
const BuiltinDef* FindBuiltin(const QString& name);
// A named constant, or nullptr.
const Variant* FindBuiltinConstant(const QString& name);

}  // namespace vbs
