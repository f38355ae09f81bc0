// OLE dates and whole-minute differences.
#include <gtest/gtest.h>

#include "base/AppError.h"
#include "base/DateUtil.h"

namespace {

TEST(DateUtil, OleEpochAndParts) {
    EXPECT_EQ(MakeOleDate(1899, 12, 30), 0);
    EXPECT_EQ(MakeOleDate(1900, 1, 1), 2);
    EXPECT_DOUBLE_EQ(MakeOleDate(1899, 12, 29, 6, 0, 0), -1.25);
    const DateParts p = SplitOleDate(-1.25);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 6);
    // DateSerial's overflow into neighbouring months.
    EXPECT_EQ(MakeOleDate(2024, 13, 1), MakeOleDate(2025, 1, 1));
    EXPECT_EQ(MakeOleDate(2024, 3, 0), MakeOleDate(2024, 2, 29));
    EXPECT_THROW(MakeOleDate(10000, 1, 1), AppError);
    const QDateTime dt(QDate(2026, 12, 6), QTime(17, 5, 9));
    EXPECT_EQ(QDateTimeFromOle(OleDateFromQDateTime(dt)), dt);
}

TEST(DateUtil, WholeMinutesDropSeconds) {
    struct Case {
        DateParts from, to;
        int64_t minutes;
    } cases[] = {
        {{2024, 5, 6, 8, 0, 59}, {2024, 5, 6, 9, 0, 0}, 60},
        {{2024, 5, 6, 8, 0, 0}, {2024, 5, 6, 8, 0, 59}, 0},
        {{2024, 5, 6, 8, 59, 59}, {2024, 5, 6, 9, 0, 1}, 1},
        {{2024, 5, 6, 22, 30, 0}, {2024, 5, 7, 6, 15, 0}, 465},  // across midnight
        {{2024, 12, 31, 23, 59, 30}, {2025, 1, 1, 0, 0, 10}, 1},
        {{2024, 5, 6, 10, 0, 0}, {2024, 5, 6, 9, 30, 0}, -30},
    };
    for (const Case& c : cases) {
        const double a =
            MakeOleDate(c.from.year, c.from.month, c.from.day, c.from.hour, c.from.minute, c.from.second);
        const double b = MakeOleDate(c.to.year, c.to.month, c.to.day, c.to.hour, c.to.minute, c.to.second);
        EXPECT_EQ(WholeMinutesBetween(a, b), c.minutes);
    }
    // Times of day alone (attendance times).
    EXPECT_EQ(WholeMinutesBetween(MakeOleTime(7, 40, 0), MakeOleTime(13, 0, 0)), 320);
}

}  // namespace
