// Setting texts, file paths and VB's Val.
#include "base/TextUtil.h"

#include <cmath>
#include <string>

bool StrToBool(const QString& text) {
    const QString t = text.trimmed().toUpper();
    return !(t == QLatin1String("FALSE") || t == QLatin1String("FALSO") || t == QLatin1String("NO") ||
             t == QLatin1String("0"));
}

QString BuildPath(const QString& dir, const QString& fileName, const QString& ext) {
    QString name = fileName;
    if (!ext.isEmpty()) {
        const auto dot = name.indexOf(QLatin1Char('.'));
        if (dot >= 0) name.truncate(dot);
        name += QLatin1Char('.') + ext;
    }
    if (dir.isEmpty()) return name;
    if (dir.endsWith(QLatin1Char('\\')) || dir.endsWith(QLatin1Char('/'))) return dir + name;
    return dir + QLatin1Char('/') + name;
}

double LeadingNumber(const QString& text) {
    // Blanks, tabs and line feeds are skipped anywhere, as Val does.
    std::string s;
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r'))
            continue;
        s.push_back(c.unicode() < 128 ? static_cast<char>(c.unicode()) : '?');
    }
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        return static_cast<double>(std::strtoll(s.c_str() + 2, nullptr, base));
    }
    // Keep only a well-formed prefix: sign, digits, one '.', exponent.
    size_t i = 0;
    std::string num;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) num.push_back(s[i++]);
    bool dot = false, digits = false;
    for (; i < s.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(s[i]))) {
            num.push_back(s[i]);
            digits = true;
        } else if (s[i] == '.' && !dot) {
            num.push_back('.');
            dot = true;
        } else {
            break;
        }
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::string e = "e";
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) e.push_back(s[j++]);
        const size_t start = e.size();
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
            e.push_back(s[j++]);
        if (e.size() > start) num += e;
    }
    return std::strtod(num.c_str(), nullptr);
}
