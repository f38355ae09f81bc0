// String functions: Len, Left, Right, Mid, InStr, InStrRev, Replace, the trims, UCase, LCase,
// Space, String, StrComp, StrReverse. A Null text gives Null where VBScript lets it through.
#include <QString>

#include "base/AppError.h"
#include "base/Windows1252.h"
#include "vbs/BuiltinArgs.h"
#include "vbs/BuiltinFamilies.h"

namespace vbs {

namespace {

Qt::CaseSensitivity caseOf(bool textCompare) {
    return textCompare ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

int32_t lengthArg(const VariantList& args, size_t i) {
    const int32_t n = LongArg(args, i);
    if (n < 0) RaiseInvalidArgument();
    return n;
}

Variant Len(BuiltinContext&, VariantList& args) {
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) return Variant::null();
    return Variant(static_cast<int32_t>(v.toString().size()));
}

Variant Left(BuiltinContext&, VariantList& args) {
    const int32_t n = lengthArg(args, 1);
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) return Variant::null();
    return Variant(v.toString().left(n));
}

Variant Right(BuiltinContext&, VariantList& args) {
    const int32_t n = lengthArg(args, 1);
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) return Variant::null();
    return Variant(v.toString().right(n));
}

Variant Mid(BuiltinContext&, VariantList& args) {
    // VBScript looks at a Null length first, then the start, then the length's sign.
    if (HasArg(args, 2) && ArgValue(args, 2).isNull()) RaiseVbError(94);
    const int32_t start = LongArg(args, 1);
    if (start < 1) RaiseInvalidArgument();
    const int32_t length = HasArg(args, 2) ? lengthArg(args, 2) : -1;
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) return Variant::null();
    return Variant(v.toString().mid(start - 1, length));
}

// InStr([start, ]string1, string2[, compare]): with three or more arguments the first is the start.
Variant InStr(BuiltinContext&, VariantList& args) {
    const size_t given = GivenCount(args);
    const size_t first = given >= 3 ? 1 : 0;
    const int32_t start = first ? LongArg(args, 0, 1) : 1;
    const bool text = TextCompareArg(args, 3);
    if (start < 1) RaiseInvalidArgument();
    const Variant a = ArgValue(args, first), b = ArgValue(args, first + 1);
    if (a.isNull() || b.isNull()) return Variant::null();
    const QString s1 = a.toString(), s2 = b.toString();
    if (s1.isEmpty() || start > s1.size()) return Variant(int32_t(0));
    if (s2.isEmpty()) return Variant(start);
    return Variant(static_cast<int32_t>(s1.indexOf(s2, start - 1, caseOf(text)) + 1));
}

// InStrRev(string1, string2[, start[, compare]]): the last match that ends at or before start.
Variant InStrRev(BuiltinContext&, VariantList& args) {
    const QString s1 = StringArg(args, 0), s2 = StringArg(args, 1);
    int32_t start = LongArg(args, 2, -1);
    const bool text = TextCompareArg(args, 3);
    if (start == 0 || start < -1) RaiseInvalidArgument();
    if (s1.isEmpty()) return Variant(int32_t(0));
    if (start == -1) start = static_cast<int32_t>(s1.size());
    if (start > s1.size()) return Variant(int32_t(0));
    if (s2.isEmpty()) return Variant(start);
    const qsizetype from = start - s2.size();
    if (from < 0) return Variant(int32_t(0));
    return Variant(static_cast<int32_t>(s1.lastIndexOf(s2, from, caseOf(text)) + 1));
}

// Replace(expression, find, replacewith[, start[, count[, compare]]]): the result starts at `start`.
Variant Replace(BuiltinContext& ctx, VariantList& args) {
    const QString expr = StringArg(args, 0), find = StringArg(args, 1), with = StringArg(args, 2);
    const int32_t start = LongArg(args, 3, 1);
    const int32_t count = LongArg(args, 4, -1);
    const bool text = TextCompareArg(args, 5);
    if (start < 1 || count < -1) RaiseInvalidArgument();
    if (start > expr.size()) return Variant(QString());
    const QString tail = expr.mid(start - 1);
    if (find.isEmpty() || count == 0) return Variant(tail);
    QString out;
    out.reserve(tail.size());
    qsizetype pos = 0;
    int32_t done = 0;
    while (count == -1 || done < count) {
        const qsizetype hit = tail.indexOf(find, pos, caseOf(text));
        if (hit < 0) break;
        CheckTextLength(ctx,
                        qint64(out.size()) + (hit - pos) + with.size() + (tail.size() - hit - find.size()));
        out += QStringView(tail).mid(pos, hit - pos);
        out += with;
        pos = hit + find.size();
        ++done;
    }
    out += QStringView(tail).mid(pos);
    return Variant(std::move(out));
}

