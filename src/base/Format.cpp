// VB's Format and FormatNumber family with Italian separators ("," decimal, "." thousands).
#include "base/Format.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

#include "base/DateUtil.h"

namespace {

const QLocale& italian() {
    static const QLocale l(QLocale::Italian, QLocale::Italy);
    return l;
}

QString groupThousands(const QString& digits) {
    QString out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += QLatin1Char('.');
        out += digits[i];
    }
    return out;
}

// Digits of |v| rounded to `decimals` places (halves away from zero, as Format does).
void splitFixed(double v, int decimals, QString& intPart, QString& fracPart) {
    const QString s = QString::number(std::fabs(v), 'f', decimals);
    const auto dot = s.indexOf(QLatin1Char('.'));
    intPart = dot < 0 ? s : s.left(dot);
    fracPart = dot < 0 ? QString() : s.mid(dot + 1);
}

QString formatDigits(double v, const QString& section) {
    // Split the pattern around the digit placeholders; literals before and after stay as they are.
    int first = -1, last = -1;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.') ||
            c == QLatin1Char(',')) {
            if (first < 0) first = i;
            last = i;
        }
    }
    if (first < 0) return section;
    const QString prefix = section.left(first), suffix = section.mid(last + 1);
    const QString core = section.mid(first, last - first + 1);
    const bool percent = section.contains(QLatin1Char('%'));
    if (percent) v *= 100;
    const auto dot = core.indexOf(QLatin1Char('.'));
    const QString intPat = dot < 0 ? core : core.left(dot);
    const QString fracPat = dot < 0 ? QString() : core.mid(dot + 1);
    const bool group = intPat.contains(QLatin1Char(','));
    const int minInt = static_cast<int>(intPat.count(QLatin1Char('0')));
    const int minFrac = static_cast<int>(fracPat.count(QLatin1Char('0')));
    const int maxFrac = static_cast<int>(fracPat.count(QLatin1Char('0')) + fracPat.count(QLatin1Char('#')));
    QString ip, fp;
    splitFixed(v, maxFrac, ip, fp);
    while (fp.size() > minFrac && fp.endsWith(QLatin1Char('0')))
        fp.chop(1);
    if (ip == QLatin1String("0") && minInt == 0) ip.clear();
    while (ip.size() < minInt)
        ip.prepend(QLatin1Char('0'));
    if (group) ip = groupThousands(ip);
    QString out = ip;
    if (!fp.isEmpty()) out += QLatin1Char(',') + fp;
    return prefix + out + suffix;
}

QString formatDate(double ole, const QString& pat) {
    const DateParts p = SplitOleDate(ole);
    const QDate date(p.year, p.month, p.day);
    QString out;
    int i = 0;
    const int n = static_cast<int>(pat.size());
    bool afterHour = false;
    auto run = [&](QChar c) {
        int k = 0;
        while (i + k < n && pat[i + k].toLower() == c)
            ++k;
        return k;
    };
    while (i < n) {
        const QChar c = pat[i].toLower();
        int k = 0;
        if (c == QLatin1Char('d')) {
            k = run(c);
            if (k == 1)
                out += QString::number(p.day);
            else if (k == 2)
                out += QStringLiteral("%1").arg(p.day, 2, 10, QLatin1Char('0'));
            else if (k == 3)
                out += italian().dayName(date.dayOfWeek(), QLocale::ShortFormat);
            else
                out += italian().dayName(date.dayOfWeek(), QLocale::LongFormat);
        } else if (c == QLatin1Char('m')) {
            k = run(c);
            // "m" right after an hour means minutes, as in VB.
            if (afterHour && k <= 2)
                out += QStringLiteral("%1").arg(p.minute, k, 10, QLatin1Char('0'));
            else if (k == 1)
                out += QString::number(p.month);
            else if (k == 2)
                out += QStringLiteral("%1").arg(p.month, 2, 10, QLatin1Char('0'));
            else if (k == 3)
                out += italian().monthName(p.month, QLocale::ShortFormat);
            else
                out += italian().monthName(p.month, QLocale::LongFormat);
            afterHour = false;
        } else if (c == QLatin1Char('y')) {
            k = run(c);
            out += k <= 2 ? QStringLiteral("%1").arg(p.year % 100, 2, 10, QLatin1Char('0'))
                          : QString::number(p.year);
        } else if (c == QLatin1Char('h')) {
            k = run(c);
            out += QStringLiteral("%1").arg(p.hour, k >= 2 ? 2 : 1, 10, QLatin1Char('0'));
            afterHour = true;
            i += k;
            continue;
        } else if (c == QLatin1Char('n')) {
            k = run(c);
            out += QStringLiteral("%1").arg(p.minute, k >= 2 ? 2 : 1, 10, QLatin1Char('0'));
        } else if (c == QLatin1Char('s')) {
            k = run(c);
            out += QStringLiteral("%1").arg(p.second, k >= 2 ? 2 : 1, 10, QLatin1Char('0'));
        } else if (c == QLatin1Char('"')) {
            const auto end = pat.indexOf(QLatin1Char('"'), i + 1);
            const int stop = end < 0 ? n : static_cast<int>(end);
            out += pat.mid(i + 1, stop - i - 1);
            k = stop - i + 1;
        } else if (c == QLatin1Char('\\') && i + 1 < n) {
            out += pat[i + 1];
            k = 2;
        } else {
            out += pat[i];
            k = 1;
        }
        if (c != QLatin1Char(':') && c != QLatin1Char('h')) afterHour = afterHour && c == QLatin1Char(':');
        i += k;
    }
    return out;
}

