// The data view of the selected section: RefreshDetailView and the command states it sets.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "base/AppError.h"
#include "mainwindow/DateSelection.h"
#include "mainwindow/SectionViews.h"
#include "mainwindow/WaitCursor.h"
#include "mainwindow/frmMain.h"
#include "model/GetDBTable.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/GridLayout.h"
#include "odb/Recordset.h"
#include "odb/SelectionSet.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompt.h"
#include "startup/DatabaseOpening.h"
#include "startup/SharedState.h"
#include "startup/ShowErrorDetails.h"
#include "startup/frmMessage.h"
#include "startup/frmSearchText.h"

namespace {

const QString kAdministrator = QStringLiteral("Amministratore");

// The grid settings file: the executable's name and ".INI" in the program folder.
QString gridLayoutFile() {
    return ProgramFolder() + QStringLiteral("/") + ExecutableName() + QStringLiteral(".INI");
}

}  // namespace

bool frmMain::GridVisible() const {
    return !dgView_->isHidden();
}

QString frmMain::TitleCaption(int index) const {
    return lblTitle_[index == 0 ? 0 : 1]->text();
}

void frmMain::RefreshDetailView() {
    if (!IsDatabaseOpen() || refreshing_) return;
    refreshing_ = true;

    // The view shown until now: its table, its order and the key of its current row.
    QString previousTable, previousSort;
    Variant previousKey;
    bool hasPreviousKey = false;
    if (m_objCurDS && gridBound_) {
        try {
            previousTable = m_objCurDS->GetTable().Name();
            previousSort = m_objCurDS->SortOrder();
            const Variant gridRow = gridBookmark();
            if (!m_objCurDS->RowInvalid() && !m_objCurDS->RowBeforeFirst() && !gridRow.isNull()) {
                odb::Recordset rs = m_objCurDS->Recordset();
                if (odb::DbmsGlobal::CompareBookmarks(gridRow, rs.Bookmark()) != 0) rs.SetBookmark(gridRow);
                if (!m_objCurDS->RowInvalid() && !m_objCurDS->RowBeforeFirst() &&
                    !m_objCurDS->RowUnavailable()) {
                    previousKey = m_objCurDS->Bookmark(0);
                    hasPreviousKey = true;
                }
            }
        } catch (const AppError&) {
            // Only the row is not put back.
        }
    }

    // The database a window opened below may let go (the program closing under a chooser): the
    // view then stops, and the next activation builds it on the database it opens.
    const odb::Database* database = g_objDatabase.get();
    const auto letGo = [database] { return !IsDatabaseOpen() || g_objDatabase.get() != database; };
    try {
        resetViewMenus();
        QTreeWidgetItem* node = SelectedNode();
        if (node)
            SetStatusMsg(lblTitle_[0]->text() + QStringLiteral(" <") + NodeText(node) + QStringLiteral(">"));

        if (!node || NodeKey(node).isEmpty()) {
            // A group: no grid; the data set shown before stays the current one.
            dgView_->bind(nullptr, {});
            gridBound_ = false;
            shownNodeIndex_ = NodeIndex(node);
            dgView_->hide();
            cmdGridSetting_->hide();
            m_objSelectionSet.reset();
            cmdDateSel_->setDown(false);
        } else {
            const QString key = NodeKey(node);
            const QString text = NodeText(node);
            const SectionView view = SectionViewFor(key);
            QString where = view.where;
            QString title = view.title;
            if (view.chooser != SectionView::Chooser::None) {
                chooseRecord(key, where, title);
                if (letGo()) {
                    refreshing_ = false;
                    return;
                }
            }
            if (!title.isEmpty()) lblTitle_[1]->setText(title);

            // The order and the row are kept only when the same table is shown again.
            if (view.table != previousTable) {
                previousTable.clear();
                previousSort.clear();
                hasPreviousKey = false;
            }
            QString dateField = GetDateFieldForTable(view.table);
            odb::Table& table = g_objDatabase->Tables().Item(view.table);

            // Predefined selections of the section.
            // A section's selections are those of its name on its table ("Tutti" of one table is
            // not "Tutti" of another).
            if (m_objSelectionSet &&
                (m_objSelectionSet->Name() != text || &m_objSelectionSet->Table() != &table))
                m_objSelectionSet.reset();
            if (!m_objSelectionSet) m_objSelectionSet = table.NewSelectionSet();
            QAction* beforeQuery = findChild<QAction*>(QStringLiteral("mnuDataSelBeforeQuery"));
            if (m_objSelectionSet->Load(text, -1)) beforeQuery->setChecked(true);
            if (m_objSelectionSet->Name() != text) m_objSelectionSet->Rename(text, -1);
            if (beforeQuery->isChecked() && where.isEmpty()) {
                askPredefinedSelections(table, where, dateField);
                if (letGo()) {
                    refreshing_ = false;
                    return;
                }
            }

            where = AddDateSelection(where, dateField, CurrentDateSelection());

            WaitCursor wait;
            frmMessage::instance().ShowMsg(QStringLiteral("Lettura ") + text + QStringLiteral("..."), this);
            QCoreApplication::processEvents();

            // A sort the user chose on this table stays.
            const QString order = previousTable.isEmpty() ? view.order : previousSort;
            m_objCurDS = table.OpenData(where, order, view.fields);

            if (m_objGridLayout && m_objGridLayout->TableName() != m_objCurDS->GetTable().Name()) {
                m_objGridLayout->Save();
                m_objGridLayout.reset();
            }
            if (!m_objGridLayout)
                m_objGridLayout = odb::GridLayout::Load(gridLayoutFile(), m_objCurDS->GetTable().Name());

            bindGrid();
            shownNodeIndex_ = NodeIndex(node);

            if (hasPreviousKey && m_objCurDS->GetTable().Name() == previousTable &&
                m_objCurDS->ColExists("OID")) {
                if (m_objCurDS->FindBookmark(previousKey, 0)) showCurrentRowInGrid();
            } else if (previousTable.isEmpty()) {
                frmSearchText::LastSearchText.clear();
                frmSearchText::SearchText.clear();
            }

            const bool hasDate = !dateField.isEmpty();
            cmdDateSel_->setVisible(hasDate);
            mnuSelection_->menuAction()->setVisible(hasDate);
            cmdDateSelTag_ = dateField;
            if (hasDate) SetDateSelectionCaption();
            dgView_->show();
            ArrangeMainWindow(splitterLeft_);
            cmdGridSetting_->show();
            frmMessage::Unload();

            buildFieldMenus();
            FillComplexFilterMenu();
            BuildRelatedRecordMenus(m_objCurDS, false);
        }
        setCommandStates();
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QStringLiteral("Visualizzazione dati fallita: \r\r") + e.description());
        frmMessage::Unload();
        selectShownSection();
    }
    refreshing_ = false;
}

