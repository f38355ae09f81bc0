// The program's clock: whole seconds whatever the source gives.
#include <gtest/gtest.h>

#include "base/DateUtil.h"
#include "platform/Clock.h"

namespace {

TEST(Clock, NowAndTodayKeepWholeSecondsOfTheSource) {
    Clock::setFixed(QDateTime(QDate(2026, 3, 2), QTime(10, 30, 15, 750)));
    EXPECT_EQ(Clock::now(), MakeOleDate(2026, 3, 2, 10, 30, 15));
    EXPECT_EQ(Clock::today(), MakeOleDate(2026, 3, 2, 0, 0, 0));
    EXPECT_EQ(Clock::nowDateTime().time(), QTime(10, 30, 15));
    EXPECT_EQ(OleDateFromQDateTime(Clock::nowDateTime()), Clock::now());
    Clock::reset();
}

}  // namespace
