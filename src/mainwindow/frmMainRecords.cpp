// The record commands of the data view (new, modify, delete, export), the grid's events and its
// field settings. The library does the row work; the window decides when a command may run, what it
// asks and in which order it calls the library.
#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>

#include <algorithm>

#include "base/AppError.h"
#include "mainwindow/WaitCursor.h"
#include "mainwindow/frmMain.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/GridLayout.h"
#include "odb/Recordset.h"
#include "odb/Table.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/DataGridModel.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "platform/Prompt.h"
#include "startup/ShowErrorDetails.h"
#include "startup/frmMessage.h"
#include "startup/modZeltoFormUtility.h"

namespace {

std::shared_ptr<odb::DataPanel> panelOn(const std::shared_ptr<odb::DataSet>& ds, QWidget* owner = nullptr) {
    return odb::DataPanelTools::CreatePanel(ds, owner, QString());
}

// The grid takes the rows a loop removes in once, at the end of a scope.
class RowWork {
  public:
    explicit RowWork(odb::DataGrid* grid) : grid_(grid) { grid_->BeginRowWork(); }
    ~RowWork() { grid_->EndRowWork(); }
    RowWork(const RowWork&) = delete;
    RowWork& operator=(const RowWork&) = delete;

  private:
    odb::DataGrid* grid_;
};

void showError(const AppError& e) {
    SetCurrentError(e);
    ShowErrorDetails(QString());
}

}  // namespace

bool frmMain::viewShown() const {
    return m_objCurDS && GridVisible();
}

bool frmMain::viewOrBeep() {
    if (viewShown()) return true;
    Prompt::instance().beep();
    return false;
}

void frmMain::mnuFileNew_Click() {
    if (!viewOrBeep()) return;
    try {
        if (panelOn(m_objCurDS)->NewRow({}).isEmpty()) return;
        // The re-read binds the grid again (OnRefreshRecordset).
        m_objCurDS->RefreshRows();
    } catch (const AppError& e) {
        showError(e);
    }
}

void frmMain::mnuFileProperties_Click() {
    dgView_DblClick();
}

void frmMain::dgView_DblClick() {
    // Columns picked on their headings are not a row to open.
    if (dgView_->SelStartCol() >= 0) return;
    if (!viewOrBeep()) return;
    const Variant bookmark = dgView_->Bookmark();
    if (bookmark.isNull()) {
        Prompt::instance().beep();
        return;
    }
    try {
        m_objCurDS->Recordset().SetBookmark(bookmark);
        if (!panelOn(m_objCurDS)->ShowRow(true, QString(), true).isEmpty()) m_objCurDS->RefreshRows();
    } catch (const AppError& e) {
        showError(e);
    }
}

void frmMain::mnuFileDelete_Click() {
    using namespace MsgBoxStyle;
    if (!m_objCurDS || !GridVisible() || dgView_->Bookmark().isNull() || !m_objCurDS->DeleteAllowed()) {
        Prompt::instance().beep();
        return;
    }
    // The rows as picked when the command was given.
    const VariantList picked = dgView_->SelBookmarks();
    const Variant current = dgView_->Bookmark();
    if (Prompt::instance().msgBox(QStringLiteral("Confermi l'eliminazione dei dati selezionati ?"),
                                  vbOKCancel | vbQuestion, QString(), this) != MsgResult::OK)
        return;
    const bool loginRows = m_objCurDS->GetTable().Name() == m_objCurDS->GetDatabase().ConnectionsTableName();
    deleteRows(picked, current, loginRows);
}

void frmMain::deleteRows(const VariantList& picked, const Variant& current, bool loginRows) {
    bool stopped = false;
    {
        WaitCursor wait;
        frmMessage::instance().ShowMsg(QStringLiteral("Eliminazione in corso..."), this, -1, -1);
        // The data set is held: the rows it loses are its own.
        const std::shared_ptr<odb::DataSet> ds = m_objCurDS;
        try {
            if (picked.size() >= 2) {
                VariantList left;
                stopped = deletePicked(*ds, picked, loginRows, left);
                dgView_->SetSelBookmarks(left);
            } else {
                ds->Recordset().SetBookmark(current);
                if (!ds->RowPositionLost()) ds->DeleteRow(loginRows);
            }
        } catch (const AppError& e) {
            showError(e);
        }
        frmMessage::Unload();
    }
    // Told once, as a refusal of the library is, over the window and not under the message.
    if (stopped) OnInternalMessage(nullptr, QStringLiteral("Operazione interrotta"));
}

bool frmMain::deletePicked(odb::DataSet& ds, const VariantList& picked, bool loginRows, VariantList& left) {
    frmMessage& message = frmMessage::instance();
    message.StartProgress(static_cast<int32_t>(picked.size()), true);
    // The grid takes the removals in once the loop is over: row by row, a view of many rows redoes
    // its headings, and looks each painted cell up among all the picks.
    const RowWork work(dgView_);
    odb::Recordset rs = ds.Recordset();
    bool stopped = false;
    for (const Variant& bookmark : picked) {
        // A stop ends the loop: the rows deleted so far stay deleted, no later row is touched; the
        // rows left, and those a rule refused, stay picked.
        if (!stopped && !message.Progress()) stopped = true;
        if (stopped) {
            left.push_back(bookmark);
            continue;
        }
        rs.SetBookmark(bookmark);
        if (!ds.RowPositionLost() && !ds.DeleteRow(loginRows)) left.push_back(bookmark);
    }
    return stopped;
}

