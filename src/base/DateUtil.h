// OLE dates (days since 30/12/1899, time as the fraction) and the date arithmetic the rules use.
#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>

struct DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

// Builds an OLE date; raises 5 for a day or time out of range. Month and day may overflow
// into the next month or year as DateSerial allows.
double MakeOleDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
double MakeOleTime(int hour, int minute, int second);
DateParts SplitOleDate(double oleDate);  // rounded to the nearest second
double OleDateFromQDateTime(const QDateTime& dt);
QDateTime QDateTimeFromOle(double oleDate);
double OleDateFromQDate(const QDate& d);

// Whole days and seconds: the date part and the time part as VB's DateValue/TimeValue see them.
double OleDatePart(double oleDate);
double OleTimePart(double oleDate);

// Minutes from `from` to `to`, counted on whole-minute marks: the seconds of both are dropped first.
int64_t WholeMinutesBetween(double from, double to);

// "dd/mm/yyyy", with " hh:mm:ss" when the time is not midnight; the time alone when the day is 0.
QString FormatVbDate(double oleDate);
