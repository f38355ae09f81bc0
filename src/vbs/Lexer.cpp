// Lexer: VBScript tokens. CR LF, CR and LF each end a line.
#include "vbs/Lexer.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QTime>

#include <cmath>

#include "base/DateUtil.h"
#include "vbs/CompileError.h"

namespace vbs {

namespace {

Kw keywordOf(const QString& word) {
    // clang-format off
    static const QHash<QString, Kw> keywords = {
        {QStringLiteral("and"), Kw::And},       {QStringLiteral("byref"), Kw::ByRef},
        {QStringLiteral("byval"), Kw::ByVal},   {QStringLiteral("call"), Kw::Call},
        {QStringLiteral("case"), Kw::Case},     {QStringLiteral("class"), Kw::Class},
        {QStringLiteral("const"), Kw::Const},   {QStringLiteral("default"), Kw::Default},
        {QStringLiteral("dim"), Kw::Dim},       {QStringLiteral("do"), Kw::Do},
        {QStringLiteral("each"), Kw::Each},     {QStringLiteral("else"), Kw::Else},
        {QStringLiteral("elseif"), Kw::ElseIf}, {QStringLiteral("empty"), Kw::Empty},
        {QStringLiteral("end"), Kw::End},       {QStringLiteral("eqv"), Kw::Eqv},
        {QStringLiteral("erase"), Kw::Erase},   {QStringLiteral("error"), Kw::Error},
        {QStringLiteral("exit"), Kw::Exit},     {QStringLiteral("explicit"), Kw::Explicit},
        {QStringLiteral("false"), Kw::False},   {QStringLiteral("for"), Kw::For},
        {QStringLiteral("function"), Kw::Function}, {QStringLiteral("get"), Kw::Get},
        {QStringLiteral("goto"), Kw::GoTo},     {QStringLiteral("if"), Kw::If},
        {QStringLiteral("imp"), Kw::Imp},       {QStringLiteral("in"), Kw::In},
        {QStringLiteral("is"), Kw::Is},         {QStringLiteral("let"), Kw::Let},
        {QStringLiteral("loop"), Kw::Loop},     {QStringLiteral("me"), Kw::Me},
        {QStringLiteral("mod"), Kw::Mod},       {QStringLiteral("new"), Kw::New},
        {QStringLiteral("next"), Kw::Next},     {QStringLiteral("not"), Kw::Not},
        {QStringLiteral("nothing"), Kw::Nothing}, {QStringLiteral("null"), Kw::Null},
        {QStringLiteral("on"), Kw::On},         {QStringLiteral("option"), Kw::Option},
        {QStringLiteral("or"), Kw::Or},         {QStringLiteral("preserve"), Kw::Preserve},
        {QStringLiteral("private"), Kw::Private}, {QStringLiteral("property"), Kw::Property},
        {QStringLiteral("public"), Kw::Public}, {QStringLiteral("redim"), Kw::ReDim},
        {QStringLiteral("resume"), Kw::Resume}, {QStringLiteral("select"), Kw::Select},
        {QStringLiteral("set"), Kw::Set},       {QStringLiteral("step"), Kw::Step},
        {QStringLiteral("stop"), Kw::Stop},     {QStringLiteral("sub"), Kw::Sub},
        {QStringLiteral("then"), Kw::Then},     {QStringLiteral("to"), Kw::To},
        {QStringLiteral("true"), Kw::True},     {QStringLiteral("until"), Kw::Until},
        {QStringLiteral("wend"), Kw::Wend},     {QStringLiteral("while"), Kw::While},
        {QStringLiteral("with"), Kw::With},     {QStringLiteral("xor"), Kw::Xor},
    };
    // clang-format on
    return keywords.value(word.toLower(), Kw::None);
}

bool isIdentStart(QChar c) {
    return c.isLetter();
}
bool isIdentPart(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// A date literal's text: month/day/year as VBScript reads it, or year-month-day, with an optional time.
bool parseDateLiteral(const QString& text, double& out) {
    QString s = text.trimmed();
    int y = 0, m = 0, d = 0, h = 0, mi = 0, se = 0;
    bool haveDate = false, haveTime = false;
    const QStringList words = s.split(u' ', Qt::SkipEmptyParts);
    int w = 0;
    if (w < words.size() && (words[w].contains(u'/') || words[w].contains(u'-'))) {
        const QStringList p = words[w].split(QRegularExpression(QStringLiteral("[/-]")));
        if (p.size() != 3) return false;
        bool ok1, ok2, ok3;
        int a = p[0].toInt(&ok1), b = p[1].toInt(&ok2), c = p[2].toInt(&ok3);
        if (!ok1 || !ok2 || !ok3) return false;
        if (p[0].size() == 4) {
            y = a;
            m = b;
            d = c;
        } else {
            m = a;
            d = b;
            y = c;
            if (p[2].size() <= 2) y += y < 30 ? 2000 : 1900;
            if (m > 12 && d <= 12) std::swap(m, d);  // day first when it cannot be a month
        }
        if (!QDate::isValid(y, m, d)) return false;
        haveDate = true;
        ++w;
    }
    if (w < words.size()) {
        QString t = words[w++];
        bool pm = false, am = false;
        if (w < words.size()) {
            const QString ap = words[w++].toUpper();
            if (ap == QLatin1String("PM"))
                pm = true;
            else if (ap == QLatin1String("AM"))
                am = true;
            else
                return false;
        }
        const QStringList p = t.split(u':');
        if (p.size() < 2 || p.size() > 3) return false;
        bool ok = true, okPart;
        h = p[0].toInt(&okPart);
        ok = ok && okPart;
        mi = p[1].toInt(&okPart);
        ok = ok && okPart;
        se = p.size() == 3 ? p[2].toInt(&okPart) : 0;
        if (p.size() == 3) ok = ok && okPart;
        if (!ok) return false;
        if (pm && h < 12) h += 12;
        if (am && h == 12) h = 0;
        if (h > 23 || mi > 59 || se > 59 || h < 0 || mi < 0 || se < 0) return false;
        haveTime = true;
    }
    if (w != words.size() || (!haveDate && !haveTime)) return false;
    out = haveDate ? MakeOleDate(y, m, d, h, mi, se) : MakeOleTime(h, mi, se);
    return true;
}

}  // namespace

std::vector<Token> Lexer::Tokenize(const QString& text) {
    std::vector<Token> out;
    const int n = static_cast<int>(text.size());
    int i = 0, line = 1;
    bool space = false;
    auto push = [&](Tok kind) -> Token& {
        Token t;
        t.kind = kind;
        t.line = line;
        t.spaceBefore = space;
        space = false;
        out.push_back(std::move(t));
        return out.back();
    };
    auto newline = [&] {
        if (out.empty() || out.back().kind != Tok::Newline || out.back().line != line) push(Tok::Newline);
    };
    auto skipToLineEnd = [&] {
        while (i < n && text[i] != u'\r' && text[i] != u'\n')
            ++i;
    };
    while (i < n) {
        const QChar c = text[i];
        if (c == u' ' || c == u'\t' || c == QChar(0xA0) || c == QChar(0xFEFF) || c == u'\f' || c == u'\v') {
            space = true;
            ++i;
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            newline();
            i += (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
            ++line;
            continue;
        }
        if (c == u'\'') {
            skipToLineEnd();
            continue;
        }
        if (c == u'_') {
            // A continuation: "_" then only blanks up to the line end.
            int j = i + 1;
            while (j < n && (text[j] == u' ' || text[j] == u'\t'))
                ++j;
            if (j >= n || text[j] == u'\r' || text[j] == u'\n') {
                if (j < n) j += (text[j] == u'\r' && j + 1 < n && text[j + 1] == u'\n') ? 2 : 1;
                ++line;
                i = j;
                space = true;
                continue;
            }
            throw CompileError(1032, line);
        }
        if (c == u':') {
            push(Tok::Colon);
            ++i;
            continue;
        }
        if (c == u'"') {
            QString s;
            ++i;
            for (;;) {
                if (i >= n || text[i] == u'\r' || text[i] == u'\n') throw CompileError(1033, line);
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        s += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                s += text[i++];
            }
            push(Tok::String).text = std::move(s);
            continue;
        }
        if (c == u'#') {
            const int start = ++i;
            while (i < n && text[i] != u'#' && text[i] != u'\r' && text[i] != u'\n')
                ++i;
            if (i >= n || text[i] != u'#') throw CompileError(1032, line);
            double d = 0;
            if (!parseDateLiteral(text.mid(start, i - start), d)) throw CompileError(1002, line);
            ++i;
            push(Tok::Date).value = Variant::fromDate(d);
            continue;
        }
        // "&H1F" and "&O17" are numbers; "a&hb" and "(x)&out" are concatenations.
        const auto radixLiteral = [&] {
            if (c != u'&' || i + 2 >= n) return false;
            const QChar r = text[i + 1].toUpper(), d = text[i + 2];
            if (r == u'H') return d.isDigit() || (d.toUpper() >= u'A' && d.toUpper() <= u'F');
            return r == u'O' && d >= u'0' && d <= u'7';
        };
        if (radixLiteral()) {
            const bool hex = text[i + 1] == u'H' || text[i + 1] == u'h';
            int j = i + 2;
            uint64_t v = 0;
            int digits = 0;
            while (j < n) {
                const QChar d = text[j];
                int dv;
                if (d.isDigit())
                    dv = d.digitValue();
                else if (hex && d.toUpper() >= u'A' && d.toUpper() <= u'F')
                    dv = d.toUpper().unicode() - 'A' + 10;
                else
                    break;
                if (!hex && dv > 7) break;
                v = v * (hex ? 16 : 8) + dv;
                if (v > 0xFFFFFFFFull) throw CompileError(1031, line);
                ++digits;
                ++j;
            }
            if (digits == 0) throw CompileError(1031, line);
            if (j < n && text[j] == u'&') ++j;  // explicit Long suffix
            Token& t = push(Tok::Number);
            if (v <= 0xFFFF)
                t.value = Variant(static_cast<int16_t>(static_cast<uint16_t>(v)));
            else
                t.value = Variant(static_cast<int32_t>(static_cast<uint32_t>(v)));
            i = j;
            continue;
        }
        const bool afterOperand =
            !out.empty() && (out.back().kind == Tok::Identifier || out.back().kind == Tok::RParen) && !space;
        if (c.isDigit() || (c == u'.' && i + 1 < n && text[i + 1].isDigit() && !afterOperand)) {
            int j = i;
            bool isFloat = false;
            while (j < n && text[j].isDigit())
                ++j;
            if (j < n && text[j] == u'.') {
                isFloat = true;
                ++j;
                while (j < n && text[j].isDigit())
                    ++j;
            }
            if (j < n && (text[j] == u'E' || text[j] == u'e')) {
                int k = j + 1;
                if (k < n && (text[k] == u'+' || text[k] == u'-')) ++k;
                if (k < n && text[k].isDigit()) {
                    isFloat = true;
                    j = k;
                    while (j < n && text[j].isDigit())
                        ++j;
                }
            }
            const QString digits = text.mid(i, j - i);
            bool ok = false;
            const double d = digits.toDouble(&ok);  // "C" rules: "." is the decimal point whatever the locale
            if (!ok || !std::isfinite(d)) throw CompileError(1031, line);
            if (j < n && isIdentStart(text[j])) throw CompileError(1025, line);
            Token& t = push(Tok::Number);
            if (!isFloat && d <= 32767)
                t.value = Variant(static_cast<int16_t>(d));
            else if (!isFloat && d <= 2147483647.0)
                t.value = Variant(static_cast<int32_t>(d));
            else
                t.value = Variant(d);
            i = j;
            continue;
        }
        if (isIdentStart(c)) {
            int j = i;
            while (j < n && isIdentPart(text[j]))
                ++j;
            QString word = text.mid(i, j - i);
            if (word.size() > 255) throw CompileError(1002, line, QStringLiteral("nome troppo lungo"));
            const Kw kw = keywordOf(word);
            const bool afterDot = !out.empty() && out.back().kind == Tok::Dot;
            if (kw == Kw::None || !afterDot) {
                // "Rem" starts a comment unless it names a member ("x.Rem").
                if (word.compare(QLatin1String("rem"), Qt::CaseInsensitive) == 0 && !afterDot &&
                    (j >= n || !isIdentPart(text[j]))) {
                    i = j;
                    skipToLineEnd();
                    continue;
                }
            }
            Token& t = push(Tok::Identifier);
            t.text = std::move(word);
            t.kw = afterDot ? Kw::None : kw;
            i = j;
            continue;
        }
        Tok kind;
        int len = 1;
        const QChar next = i + 1 < n ? text[i + 1] : QChar();
        switch (c.unicode()) {
            case '(':
                kind = Tok::LParen;
                break;
            case ')':
                kind = Tok::RParen;
                break;
            case ',':
                kind = Tok::Comma;
                break;
            case '.':
                kind = Tok::Dot;
                break;
            case '=':
                kind = Tok::Eq;
                break;
            case '+':
                kind = Tok::Plus;
                break;
            case '-':
                kind = Tok::Minus;
                break;
            case '*':
                kind = Tok::Star;
                break;
            case '/':
                kind = Tok::Slash;
                break;
            case '\\':
                kind = Tok::Backslash;
                break;
            case '^':
                kind = Tok::Caret;
                break;
            case '&':
                kind = Tok::Amp;
                break;
            case '<':
                if (next == u'>')
                    kind = Tok::Ne, len = 2;
                else if (next == u'=')
                    kind = Tok::Le, len = 2;
                else
                    kind = Tok::Lt;
                break;
            case '>':
                if (next == u'=')
                    kind = Tok::Ge, len = 2;
                else
                    kind = Tok::Gt;
                break;
            default:
                throw CompileError(1032, line);
        }
        push(kind);
        i += len;
    }
    if (out.empty() || out.back().kind != Tok::Newline) push(Tok::Newline);
    // The end of the text belongs to its last line, not to the empty one after a final line end.
    if (!out.empty() && out.back().kind == Tok::Newline) line = out.back().line;
    push(Tok::End);
    return out;
}

}  // namespace vbs
