// Date functions: Date, Time, Now (from the host's clock), Year ... Second, Weekday, WeekdayName,
// MonthName (Italian names), DateSerial, TimeSerial, DateValue, TimeValue.
#include <QLocale>

#include "base/AppError.h"
#include "base/DateUtil.h"
#include "vbs/BuiltinArgs.h"
#include "vbs/BuiltinCalendar.h"
#include "vbs/BuiltinFamilies.h"

namespace vbs {

namespace {

const QLocale& italian() {
    static const QLocale locale(QLocale::Italian, QLocale::Italy);
    return locale;
}

Variant Now(BuiltinContext& ctx, VariantList&) {
    return Variant::fromDate(ClockNow(ctx));
}
Variant Date(BuiltinContext& ctx, VariantList&) {
    return Variant::fromDate(OleDatePart(ClockNow(ctx)));
}
Variant Time(BuiltinContext& ctx, VariantList&) {
    return Variant::fromDate(OleTimePart(ClockNow(ctx)));
}

// One part of a date as an Integer; Null gives Null.
template <int DateParts::*Field>
Variant datePart(BuiltinContext&, VariantList& args) {
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) return v;
    return Variant(static_cast<int16_t>(SplitOleDate(v.toDate()).*Field));
}

Variant Weekday(BuiltinContext&, VariantList& args) {
    const int firstDay = FirstDayArg(args, 1, 1);
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) return v;
    return Variant(static_cast<int16_t>(WeekdayOf(CalendarDay(v.toDate()), firstDay)));
}

bool abbreviateArg(const VariantList& args, size_t i) {
    if (!HasArg(args, i)) return false;
    const Variant v = ArgValue(args, i);
    if (v.isNull()) RaiseVbError(94);
    return v.toBool();
}

Variant WeekdayName(BuiltinContext&, VariantList& args) {
    const int32_t weekday = LongArg(args, 0);
    const bool abbreviate = abbreviateArg(args, 1);
    const int firstDay = FirstDayArg(args, 2, 1);
    if (weekday < 1 || weekday > 7) RaiseInvalidArgument();
    const int vbDay = (weekday - 1 + firstDay - 1) % 7 + 1;  // 1 Sunday ... 7 Saturday
    const int qtDay = vbDay == 1 ? 7 : vbDay - 1;
    return Variant(italian().dayName(qtDay, abbreviate ? QLocale::ShortFormat : QLocale::LongFormat));
}

Variant MonthName(BuiltinContext&, VariantList& args) {
    const int32_t month = LongArg(args, 0);
    const bool abbreviate = abbreviateArg(args, 1);
    if (month < 1 || month > 12) RaiseInvalidArgument();
    return Variant(italian().monthName(month, abbreviate ? QLocale::ShortFormat : QLocale::LongFormat));
}

Variant DateSerial(BuiltinContext&, VariantList& args) {
    int32_t year = LongArg(args, 0);
    const int32_t month = LongArg(args, 1), day = LongArg(args, 2);
    // Two-digit years follow the regional window: 0-29 this century, 30-99 the last one.
    if (year >= 0 && year <= 29)
        year += 2000;
    else if (year >= 30 && year <= 99)
        year += 1900;
    if (year < 100 || year > 9999) RaiseInvalidArgument();
    return Variant::fromDate(MakeOleDate(year, month, day));
}

Variant TimeSerial(BuiltinContext&, VariantList& args) {
    const int64_t seconds =
        int64_t(LongArg(args, 0)) * 3600 + int64_t(LongArg(args, 1)) * 60 + LongArg(args, 2);
    return Variant::fromDate(OleFromSecondNumber(seconds));
}

Variant DateValue(BuiltinContext&, VariantList& args) {
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) return v;
    return Variant::fromDate(OleDatePart(v.toDate()));
}

Variant TimeValue(BuiltinContext&, VariantList& args) {
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) return v;
    return Variant::fromDate(OleTimePart(v.toDate()));
}

}  // namespace

void AddDateBuiltins(std::vector<BuiltinDef>& table) {
    table.insert(table.end(), {
                                  {"Now", 0, 0, Now},
                                  {"Date", 0, 0, Date},
                                  {"Time", 0, 0, Time},
                                  {"Year", 1, 1, datePart<&DateParts::year>},
                                  {"Month", 1, 1, datePart<&DateParts::month>},
                                  {"Day", 1, 1, datePart<&DateParts::day>},
                                  {"Hour", 1, 1, datePart<&DateParts::hour>},
                                  {"Minute", 1, 1, datePart<&DateParts::minute>},
                                  {"Second", 1, 1, datePart<&DateParts::second>},
                                  {"Weekday", 1, 2, Weekday},
                                  {"WeekdayName", 1, 3, WeekdayName},
                                  {"MonthName", 1, 2, MonthName},
                                  {"DateSerial", 3, 3, DateSerial},
                                  {"TimeSerial", 3, 3, TimeSerial},
                                  {"DateValue", 1, 1, DateValue},
                                  {"TimeValue", 1, 1, TimeValue},
                              });
}

}  // namespace vbs
