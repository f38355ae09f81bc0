// The searches, the orders and the predefined selections of the data view.
#include <QAction>
#include <QMenu>

#include "base/AppError.h"
#include "mainwindow/frmMain.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Recordset.h"
#include "odb/SelectionSet.h"
#include "odb/Table.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/DataGridModel.h"
#include "odb/ui/DataPanelTools.h"
#include "platform/Prompt.h"
#include "startup/ShowErrorDetails.h"
#include "startup/frmSearchText.h"
#include "startup/modZeltoFormUtility.h"

void frmMain::mnuSearchItems_Click(int index) {
    if (!viewOrBeep() || index < 1 || index >= mnuSearchItems_->Count()) return;
    if (frmSearchText::GetSelection(this, mnuSearchItems_->Caption(index), true, true)) ExecuteSearch(index);
}

void frmMain::ExecuteSearch(int index) {
    if (!m_objCurDS || index < 1 || index >= mnuSearchItems_->Count()) return;
    odb::DataSet& ds = *m_objCurDS;
    const QString field = mnuSearchItems_->Tag(index);
    const QString text = frmSearchText::SearchText;
    try {
        const QString pattern = frmSearchText::SearchInside ? QStringLiteral("*") + text + QStringLiteral("*")
                                                            : text + QStringLiteral("*");
        const QString condition = field + QStringLiteral(" Like ") + ds.GetDatabase().TextLiteral(pattern);
        const Variant before = dgView_->Bookmark();
        const bool fromNext = frmSearchText::SearchNext && !ds.RowPositionLost();
        if (ds.FindRow(condition, fromNext)) {
            showFound();
        } else {
            notFound(QStringLiteral("Ricerca in ") + mnuSearchItems_->Caption(index),
                     QStringLiteral(" '") + text + QStringLiteral("' non trovato"), before);
        }
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
    findButtonTag_ = QString::number(index);
}

void frmMain::showFound() {
    // The row found is the current one and the only one selected.
    const Variant found = m_objCurDS->Recordset().Bookmark();
    dgView_->ClearSelBookmarks();
    dgView_->SetBookmark(found);
    dgView_->SetSelBookmarks({found});
}

void frmMain::notFound(const QString& title, const QString& text, const Variant& previousRow) {
    // The data set stood past its last row: back on the row the grid shows.
    if (!previousRow.isNull()) dgView_->SetBookmark(previousRow);
    Prompt::instance().msgBox(text, MsgBoxStyle::vbInformation, title, this);
}

void frmMain::mnuSearchNext_Click() {
    if (!viewOrBeep()) return;
    bool numeric = false;
    const int index = findButtonTag_.toInt(&numeric);
    if (!numeric) {
        mnuSearch_->popup(QCursor::pos());
        return;
    }
    if (frmSearchText::SearchText.isEmpty()) {
        mnuSearchItems_Click(index);
        return;
    }
    frmSearchText::SearchNext = true;
    ExecuteSearch(index);
}

void frmMain::mnuFieldSearchNext_Click() {
    if (!viewOrBeep() || dgView_->Col() < 0) return;
    odb::DataSet& ds = *m_objCurDS;
    const int column = dgView_->Col();
    const QString field = dgView_->DataField(column);
    if (const int index = memberOf(*mnuSearchItems_, field); index > 0) {
        frmSearchText::SearchText = dgView_->Text();
        frmSearchText::SearchNext = true;
        ExecuteSearch(index);
        return;
    }
    try {
        // The cell's value, not its text: dates, numbers and flags compare as what they are.
        const Variant before = dgView_->Bookmark();
        const Variant value = dgView_->gridModel()->value(dgView_->currentIndex().row(), column);
        const QString shown = dgView_->Text();  // the value as the grid formats it
        const QString condition =
            ds.MakeCondition(field, 0, value, 0, Variant::missing(), QStringLiteral("%"), 0);
        if (ds.FindRow(condition, true)) {
            showFound();
        } else {
            const odb::FieldDef* f = ds.Field(field);
            notFound(QStringLiteral("Ricerca in ") + (f ? f->GetTexts(0).value(2) : field),
                     QStringLiteral(" '") + shown + QStringLiteral("' non trovato"), before);
        }
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
}

// ---- orders ----

void frmMain::mnuOrderItems_Click(int index) {
    if (!viewOrBeep() || index < 1 || index >= mnuOrderItems_->Count()) return;
    ToggleDataSort(mnuOrderItems_->Tag(index), m_objCurDS.get());
}

void frmMain::mnuOrderCancel_Click() {
    if (!viewOrBeep()) return;
    ToggleDataSort(QString(), m_objCurDS.get());
}

// ---- predefined selections ----

QString frmMain::alignSelectionSet() {
    const QString section = NodeText(SelectedNode());
    if (m_objSelectionSet &&
        (m_objSelectionSet->Name() != section || &m_objSelectionSet->Table() != &m_objCurDS->GetTable()))
        m_objSelectionSet.reset();
    if (!m_objSelectionSet) m_objSelectionSet = m_objCurDS->NewSelectionSet();
    return section;
}

void frmMain::mnuDataSelBeforeQuery_Click() {
    using namespace MsgBoxStyle;
    if (!viewOrBeep()) return;
    QAction* menu = findChild<QAction*>(QStringLiteral("mnuDataSelBeforeQuery"));
    try {
        const QString section = alignSelectionSet();
        if (m_objSelectionSet->Name() != section) m_objSelectionSet->Rename(section, -1);
        if (!odb::DataPanelTools::ComplexFilter(*m_objSelectionSet, this, -1, 0, -1,
                                                QStringLiteral("Selezioni predefinite"), 0, 0))
            return;
        m_objSelectionSet->Save(section, -1, -1);
        menu->setChecked(true);
        Prompt::instance().msgBox(
            QStringLiteral(
                "Selezioni predefinite impostate.\r\rN.B.: Tali impostazioni vengono considerate solo "
                "se i dati che si stanno visualizzando non prevedono ulteriori selezioni (Data.., "
                "etc.)"),
            vbInformation, QString(), this);
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
}

void frmMain::mnuDataSelCancel_Click() {
    if (!viewOrBeep()) return;
    try {
        const QString section = alignSelectionSet();
        if (m_objSelectionSet->Load(section, -1)) {
            m_objSelectionSet->Delete(section, -1);
            Prompt::instance().msgBox(QStringLiteral("Selezioni predefinite eliminate."),
                                      MsgBoxStyle::vbOKOnly, QString(), this);
        }
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
    m_objSelectionSet.reset();
    findChild<QAction*>(QStringLiteral("mnuDataSelBeforeQuery"))->setChecked(false);
}
