// CompileError: a syntax error found while reading a script, with its line.
#pragma once

#include "base/AppError.h"

namespace vbs {

class CompileError : public AppError {
  public:
    CompileError(int32_t number, int line, const QString& detail = {});
    int line() const { return line_; }

  private:
    int line_;
};

// The short Italian text of a script error number: compile errors (1002...) and the engine's own,
// then VB's run-time texts.
QString ScriptErrorText(int32_t number);

// Numbers the engine raises besides VB's run-time ones.
inline constexpr int32_t kSyntaxError = 1002;
inline constexpr int32_t kTimeoutError = -2147467260;        // operation aborted: the time limit passed
inline constexpr int32_t kUnknownNameError = -2147352570;    // Run: no such procedure
inline constexpr int32_t kBadParamCountError = -2147352562;  // Run: wrong number of arguments
inline constexpr int32_t kNotSupportedError = 445;

}  // namespace vbs
