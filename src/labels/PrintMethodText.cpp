// Splitting a print method text into the name and its arguments.
#include "labels/PrintMethodText.h"

#include <QLocale>
#include <QStringList>

namespace {

// A number written with "." as decimal point passes as a Double; anything else as written.
Variant argument(const QString& text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    return ok ? Variant(value) : Variant(text);
}

}  // namespace

PrintMethodText PrintMethodText::Parse(const QString& text) {
    PrintMethodText out;
    const QString s = text.trimmed();
    const qsizetype space = s.indexOf(u' ');
    const qsizetype paren = s.indexOf(u'(');
    qsizetype p = space;
    if (p < 0 || (paren >= 0 && paren < p)) p = paren;
    if (p < 0) {
        out.name = s;
        return out;
    }
    out.name = s.left(p);
    QString rest = s.mid(p + 1);
    if (rest.endsWith(u')')) rest.chop(1);
    rest = rest.trimmed();
    if (rest.isEmpty()) return out;
    const QStringList parts = rest.split(u',');
    for (const QString& part : parts)
        out.args.push_back(argument(part.trimmed()));
    out.callable = out.args.size() <= 5;
    return out;
}
