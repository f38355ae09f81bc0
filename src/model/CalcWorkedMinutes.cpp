// The worked minutes of a day, in 16-bit arithmetic as the stored minute counts are.
#include "model/CalcWorkedMinutes.h"

#include <limits>

#include "base/AppError.h"
#include "base/DateUtil.h"

namespace {

constexpr int32_t kOverflow = 6;

int16_t checked16(int64_t v) {
    if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
        RaiseVbError(kOverflow);
    return static_cast<int16_t>(v);
}

}  // namespace

int16_t CalcWorkedMinutes(double morningEntry, double morningExit, double afternoonEntry,
                          double afternoonExit, int16_t pause) {
    const int16_t morning = checked16(WholeMinutesBetween(morningEntry, morningExit));
    const int16_t afternoon = checked16(WholeMinutesBetween(afternoonEntry, afternoonExit));
    const int16_t day = checked16(int64_t{morning} + afternoon);
    return checked16(int64_t{day} - pause);
}
