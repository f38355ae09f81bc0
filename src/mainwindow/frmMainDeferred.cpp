// The deferred commands of the main window: a menu click writes its command into the Tag of the
// 1 ms timer tmFunc, whose next tick runs it after the click handler has returned (the menu is
// closed and its loop left before a dialog opens).
#include <QTimer>

#include "base/AppError.h"
#include "mainwindow/frmMain.h"
#include "odb/DataSet.h"
#include "odb/SelectionSet.h"
#include "odb/Table.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "startup/ShowErrorDetails.h"
#include "startup/modZeltoFormUtility.h"

void frmMain::QueueCommand(const QString& command) {
    tmFuncTag_ = command;
    tmFunc_->start();
}

QTimer* frmMain::tmFunc() const {
    return tmFunc_;
}

void frmMain::mnuFilterComplex_Click() {
    if (!viewOrBeep()) return;
    QueueCommand(QStringLiteral("mnuFilterComplex"));
}

void frmMain::mnuOrderComplex_Click() {
    if (!viewOrBeep()) return;
    QueueCommand(QStringLiteral("mnuOrderComplex"));
}

void frmMain::tmFunc_Timer() {
    // A tick during a running command (its dialog's loop keeps the timer going) leaves the timer on:
    // a command queued meanwhile runs once the running one has returned.
    if (tmFuncBusy_) return;
    tmFuncBusy_ = true;
    const QString command = tmFuncTag_;
    tmFunc_->stop();
    tmFuncTag_.clear();
    try {
        // The relation commands first, then the filter and the order; any other text does nothing.
        if (RunRelationCommand(command)) {
        } else if (command == QStringLiteral("mnuFilterComplex")) {
            runComplexFilter();
        } else if (command == QStringLiteral("mnuOrderComplex")) {
            runComplexOrder();
        }
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
    tmFuncBusy_ = false;
}

void frmMain::runComplexFilter() {
    if (!m_objCurDS) return;
    useFilterSetOfView();
    if (odb::DataPanelTools::ComplexFilter(*m_objFilterSet, this, -1, 0, 0,
                                           QStringLiteral("FILTRO COMPLESSO"), 0, 0))
        ApplyFilter();
    FillComplexFilterMenu();
}

void frmMain::runComplexOrder() {
    if (!m_objCurDS) return;
    QString list = m_objCurDS->SortOrder();
    if (odb::DataPanelTools::CreatePanel(m_objCurDS, nullptr, QString())
            ->ChooseFields(list, QStringLiteral("Ordinamento Complesso"), false, true, this))
        ToggleDataSort(list, m_objCurDS.get());
}
