// Calendar helpers shared by the date functions.
#include "vbs/BuiltinCalendar.h"

#include <QDateTime>

#include "base/AppError.h"
#include "base/DateUtil.h"
#include "vbs/ScriptServices.h"

namespace vbs {

namespace {

int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

}  // namespace

double ClockNow(BuiltinContext& ctx) {
    if (ctx.clock) return ctx.clock->Now();
    return OleDateFromQDateTime(QDateTime::currentDateTime());
}

QDate CalendarDay(double oleDate) {
    const DateParts p = SplitOleDate(oleDate);
    return QDate(p.year, p.month, p.day);
}

int64_t DayNumber(double oleDate) {
    return static_cast<int64_t>(OleDateFromQDate(CalendarDay(oleDate)));
}

int64_t SecondNumber(double oleDate) {
    const DateParts p = SplitOleDate(oleDate);
    return static_cast<int64_t>(OleDateFromQDate(QDate(p.year, p.month, p.day))) * 86400 + p.hour * 3600 +
           p.minute * 60 + p.second;
}

double OleFromSecondNumber(int64_t seconds) {
    const int64_t days = floorDiv(seconds, 86400);
    const int64_t rest = seconds - days * 86400;
    // Negative OLE dates keep the time as a positive fraction after the minus sign.
    const double frac = static_cast<double>(rest) / 86400.0;
    const double ole = days >= 0 ? static_cast<double>(days) + frac : static_cast<double>(days) - frac;
    if (ole < -657434.0 || ole >= 2958466.0) RaiseVbError(5);
    return ole;
}

int WeekdayOf(const QDate& day, int firstDay) {
    const int vbDay = day.dayOfWeek() % 7 + 1;  // Qt: Monday 1 ... Sunday 7
    return (vbDay - firstDay + 7) % 7 + 1;
}

int WeekOfYear(const QDate& day, int firstDay, int firstWeek) {
    auto weekOneStart = [&](int year) {
        const QDate jan1(year, 1, 1);
        const int wd = WeekdayOf(jan1, firstDay);
        QDate start = jan1.addDays(-(wd - 1));
        if ((firstWeek == 2 && wd > 4) || (firstWeek == 3 && wd != 1)) start = start.addDays(7);
        return start;
    };
    QDate start = weekOneStart(day.year());
    if (day < start) start = weekOneStart(day.year() - 1);
    return static_cast<int>(start.daysTo(day) / 7 + 1);
}

}  // namespace vbs
