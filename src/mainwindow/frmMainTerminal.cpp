// The main window and the shop-floor terminal: the command panel shown over it on a workstation,
// its status line repeated there, and the terminal's entries of the menus.
#include "mainwindow/frmMain.h"
#include "terminal/frmAccessTimeSettings.h"
#include "terminal/frmCommandPanel.h"

void frmMain::ShowCommandPanel() {
    // The panel starts with the status line as it stands.
    frmCommandPanel::ShowOver(this)->SetStatusMsg(statusText());
}

void frmMain::CommandPanelStatusMsg(const QString& msg) {
    if (frmCommandPanel* panel = frmCommandPanel::Get()) panel->SetStatusMsg(msg);
}

void frmMain::mnuOpenUserWindow_Click() {
    ShowCommandPanel();
}

void frmMain::mnuAccessTimeSetting_Click() {
    frmAccessTimeSettings::ShowOver(this);
}
