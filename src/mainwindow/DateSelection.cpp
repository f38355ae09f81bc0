// The data view's date selection.
#include "mainwindow/DateSelection.h"

#include "base/DateUtil.h"
#include "base/Format.h"
#include "startup/SharedState.h"

namespace {

QString format(const Variant& date, const char* pattern) {
    return VbFormat(date, QString::fromLatin1(pattern));
}

Variant nextDay(const Variant& date) {
    return Variant::fromDate(OleDatePart(date.toDate()) + 1);
}

// field >= #first# AND field < #the day after#
QString dayRange(const QString& field, const Variant& first, const Variant& last) {
    return field + " >= #" + format(first, "mm/dd/yyyy") + "# AND " + field + " < #" +
           format(nextDay(last), "mm/dd/yyyy") + "#";
}

}  // namespace

DateSelectionState CurrentDateSelection() {
    return DateSelectionState{g_blnSelDate, g_blnSelMonth,    g_blnSelPeriod,
                              g_vntSelDate, g_vntSelFromDate, g_vntSelToDate};
}

QString GetDateFieldForTable(const QString& table) {
    if (table == "CommesseCliente" || table == "CommesseProduzione" || table == "CommesseAssistenza")
        return QStringLiteral("DataInserimento");
    if (table == "PassaggiDettaglioCommesse" || table == "DettagliCommesse")
        return QStringLiteral("DataInizio");
    if (table == "Ingressi") return QStringLiteral("Data");
    if (table == "DettagliVenditaMacchinari") return QStringLiteral("DataChiusura");
    return {};
}

QString AddDateSelection(const QString& where, const QString& field, const DateSelectionState& s) {
    if (field.isEmpty()) return where;
    QString condition;
    if (s.month) {
        const DateParts d = SplitOleDate(s.date.toDate());
        condition = "Month(" + field + ") = " + QString::number(d.month) + " AND Year(" + field +
                    ") = " + QString::number(d.year);
    } else if (s.day) {
        condition = dayRange(field, s.date, s.date);
    } else if (s.period && !s.from.isEmptyOrNull() && !s.to.isEmptyOrNull()) {
        condition = dayRange(field, s.from, s.to);
    }
    if (condition.isEmpty()) return where;
    return where.isEmpty() ? condition : "(" + where + ") AND " + condition;
}

DateSelectionTexts DateSelectionCaption(const QString& fieldCaption, const DateSelectionState& s) {
    DateSelectionTexts t;
    t.all = !s.day && !s.month && !s.period;
    t.day = s.day;
    t.month = s.month;
    t.period = s.period;
    // "Data Inserimento" is shown as "Inserimento  ".
    QString prefix = fieldCaption;
    if (fieldCaption.left(4).compare("DATA", Qt::CaseInsensitive) == 0) {
        prefix = fieldCaption.mid(4).trimmed();
        if (!prefix.isEmpty()) prefix += "  ";
    }
    if (s.month) {
        t.caption = prefix + "< " + format(s.date, "mmmm yyyy") + " >";
        t.toolTip = "Dati del mese " + format(s.date, "mm/yyyy") + " relativi a " + fieldCaption;
    } else if (s.day) {
        t.caption = prefix + "< " + format(s.date, "dd mmm yyyy") + " >";
        t.toolTip = "Dati del giorno " + format(s.date, "dd/mm/yyyy") + " relativi a " + fieldCaption;
    } else if (s.period) {
        t.caption = "< " + format(s.from, "dd mmm yyyy") + " - " + format(s.to, "dd mmm yyyy") + " >";
        t.toolTip = "Dati del periodo < " + format(s.from, "dd/mm/yyyy") + " - " +
                    format(s.to, "dd/mm/yyyy") + " > relativi a " + fieldCaption;
    } else {
        t.caption = QStringLiteral("< tutti >");
        t.toolTip = "Nessuna selezione per " + fieldCaption;
        t.menuCaption = "Seleziona per " + fieldCaption;
        return t;
    }
    t.menuCaption = "Solo in data " + t.caption;
    return t;
}