void frmMain::selectShownSection() {
    QTreeWidgetItem* shown = Node(shownNodeIndex_);
    if (!shown || SelectedNode() == shown) return;
    SetSelectedNode(shown);
    // A mouse press selects the item it pressed once its handler is over: put back after it too.
    QTimer::singleShot(0, this, [this, build = treeBuild_, index = shownNodeIndex_] {
        if (build == treeBuild_ && SelectedNode() != Node(index)) SetSelectedNode(Node(index));
    });
    // A click on the section that failed opens it again.
    lastNodeBuild_ = treeBuild_;
    lastNodeIndex_ = shownNodeIndex_;
    SetStatusMsg(lblTitle_[0]->text() + QStringLiteral(" <") + NodeText(shown) + QStringLiteral(">"));
}

void frmMain::rowsUnreadable(const QString& text) {
    if (statusText() != text) {
        statusBeforeUnreadable_ = statusText();
        SetStatusMsg(text);
    }
    unreadableText_ = text;
}

void frmMain::rowsReadable() {
    if (!unreadableText_.isEmpty() && statusText() == unreadableText_) SetStatusMsg(statusBeforeUnreadable_);
    unreadableText_.clear();
}

void frmMain::rebindGrid() {
    odb::DataPanelTools::CreatePanel(m_objCurDS, nullptr, QString())
        ->BindGrid(*dgView_, m_objGridLayout.get(), {});
}

void frmMain::bindGrid() {
    // Heard before the grid's model hears it: the rows picked are read before the model's reset.
    if (m_objCurDSEvents) disconnect(m_objCurDSEvents);
    m_objCurDSEvents = connect(&m_objCurDS->EventSource(), &odb::EventSource::OnRefreshRecordset, this,
                               [this](odb::DataSet& ds) { m_objCurDSEvents_OnRefreshRecordset(ds); });
    rebindGrid();
    gridBound_ = true;
    if (!m_objCurDS->DataEmpty()) dgView_->ClearSelBookmarks();
    // The row selectors, whose corner holds the grid-settings button, and the current row marked
    // on them.
    QHeaderView* selectors = dgView_->verticalHeader();
    selectors->setVisible(true);
    selectors->setHighlightSections(true);
    selectors->setFixedWidth(cmdGridSetting_->width());
    cmdGridSetting_->setFixedHeight(dgView_->horizontalHeader()->sizeHint().height());
}

