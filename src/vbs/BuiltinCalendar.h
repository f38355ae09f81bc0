// Calendar helpers shared by the date functions: the clock, day numbers and week numbering.
#pragma once

#include <QDate>

#include <cstdint>

#include "vbs/Builtins.h"

namespace vbs {

// The host's clock, or the system's when the host gave none.
double ClockNow(BuiltinContext& ctx);

// Days from 30/12/1899 to the date's calendar day, and seconds on one straight time line.
int64_t DayNumber(double oleDate);
int64_t SecondNumber(double oleDate);
// Back from the time line to an OLE date; out of VB's date range raises 5.
double OleFromSecondNumber(int64_t seconds);

QDate CalendarDay(double oleDate);
// 1 to 7 counted from firstDay (1 Sunday ... 7 Saturday).
int WeekdayOf(const QDate& day, int firstDay);
// Week of the year: firstWeek 1 the week of 1 January, 2 the first with four days, 3 the first full one.
int WeekOfYear(const QDate& day, int firstDay, int firstWeek);

}  // namespace vbs
