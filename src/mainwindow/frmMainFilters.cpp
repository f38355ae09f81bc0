// The filters of the data view: the simple filters kept in the captions of mnuFilterItems, the
// complex filter of the current table (m_objFilterSet) and the right-click functions on the
// grid's current column. A simple and a complex filter exclude each other.
#include <QAction>
#include <QMenu>
#include <QStringList>
#include <QToolBar>

#include "base/AppError.h"
#include "mainwindow/frmMain.h"
#include "odb/DataSet.h"
#include "odb/SelectionSet.h"
#include "odb/Table.h"
#include "odb/ui/DataGrid.h"
#include "platform/Prompt.h"
#include "startup/ShowErrorDetails.h"
#include "startup/frmMessage.h"
#include "startup/frmSearchText.h"

namespace {

const QString kUseSelWhere = QStringLiteral("UseSelWhereForFilter");
const QString kYes = QStringLiteral("Yes");
const QString kAnd = QStringLiteral(" AND ");

// A check mark only on the members that carry one.
void setMark(QAction* item, bool checked) {
    item->setCheckable(checked);
    item->setChecked(checked);
}

}  // namespace

int frmMain::memberOf(const MenuArray& array, const QString& field) const {
    for (int i = 1; i < array.Count(); ++i)
        if (array.Tag(i) == field) return i;
    return 0;
}

bool frmMain::complexFilterActive() const {
    return findChild<QAction*>(QStringLiteral("mnuFilterComplex"))->isChecked();
}

void frmMain::setFilterButton(bool pressed) {
    ToolbarButton(QStringLiteral("Filter"))->setChecked(pressed);
}

void frmMain::mnuFilterItems_Click(int index) {
    MenuArray& items = *mnuFilterItems_;
    if (!viewOrBeep() || index < 1 || index >= items.Count()) return;
    const QString field = items.Tag(index);
    try {
        // A cancelled dialog leaves the column's filter as it was.
        if (!frmSearchText::GetSelection(this, field, true, false, QStringLiteral("Filtra"))) return;
        const QString text = frmSearchText::SearchText;
        if (!text.isEmpty()) {
            const QString quoted = QString(text).replace(QLatin1Char('\''), QStringLiteral("''"));
            const QString inside = frmSearchText::SearchInside ? QStringLiteral("*") : QString();
            items.SetCaption(index, field + QStringLiteral(" = '") + inside + quoted + QStringLiteral("*'"));
            setMark(items.Item(index), true);
        } else {
            items.SetCaption(index, field);
            setMark(items.Item(index), false);
        }
        applySimpleFilters();
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QStringLiteral("Errore nell'impostazione del filtro: \r\r") + e.description());
        mnuFilterCancel_Click();
    }
}

void frmMain::applySimpleFilters() {
    const MenuArray& items = *mnuFilterItems_;
    QStringList shown, conditions;
    for (int i = 1; i < items.Count(); ++i) {
        const QString field = items.Tag(i);
        const QString caption = items.Caption(i);
        if (caption == field) continue;
        shown << caption;
        // Each member's own " = " becomes " Like ": a " = " the user typed stays part of the text.
        conditions << field + QStringLiteral(" Like ") + caption.mid(field.size() + 3);
    }
    const QString joined = shown.join(kAnd);
    setFilterButton(!joined.isEmpty());
    SetStatusMsg(joined.isEmpty() ? QStringLiteral("Nessun filtro")
                                  : QStringLiteral("Attivato filtro (") + joined + QStringLiteral(")"));
    m_objCurDS->SetFilter(conditions.join(kAnd));
}

void frmMain::mnuFilterCancel_Click() {
    if (!viewOrBeep()) return;
    MenuArray& items = *mnuFilterItems_;
    for (int i = 1; i < items.Count(); ++i) {
        items.SetCaption(i, items.Tag(i));
        setMark(items.Item(i), false);
        items.Item(i)->setEnabled(true);
    }
    try {
        rebindGrid();
    } catch (const AppError& e) {
        Prompt::instance().msgBox(e.description(), MsgBoxStyle::vbOKOnly, QString(), this);
    }
    m_objFilterSet.reset();
    ApplyFilter();
}

void frmMain::mnuFieldFilterCancelAll_Click() {
    mnuFilterCancel_Click();
}

void frmMain::useFilterSetOfView() {
    if (!m_objFilterSet || &m_objFilterSet->Table() != &m_objCurDS->GetTable())
        m_objFilterSet = m_objCurDS->NewFilterSet();
}