void frmMain::mnuSave_Click() {
    if (!viewOrBeep()) return;
    frmMessage::instance().ShowMsg(QStringLiteral("Esportazione dati in corso..."), this, -1, -1);
    try {
        panelOn(m_objCurDS, this)->ExportRows(&frmMessage::instance());
    } catch (const AppError& e) {
        showError(e);
    }
    frmMessage::Unload();
}

// ---- the grid's events ----

void frmMain::dgView_HeadClick(int column) {
    if (!m_objCurDS) return;
    ToggleDataSort(dgView_->DataField(column), m_objCurDS.get());
}

void frmMain::dgView_ColResize(int column, int twips) {
    if (!m_objGridLayout) return;
    m_objGridLayout->SetColumnWidth(dgView_->DataField(column), twips);
}

void frmMain::dgView_RowColChange(int, int) {
    if (!m_objCurDS || !isActiveWindow() || m_objCurDS->SelectionHeld() || m_objCurDS->DataEmpty()) return;
    // Rows picked on the row headings, or with Ctrl or Shift, stay picked; any other move of the
    // current row leaves only that row.
    if (dgView_->PickingRows() ||
        (QGuiApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier)))
        return;
    dgView_->ClearSelBookmarks();
}

void frmMain::dgView_MouseUp(Qt::MouseButton button, int x, int y) {
    if (button != Qt::RightButton) return;
    QMenu* menu = nullptr;
    if (dgView_->IsDataCell(x, y))
        menu = mnuFieldFuncs_;
    else if (y > dgView_->horizontalHeader()->height())
        menu = mnuAssociation_;
    else
        menu = mnuOrder_;
    lastGridPopup_ = menu;
    menu->popup(QCursor::pos());
}

// ---- the grid's field settings (silent without a view) ----

void frmMain::mnuGridCancel_Click() {
    using namespace MsgBoxStyle;
    if (!viewShown() || !m_objGridLayout) return;
    if (Prompt::instance().msgBox(
            QStringLiteral("Vuoi ripristinare le impostazioni predefinite per la griglia corrente?"),
            vbYesNo | vbQuestion, QString(), this) != MsgResult::Yes)
        return;
    try {
        m_objGridLayout->ResetDefault();
        rebindGrid();
    } catch (const AppError& e) {
        showError(e);
    }
    findChild<QAction*>(QStringLiteral("mnuGridFldSequence"))->setChecked(false);
}

void frmMain::mnuGridFldAll_Click() {
    if (!viewShown() || !m_objGridLayout) return;
    // All the fields now; the sequence stays the table's for the next binding.
    const QString held = m_objGridLayout->FieldSequence();
    try {
        m_objGridLayout->SetFieldSequence(QString());
        rebindGrid();
    } catch (const AppError& e) {
        Prompt::instance().msgBox(e.description(), MsgBoxStyle::vbOKOnly, QString(), this);
    }
    m_objGridLayout->SetFieldSequence(held);
}

void frmMain::mnuGridFldSequence_Click() {
    if (!viewShown() || !m_objGridLayout) return;
    try {
        QString list = m_objGridLayout->FieldSequence();
        if (!panelOn(m_objCurDS)
                 ->ChooseFields(list, QStringLiteral("Sequenza di Visualizzazione Campi"), false, false,
                                this))
            return;
        m_objGridLayout->SetFieldSequence(list);
        findChild<QAction*>(QStringLiteral("mnuGridFldSequence"))->setChecked(!list.isEmpty());
        rebindGrid();
    } catch (const AppError& e) {
        showError(e);
    }
}

// ---- the current data set re-read its rows ----

void frmMain::m_objCurDSEvents_OnRefreshRecordset(odb::DataSet& ds) {
    // Only the data set the grid shows; the binding reads nothing, so it sets off no re-read.
    if (!gridBound_ || !m_objCurDS || &ds != m_objCurDS.get()) return;
    try {
        // The columns shown stay those shown ("Visualizza tutti i campi" lasts until the view
        // changes), and so do the rows picked while they are still there (the window's activation
        // re-reads too) and the current row is one of them; else the current row alone, the row
        // the commands act on (after a new row, say).
        const VariantList picked = dgView_->SelBookmarks();
        const QStringList shown = dgView_->gridModel() ? dgView_->gridModel()->columns() : QStringList();
        if (shown.isEmpty())
            rebindGrid();
        else
            dgView_->bind(m_objCurDS, shown, m_objGridLayout.get());
        const Variant current = dgView_->Bookmark();
        const bool amongPicked = std::any_of(picked.begin(), picked.end(), [&](const Variant& b) {
            return b.toDouble() == current.toDouble();
        });
        dgView_->SetSelBookmarks(amongPicked || current.isNull() ? picked : VariantList{current});
    } catch (const AppError& e) {
        SetStatusMsg(e.description());
    }
}
