// The tools and configuration entries of the main window: the settings windows, the control panel,
// the check of non-working periods, the archive import, the software update and the card tools.
#include <QApplication>
#include <QTreeWidgetItem>

#include "base/AppError.h"
#include "mainwindow/WaitCursor.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/frmSetOrderNumber.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/ui/DataGrid.h"
#include "platform/Prompt.h"
#include "shopfloor/CardPrefix.h"
#include "startup/ImportArchiveData.h"
#include "startup/SharedState.h"
#include "startup/ShowErrorDetails.h"
#include "startup/SoftwareUpdate.h"
#include "startup/frmDateSetting.h"
#include "startup/frmMessage.h"
#include "terminal/carddevices/WriteOperatorCard.h"
#include "terminal/carddevices/frmMagneticDev.h"
#include "terminal/carddevices/frmMagneticOptions.h"
#include "terminal/frmControlPanel.h"

namespace {

using namespace MsgBoxStyle;

const QChar kCr = QLatin1Char('\r');
const QString kWorkers = QStringLiteral("Operai");

void showError(const AppError& e) {
    SetCurrentError(e);
    ShowErrorDetails(QString());
}

}  // namespace

void frmMain::mnuOrderNumberSetting_Click() {
    frmSetOrderNumber::ShowModal(this);
}

void frmMain::mnuOptionsMagnetic_Click() {
    frmMagneticOptions::ShowOver(this);
}

void frmMain::mnucontrolPanel_Click() {
    // Exactly this name, letter case counting.
    if (g_strCurrentUser != QStringLiteral("Amministratore")) {
        Prompt::instance().msgBox(QStringLiteral("Utente non abilitato"), vbInformation, {}, this);
        return;
    }
    frmControlPanel::ShowOver(this);
}

void frmMain::mnuCheck_PeriodiNonLavorativi_Click() {
    try {
        const Variant month = frmDateSetting::SetDate(g_vntSelDate);
        if (month.isEmpty()) return;
        bool completed = true;
        CheckAccessesOnNonWorkingDays(month, completed);
        Prompt::instance().msgBox(
            completed ? QStringLiteral("Controllo completato") : QStringLiteral("Controllo annullato"),
            vbInformation, {}, this);
    } catch (const AppError& e) {
        showError(e);
    }
}

void frmMain::mnuImport_Click() {
    if (!viewOrBeep()) return;
    try {
        Prompt& prompt = Prompt::instance();
        const QString question =
            QStringLiteral("Questa funzione permette di importare < ") + m_objCurDS->GetTable().Caption() +
            QStringLiteral(" > nell'archivio corrente.") + kCr + kCr + QStringLiteral("ATTENZIONE!") + kCr +
            QStringLiteral("L'operazione deve essere guidata da personale tecnico!") + kCr + kCr +
            QStringLiteral("Continuare ?");
        if (prompt.msgBox(question, vbYesNo | vbExclamation | vbDefaultButton2, {}, this) != MsgResult::Yes)
            return;
        const QString file = prompt.openFileName(QString(), g_strRootDir,
                                                 QStringLiteral("DiVEVA Zelto File (*.odb *.mdb)"), this);
        if (file.isEmpty()) return;
        if (ImportArchiveData(file, m_objCurDS, this)) RefreshDetailView();
    } catch (const AppError& e) {
        showError(e);
    }
}

void frmMain::mnuSoftwareUpdate_Click() {
    frmMessage& message = frmMessage::instance();
    message.ShowMsg(QStringLiteral("Aggiornamento del software..."), this);
    try {
        if (!CheckSoftwareUpdate(g_strRootDir, kAppExeName, AppVersionMajor(), AppVersionMinor(),
                                 AppVersionRevision(), kUpdateLocalAndOnline, nullptr, &message, false, true))
            Prompt::instance().msgBox(QStringLiteral("NESSUN AGGIORNAMENTO."), vbInformation, {}, this);
    } catch (const AppError& e) {
        showError(e);
    }
    frmMessage::Unload();
}

void frmMain::mnuToolsCard_Click() {
    try {
        // The prefix is read from the shared file too: a busy or damaged one is told as the rest.
        const QString code = frmMagneticDev::ReadCode(this, WorkerCardPrefix(), false);
        if (code.isEmpty()) return;
        WaitCursor wait;
        // The workers' section, its view made when it is not the one shown.
        QTreeWidgetItem* workers = nullptr;
        for (int i = 1; Node(i); ++i)
            if (NodeKey(Node(i)) == kWorkers) workers = Node(i);
        if (workers && SelectedNode() != workers) {
            SetSelectedNode(workers);
            lastNodeBuild_ = treeBuild_;
            lastNodeIndex_ = NodeIndex(workers);
            RefreshDetailView();
        } else if (!m_objCurDS) {
            RefreshDetailView();
        }
        if (!m_objCurDS) return;
        if (m_objCurDS->FindRow(QStringLiteral("Codice=") + g_objDatabase->TextLiteral(code))) {
            dgView_->ClearSelBookmarks();
            QCoreApplication::processEvents();
            showFound();
            SetStatusMsg(QStringLiteral("Codice carta < ") + code + QStringLiteral(" > identificato..."));
        } else {
            Prompt::instance().msgBox(
                QStringLiteral("Il codice < ") + code + QStringLiteral(" > non è presente in archivio..."),
                vbInformation, {}, this);
        }
    } catch (const AppError& e) {
        showError(e);
    }
}

void frmMain::mnuToolsCardWrite_Click() {
    // A worker kept behind a hidden grid is not one the user has chosen.
    if (!m_objCurDS || !GridVisible() || m_objCurDS->GetTable().Name() != kWorkers ||
        m_objCurDS->RowPositionLost()) {
        Prompt::instance().msgBox(QStringLiteral("Devi selezionare l'Operaio"), vbOKOnly, {}, this);
        return;
    }
    try {
        WriteOperatorCard(*m_objCurDS, this, false);
    } catch (const AppError& e) {
        showError(e);
    }
}
