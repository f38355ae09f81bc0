// The one clock of the program: every reading of the current date and time goes through it.
#pragma once

#include <QDateTime>

#include <functional>

class Clock {
  public:
    // Current date and time as an OLE date, to the second.
    static double now();
    // Today at midnight.
    static double today();
    static QDateTime nowDateTime();

    // Tests fix the time; an empty function goes back to the system clock.
    static void setSource(std::function<QDateTime()> source);
    static void setFixed(const QDateTime& at);
    static void reset();
};
