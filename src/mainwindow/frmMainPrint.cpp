// The print dispatch of the main window: every print of the data on view goes to the custom reports
// of its table, else to its labels, else (after a question) to an HTML table in the browser. Also the
// three entries of the data menu that reach it and the configuration entries of the layout editors.
#include <QApplication>

#include "base/AppError.h"
#include "labels/frmLabelPreview.h"
#include "labels/frmLabelPrintSetting.h"
#include "labels/modLabelPrint.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/frmSetOrderNumber.h"
#include "odb/DataSet.h"
#include "odb/Table.h"
#include "platform/Prompt.h"
#include "reports/frmCustomReportSetting.h"
#include "reports/modCustomReport.h"
#include "startup/SharedState.h"
#include "startup/ShowErrorDetails.h"
#include "startup/modZeltoFormUtility.h"

namespace {

using namespace MsgBoxStyle;

const QChar kCr = QLatin1Char('\r');

// The report group that a view of the job-order details prints with; empty for all of them.
QString contextName(const QString& tableName, const QString& viewKey) {
    if (tableName != QStringLiteral("DettagliCommesse")) return {};
    if (viewKey == QStringLiteral("Costi Dettagli ")) return QStringLiteral("CostiGenerale");
    if (viewKey == QStringLiteral("Dettalio con Passaggi")) return QStringLiteral("CostiParticolare");
    return {};
}

// The editors of the configuration menu's "Stampe": tables offered, and report groups.
struct PrintSetting {
    const char* name;
    bool report;
    const char* tables;
    const char* groups;
};
const PrintSetting kPrintSettings[] = {
    {"mnuLavrixPrintSetting", false, "DettagliCommesse", ""},
    {"mnuLavrixCardPrintSetting", false,
     "DettagliAttrezzature,DettagliProduzione,CommesseAssistenza,DettaglivenditaMacchinari", ""},
    {"mnuPrintMachineSchedule", false, "CommesseProduzione", ""},
    {"mnuLabelPrintSetting", false,
     "MagazzinoMacchinari,MagazzinoPartCommerciale,MagazzinoPartProduzione,DedirIdovuduvIrezadiv,"
     "ParticolariAttrezzature,Clienti,Operai",
     ""},
    {"mnuPrintSetting_Acessi", true, "Ingressi", ""},
    {"mnuPrintSetting_SchedaOperaio", true, "PassaggiDettaglioCommesse", ""},
    {"mnuPrintSetting_CostiDettComm", true, "DettagliCommesse", "CostiGenerale,CostiParticolare"},
    {"mnuPrintSetting_Macchine", true, "DettagliVenditaMacchinari", ""},
    {"mnuPrintSetting_Order", true, "OrdiniCommerciale.Particolari", ""},
};

}  // namespace

void frmMain::PrintDataView(odb::DataSet& ds, int32_t mode, const QString& viewKey) {
    std::shared_ptr<odb::DataSet> data = ds.shared_from_this();
    const QString tableName = ds.GetTable().Name();
    const QString context = contextName(tableName, viewKey);
    // The order numbers are looked at before every print of the accesses, whatever the answer.
    if (tableName == QStringLiteral("Ingressi")) frmSetOrderNumber::ShowModal(this);

    QWidget* owner = QApplication::activeWindow() ? QApplication::activeWindow() : this;
    if (HasCustomReport(ds, {}, {})) {
        PrintCustomReports(owner, data, nullptr, {}, {}, 0, mode != 0, 1, {}, Variant::missing(), context,
                           {});
        return;
    }
    if (HasLabelSetting(tableName)) {
        if (!labelPreview_) labelPreview_ = new frmLabelPreview(this);
        frmLabelPreview* preview = labelPreview_;
        PrintLabels(owner, data, Variant::missing(), true, {}, -1, true, preview);
        labelPreview_ = preview;
        return;
    }
    const QString question = QStringLiteral("Non ci sono Report personalizzati per questi dati") + kCr + kCr +
                             QStringLiteral("Visualizzare/Stampare da Internet Browser ?") + kCr + kCr;
    if (Prompt::instance().msgBox(question, vbYesNo | vbQuestion | vbDefaultButton2, {}, owner) ==
        MsgResult::Yes)
        ExportHtmlTable(data, owner, QString());
}

frmLabelPreview* frmMain::LabelPreview() const {
    return labelPreview_;
}

void frmMain::printView(int32_t mode) {
    if (!GridVisible() || !m_objCurDS) {
        Prompt::instance().beep();
        return;
    }
    try {
        PrintDataView(*m_objCurDS, mode, NodeKey(SelectedNode()));
    } catch (const AppError& e) {
        if (mode == 1) {
            Prompt::instance().msgBox(e.description(), vbCritical, {}, this);
        } else {
            SetCurrentError(e);
            ShowErrorDetails(QString());
        }
    }
}

void frmMain::mnuPrint_Click() {
    printView(0);
}

void frmMain::mnuPreview_Click() {
    printView(1);
}

void frmMain::mnuPrintExport_Click() {
    printView(2);
}

void frmMain::mnuPrintSetting_Click(const QString& name) {
    for (const PrintSetting& s : kPrintSettings) {
        if (name != QLatin1String(s.name)) continue;
        const QString tables = QString::fromLatin1(s.tables);
        if (s.report)
            frmCustomReportSetting::EditSetting(this, g_objDatabase, g_objConnection, tables, false, false,
                                                QString::fromLatin1(s.groups));
        else
            frmLabelPrintSetting::EditSetting(this, g_objDatabase, g_objConnection, tables, QString());
        return;
    }
}
