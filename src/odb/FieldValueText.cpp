// Showing field values and reading typed texts back, by field type.
#include "odb/FieldValueText.h"

#include <QStringList>

#include <cmath>

#include "base/DateUtil.h"
#include "base/Format.h"
#include "odb/Schema.h"

namespace odb {

namespace {

QString ValueListLabel(const QString& list, const Variant& value) {
    const QStringList parts = list.split(QLatin1Char('|'));
    const QString code = value.toText();
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (parts[i].trimmed() == code) return parts[i + 1];
    return code;
}

QString Invalid(const FieldDef& f, const QString& what) {
    return QStringLiteral("Il valore inserito nel campo '%1' non è valido: %2").arg(f.Caption(), what);
}

}  // namespace

QString FieldValueText(const FieldDef& f, const Variant& value) {
    if (value.isEmptyOrNull()) return {};
    if (!f.valueList.isEmpty()) return ValueListLabel(f.valueList, value);
    if (!f.format.isEmpty()) return VbFormat(value, f.format);
    switch (f.type) {
        case ftDate:
            return VbFormat(value, QStringLiteral("dd/mm/yyyy"));
        case ftTime:
            return VbFormat(value, QStringLiteral("hh:nn"));
        case ftDateTime: {
            const double d = value.toDate();
            if (OleTimePart(d) == 0) return VbFormat(value, QStringLiteral("dd/mm/yyyy"));
            return VbFormat(value, QStringLiteral("dd/mm/yyyy hh:nn"));
        }
        case ftCurrency:
            return VbFormatCurrency(value);
        case ftBoolean:
            return value.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
        default:
            return value.toText();
    }
}

bool ParseFieldText(const FieldDef& f, const QString& text, Variant& value, QString* problem) {
    const QString t = text.trimmed();
    auto fail = [&](const QString& what) {
        if (problem) *problem = Invalid(f, what);
        return false;
    };
    if (t.isEmpty()) {
        value = Variant::null();
        return true;
    }
    if (!f.valueList.isEmpty()) {
        const QStringList parts = f.valueList.split(QLatin1Char('|'));
        QStringList labels;
        for (int i = 0; i + 1 < parts.size(); i += 2) {
            if (parts[i + 1].compare(t, Qt::CaseInsensitive) == 0 || parts[i].trimmed() == t) {
                double code = 0;
                if (ParseVbNumber(parts[i], code)) {
                    value = Variant(static_cast<int32_t>(code));
                } else {
                    value = Variant(parts[i].trimmed());
                }
                return true;
            }
            labels << parts[i + 1];
        }
        return fail(QStringLiteral("i valori ammessi sono ") + labels.join(QStringLiteral(", ")));
    }
    switch (f.type) {
        case ftBoolean: {
            static const QStringList yes = {QStringLiteral("sì"),   QStringLiteral("si"),
                                            QStringLiteral("vero"), QStringLiteral("true"),
                                            QStringLiteral("1"),    QStringLiteral("-1")};
            static const QStringList no = {QStringLiteral("no"), QStringLiteral("falso"),
                                           QStringLiteral("false"), QStringLiteral("0")};
            if (yes.contains(t.toLower())) {
                value = Variant(true);
                return true;
            }
            if (no.contains(t.toLower())) {
                value = Variant(false);
                return true;
            }
            return fail(QStringLiteral("scrivere Sì o No"));
        }
        case ftLong:
        case ftDecimal:
        case ftQuantity:
        case ftCurrency: {
            QString n = t;
            if (f.type == ftCurrency) n.remove(QChar(0x20AC)).remove(QLatin1Char(' '));
            double d = 0;
            if (!ParseVbNumber(n, d)) return fail(QStringLiteral("non è un numero"));
            if (f.type == ftLong) {
                if (d != std::floor(d)) return fail(QStringLiteral("è richiesto un numero intero"));
                if (std::fabs(d) > 2147483647.0) return fail(QStringLiteral("il numero è troppo grande"));
                value = Variant(static_cast<int32_t>(d));
            } else if (f.type == ftCurrency) {
                if (std::fabs(d) > 922337203685477.0)
                    return fail(QStringLiteral("l'importo è troppo grande"));
                value = Variant(Currency::fromDouble(d));
            } else {
                value = Variant(d);
            }
            return true;
        }
        default:
            break;
    }
    if (IsDateType(f.type)) {
        double d = 0;
        if (!ParseVbDate(t, d)) {
            return fail(f.type == ftTime ? QStringLiteral("scrivere l'ora come hh:mm")
                                         : QStringLiteral("scrivere una data esistente come gg/mm/aaaa"));
        }
        if (f.type == ftDate) d = OleDatePart(d);
        if (f.type == ftTime) d = OleTimePart(d);
        value = Variant::fromDate(d);
        return true;
    }
    if (f.size > 0 && (f.type == ftText || f.type == ftCodeText || f.type == ftMailLink) &&
        text.size() > f.size)
        return fail(QStringLiteral("al massimo %1 caratteri").arg(f.size));
    value = Variant(text);
    return true;
}

QString LikeLiteral(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('#') || c == QLatin1Char('['))
            out += QLatin1Char('[') + c + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

}  // namespace odb