void frmMain::ApplyFilter() {
    if (!m_objCurDS) return;
    odb::DataSet& ds = *m_objCurDS;
    QAction* filterShort = findChild<QAction*>(QStringLiteral("mnuFilterShort"));
    QAction* complex = findChild<QAction*>(QStringLiteral("mnuFilterComplex"));
    try {
        const QString text = m_objFilterSet ? m_objFilterSet->FilterText(0, -1) : QString();
        if (!text.isEmpty()) {
            // A view without a where-text of its own takes the filter as its where-text.
            if (ds.SelWhere().isEmpty() && ds.SavedSelWhere().isEmpty()) {
                ds.SetSavedSelWhere(ds.SelWhere());
                ds.SetOption(kUseSelWhere, kYes);
            }
            frmMessage::instance().ShowMsg(
                QStringLiteral("Filtro dati ") + ds.GetTable().Caption() + QStringLiteral(" in corso..."),
                this);
            // Each change re-reads the rows: one re-read, not three.
            if (ds.GetOption(kUseSelWhere) == kYes) {
                if (!ds.Filter().isEmpty()) ds.SetFilter(QString());
                ds.SetSelWhere(m_objFilterSet->WhereText(-1, -1));
            } else {
                ds.SetFilter(text);
            }
            frmMessage::Unload();
            filterShort->setEnabled(false);
            setFilterButton(true);
            complex->setChecked(true);
            // The filter's own text: in the where-text road the data set's Filter is empty.
            SetStatusMsg(QStringLiteral("Attivato filtro (") + text + QStringLiteral(")"));
        } else {
            filterShort->setEnabled(true);
            if (!ds.Filter().isEmpty()) ds.SetFilter(QString());
            setFilterButton(false);
            complex->setChecked(false);
            if (ds.GetOption(kUseSelWhere) == kYes && !ds.SelWhere().isEmpty()) {
                ds.SetSelWhere(QString());
                ds.SetOption(kUseSelWhere, QString());
            }
            SetStatusMsg(QStringLiteral("Nessun filtro"));
        }
    } catch (const AppError& e) {
        Prompt::instance().msgBox(e.description(), MsgBoxStyle::vbOKOnly, QString(), this);
        frmMessage::Unload();
    }
}

void frmMain::FillComplexFilterMenu() {
    mnuFilterComplexItems_->UnloadAll();
    if (!m_objCurDS) return;
    useFilterSetOfView();
    const QString names = m_objFilterSet->SavedNames(0);
    if (names.isEmpty()) return;
    for (const QString& name : names.split(QLatin1Char('|')))
        mnuFilterComplexItems_->Load(name, QString());
}

void frmMain::mnuFilterComplexItems_Click(int index) {
    if (!viewOrBeep() || index < 1 || index >= mnuFilterComplexItems_->Count()) return;
    try {
        // "Annulla filtro" dropped the filter in hand; the saved ones are still listed and chosen.
        useFilterSetOfView();
        // Deleted meanwhile (by this computer or another one): nothing else changes.
        if (!m_objFilterSet->Rename(mnuFilterComplexItems_->Caption(index), 0)) {
            Prompt::instance().msgBox(QStringLiteral("Un filtro con questo nome non è presente!"),
                                      MsgBoxStyle::vbOKOnly, QString(), this);
            return;
        }
        QueueCommand(QStringLiteral("mnuFilterComplex"));
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
}

// ---- the right-click functions on the grid's current column ----

void frmMain::mnuFieldFilter_Click() {
    if (!viewOrBeep() || dgView_->Col() < 0) return;
    const QString field = dgView_->DataField(dgView_->Col());
    const QString cell = dgView_->Text();
    const int index = memberOf(*mnuFilterItems_, field);
    if (!complexFilterActive() && index > 0) {
        // The filter dialog opens on the cell's text.
        frmSearchText::LastFieldName = field;
        frmSearchText::LastSearchText = cell;
        mnuFilterItems_Click(index);
        return;
    }
    try {
        useFilterSetOfView();
        if (m_objFilterSet->UsesField(field)) m_objFilterSet->RemoveField(field);
        if (!cell.isEmpty()) m_objFilterSet->AddCondition(field, cell, odb::SelectionSet::opEqual);
        ApplyFilter();
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
}

void frmMain::mnuFieldFilterCancel_Click() {
    if (!viewOrBeep() || dgView_->Col() < 0) return;
    const QString field = dgView_->DataField(dgView_->Col());
    const int index = memberOf(*mnuFilterItems_, field);
    if (!complexFilterActive() && index > 0) {
        // The dialog opens empty: confirming it clears the column's filter.
        frmSearchText::LastFieldName = field;
        frmSearchText::LastSearchText.clear();
        mnuFilterItems_Click(index);
        return;
    }
    if (!m_objFilterSet || &m_objFilterSet->Table() != &m_objCurDS->GetTable()) return;
    try {
        if (m_objFilterSet->UsesField(field)) m_objFilterSet->RemoveField(field);
        ApplyFilter();
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
}