bool isDatePattern(const QString& pat) {
    for (QChar c : pat) {
        const QChar l = c.toLower();
        if (l == QLatin1Char('d') || l == QLatin1Char('y') || l == QLatin1Char('h') ||
            l == QLatin1Char('n') || l == QLatin1Char('s') || l == QLatin1Char('m'))
            return true;
    }
    return false;
}

QString numberStyle(double v, int decimals, int leadingDigit, int parens, int groupDigits,
                    const QString& suffix) {
    if (decimals < 0) decimals = 2;
    QString ip, fp;
    splitFixed(v, decimals, ip, fp);
    const bool negative = v < 0 && (ip.toLongLong() != 0 || fp.toLongLong() != 0);
    if (groupDigits != 0) ip = groupThousands(ip);
    if (leadingDigit == 0 && ip == QLatin1String("0") && !fp.isEmpty()) ip.clear();
    QString out = ip + (fp.isEmpty() ? QString() : QLatin1Char(',') + fp) + suffix;
    if (negative) out = parens == -1 ? QLatin1Char('(') + out + QLatin1Char(')') : QLatin1Char('-') + out;
    return out;
}

}  // namespace

QString VbFormat(const Variant& value, const QString& pattern) {
    if (value.isNull() || value.isEmpty()) return QString();
    if (pattern.isEmpty()) return value.toText();
    const QString lower = pattern.toLower();
    if (lower == QLatin1String("general number")) return FormatVbDouble(value.toDouble());
    if (lower == QLatin1String("currency")) return VbFormatCurrency(value);
    if (lower == QLatin1String("fixed")) return numberStyle(value.toDouble(), 2, -1, 0, 0, {});
    if (lower == QLatin1String("standard")) return VbFormatNumber(value, 2);
    if (lower == QLatin1String("percent")) return VbFormatPercent(value, 2);
    if (lower == QLatin1String("short date")) return VbFormatDateTime(value, 2);
    if (lower == QLatin1String("long date")) return VbFormatDateTime(value, 1);
    if (lower == QLatin1String("short time")) return VbFormatDateTime(value, 4);
    if (lower == QLatin1String("long time")) return VbFormatDateTime(value, 3);
    if (lower == QLatin1String("yes/no")) return value.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
    if (lower == QLatin1String("true/false"))
        return value.toBool() ? QStringLiteral("Vero") : QStringLiteral("Falso");

    if (value.type() == VarType::Date ||
        (value.isString() && !value.isNumeric() && isDatePattern(pattern) &&
         !pattern.contains(QLatin1Char('0')) && !pattern.contains(QLatin1Char('#')))) {
        if (isDatePattern(pattern)) return formatDate(value.toDate(), pattern);
    }
    if (value.isString()) {
        double d = 0;
        if (!ParseVbNumber(value.stringValue(), d)) return value.stringValue();
    }
    const double v = value.toDouble();
    const QStringList sections = pattern.split(QLatin1Char(';'));
    if (v < 0 && sections.size() > 1 && !sections[1].isEmpty()) return formatDigits(-v, sections[1]);
    if (v == 0 && sections.size() > 2 && !sections[2].isEmpty()) return formatDigits(0, sections[2]);
    const QString out = formatDigits(v, sections[0]);
    // A negative number keeps its sign unless the result rounds to zero digits.
    if (v < 0) {
        bool anyDigit = false;
        for (QChar c : out)
            if (c.isDigit() && c != QLatin1Char('0')) anyDigit = true;
        if (anyDigit) return QLatin1Char('-') + out;
    }
    return out;
}

QString VbFormatNumber(const Variant& value, int decimals, int leadingDigit, int parens, int groupDigits) {
    if (value.isNull()) return QString();
    return numberStyle(value.toDouble(), decimals, leadingDigit, parens, groupDigits, {});
}

QString VbFormatCurrency(const Variant& value, int decimals, int leadingDigit, int parens, int groupDigits) {
    if (value.isNull()) return QString();
    // Italian currency style: the euro sign after the amount.
    return numberStyle(value.toDouble(), decimals, leadingDigit, parens, groupDigits, QStringLiteral(" €"));
}

QString VbFormatPercent(const Variant& value, int decimals, int leadingDigit, int parens, int groupDigits) {
    if (value.isNull()) return QString();
    return numberStyle(value.toDouble() * 100.0, decimals, leadingDigit, parens, groupDigits,
                       QStringLiteral("%"));
}

QString VbFormatDateTime(const Variant& value, int namedFormat) {
    if (value.isNull()) return QString();
    const double d = value.toDate();
    switch (namedFormat) {
        case 1:
            return formatDate(d, QStringLiteral("dddd d mmmm yyyy"));
        case 2:
            return formatDate(d, QStringLiteral("dd/mm/yyyy"));
        case 3:
            return formatDate(d, QStringLiteral("hh:nn:ss"));
        case 4:
            return formatDate(d, QStringLiteral("hh:nn"));
        default:
            return FormatVbDate(d);
    }
}
