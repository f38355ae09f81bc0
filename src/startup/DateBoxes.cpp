// The date dialogs' shared pieces.
#include "startup/DateBoxes.h"

#include <QApplication>
#include <QCalendarWidget>

#include "base/AppError.h"
#include "base/DateUtil.h"
#include "platform/Clock.h"
#include "startup/MainWindowServices.h"

QDate DayOf(const Variant& value) {
    if (!value.isEmptyOrNull()) {
        try {
            return QDateTimeFromOle(value.toDate()).date();
        } catch (const AppError&) {
            // Not a date: the calendar opens on today.
        }
    }
    return Clock::nowDateTime().date();
}

QString DayText(const QDate& day) {
    return FormatVbDate(OleDateFromQDate(day));
}

QCalendarWidget* NewCalendar(QWidget* parent) {
    auto* calendar = new QCalendarWidget(parent);
    calendar->setGridVisible(true);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar->setFirstDayOfWeek(Qt::Monday);
    return calendar;
}

QWidget* DialogOwner() {
    if (MainWindowServices* main = MainWindowServices::instance())
        if (QWidget* w = main->Widget()) return w;
    return QApplication::activeWindow();
}
