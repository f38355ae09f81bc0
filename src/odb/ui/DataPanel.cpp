// The data panel.
#include "odb/ui/DataPanel.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <vector>

#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/GridLayout.h"
#include "odb/LibraryError.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "odb/ViewColumns.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/DataSetRowsModel.h"
#include "odb/ui/FieldChooser.h"
#include "odb/ui/ModalDialog.h"
#include "odb/ui/PanelSupport.h"
#include "odb/ui/RecordWindow.h"
#include "odb/ui/RowChooser.h"
#include "odb/ui/RowWindow.h"
#include "platform/Prompt.h"

namespace odb {

namespace {

QStringList SplitList(const QString& list) {
    QStringList out;
    for (const QString& part : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!part.trimmed().isEmpty()) out << part.trimmed();
    return out;
}

}  // namespace

DataPanel::DataPanel(std::shared_ptr<DataSet> dataSet, QWidget* owner)
    : dataSet_(std::move(dataSet)), owner_(owner) {}

void DataPanel::BindGrid(DataGrid& grid, const GridLayout* layout, const VariantList&) {
    QStringList columns = dataSet_->ColumnNames();
    if (layout && !layout->FieldSequence().isEmpty()) {
        // A sequence naming fields the table no longer has still shows the others.
        QStringList sequence;
        for (const QString& name : SplitList(layout->FieldSequence()))
            if (dataSet_->Field(name) || ViewColumnDef(dataSet_->GetTable(), name)) sequence << name;
        if (!sequence.isEmpty()) columns = sequence;
    }
    grid.bind(dataSet_, columns, layout);
}

Variant DataPanel::ShowRow(bool, const QString&, bool editable) {
    if (dataSet_->NoCurrentRow()) LibraryError::Raise(odbErrNoCurrentRow);
    RecordWindow window(dataSet_, false, editable, owner_);
    RunModal(window);
    return window.result();
}

Variant DataPanel::NewRow(const VariantList&) {
    Database& db = dataSet_->GetDatabase();
    if (PanelsReadOnly(db) || !dataSet_->EditEnabled()) {
        ShowPanelMessage(db, QStringLiteral("Il livello di accesso non consente di aggiungere dati."));
        return Variant();
    }
    Table& table = dataSet_->GetTable();
    Variant base;
    if (table.HasBaseTable() && table.GetBaseKind() == BaseKind::SharedBase) {
        // A row that stands on a row of its base table picks that row first.
        RowChooser chooser(table.BaseTable()->OpenData(), true, {}, owner_);
        RunModal(chooser);
        base = chooser.result();
        if (base.isEmpty()) return Variant();
    }
    if (!dataSet_->NewRow()) return Variant();
    if (!base.isEmpty() && !dataSet_->SetColValue(table.BaseLinkField(), base)) {
        dataSet_->CancelRow();
        return Variant();
    }
    RecordWindow window(dataSet_, true, true, owner_);
    RunModal(window);
    return window.result();
}

Variant DataPanel::SelectRow(int32_t, int32_t, int32_t pickOne, const QString& displayField) {
    RowChooser chooser(dataSet_, pickOne != 0, displayField, owner_);
    RunModal(chooser);
    return pickOne != 0 ? chooser.result() : Variant();
}

bool DataPanel::ChooseFields(QString& fieldList, const QString& title, bool, bool sortable, QWidget* owner) {
    std::vector<FieldChooser::Field> fields;
    QStringList known;
    auto add = [&](const FieldDef* f) {
        if (!f || (sortable && f->Unsortable()) || known.contains(f->name.toLower())) return;
        known << f->name.toLower();
        fields.push_back({f->name, f->description.isEmpty() ? f->name : f->description,
                          f->lookup ? NameWords(f->name) : f->Caption()});
    };
    // The view's own columns first, then the table's other fields and lookups.
    for (int i = 1; i <= dataSet_->FieldCount(); ++i)
        add(dataSet_->Field(i));
    Table& table = dataSet_->GetTable();
    for (const FieldDef* f : table.Fields())
        add(f);
    std::vector<std::shared_ptr<const FieldDef>> lookups;
    for (const ReferenceDef* r : table.References())
        if (!r->collection) lookups.push_back(ViewColumnDef(table, r->name));
    for (const auto& l : lookups)
        add(l.get());
    QStringList chosen = SplitList(fieldList);
    if (chosen.isEmpty() && !sortable) chosen = dataSet_->ColumnNames();

    FieldChooser dialog(std::move(fields), chosen, title, owner ? owner : owner_, sortable);
    if (RunModal(dialog) != QDialog::Accepted) return false;
    fieldList = dialog.ChosenFields().join(QLatin1Char(','));
    return true;
}

bool DataPanel::SelectRow(const QString& title, QWidget* owner) {
    RowWindow window(dataSet_, title, owner);
    if (RunModal(window) != QDialog::Accepted) return false;
    return window.model()->MoveTo(window.CurrentRow());
}

bool DataPanel::ExportRows(itfProgress* progress) {
    Database& db = dataSet_->GetDatabase();
    QString folder = DbmsGlobal::DocumentFolder(db.ApplicationName());
    if (folder.isEmpty() && dataSet_->GetConnection())
        folder = QFileInfo(dataSet_->GetConnection()->Path()).absolutePath();
    QString file = Prompt::instance().saveFileName(
        QStringLiteral("Esporta dati"),
        QDir(folder).filePath(dataSet_->GetTable().Name() + QStringLiteral(".odb")),
        QStringLiteral("DiVEVA Zelto File (*.odb)"), owner_);
    if (file.isEmpty()) return false;
    if (!file.endsWith(QStringLiteral(".odb"), Qt::CaseInsensitive)) file += QStringLiteral(".odb");
    if (!dataSet_->ExportArchive(file, progress)) {
        ShowPanelMessage(db, QStringLiteral("Esportazione interrotta: nessun file è stato scritto."));
        return false;
    }
    return true;
}

}  // namespace odb
