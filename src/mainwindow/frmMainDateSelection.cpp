// The main window's date selection and the totals of the data view.
#include <QAction>
#include <QMenu>
#include <QPushButton>

#include "base/AppError.h"
#include "base/Format.h"
#include "mainwindow/DateSelection.h"
#include "mainwindow/frmMain.h"
#include "odb/DataSet.h"
#include "platform/Prompt.h"
#include "startup/Configuration.h"
#include "startup/SharedState.h"
#include "startup/ShowErrorDetails.h"
#include "startup/frmDateSetting.h"
#include "startup/frmFromDateToDate.h"

void frmMain::SetDateSelectionCaption() {
    // The display caption of the view's date column ("Data Inserimento").
    QString fieldCaption;
    try {
        if (m_objCurDS && !cmdDateSelTag_.isEmpty())
            if (const odb::FieldDef* f = m_objCurDS->Field(cmdDateSelTag_))
                fieldCaption = f->GetTexts(0).value(2);
    } catch (const AppError&) {
    }
    const DateSelectionTexts t = DateSelectionCaption(fieldCaption, CurrentDateSelection());
    cmdDateSel_->setText(t.caption);
    cmdDateSel_->setToolTip(t.toolTip);
    mnuSelection_->setTitle(t.menuCaption);
    findChild<QAction*>(QStringLiteral("mnuSelAll"))->setChecked(t.all);
    findChild<QAction*>(QStringLiteral("mnuSelDate"))->setChecked(t.day);
    findChild<QAction*>(QStringLiteral("mnuSelMonth"))->setChecked(t.month);
    findChild<QAction*>(QStringLiteral("mnuSelPeriod"))->setChecked(t.period);
}

void frmMain::cmdDateSel_Click() {
    mnuSelection_->popup(cmdDateSel_->mapToGlobal(QPoint(0, cmdDateSel_->height())));
}

void frmMain::dateSelectionChanged() {
    SetDateSelectionCaption();
    SaveConfiguration();
    RefreshDetailView();
}

void frmMain::mnuSelAll_Click() {
    if (findChild<QAction*>(QStringLiteral("mnuSelAll"))->isChecked()) return;
    g_blnSelDate = g_blnSelMonth = g_blnSelPeriod = false;
    dateSelectionChanged();
}

void frmMain::mnuSelDate_Click() {
    const Variant chosen = frmDateSetting::SetDate(g_vntSelDate, -1, -1);
    if (chosen.isEmpty()) return;
    g_vntSelDate = chosen;
    g_blnSelDate = true;
    g_blnSelMonth = g_blnSelPeriod = false;
    dateSelectionChanged();
}

void frmMain::mnuSelMonth_Click() {
    const Variant chosen = frmDateSetting::SetDate(g_vntSelDate, -1, -1);
    if (chosen.isEmpty()) return;
    g_vntSelDate = chosen;
    g_blnSelMonth = true;
    g_blnSelDate = g_blnSelPeriod = false;
    dateSelectionChanged();
}

void frmMain::mnuSelPeriod_Click() {
    // The dialog writes the dates back only when confirmed: a cancel keeps an earlier period.
    frmFromDateToDate::SetDate(g_vntSelFromDate, g_vntSelToDate, -1, -1);
    if (g_vntSelFromDate.isEmpty() && g_vntSelToDate.isEmpty()) return;
    g_blnSelPeriod = true;
    g_blnSelDate = g_blnSelMonth = false;
    dateSelectionChanged();
}

void frmMain::mnuTotalCount_Click() {
    // Without a grid there is nothing on view to count, and nothing is shown.
    if (!viewShown()) return;
    try {
        Prompt::instance().msgBox(QString::number(m_objCurDS->RowCount()) + QStringLiteral(" Elementi."),
                                  MsgBoxStyle::vbOKOnly, QString(), this);
    } catch (const AppError&) {
    }
}

void frmMain::mnuTotalItems_Click(int index) {
    if (!m_objCurDS || !GridVisible()) {
        Prompt::instance().beep();
        return;
    }
    const QAction* item = mnuTotalItems_->Item(index);
    if (!item) return;
    try {
        const QString field = item->text();
        const odb::FieldDef* f = m_objCurDS->Field(field);
        if (!f) RaiseVbError(5);
        const Variant sum = m_objCurDS->Aggregate(field, odb::aggSum, 0, 0);
        Prompt::instance().msgBox(QStringLiteral("Totale < ") + f->GetTexts(0).value(2) +
                                      QStringLiteral(" >\r\r") + VbFormat(sum, f->Format(0)),
                                  MsgBoxStyle::vbOKOnly, QString(), this);
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
}
