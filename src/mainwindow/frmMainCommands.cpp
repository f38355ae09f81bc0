// The toolbar's dispatch to the menu commands, the grid-settings button and the general options.
#include <QAction>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "mainwindow/frmMain.h"
#include "odb/DataSet.h"
#include "odb/Recordset.h"
#include "startup/frmOptions.h"

namespace {

void popupUnder(QToolBar* bar, QAction* button, QMenu* menu) {
    QWidget* w = bar->widgetForAction(button);
    menu->popup(w ? w->mapToGlobal(QPoint(0, w->height())) : QCursor::pos());
}

}  // namespace

void frmMain::tbToolBar_ButtonClick(const QString& key) {
    if (key == QStringLiteral("New")) {
        mnuFileNew_Click();
    } else if (key == QStringLiteral("Properties")) {
        mnuFileProperties_Click();
    } else if (key == QStringLiteral("Delete")) {
        mnuFileDelete_Click();
    } else if (key == QStringLiteral("Filter")) {
        // Pressed while the data set has a filter; without a data set there is none to show.
        bool filtered = false;
        if (m_objCurDS)
            filtered =
                (m_objCurDS->GetOption(QStringLiteral("UseSelWhereForFilter")) == QStringLiteral("Yes") &&
                 !m_objCurDS->SelWhere().isEmpty()) ||
                !m_objCurDS->Filter().isEmpty();
        ToolbarButton(key)->setChecked(filtered);
        popupUnder(tbToolBar_, ToolbarButton(key), mnuFilter_);
    } else if (key == QStringLiteral("Find")) {
        bool numeric = false;
        const int index = findButtonTag_.toInt(&numeric);
        if (numeric)
            mnuSearchItems_Click(index);
        else
            popupUnder(tbToolBar_, ToolbarButton(key), mnuSearch_);
    } else if (key == QStringLiteral("Refresh")) {
        mnuViewRefresh_Click();
    } else if (key == QStringLiteral("Print")) {
        popupUnder(tbToolBar_, ToolbarButton(key), mnuPrintFunc_);
    } else if (key == QStringLiteral("Control")) {
        mnucontrolPanel_Click();
    } else if (key == QStringLiteral("Memo")) {
        mnuMemo_Click();
    } else if (key == QStringLiteral("SendMail")) {
        mnuCheck_Mail_Click();
    }
}

void frmMain::cmdGridSetting_Click() {
    mnuGridSetting_->popup(cmdGridSetting_->mapToGlobal(QPoint(0, cmdGridSetting_->height())));
}

void frmMain::mnuToolsOptions_Click() {
    frmOptions::ShowModeless();
}
