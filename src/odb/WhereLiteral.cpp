// Literals of the library's where-texts.
#include "odb/WhereLiteral.h"

#include "base/DateUtil.h"

namespace odb {

QString WhereLiteral::text(const QString& s) {
    QString out = s;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QString WhereLiteral::date(double oleDate, bool withTime) {
    const DateParts p = SplitOleDate(oleDate);
    QString s = QStringLiteral("#%1/%2/%3")
                    .arg(p.month, 2, 10, QLatin1Char('0'))
                    .arg(p.day, 2, 10, QLatin1Char('0'))
                    .arg(p.year, 4, 10, QLatin1Char('0'));
    if (withTime)
        s += QStringLiteral(" %1:%2:%3")
                 .arg(p.hour, 2, 10, QLatin1Char('0'))
                 .arg(p.minute, 2, 10, QLatin1Char('0'))
                 .arg(p.second, 2, 10, QLatin1Char('0'));
    return s + QLatin1Char('#');
}

QString WhereLiteral::value(const Variant& v) {
    switch (v.type()) {
        case VarType::Empty:
        case VarType::Null:
            return QStringLiteral("Null");
        case VarType::Boolean:
            return v.boolValue() ? QStringLiteral("True") : QStringLiteral("False");
        case VarType::Date:
            return date(v.dateValue(), OleTimePart(v.dateValue()) != 0);
        case VarType::String:
            return text(v.stringValue());
        case VarType::Currency:
            return QString::number(v.currencyValue().toDouble(), 'g', 17);
        case VarType::Single:
        case VarType::Double:
            return QString::number(v.doubleValue(), 'g', 17);
        default:
            if (v.isNumeric()) return QString::number(v.toDouble(), 'g', 17);
            return text(v.toText());
    }
}

}  // namespace odb
