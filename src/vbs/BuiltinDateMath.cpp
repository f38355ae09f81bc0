// Date arithmetic: DateAdd, DateDiff and DatePart with VBScript's intervals
// (yyyy year, q quarter, m month, y day of year, d day, w weekday, ww week, h hour, n minute, s second).
#include <QDate>
#include <QString>

#include <algorithm>

#include "base/AppError.h"
#include "base/DateUtil.h"
#include "vbs/BuiltinArgs.h"
#include "vbs/BuiltinCalendar.h"
#include "vbs/BuiltinFamilies.h"

namespace vbs {

namespace {

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval intervalArg(const VariantList& args, size_t i) {
    const QString s = StringArg(args, i).toLower();
    static const struct {
        const char* name;
        Interval interval;
    } names[] = {
        {"yyyy", Interval::Year},   {"q", Interval::Quarter}, {"m", Interval::Month},
        {"y", Interval::DayOfYear}, {"d", Interval::Day},     {"w", Interval::Weekday},
        {"ww", Interval::Week},     {"h", Interval::Hour},    {"n", Interval::Minute},
        {"s", Interval::Second},
    };
    for (const auto& n : names)
        if (s == QLatin1String(n.name)) return n.interval;
    RaiseInvalidArgument();
}

// 1 vbFirstJan1, 2 vbFirstFourDays, 3 vbFirstFullWeek; 0 takes the Italian setting (four days).
int firstWeekArg(const VariantList& args, size_t i) {
    const int32_t w = LongArg(args, i, 1);
    if (w < 0 || w > 3) RaiseInvalidArgument();
    return w == 0 ? 2 : w;
}

// Months added with the day kept, or moved back to the month's last day when it is shorter.
double addMonths(double date, int64_t months) {
    const DateParts p = SplitOleDate(date);
    const int64_t index = int64_t(p.year) * 12 + (p.month - 1) + months;
    const int64_t year = index >= 0 ? index / 12 : (index - 11) / 12;
    const int month = static_cast<int>(index - year * 12) + 1;
    if (year < 100 || year > 9999) RaiseInvalidArgument();
    const int day = std::min(p.day, QDate(static_cast<int>(year), month, 1).daysInMonth());
    return MakeOleDate(static_cast<int>(year), month, day, p.hour, p.minute, p.second);
}

Variant DateAdd(BuiltinContext&, VariantList& args) {
    const Interval interval = intervalArg(args, 0);
    const Variant number = ArgValue(args, 1);
    if (number.isNull()) RaiseVbError(94);
    const int64_t n = number.toLong();
    const Variant date = ArgValue(args, 2);
    if (date.isNull()) return date;
    const double d = date.toDate();
    switch (interval) {
        case Interval::Year:
            return Variant::fromDate(addMonths(d, n * 12));
        case Interval::Quarter:
            return Variant::fromDate(addMonths(d, n * 3));
        case Interval::Month:
            return Variant::fromDate(addMonths(d, n));
        case Interval::DayOfYear:
        case Interval::Day:
        case Interval::Weekday:
            return Variant::fromDate(OleFromSecondNumber(SecondNumber(d) + n * 86400));
        case Interval::Week:
            return Variant::fromDate(OleFromSecondNumber(SecondNumber(d) + n * 7 * 86400));
        case Interval::Hour:
            return Variant::fromDate(OleFromSecondNumber(SecondNumber(d) + n * 3600));
        case Interval::Minute:
            return Variant::fromDate(OleFromSecondNumber(SecondNumber(d) + n * 60));
        case Interval::Second:
            return Variant::fromDate(OleFromSecondNumber(SecondNumber(d) + n));
    }
    return Variant();
}

int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// DateDiff counts the interval's boundaries crossed from date1 to date2.
Variant DateDiff(BuiltinContext&, VariantList& args) {
    const Interval interval = intervalArg(args, 0);
    const int firstDay = FirstDayArg(args, 3, 1);
    firstWeekArg(args, 4);
    const Variant a = ArgValue(args, 1), b = ArgValue(args, 2);
    if (a.isNull() || b.isNull()) return Variant::null();
    const double d1 = a.toDate(), d2 = b.toDate();
    const QDate c1 = CalendarDay(d1), c2 = CalendarDay(d2);
    int64_t diff = 0;
    switch (interval) {
        case Interval::Year:
            diff = c2.year() - c1.year();
            break;
        case Interval::Quarter:
            diff = (int64_t(c2.year()) * 4 + (c2.month() - 1) / 3) -
                   (int64_t(c1.year()) * 4 + (c1.month() - 1) / 3);
            break;
        case Interval::Month:
            diff = (int64_t(c2.year()) * 12 + c2.month()) - (int64_t(c1.year()) * 12 + c1.month());
            break;
        case Interval::DayOfYear:
        case Interval::Day:
            diff = c1.daysTo(c2);
            break;
        case Interval::Weekday:
            diff = c1.daysTo(c2) / 7;
            break;
        case Interval::Week: {
            const QDate w1 = c1.addDays(-(WeekdayOf(c1, firstDay) - 1));
            const QDate w2 = c2.addDays(-(WeekdayOf(c2, firstDay) - 1));
            diff = w1.daysTo(w2) / 7;
            break;
        }
        case Interval::Hour:
            diff = floorDiv(SecondNumber(d2), 3600) - floorDiv(SecondNumber(d1), 3600);
            break;
        case Interval::Minute:
            diff = floorDiv(SecondNumber(d2), 60) - floorDiv(SecondNumber(d1), 60);
            break;
        case Interval::Second:
            diff = SecondNumber(d2) - SecondNumber(d1);
            break;
    }
    return Variant(diff);
}

Variant DatePart(BuiltinContext&, VariantList& args) {
    const Interval interval = intervalArg(args, 0);
    const int firstDay = FirstDayArg(args, 2, 1);
    const int firstWeek = firstWeekArg(args, 3);
    const Variant v = ArgValue(args, 1);
    if (v.isNull()) return v;
    const double d = v.toDate();
    const DateParts p = SplitOleDate(d);
    const QDate day(p.year, p.month, p.day);
    int part = 0;
    switch (interval) {
        case Interval::Year:
            part = p.year;
            break;
        case Interval::Quarter:
            part = (p.month - 1) / 3 + 1;
            break;
        case Interval::Month:
            part = p.month;
            break;
        case Interval::DayOfYear:
            part = day.dayOfYear();
            break;
        case Interval::Day:
            part = p.day;
            break;
        case Interval::Weekday:
            part = WeekdayOf(day, firstDay);
            break;
        case Interval::Week:
            part = WeekOfYear(day, firstDay, firstWeek);
            break;
        case Interval::Hour:
            part = p.hour;
            break;
        case Interval::Minute:
            part = p.minute;
            break;
        case Interval::Second:
            part = p.second;
            break;
    }
    return Variant(static_cast<int16_t>(part));
}

}  // namespace

void AddDateMathBuiltins(std::vector<BuiltinDef>& table) {
    table.insert(table.end(), {
                                  {"DateAdd", 3, 3, DateAdd},
                                  {"DateDiff", 3, 5, DateDiff},
                                  {"DatePart", 2, 4, DatePart},
                              });
}

}  // namespace vbs
