// A small INI reader: QSettings would read commas as lists and percent signs as escapes.
#include "platform/PrivateProfile.h"

#include <QFile>
#include <QStringConverter>
#include <QTextStream>

QString ReadPrivateProfileString(const QString& file, const QString& section, const QString& key,
                                 const QString& defaultValue, int maxChars) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return defaultValue.left(maxChars);
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Latin1);
    bool inSection = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
        if (line.startsWith(QLatin1Char('['))) {
            const auto close = line.indexOf(QLatin1Char(']'));
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection) continue;
        const auto eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0) continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && ((value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) ||
                                  (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\'')))))
            value = value.mid(1, value.size() - 2);
        return value.left(maxChars);
    }
    return defaultValue.left(maxChars);
}
