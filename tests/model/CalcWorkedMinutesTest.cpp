// The minutes of a working day, in 16-bit arithmetic.
#include <gtest/gtest.h>

#include "base/AppError.h"
#include "base/DateUtil.h"
#include "model/CalcWorkedMinutes.h"

namespace {

double t(int h, int m, int s = 0) {
    return MakeOleTime(h, m, s);
}

struct DayCase {
    double me, mx, ae, ax;
    int16_t pause;
    int16_t minutes;
};

TEST(CalcWorkedMinutes, MorningPlusAfternoonLessThePause) {
    const DayCase cases[] = {
        {t(7, 40), t(13, 0), t(14, 0), t(16, 50), 0, 490},
        {t(7, 40), t(13, 0), t(14, 0), t(16, 50), 10, 480},
        {t(8, 0), t(13, 0), t(14, 0), t(16, 50), 0, 470},
        {t(7, 40, 59), t(13, 0, 1), t(14, 0, 30), t(16, 50, 29), 0, 490},  // seconds are ignored
        {t(13, 0), t(7, 40), t(14, 0), t(16, 50), 0, -150},                // exit before entry counts back
        {0, 0, 0, 0, 0, 0},
        {0, 0, 0, 0, -5, 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CalcWorkedMinutes(c.me, c.mx, c.ae, c.ax, c.pause), c.minutes);
}

void expectOverflow(double me, double mx, double ae, double ax, int16_t pause) {
    try {
        CalcWorkedMinutes(me, mx, ae, ax, pause);
        ADD_FAILURE() << "no overflow raised";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 6);
    }
}

TEST(CalcWorkedMinutes, SumsOutsideSixteenBitsRaiseOverflowInsteadOfWrapping) {
    const double day0 = MakeOleDate(2024, 1, 1);
    expectOverflow(day0, day0 + 30, 0, 0, 0);             // one span of 43200 minutes
    expectOverflow(day0, day0 + 15, day0, day0 + 15, 0);  // 21600 + 21600
    expectOverflow(t(7, 40), t(13, 0), t(14, 0), t(16, 50), -32768);
    expectOverflow(day0 + 20, day0, day0 + 20, day0, 0);  // -28800 - 28800
    // At the edge it still fits.
    EXPECT_EQ(CalcWorkedMinutes(0, MakeOleTime(0, 32767, 0), 0, 0, 0), 32767);
}

}  // namespace
