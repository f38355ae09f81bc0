// OLE date arithmetic. Day 0 is 30/12/1899; for negative dates the fraction still counts forward
// from midnight of the day (-1.25 is 29/12/1899 06:00), as in VB.
#include "base/DateUtil.h"

#include <cmath>

#include "base/AppError.h"

namespace {

// 30 December 1899, the day 0 of stored dates; constant-initialised, so other files may use the
// date helpers while their own globals are set up.
constexpr QDate kEpoch = QDate::fromJulianDay(2415019);

double oleFromDayAndTime(int64_t days, double timeFraction) {
    return days >= 0 ? static_cast<double>(days) + timeFraction : static_cast<double>(days) - timeFraction;
}

// Split into whole days and the seconds of the day, rounded to the nearest second.
void splitDaysSeconds(double ole, int64_t& days, int64_t& seconds) {
    const double whole = std::trunc(ole);
    const double frac = std::fabs(ole - whole);
    days = static_cast<int64_t>(whole);
    seconds = static_cast<int64_t>(std::llround(frac * 86400.0));
    if (seconds >= 86400) {
        seconds -= 86400;
        days += (ole >= 0 ? 1 : -1);
    }
    // -0.5 is 30/12/1899 12:00: a negative value with no whole days still lies on day 0.
}

}  // namespace

double MakeOleTime(int hour, int minute, int second) {
    const int64_t total = int64_t(hour) * 3600 + int64_t(minute) * 60 + second;
    return static_cast<double>(total) / 86400.0;
}

double MakeOleDate(int year, int month, int day, int hour, int minute, int second) {
    // DateSerial lets month and day run over into the neighbouring months and years.
    int64_t m0 = int64_t(month) - 1;
    int64_t y = year + (m0 >= 0 ? m0 / 12 : (m0 - 11) / 12);
    m0 = ((m0 % 12) + 12) % 12;
    if (y < 100 || y > 9999) RaiseVbError(5);
    const QDate first(static_cast<int>(y), static_cast<int>(m0) + 1, 1);
    const int64_t days = kEpoch.daysTo(first) + (int64_t(day) - 1);
    const double time = MakeOleTime(hour, minute, second);
    const double whole = std::floor(time);  // times past 24h move the day
    const int64_t d = days + static_cast<int64_t>(whole);
    const double ole = oleFromDayAndTime(d, time - whole);
    if (ole < -657434.0 || ole >= 2958466.0) RaiseVbError(5);
    return ole;
}

DateParts SplitOleDate(double ole) {
    int64_t days = 0, seconds = 0;
    splitDaysSeconds(ole, days, seconds);
    const QDate d = kEpoch.addDays(days);
    DateParts p;
    p.year = d.year();
    p.month = d.month();
    p.day = d.day();
    p.hour = static_cast<int>(seconds / 3600);
    p.minute = static_cast<int>((seconds / 60) % 60);
    p.second = static_cast<int>(seconds % 60);
    return p;
}

double OleDateFromQDate(const QDate& d) {
    return static_cast<double>(kEpoch.daysTo(d));
}

double OleDateFromQDateTime(const QDateTime& dt) {
    const QTime t = dt.time();
    return oleFromDayAndTime(kEpoch.daysTo(dt.date()), MakeOleTime(t.hour(), t.minute(), t.second()));
}

QDateTime QDateTimeFromOle(double ole) {
    const DateParts p = SplitOleDate(ole);
    return QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second));
}

double OleDatePart(double ole) {
    const DateParts p = SplitOleDate(ole);
    return OleDateFromQDate(QDate(p.year, p.month, p.day));
}

double OleTimePart(double ole) {
    const DateParts p = SplitOleDate(ole);
    return MakeOleTime(p.hour, p.minute, p.second);
}

int64_t WholeMinutesBetween(double from, double to) {
    auto minuteMark = [](double ole) {
        int64_t days = 0, seconds = 0;
        splitDaysSeconds(ole, days, seconds);
        return days * 1440 + seconds / 60;
    };
    return minuteMark(to) - minuteMark(from);
}

QString FormatVbDate(double ole) {
    const DateParts p = SplitOleDate(ole);
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(p.hour, 2, 10, QLatin1Char('0'))
                             .arg(p.minute, 2, 10, QLatin1Char('0'))
                             .arg(p.second, 2, 10, QLatin1Char('0'));
    int64_t days = 0, seconds = 0;
    splitDaysSeconds(ole, days, seconds);
    if (days == 0) return time;
    const QString day = QStringLiteral("%1/%2/%3")
                            .arg(p.day, 2, 10, QLatin1Char('0'))
                            .arg(p.month, 2, 10, QLatin1Char('0'))
                            .arg(p.year, 4, 10, QLatin1Char('0'));
    return seconds == 0 ? day : day + QLatin1Char(' ') + time;
}
