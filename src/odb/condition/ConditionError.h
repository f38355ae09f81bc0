// The error raised for a where-text, field list or order text that cannot be translated.
#pragma once

#include <QString>

namespace odb {

// Raises the library error odbErrBadCondition for `text`, naming the problem and the 1-based
// position of the character at `pos` (0-based).
[[noreturn]] void RaiseConditionError(const QString& text, int pos, const QString& problem);

}  // namespace odb
