// Tokens of the VB-style condition texts: names, numbers, quoted texts, #date# literals, symbols.
#include "odb/condition/ConditionLexer.h"

#include <QDate>

#include "base/AppError.h"
#include "base/DateUtil.h"
#include "odb/condition/ConditionError.h"

namespace odb {

namespace {

bool IsNameStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool IsNamePart(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// Reads whole numbers separated by `sep` ("3/15/2024", "08:30:00") into `out`.
bool SplitNumbers(const QString& text, QChar sep, int minParts, int maxParts, std::vector<int>& out) {
    const QStringList parts = text.split(sep);
    if (parts.size() < minParts || parts.size() > maxParts) return false;
    out.clear();
    for (const QString& p : parts) {
        bool ok = false;
        const int v = p.toInt(&ok);
        if (!ok || p.isEmpty() || p.size() > 4 || p.startsWith(u'+') || p.startsWith(u'-')) return false;
        out.push_back(v);
    }
    return true;
}

// "#mm/dd/yyyy#", "#mm/dd/yyyy hh:nn[:ss]#", "#yyyy-mm-dd[ hh:nn[:ss]]#" or "#hh:nn[:ss]#".
bool ParseDateLiteral(const QString& body, double& out) {
    const QStringList words = body.simplified().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty() || words.size() > 2) return false;
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
    std::vector<int> n;
    int next = 0;
    if (words[0].contains(u'/') || words[0].contains(u'-')) {
        if (words[0].contains(u'/')) {
            if (!SplitNumbers(words[0], u'/', 3, 3, n)) return false;
            month = n[0], day = n[1], year = n[2];
        } else {
            if (!SplitNumbers(words[0], u'-', 3, 3, n)) return false;
            year = n[0], month = n[1], day = n[2];
        }
        if (year < 100 || !QDate::isValid(year, month, day)) return false;
        next = 1;
    }
    if (next < words.size()) {
        if (!SplitNumbers(words[next], u':', 2, 3, n)) return false;
        hour = n[0], minute = n[1], second = n.size() > 2 ? n[2] : 0;
        if (hour > 23 || minute > 59 || second > 59) return false;
        ++next;
    }
    if (next != words.size()) return false;
    try {
        out = MakeOleDate(year, month, day, hour, minute, second);
    } catch (const AppError&) {
        return false;
    }
    return true;
}

}  // namespace

bool ConditionToken::isWord(const char* word) const {
    return kind == Name && !quoted && text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

std::vector<ConditionToken> ConditionLexer::Tokenize(const QString& text) {
    std::vector<ConditionToken> tokens;
    const int n = static_cast<int>(text.size());
    int i = 0;
    while (true) {
        while (i < n && text[i].isSpace())
            ++i;
        ConditionToken t;
        t.pos = i;
        if (i >= n) {
            tokens.push_back(t);
            return tokens;
        }
        const QChar c = text[i];
        if (IsNameStart(c)) {
            int j = i + 1;
            while (j < n && IsNamePart(text[j]))
                ++j;
            t.kind = ConditionToken::Name;
            t.text = text.mid(i, j - i);
            i = j;
        } else if (c == u'[') {
            const int close = text.indexOf(u']', i + 1);
            if (close < 0) RaiseConditionError(text, i, QStringLiteral("manca la parentesi quadra chiusa"));
            t.kind = ConditionToken::Name;
            t.quoted = true;
            t.text = text.mid(i + 1, close - i - 1).trimmed();
            if (t.text.isEmpty()) RaiseConditionError(text, i, QStringLiteral("nome vuoto"));
            i = close + 1;
        } else if (c.isDigit()) {
            int j = i;
            while (j < n && text[j].isDigit())
                ++j;
            if (j + 1 < n && text[j] == u'.' && text[j + 1].isDigit()) {
                ++j;
                while (j < n && text[j].isDigit())
                    ++j;
            }
            if (j < n && (text[j] == u'e' || text[j] == u'E')) {
                int k = j + 1;
                if (k < n && (text[k] == u'+' || text[k] == u'-')) ++k;
                if (k < n && text[k].isDigit()) {
                    while (k < n && text[k].isDigit())
                        ++k;
                    j = k;
                }
            }
            if (j < n && IsNamePart(text[j]))
                RaiseConditionError(text, i, QStringLiteral("numero non valido"));
            const QString digits = text.mid(i, j - i);
            bool ok = false;
            const qlonglong whole = digits.toLongLong(&ok);
            t.kind = ConditionToken::Number;
            t.text = digits;
            t.value = ok ? Variant(static_cast<int64_t>(whole)) : Variant(digits.toDouble());
            i = j;
        } else if (c == u'\'' || c == u'"') {
            QString value;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (text[j] == c) {
                    if (j + 1 < n && text[j + 1] == c) {
                        value += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                value += text[j++];
            }
            if (!closed) RaiseConditionError(text, i, QStringLiteral("testo non terminato"));
            t.kind = ConditionToken::String;
            t.value = Variant(value);
            i = j + 1;
        } else if (c == u'#') {
            const int close = text.indexOf(u'#', i + 1);
            if (close < 0) RaiseConditionError(text, i, QStringLiteral("data non terminata"));
            double ole = 0;
            if (!ParseDateLiteral(text.mid(i + 1, close - i - 1), ole))
                RaiseConditionError(text, i, QStringLiteral("data non valida"));
            t.kind = ConditionToken::Date;
            t.value = Variant::fromDate(ole);
            i = close + 1;
        } else {
            static const char* const twoChar[] = {"<>", "<=", ">="};
            t.kind = ConditionToken::Symbol;
            for (const char* s : twoChar) {
                if (text.mid(i, 2) == QLatin1String(s)) t.text = QLatin1String(s);
            }
            if (t.text.isEmpty()) {
                if (!QStringLiteral("=<>(),.&+-*/").contains(c))
                    RaiseConditionError(text, i, QStringLiteral("carattere non ammesso '%1'").arg(c));
                t.text = c;
            }
            i += static_cast<int>(t.text.size());
        }
        t.len = i - t.pos;
        tokens.push_back(std::move(t));
    }
}

}  // namespace odb
