// Expanding a reminder template.
#include "mainwindow/ReminderText.h"

#include "odb/DataSet.h"

QString ExpandReminderText(odb::DataSet& source, const QString& templateText) {
    static const QString open = QStringLiteral("<%"), close = QStringLiteral("%>");
    QString out;
    qsizetype from = 0;
    while (true) {
        const qsizetype p1 = templateText.indexOf(open, from);
        if (p1 < 0) break;
        // The first "%>" of what is left must close this placeholder.
        const qsizetype p2 = templateText.indexOf(close, from);
        if (p2 <= p1) {
            source.AskQuestion(1,
                               QStringLiteral("Messaggio non corretto.\rImpossibile determinare il nome del "
                                              "campo della tabella"),
                               true, false);
            return {};
        }
        const QString name = templateText.mid(p1 + 2, p2 - p1 - 2);
        out += templateText.mid(from, p1 - from);
        if (source.ColExists(name))
            out += source.ColValue(name).toText();
        else
            out += QStringLiteral("# Non identificato: ") + name + QLatin1Char('#');
        from = p2 + 2;
    }
    out += templateText.mid(from);
    return out.left(kReminderTextLength);
}
