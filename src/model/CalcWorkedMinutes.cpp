// The worked minutes of a day, in 16-bit arithmetic as the stored minute counts are.
#include "model/CalcWorkedMinutes.h"

#include <limits>

#include "base/AppError.h"
#include "base/DateUtil.h"

namespace {
constexpr int32_t kOverflow = 6;
}  // namespace

int16_t Minutes16(int64_t v) {
    if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
        RaiseVbError(kOverflow);
    return static_cast<int16_t>(v);
}

int16_t CalcWorkedMinutes(double morningEntry, double morningExit, double afternoonEntry,
                          double afternoonExit, int16_t pause) {
    const int16_t morning = Minutes16(WholeMinutesBetween(morningEntry, morningExit));
    const int16_t afternoon = Minutes16(WholeMinutesBetween(afternoonEntry, afternoonExit));
    const int16_t day = Minutes16(int64_t{morning} + afternoon);
    return Minutes16(int64_t{day} - pause);
}
