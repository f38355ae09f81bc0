// The windows' shared services.
#include "odb/ui/PanelSupport.h"

#include <QDialog>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

#include "odb/Connection.h"
#include "odb/ConnectionNotices.h"
#include "odb/DataSet.h"

#include "odb/Database.h"
#include "odb/Interfaces.h"
#include "odb/Schema.h"

namespace odb {

namespace {
int Dpi(const QWidget* w) {
    const int dpi = w ? w->logicalDpiY() : 96;
    return dpi > 0 ? dpi : 96;
}
}  // namespace

int TwipsFromPixels(int pixels, const QWidget* widget) {
    return pixels * 1440 / Dpi(widget);
}

int PixelsFromTwips(int twips, const QWidget* widget) {
    return (twips * Dpi(widget) + 720) / 1440;
}

int ColumnWidthFor(const FieldDef& f, const QString& header, const QFontMetrics& fm) {
    QString sample;
    switch (f.type) {
        case ftDate:
            sample = QStringLiteral("00/00/0000");
            break;
        case ftTime:
            sample = QStringLiteral("00:00");
            break;
        case ftDateTime:
            sample = QStringLiteral("00/00/0000 00:00");
            break;
        case ftCurrency:
            sample = QStringLiteral("000.000,00 €");
            break;
        case ftBoolean:
            sample = QStringLiteral("No");
            break;
        case ftLong:
        case ftDecimal:
        case ftQuantity:
            sample = QString(8, QLatin1Char('0'));
            break;
        default:
            sample = QString(std::clamp(f.size > 0 ? f.size : 24, 6, 30), QLatin1Char('n'));
    }
    int text = fm.horizontalAdvance(sample);
    // A value list shows its labels, not its codes: the widest of them.
    const QStringList list = f.valueList.split(QLatin1Char('|'));
    for (qsizetype i = 1; i < list.size(); i += 2)
        text = std::max(text, fm.horizontalAdvance(list[i]));
    return std::max(text, fm.horizontalAdvance(header)) + 16;
}

void ShowPanelMessage(Database& database, const QString& text) {
    if (itfNotifyEvent* n = database.NotifySink()) n->OnInternalMessage(nullptr, text);
}

bool AskPanelQuestion(Database& database, const QString& text, bool defaultCancel) {
    bool cancel = defaultCancel;
    if (itfNotifyEvent* n = database.NotifySink()) n->OnQueryMessage(nullptr, 1, text, cancel);
    return !cancel;
}

void CloseWithConnection(QDialog& dialog, const std::shared_ptr<Connection>& connection) {
    if (!connection) return;
    const Connection* watched = connection.get();
    QObject::connect(&ConnectionNotices::instance(), &ConnectionNotices::closing, &dialog,
                     [&dialog, watched](const Connection* closing) {
                         if (closing == watched) dialog.reject();
                     });
}

bool ConnectionClosed(const DataSet& dataSet) {
    const std::shared_ptr<Connection> connection = dataSet.GetConnection();
    return !connection || !connection->IsOpen();
}

bool PanelsReadOnly(const Database& database) {
    return database.GetUserLevel() == kLevelQuery;
}

bool FieldEditable(const Database& database, const FieldDef& field) {
    if (field.ReadOnly() || field.computed || field.lookup) return false;
    if (PanelsReadOnly(database)) return false;
    if (database.GetUserLevel() <= kLevelJobOrdersOnly && field.flags1 == 1) return false;
    return true;
}

}  // namespace odb
