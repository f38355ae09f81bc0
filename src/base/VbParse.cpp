// Reading numbers and dates from text, and writing Doubles, the way VB does under Italian settings:
// "," is the decimal point, "." groups thousands, dates are day/month/year.
#include <QStringList>

#include <cmath>
#include <cstdio>

#include "base/DateUtil.h"
#include "base/Variant.h"

namespace {

bool parseHex(const QString& t, int base, double& out) {
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, base);
    if (!ok) return false;
    // &H values up to 4 digits are Integers, up to 8 Longs: both wrap to negative like VB.
    if (t.size() <= 4 && base == 16)
        out = static_cast<int16_t>(v);
    else
        out = static_cast<int32_t>(v);
    return true;
}

int twoOrFourDigitYear(int y, int digits) {
    if (digits > 2) return y;
    return y < 30 ? 2000 + y : 1900 + y;  // VB's window for two-digit years
}

bool parseTime(const QString& t, double& out) {
    // h:mm, h:mm:ss, h.mm.ss
    QStringList parts = t.split(QLatin1Char(':'));
    if (parts.size() == 1) parts = t.split(QLatin1Char('.'));
    if (parts.size() < 2 || parts.size() > 3) return false;
    int v[3] = {0, 0, 0};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || parts[i].trimmed().isEmpty() || v[i] < 0) return false;
    }
    if (v[0] > 23 || v[1] > 59 || v[2] > 59) return false;
    out = MakeOleTime(v[0], v[1], v[2]);
    return true;
}

bool parseDay(const QString& t, double& out) {
    QString sep;
    for (QChar c : {QLatin1Char('/'), QLatin1Char('-'), QLatin1Char('.')})
        if (t.contains(c)) {
            sep = c;
            break;
        }
    if (sep.isEmpty()) return false;
    const QStringList p = t.split(sep);
    if (p.size() != 3) return false;
    int n[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        n[i] = p[i].toInt(&ok);
        if (!ok || p[i].isEmpty()) return false;
    }
    int y, m, d;
    if (p[0].size() == 4) {  // ISO: yyyy-mm-dd
        y = n[0];
        m = n[1];
        d = n[2];
    } else {
        d = n[0];
        m = n[1];
        y = twoOrFourDigitYear(n[2], static_cast<int>(p[2].size()));
    }
    if (m < 1 || m > 12 || d < 1 || d > QDate(y, m, 1).daysInMonth() || y < 100 || y > 9999) return false;
    out = MakeOleDate(y, m, d);
    return true;
}

}  // namespace

bool ParseVbNumber(const QString& text, double& out) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    if (t.size() > 2 && t[0] == QLatin1Char('&')) {
        const QChar k = t[1].toUpper();
        if (k == QLatin1Char('H')) return parseHex(t.mid(2), 16, out);
        if (k == QLatin1Char('O')) return parseHex(t.mid(2), 8, out);
        return false;
    }
    std::string s;
    s.reserve(t.size());
    int i = 0;
    const int n = static_cast<int>(t.size());
    if (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')) {
        if (t[i] == QLatin1Char('-')) s.push_back('-');
        ++i;
        while (i < n && t[i] == QLatin1Char(' '))
            ++i;
    }
    bool digits = false, decimal = false;
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128) {
            s.push_back(static_cast<char>(c.unicode()));
            digits = true;
        } else if (c == QLatin1Char('.') && !decimal) {
            continue;  // thousands separator
        } else if (c == QLatin1Char(',') && !decimal) {
            s.push_back('.');
            decimal = true;
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (i < n && (t[i] == QLatin1Char('E') || t[i] == QLatin1Char('e') || t[i] == QLatin1Char('D') ||
                  t[i] == QLatin1Char('d'))) {
        s.push_back('e');
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
            s.push_back(static_cast<char>(t[i++].unicode()));
        bool expDigits = false;
        while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
            s.push_back(static_cast<char>(t[i++].unicode()));
            expDigits = true;
        }
        if (!expDigits) return false;
    }
    if (i != n) return false;
    out = std::strtod(s.c_str(), nullptr);
    return std::isfinite(out);
}

bool ParseVbDate(const QString& text, double& out) {
    QString t = text.trimmed();
    if (t.isEmpty()) return false;
    t.replace(QLatin1Char('T'), QLatin1Char(' '));
    const int space = static_cast<int>(t.indexOf(QLatin1Char(' ')));
    if (space < 0) {
        if (t.contains(QLatin1Char(':'))) return parseTime(t, out);
        return parseDay(t, out);
    }
    double day = 0, time = 0;
    if (!parseDay(t.left(space), day) || !parseTime(t.mid(space + 1).trimmed(), time)) return false;
    out = day >= 0 ? day + time : day - time;
    return true;
}

QString FormatVbDouble(double v, int significantDigits) {
    if (v == 0) return QStringLiteral("0");
    if (std::isnan(v)) return QStringLiteral("NaN");
    if (std::isinf(v)) return v > 0 ? QStringLiteral("+Inf") : QStringLiteral("-Inf");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significantDigits - 1, v);
    // buf: [-]d.ddddde[+-]xx
    std::string str(buf);
    const bool negative = str[0] == '-';
    if (negative) str.erase(0, 1);
    const size_t e = str.find('e');
    const int exponent = std::atoi(str.c_str() + e + 1);
    std::string mant = str.substr(0, 1) + str.substr(2, e - 2);  // digits only
    while (mant.size() > 1 && mant.back() == '0')
        mant.pop_back();
    std::string res;
    // VB writes 0,0001 in full but 1E-05, and switches to E notation past the significant digits.
    if (exponent >= significantDigits || exponent <= -5) {
        res.push_back(mant[0]);
        if (mant.size() > 1) {
            res.push_back(',');
            res.append(mant, 1);
        }
        char ex[16];
        std::snprintf(ex, sizeof ex, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        res += ex;
    } else if (exponent < 0) {
        res.assign("0,");
        res.append(static_cast<size_t>(-exponent - 1), '0');
        res.append(mant);
    } else {
        const size_t intDigits = static_cast<size_t>(exponent) + 1;
        if (mant.size() <= intDigits) {
            res = mant;
            res.append(intDigits - mant.size(), '0');
        } else {
            res.assign(mant, 0, intDigits);
            res.push_back(',');
            res.append(mant, intDigits);
        }
    }
    QString out = QString::fromLatin1(res.c_str());
    if (negative) out.prepend(QLatin1Char('-'));
    return out;
}
