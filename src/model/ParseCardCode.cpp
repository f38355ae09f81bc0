// The worker card-code parser.
#include "model/ParseCardCode.h"

#include <QList>

#include <algorithm>

QString ParseCardCode(const QString& code, const QString& prefix, bool reverse) {
    if (code.isEmpty()) return {};
    QString text = code;
    bool sentinel = false;
    if (text.startsWith(QLatin1Char('%')) || text.startsWith(QLatin1Char(';'))) {
        text.remove(0, 1);
        sentinel = true;
    }
    if (text.endsWith(QLatin1Char('_')) || text.endsWith(QLatin1Char('?'))) {
        text.chop(1);
        sentinel = true;
    }
    // Without a sentinel the reading direction is unknown, so the text is never reversed.
    if (reverse && sentinel) {
        QList<uint> points = text.toUcs4();
        std::reverse(points.begin(), points.end());
        text = QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()), points.size());
    }
    if (!prefix.isEmpty()) {
        if (text.left(prefix.size()).compare(prefix, Qt::CaseInsensitive) != 0) return {};
        text.remove(0, prefix.size());
    }
    return text;
}
