// What the date dialogs share: the date a calendar opens on and the text of a date in a box.
#pragma once

#include <QDate>
#include <QString>

#include "base/Variant.h"

class QCalendarWidget;
class QWidget;

// The day a value stands for: its date when it is neither Empty nor Null and converts to one,
// else today (through the clock).
QDate DayOf(const Variant& value);
// A day as typed in the Italian short format ("31/12/2024").
QString DayText(const QDate& day);
// A calendar with the program's look, Monday first.
QCalendarWidget* NewCalendar(QWidget* parent);
// The owner of the date dialogs: the main window, or the active window without one.
QWidget* DialogOwner();