Variant frmMain::gridBookmark() const {
    return dgView_->Bookmark();
}

void frmMain::showCurrentRowInGrid() {
    dgView_->SetBookmark(m_objCurDS->Recordset().Bookmark());
}

Variant frmMain::chooseRow(const std::shared_ptr<odb::DataSet>& ds, const QString& displayField) {
    return odb::DataPanelTools::CreatePanel(ds, nullptr, QString())->SelectRow(-1, -1, -1, displayField);
}

bool frmMain::choosePredefinedSelections() {
    return odb::DataPanelTools::ComplexFilter(*m_objSelectionSet, this, -1, 0, -1,
                                              QStringLiteral("Selezioni predefinite"), 0, 0);
}

void frmMain::Form_DblClick() {
    // The current row in the library's record window, for reading; errors ignored, so no row
    // on view is no beep either.
    if (!viewShown()) return;
    try {
        odb::DataPanelTools::CreatePanel(m_objCurDS, nullptr, QString())->ShowRow(true, QString(), false);
    } catch (const AppError&) {
    }
}

void frmMain::resetViewMenus() {
    lblTitle_[1]->setText(lblTitle1Tag_);
    for (MenuArray* array : {mnuSearchItems_.get(), mnuOrderItems_.get(), mnuTotalItems_.get(),
                             mnuFilterItems_.get(), mnuFilterComplexItems_.get()})
        array->UnloadAll();
    findButtonMenus_->clear();
    findButtonTag_.clear();
    ToolbarButton(QStringLiteral("Filter"))->setChecked(false);
    findChild<QAction*>(QStringLiteral("mnuFilterComplex"))->setChecked(false);
    mnuFilter_->menuAction()->setData(QString());
    findChild<QAction*>(QStringLiteral("mnuDataSelBeforeQuery"))->setChecked(false);
    BuildRelatedRecordMenus(m_objCurDS, true);
}

void frmMain::chooseRecord(const QString& key, QString& where, QString& title) {
    using Chooser = SectionView::Chooser;
    const SectionView view = SectionViewFor(key);
    const QString field = ChooserField(view.chooser);
    std::shared_ptr<odb::DataSet> chooser = GetDBTable(ChooserTable(view.chooser)).OpenData();
    const bool picked = !chooseRow(chooser, field).isEmpty();
    if (!IsDatabaseOpen() || &chooser->GetDatabase() != g_objDatabase.get()) return;  // let go meanwhile
    const Variant value = picked ? chooser->ColValue(field) : Variant();
    const QString literal = chooser->ValueLiteral(field, 0, value);

    switch (view.chooser) {
        case Chooser::Customer: {
            // The details of the customer's job orders not shipped yet; all of them without a customer.
            QString customer;
            if (picked) {
                customer = QStringLiteral("Cliente=") + literal + QStringLiteral(" AND Not Spedito");
                title = QStringLiteral(" Cliente: ") + chooser->ColText(field) +
                        QStringLiteral(" - Tutti i dettagli delle comm. non spedite.");
            }
            odb::Table& orders = GetDBTable(QStringLiteral("CommesseCliente"));
            const QString jobOrders = orders.SelectText(orders.KeyField(-1), customer);
            QStringList parts;
            for (const char* reference : {"Attrezzature", "Macchine"}) {
                const odb::ReferenceDef& ref = orders.OwnReferenceDefs().Item(QString::fromLatin1(reference));
                odb::Table& details = ref.RefTable();
                const QString select =
                    details.SelectText(details.KeyColumn(QString(), 0), ref.ChildWhere(jobOrders));
                odb::Table* base = details.BaseTable() ? details.BaseTable() : &details;
                parts << base->KeyField(-1) + QStringLiteral(" IN (") + select + QStringLiteral(")");
            }
            where =
                QStringLiteral("(") + parts[0] + QStringLiteral(") Or (") + parts[1] + QStringLiteral(")");
            break;
        }
        case Chooser::Worker:
            where = QStringLiteral("Operaio=") + literal;
            if (picked)
                title = (key == QStringLiteral("Scheda") ? QStringLiteral("NOMINATIVO OPERAIO: ")
                                                         : QStringLiteral("ACCESSI PER L' OPERAIO: ")) +
                        chooser->ColText(field);
            break;
        case Chooser::Detail:
            where = QStringLiteral("NumeroCommessa=") + literal;
            if (picked)
                title = QStringLiteral("Stampa costo dettaglio ") + chooser->ColText(field) +
                        QStringLiteral(" con passaggi");
            break;
        case Chooser::None:
            break;
    }
}

