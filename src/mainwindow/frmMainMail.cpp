// The main window's side of the closed-job-order mail: the mail timer, its settings window and
// the list of the notifications sent.
#include "base/AppError.h"
#include "base/Variant.h"
#include "mainwindow/MailNotification.h"
#include "mainwindow/frmCheckMail.h"
#include "mainwindow/frmMailSettings.h"
#include "mainwindow/frmMain.h"
#include "odb/Database.h"
#include "startup/SharedState.h"
#include "startup/ShowErrorDetails.h"

void frmMain::tmSendMail_Timer() {
    if (m_blnOptionFormVisible || !g_objDatabase) return;
    // A tick whose error box is still up is not entered again by the next one.
    if (mailTickRunning_) return;
    mailTickRunning_ = true;
    try {
        const int32_t interval =
            Variant(g_objDatabase->GetSetting(g_objConnection, QStringLiteral("IntervalSendMail"),
                                              QStringLiteral("60")))
                .toLong();
        ++mailTicks_;
        if (mailTicks_ >= interval) {
            if (g_blnIsMailNotificationServer) ScanClosedJobOrdersForNotification();
            mailTicks_ = 0;
        }
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(e.description());
    }
    mailTickRunning_ = false;
}

void frmMain::mnuSendMail_Click() {
    frmMailSettings::ShowOver(this);
}

void frmMain::mnuCheck_Mail_Click() {
    setCursor(Qt::WaitCursor);
    try {
        frmCheckMail::ShowOver(this);
    } catch (...) {
        unsetCursor();
        throw;
    }
}
