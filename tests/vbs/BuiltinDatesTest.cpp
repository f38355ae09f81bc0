// Date and formatting built-ins: the host's clock, Italian names, calendar arithmetic and
// Italian number and date formats.
#include "BuiltinTestSupport.h"

#include "base/DateUtil.h"

using namespace builtintest;

namespace {

const Variant kNull = Variant::null();

Variant day(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    return Variant::fromDate(MakeOleDate(y, m, d, hh, mm, ss));
}

class FixedClock : public vbs::ScriptClock {
  public:
    explicit FixedClock(double now) : now_(now) {}
    double Now() override { return now_; }

  private:
    double now_;
};

TEST(BuiltinDates, NowDateAndTimeComeFromTheHostClock) {
    FixedClock clock(MakeOleDate(2024, 3, 5, 14, 30, 15));
    vbs::BuiltinContext context;
    context.clock = &clock;
    CheckCases(
        {
            {"Now", {}, VarType::Date, "05/03/2024 14:30:15"},
            {"Date", {}, VarType::Date, "05/03/2024"},
            {"Time", {}, VarType::Date, "14:30:15"},
        },
        &context);
}

TEST(BuiltinDates, PartsOfADate) {
    const Variant d = day(2024, 12, 31, 8, 5, 9);
    CheckCases({
        {"Year", {d}, VarType::Integer, "2024"},
        {"Month", {d}, VarType::Integer, "12"},
        {"Day", {d}, VarType::Integer, "31"},
        {"Hour", {d}, VarType::Integer, "8"},
        {"Minute", {d}, VarType::Integer, "5"},
        {"Second", {d}, VarType::Integer, "9"},
        {"Year", {2}, VarType::Integer, "1900"},
        {"Day", {2}, VarType::Integer, "1"},
        {"Hour", {2.75}, VarType::Integer, "18"},
        {"Minute", {2.02083}, VarType::Integer, "30"},
        {"Month", {"15/08/2024"}, VarType::Integer, "8"},
        {"Day", {Variant()}, VarType::Integer, "30"},
        {"Year", {kNull}, VarType::Null, ""},
        {"Weekday", {day(2000, 1, 1)}, VarType::Integer, "7"},
        {"Weekday", {day(2000, 1, 1), 2}, VarType::Integer, "6"},
        {"Weekday", {day(2000, 1, 1), 4}, VarType::Integer, "4"},
        {"Weekday", {day(2000, 1, 1), 7}, VarType::Integer, "1"},
        {"Weekday", {day(2000, 1, 1), 0}, VarType::Integer, "6"},  // Italian weeks start on Monday
        {"Weekday", {kNull, 1}, VarType::Null, ""},
        {"WeekdayName", {1}, VarType::String, "domenica"},
        {"WeekdayName", {2}, VarType::String, "lunedì"},
        {"WeekdayName", {1, true}, VarType::String, "dom"},
        {"WeekdayName", {1, 10, 2}, VarType::String, "lun"},
        {"WeekdayName", {1, true, 2.5}, VarType::String, "lun"},
        {"WeekdayName", {7, false, 7}, VarType::String, "venerdì"},
        {"WeekdayName", {1, Missing(), 0}, VarType::String, "lunedì"},
        {"MonthName", {1}, VarType::String, "gennaio"},
        {"MonthName", {12, true}, VarType::String, "dic"},
        {"MonthName", {8, 0}, VarType::String, "agosto"},
    });
    CheckErrors({
        {"Year", {"abc"}, 13},
        {"Year", {"3000000"}, 6},
        {"Weekday", {day(2000, 1, 1), 10}, 5},
        {"Weekday", {day(2000, 1, 1), -1}, 5},
        {"Weekday", {kNull, -1}, 5},
        {"Weekday", {day(2000, 1, 1), kNull}, 94},
        {"Weekday", {kNull, "a"}, 13},
        {"WeekdayName", {8}, 5},
        {"WeekdayName", {0}, 5},
        {"WeekdayName", {kNull}, 94},
        {"MonthName", {13}, 5},
        {"MonthName", {kNull}, 94},
        {"MonthName", {1, kNull}, 94},
    });
}

TEST(BuiltinDates, SerialsAndValues) {
    CheckCases({
        {"DateSerial", {100, 2, 1}, VarType::Date, "01/02/0100"},
        {"DateSerial", {0, 2, 1}, VarType::Date, "01/02/2000"},
        {"DateSerial", {29, 2, 1}, VarType::Date, "01/02/2029"},
        {"DateSerial", {50, 2, 1}, VarType::Date, "01/02/1950"},
        {"DateSerial", {2000, 14, 2}, VarType::Date, "02/02/2001"},
        {"DateSerial", {2024, 3, 0}, VarType::Date, "29/02/2024"},
        {"DateSerial", {2024, 1, -1}, VarType::Date, "30/12/2023"},
        {"DateSerial", {"2024", "5", 6.5}, VarType::Date, "06/05/2024"},
        {"TimeSerial", {10, 2, 1}, VarType::Date, "10:02:01"},
        {"TimeSerial", {24, 2, 1}, VarType::Date, "31/12/1899 00:02:01"},
        {"TimeSerial", {50, 2, 1}, VarType::Date, "01/01/1900 02:02:01"},
        {"TimeSerial", {10, 60, 2}, VarType::Date, "11:00:02"},
        {"TimeSerial", {10, 0, 60}, VarType::Date, "10:01:00"},
        {"TimeSerial", {12 - 6, -15, 0}, VarType::Date, "05:45:00"},
        {"DateValue", {"31/12/2024 08:30"}, VarType::Date, "31/12/2024"},
        {"DateValue", {day(2024, 12, 31, 8, 30)}, VarType::Date, "31/12/2024"},
        {"TimeValue", {"31/12/2024 08:30"}, VarType::Date, "08:30:00"},
        {"TimeValue", {"17:45:10"}, VarType::Date, "17:45:10"},
        {"DateValue", {kNull}, VarType::Null, ""},
        {"TimeValue", {kNull}, VarType::Null, ""},
    });
    CheckErrors({
        {"DateSerial", {10000, 1, 1}, 5},
        {"DateSerial", {-10000, 1, 1}, 5},
        {"DateSerial", {kNull, 1, 1}, 94},
        {"DateSerial", {2000, kNull, 1}, 94},
        {"TimeSerial", {kNull, 1, 1}, 94},
        {"TimeSerial", {10, 1, kNull}, 94},
        {"DateValue", {"abc"}, 13},
        {"TimeValue", {"25:00"}, 13},
    });
}

TEST(BuiltinDates, DateAddMovesByCalendarUnits) {
    const Variant jan1 = day(2000, 1, 1);
    CheckCases({
        {"DateAdd", {"yyyy", 1, jan1}, VarType::Date, "01/01/2001"},
        {"DateAdd", {"yYyy", 1, jan1}, VarType::Date, "01/01/2001"},
        {"DateAdd", {"q", 1, jan1}, VarType::Date, "01/04/2000"},
        {"DateAdd", {"M", -1, jan1}, VarType::Date, "01/12/1999"},
        {"DateAdd", {"y", -1, jan1}, VarType::Date, "31/12/1999"},
        {"DateAdd", {"d", 1, day(2000, 12, 31)}, VarType::Date, "01/01/2001"},
        {"DateAdd", {"w", 1, day(2000, 12, 31)}, VarType::Date, "01/01/2001"},
        {"DateAdd", {"ww", 1, jan1}, VarType::Date, "08/01/2000"},
        {"DateAdd", {"ww", -1, jan1}, VarType::Date, "25/12/1999"},
        {"DateAdd", {"m", 1, day(2024, 1, 31)}, VarType::Date, "29/02/2024"},
        {"DateAdd", {"yyyy", 1, day(2024, 2, 29, 9, 15)}, VarType::Date, "28/02/2025 09:15:00"},
        {"DateAdd", {"h", 25, day(2024, 12, 31, 23)}, VarType::Date, "02/01/2025"},
        {"DateAdd", {"n", -90, day(2024, 1, 1, 0, 30)}, VarType::Date, "31/12/2023 23:00:00"},
        {"DateAdd", {"s", 61, day(2024, 1, 1, 0, 0, 59)}, VarType::Date, "01/01/2024 00:02:00"},
        {"DateAdd", {"d", "2", "28/02/2023"}, VarType::Date, "02/03/2023"},
        {"DateAdd", {"d", 1, day(1899, 12, 29, 6)}, VarType::Date, "06:00:00"},  // day 0 shows its time only
        {"DateAdd", {"q", 1, kNull}, VarType::Null, ""},
    });
    CheckErrors({
        {"DateAdd", {"k", 1, jan1}, 5},
        {"DateAdd", {kNull, 1, jan1}, 94},
        {"DateAdd", {"q", kNull, jan1}, 94},
        {"DateAdd", {"yyyy", 1, day(9999, 12, 31)}, 5},
        {"DateAdd", {"d", -1, day(100, 1, 1)}, 5},
    });
}

TEST(BuiltinDates, DateDiffCountsBoundaries) {
    CheckCases({
        {"DateDiff", {"d", day(2000, 1, 1, 23), day(2000, 1, 2, 1)}, VarType::Long, "1"},
        {"DateDiff", {"d", day(2000, 1, 2, 1), day(2000, 1, 1, 23)}, VarType::Long, "-1"},
        {"DateDiff", {"y", day(2024, 1, 1), day(2024, 12, 31)}, VarType::Long, "365"},
        {"DateDiff", {"h", day(2024, 1, 1, 10, 59), day(2024, 1, 1, 11, 0)}, VarType::Long, "1"},
        {"DateDiff", {"n", day(2024, 1, 1, 10, 59, 59), day(2024, 1, 1, 11, 0, 0)}, VarType::Long, "1"},
        {"DateDiff", {"s", day(2024, 1, 1), day(2024, 1, 2)}, VarType::Long, "86400"},
        {"DateDiff", {"yyyy", day(2023, 12, 31), day(2024, 1, 1)}, VarType::Long, "1"},
        {"DateDiff", {"m", day(2024, 1, 31), day(2024, 2, 1)}, VarType::Long, "1"},
        {"DateDiff", {"m", day(2024, 3, 1), day(2023, 1, 31)}, VarType::Long, "-14"},
        {"DateDiff", {"q", day(2024, 3, 31), day(2024, 4, 1)}, VarType::Long, "1"},
        {"DateDiff", {"w", day(2024, 1, 1), day(2024, 1, 14)}, VarType::Long, "1"},
        {"DateDiff", {"w", day(2024, 1, 1), day(2024, 1, 15)}, VarType::Long, "2"},
        {"DateDiff", {"ww", day(2024, 1, 6), day(2024, 1, 7)}, VarType::Long, "1"},
        {"DateDiff", {"ww", day(2024, 1, 6), day(2024, 1, 7), 2}, VarType::Long, "0"},
        {"DateDiff", {"ww", day(2024, 1, 7), day(2024, 1, 8), 2}, VarType::Long, "1"},
        {"DateDiff", {"s", day(1899, 12, 29, 23), day(1899, 12, 30, 1)}, VarType::Long, "7200"},
        {"DateDiff", {"d", kNull, day(2024, 1, 1)}, VarType::Null, ""},
    });
    CheckErrors({
        {"DateDiff", {"x", day(2024, 1, 1), day(2024, 1, 1)}, 5},
        {"DateDiff", {kNull, day(2024, 1, 1), day(2024, 1, 1)}, 94},
        {"DateDiff", {"d", day(2024, 1, 1), day(2024, 1, 1), 8}, 5},
        {"DateDiff", {"d", day(2024, 1, 1), day(2024, 1, 1), 1, 4}, 5},
        {"DateDiff", {"d", "abc", day(2024, 1, 1)}, 13},
    });
}

TEST(BuiltinDates, DatePartAndWeeksOfTheYear) {
    CheckCases({
        {"DatePart", {"yyyy", day(2024, 8, 15)}, VarType::Integer, "2024"},
        {"DatePart", {"q", day(2024, 8, 15)}, VarType::Integer, "3"},
        {"DatePart", {"m", day(2024, 8, 15)}, VarType::Integer, "8"},
        {"DatePart", {"y", day(2024, 3, 1)}, VarType::Integer, "61"},
        {"DatePart", {"d", day(2024, 8, 15)}, VarType::Integer, "15"},
        {"DatePart", {"w", day(2000, 1, 1)}, VarType::Integer, "7"},
        {"DatePart", {"w", day(2000, 1, 1), 2}, VarType::Integer, "6"},
        {"DatePart", {"h", day(2024, 8, 15, 13, 14, 15)}, VarType::Integer, "13"},
        {"DatePart", {"n", day(2024, 8, 15, 13, 14, 15)}, VarType::Integer, "14"},
        {"DatePart", {"s", day(2024, 8, 15, 13, 14, 15)}, VarType::Integer, "15"},
        {"DatePart", {"ww", day(2024, 1, 1)}, VarType::Integer, "1"},
        {"DatePart", {"ww", day(2024, 1, 7)}, VarType::Integer, "2"},
        {"DatePart", {"ww", day(2024, 12, 31)}, VarType::Integer, "53"},
        {"DatePart", {"ww", day(2021, 1, 1)}, VarType::Integer, "1"},
        // First week with four days, weeks from Monday: 1 January 2021 is a Friday.
        {"DatePart", {"ww", day(2021, 1, 4), 2, 2}, VarType::Integer, "1"},
        {"DatePart", {"ww", day(2021, 1, 3), 2, 2}, VarType::Integer, "53"},
        {"DatePart", {"ww", day(2021, 1, 3), 0, 0}, VarType::Integer, "53"},
        {"DatePart", {"ww", day(2021, 1, 1), 1, 3}, VarType::Integer, "52"},
        {"DatePart", {"ww", day(2021, 1, 3), 1, 3}, VarType::Integer, "1"},
        {"DatePart", {"d", kNull}, VarType::Null, ""},
    });
    CheckErrors({
        {"DatePart", {"x", day(2024, 1, 1)}, 5},
        {"DatePart", {kNull, day(2024, 1, 1)}, 94},
        {"DatePart", {"w", day(2024, 1, 1), 8}, 5},
        {"DatePart", {"ww", day(2024, 1, 1), 1, 4}, 5},
    });
}

TEST(BuiltinFormatting, ItalianNumbersAndDates) {
    const Variant d = day(2024, 3, 5, 14, 30, 15);
    CheckCases({
        {"FormatNumber", {1234.5, 2}, VarType::String, "1.234,50"},
        {"FormatNumber", {1234.5}, VarType::String, "1.234,50"},
        {"FormatNumber", {1234.5, 0}, VarType::String, "1.235"},
        {"FormatNumber", {1234.5, 2, Missing(), Missing(), 0}, VarType::String, "1234,50"},
        {"FormatNumber", {-0.5, 1, 0}, VarType::String, "-,5"},
        {"FormatNumber", {-1234.5, 1, Missing(), -1}, VarType::String, "(1.234,5)"},
        {"FormatNumber", {"1234,5", 1}, VarType::String, "1.234,5"},
        {"FormatNumber", {Variant(), 1}, VarType::String, "0,0"},
        {"FormatNumber", {Obj(2.5), 0}, VarType::String, "3"},
        {"FormatCurrency", {1234.5}, VarType::String, "1.234,50 €"},
        {"FormatPercent", {0.125}, VarType::String, "12,50%"},
        {"FormatPercent", {0.12345, 1}, VarType::String, "12,3%"},
        {"FormatDateTime", {d}, VarType::String, "05/03/2024 14:30:15"},
        {"FormatDateTime", {d, 1}, VarType::String, "martedì 5 marzo 2024"},
        {"FormatDateTime", {d, 2}, VarType::String, "05/03/2024"},
        {"FormatDateTime", {d, 3}, VarType::String, "14:30:15"},
        {"FormatDateTime", {d, 4}, VarType::String, "14:30"},
        {"FormatDateTime", {"05/03/2024", 2}, VarType::String, "05/03/2024"},
    });
    CheckErrors({
        {"FormatNumber", {kNull}, 13},
        {"FormatNumber", {0.1, kNull}, 94},
        {"FormatNumber", {0.1, 0, kNull}, 94},
        {"FormatNumber", {0.1, 0, 0, 0, kNull}, 94},
        {"FormatNumber", {0.1, -2}, 5},
        {"FormatNumber", {"abc"}, 13},
        {"FormatCurrency", {kNull}, 13},
        {"FormatPercent", {kNull}, 13},
        {"FormatDateTime", {kNull}, 13},
        {"FormatDateTime", {d, kNull}, 94},
        {"FormatDateTime", {d, 5}, 5},
    });
}

}  // namespace
