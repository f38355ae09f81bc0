// Grid layouts in the grid settings file. Widths are kept as one "field:twips;..." text, so that
// field names with accented letters stay readable in the file.
#include "odb/GridLayout.h"

#include <QSettings>
#include <QStringList>

namespace odb {

namespace {
const QString kSequenceKey = QStringLiteral("FieldSequence");
const QString kWidthsKey = QStringLiteral("ColumnWidths");
}  // namespace

std::shared_ptr<GridLayout> GridLayout::Load(const QString& path, const QString& table) {
    auto layout = std::make_shared<GridLayout>();
    layout->path_ = path;
    layout->table_ = table;
    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup(table);
    layout->sequence_ = ini.value(kSequenceKey).toString().trimmed();
    for (const QString& item : ini.value(kWidthsKey).toString().split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype colon = item.lastIndexOf(QLatin1Char(':'));
        if (colon <= 0) continue;
        bool ok = false;
        const int twips = item.mid(colon + 1).trimmed().toInt(&ok);
        if (ok && twips > 0) layout->SetColumnWidth(item.left(colon).trimmed(), twips);
    }
    ini.endGroup();
    return layout;
}

int32_t GridLayout::ColumnWidth(const QString& field) const {
    return widths_.value(field.normalized(QString::NormalizationForm_C).toLower(), -1);
}

void GridLayout::SetColumnWidth(const QString& field, int32_t twips) {
    const QString name = field.normalized(QString::NormalizationForm_C).trimmed();
    if (name.isEmpty() || twips <= 0) return;
    widths_.insert(name.toLower(), twips);
    names_.insert(name.toLower(), name);
}

void GridLayout::ResetDefault() {
    sequence_.clear();
    widths_.clear();
    names_.clear();
}

void GridLayout::Save() const {
    QSettings ini(path_, QSettings::IniFormat);
    ini.beginGroup(table_);
    if (sequence_.isEmpty() && widths_.isEmpty()) {
        ini.remove(QString());
    } else {
        ini.setValue(kSequenceKey, sequence_);
        QStringList widths;
        for (auto it = widths_.constBegin(); it != widths_.constEnd(); ++it)
            widths << names_.value(it.key()) + QLatin1Char(':') + QString::number(it.value());
        ini.setValue(kWidthsKey, widths.join(QLatin1Char(';')));
    }
    ini.endGroup();
    ini.sync();
}

}  // namespace odb