// Trims remove spaces only, as VBScript does (tabs and line ends stay).
QString trimSpaces(const QString& s, bool left, bool right) {
    qsizetype b = 0, e = s.size();
    if (left)
        while (b < e && s[b] == QLatin1Char(' '))
            ++b;
    if (right)
        while (e > b && s[e - 1] == QLatin1Char(' '))
            --e;
    return s.mid(b, e - b);
}

Variant trimmed(VariantList& args, bool left, bool right) {
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) return Variant::null();
    return Variant(trimSpaces(v.toString(), left, right));
}

Variant Trim(BuiltinContext&, VariantList& args) {
    return trimmed(args, true, true);
}
Variant LTrim(BuiltinContext&, VariantList& args) {
    return trimmed(args, true, false);
}
Variant RTrim(BuiltinContext&, VariantList& args) {
    return trimmed(args, false, true);
}

// Character by character, as Windows maps case: a text keeps its length ("ß" stays "ß").
QString mapCase(QString s, bool upper) {
    for (QChar& c : s)
        c = upper ? c.toUpper() : c.toLower();
    return s;
}

Variant UCase(BuiltinContext&, VariantList& args) {
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) return Variant::null();
    return Variant(mapCase(v.toString(), true));
}

Variant LCase(BuiltinContext&, VariantList& args) {
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) return Variant::null();
    return Variant(mapCase(v.toString(), false));
}

Variant Space(BuiltinContext& ctx, VariantList& args) {
    const int32_t n = lengthArg(args, 0);
    CheckTextLength(ctx, n);
    return Variant(QString(n, QLatin1Char(' ')));
}

// String(number, character): a text's first character, or a character code taken modulo 256.
Variant String(BuiltinContext& ctx, VariantList& args) {
    const int32_t n = lengthArg(args, 0);
    const Variant c = ArgValue(args, 1);
    if (c.isNull()) return Variant::null();
    QChar ch;
    if (c.isString()) {
        if (c.stringValue().isEmpty()) RaiseInvalidArgument();
        ch = c.stringValue()[0];
    } else {
        ch = AnsiToChar(((c.toLong() % 256) + 256) % 256);
    }
    CheckTextLength(ctx, n);
    return Variant(QString(n, ch));
}

Variant StrComp(BuiltinContext&, VariantList& args) {
    const bool text = TextCompareArg(args, 2);
    const Variant a = ArgValue(args, 0), b = ArgValue(args, 1);
    if (a.isNull() || b.isNull()) return Variant::null();
    const int c = a.toString().compare(b.toString(), caseOf(text));
    return Variant(static_cast<int16_t>(c < 0 ? -1 : (c > 0 ? 1 : 0)));
}

Variant StrReverse(BuiltinContext&, VariantList& args) {
    const QString s = StringArg(args, 0);
    QString out(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i)
        out[s.size() - 1 - i] = s[i];
    return Variant(std::move(out));
}

}  // namespace

void AddStringBuiltins(std::vector<BuiltinDef>& table) {
    table.insert(table.end(), {
                                  {"Len", 1, 1, Len},
                                  {"Left", 2, 2, Left},
                                  {"Right", 2, 2, Right},
                                  {"Mid", 2, 3, Mid},
                                  {"InStr", 2, 4, InStr},
                                  {"InStrRev", 2, 4, InStrRev},
                                  {"Replace", 3, 6, Replace},
                                  {"Trim", 1, 1, Trim},
                                  {"LTrim", 1, 1, LTrim},
                                  {"RTrim", 1, 1, RTrim},
                                  {"UCase", 1, 1, UCase},
                                  {"LCase", 1, 1, LCase},
                                  {"Space", 1, 1, Space},
                                  {"String", 2, 2, String},
                                  {"StrComp", 2, 3, StrComp},
                                  {"StrReverse", 1, 1, StrReverse},
                              });
}

}  // namespace vbs
