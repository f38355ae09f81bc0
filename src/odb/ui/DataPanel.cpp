// The data panel.
#include "odb/ui/DataPanel.h"

#include <QDialog>
#include <QStringList>

#include <vector>

#include "odb/DataSet.h"
#include "odb/Table.h"
#include "odb/ui/DataSetRowsModel.h"
#include "odb/ui/FieldChooser.h"
#include "odb/ui/ModalDialog.h"
#include "odb/ui/RowWindow.h"

namespace odb {

DataPanel::DataPanel(std::shared_ptr<DataSet> dataSet) : dataSet_(std::move(dataSet)) {}

bool DataPanel::ChooseFields(QString& fieldList, const QString& title, QWidget* owner) {
    std::vector<FieldChooser::Field> fields;
    QStringList shown;
    for (const FieldDef* f : dataSet_->GetTable().Fields()) {
        fields.push_back({f->name, f->description});
        if (f->shown) shown << f->name;
    }
    QStringList chosen = fieldList.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString& name : chosen)
        name = name.trimmed();
    chosen.removeAll(QString());
    if (chosen.isEmpty()) chosen = shown;

    FieldChooser dialog(std::move(fields), chosen, title, owner);
    if (RunModal(dialog) != QDialog::Accepted) return false;
    fieldList = dialog.ChosenFields().join(QLatin1Char(','));
    return true;
}

bool DataPanel::SelectRow(const QString& title, QWidget* owner) {
    RowWindow window(dataSet_, title, owner);
    if (RunModal(window) != QDialog::Accepted) return false;
    return window.model()->MoveTo(window.CurrentRow());
}

}  // namespace odb
