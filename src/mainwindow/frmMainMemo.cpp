// The main window's side of the reminders: loading the reminder window for the administrator,
// its menu entry and the status bar's reminder indicator.
#include <QLabel>

#include "mainwindow/frmMain.h"
#include "mainwindow/frmMemo.h"

void frmMain::LoadMemoWindow() {
    if (memo_)
        memo_->Reload();
    else
        memo_ = new frmMemo(*this);
}

void frmMain::UnloadMemoWindow() {
    delete memo_.data();
    SetMemoIndicator(false);
}

void frmMain::mnuMemo_Click() {
    if (!memo_) LoadMemoWindow();
    memo_->ShowList();
}

void frmMain::SetMemoIndicator(bool visible) {
    sbPanel2_->setVisible(visible);
}

bool frmMain::MemoIndicatorVisible() const {
    return !sbPanel2_->isHidden();
}

frmMemo* frmMain::MemoWindow() const {
    return memo_;
}
