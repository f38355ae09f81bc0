// ScriptError: the host's Error object, describing the last error of AddCode or Run.
#pragma once

#include <QString>

#include <cstdint>

namespace vbs {

struct ScriptError {
    int32_t Number = 0;
    QString Description;
    QString Source;
    int Line = 0;  // 1-based line of the failing statement; 0 when none

    void Clear() { *this = ScriptError(); }
};

}  // namespace vbs