void frmMain::askPredefinedSelections(odb::Table& table, QString& where, QString& dateField) {
    using namespace MsgBoxStyle;
    if (choosePredefinedSelections()) {
        where = m_objSelectionSet->WhereText(-1, -1);
        if (where.isEmpty()) {
            // Nothing selected: the date selection applies as usual.
            m_objSelectionSet.reset();
            return;
        }
        lblTitle_[1]->setText(lblTitle1Tag_ + QStringLiteral("  [selezioni impostate]"));
        if (!dateField.isEmpty() && m_objSelectionSet->UsesField(dateField)) dateField.clear();
        return;
    }
    if (Prompt::instance().msgBox(
            QStringLiteral("Selezioni predefinite annullate...\r\rVuoi visualizzare tutti i dati?"),
            vbYesNo | vbQuestion | vbDefaultButton2, QString(), this) == MsgResult::Yes)
        return;
    // A condition that no row meets.
    where = table.MakeCondition(table.KeyField(), Variant::null(), false, 0, Variant::missing(),
                                QStringLiteral("%"), 0);
    lblTitle_[1]->setText(lblTitle1Tag_ + QStringLiteral("  [nessun dato richiesto]"));
}

void frmMain::buildFieldMenus() {
    int defaultSearch = 0;
    const int count = m_objCurDS->FieldCount();
    for (int i = 1; i <= count; ++i) {
        const odb::FieldDef* f = m_objCurDS->Field(i);
        if (!f || !f->Searchable()) continue;
        const QString caption = f->GetTexts(0).value(2);
        mnuSearchItems_->Load(caption, f->Name());
        mnuFilterItems_->Load(f->Name(), f->Name());
        QAction* entry = findButtonMenus_->addAction(caption);
        entry->setData(f->Name());
        if (defaultSearch == 0 && f->Size() >= 17 && f->Size() <= 128)
            defaultSearch = static_cast<int>(findButtonMenus_->actions().size());
    }
    if (defaultSearch > 0)
        findButtonTag_ = QString::number(defaultSearch);
    else if (!findButtonMenus_->actions().isEmpty())
        findButtonTag_ = QStringLiteral("1");
    for (int i = 1; i <= count; ++i) {
        const odb::FieldDef* f = m_objCurDS->Field(i);
        if (f && !f->Unsortable()) mnuOrderItems_->Load(f->GetTexts(0).value(2), f->Name());
    }
    for (int i = 1; i <= count; ++i) {
        const odb::FieldDef* f = m_objCurDS->Field(i);
        // The totals command reads the field name back from the caption.
        if (f && !f->Unsortable() && f->Type() == odb::ftCurrency) mnuTotalItems_->Load(f->Name(), f->Name());
    }
}

void frmMain::setCommandStates() {
    const bool visible = GridVisible();
    for (const char* name : {"mnuOrder", "mnuSave", "mnuFileNew", "mnuFileProperties", "mnuFileDelete",
                             "mnuViewRefresh", "mnuSearch", "mnuFilter", "mnuFieldFuncs", "mnuDataSelection"})
        findChild<QAction*>(QString::fromLatin1(name))->setEnabled(visible);
    for (const char* key : {"New", "Properties", "Delete", "Refresh", "Find", "Filter"})
        ToolbarButton(QString::fromLatin1(key))->setEnabled(visible);
    findChild<QAction*>(QStringLiteral("mnuGridFldSequence"))
        ->setChecked(m_objGridLayout && !m_objGridLayout->FieldSequence().isEmpty());
    BuildSectionItems();
    // Exactly this name, letter case counting.
    const bool administrator = g_strCurrentUser == kAdministrator;
    ToolbarButton(QStringLiteral("Memo"))->setEnabled(administrator);
    for (const char* name : {"mnuMemo", "mnuConfigs", "mnuMagneticTools", "mnuCheck_PeriodiNonLavorativi"})
        findChild<QAction*>(QString::fromLatin1(name))->setEnabled(administrator);
}
