// Expanding a reminder template.
#include "mainwindow/ReminderText.h"

#include <functional>

#include "odb/DataSet.h"

namespace {

// One pass over the template into `out`, each placeholder's name given to `value`. False when a
// "<%" has no "%>" after it: what the template holds decides it, never the values.
bool walkTemplate(const QString& templateText, const std::function<QString(const QString&)>& value,
                  QString& out) {
    static const QString open = QStringLiteral("<%"), close = QStringLiteral("%>");
    qsizetype from = 0;
    while (true) {
        const qsizetype p1 = templateText.indexOf(open, from);
        if (p1 < 0) break;
        // The first "%>" of what is left must close this placeholder.
        const qsizetype p2 = templateText.indexOf(close, from);
        if (p2 <= p1) return false;
        out += templateText.mid(from, p1 - from);
        out += value(templateText.mid(p1 + 2, p2 - p1 - 2));
        from = p2 + 2;
    }
    out += templateText.mid(from);
    return true;
}

}  // namespace

QString ExpandReminderText(odb::DataSet& source, const QString& templateText) {
    QString out;
    const bool sound = walkTemplate(
        templateText,
        [&](const QString& name) {
            return source.ColExists(name) ? source.ColValue(name).toText()
                                          : QStringLiteral("# Non identificato: ") + name + QLatin1Char('#');
        },
        out);
    if (!sound) {
        source.AskQuestion(1,
                           QStringLiteral("Messaggio non corretto.\rImpossibile determinare il nome del "
                                          "campo della tabella"),
                           true, false);
        return {};
    }
    return out.left(kReminderTextLength);
}

bool ReminderTemplateShowsMessage(const QString& templateText) {
    QString out;
    return !walkTemplate(
        templateText, [](const QString&) { return QString(); }, out);
}
