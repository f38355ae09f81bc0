// The error raised for a where-text, field list or order text that cannot be translated.
#pragma once

#include <QString>

#include <cstdint>

#include "base/AppError.h"

namespace odb {

// Raised as vbObjectError + this code.
inline constexpr int32_t kConditionErrorCode = 1301;
inline constexpr int32_t kConditionErrorNumber = vbObjectError + kConditionErrorCode;

// Raises the condition error for `text`, naming the problem and the 1-based position of the
// character at `pos` (0-based).
[[noreturn]] void RaiseConditionError(const QString& text, int pos, const QString& problem);

}  // namespace odb
