// DateSelection: the data view's choice of one day, one month or a period of a table's date field:
// which field each table has, the where condition the choice adds, and the texts of the date
// button and of its menu.
#pragma once

#include <QString>

#include "base/Variant.h"

struct DateSelectionState {
    bool day = false;
    bool month = false;
    bool period = false;
    Variant date;  // the day, or a day of the month
    Variant from;  // the period's first and last day (included)
    Variant to;
};

// The selection as the program keeps it for the run.
DateSelectionState CurrentDateSelection();

// The date field of a table's data view; "" for a table that has none (exact name).
QString GetDateFieldForTable(const QString& table);

// `where` extended by the selection on `field` (month first, then day, then period), after
// "(" where ") AND " when `where` is not empty; unchanged when `field` is empty or nothing applies.
QString AddDateSelection(const QString& where, const QString& field, const DateSelectionState& s);

struct DateSelectionTexts {
    QString caption;      // of the date button
    QString toolTip;      // of the date button
    QString menuCaption;  // of the date-selection menu
    bool all = false;     // check marks of its four entries
    bool day = false;
    bool month = false;
    bool period = false;
};

// The texts for the date field captioned `fieldCaption` ("Data Inserimento").
DateSelectionTexts DateSelectionCaption(const QString& fieldCaption, const DateSelectionState& s);
