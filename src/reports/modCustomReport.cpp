// The report script contract: the script made from the layout text and the four calls of the run.
#include "reports/modCustomReport.h"

#include "base/AppError.h"
#include "odb/DataSet.h"
#include "odb/DataSetObject.h"
#include "odb/Table.h"
#include "platform/Prompt.h"
#include "reports/clsCustomReport.h"
#include "startup/AppScriptServices.h"
#include "startup/modZeltoFormUtility.h"
#include "vbs/ScriptHost.h"

namespace {

int g_scriptTimeout = 0;

void showScriptError(const vbs::ScriptHost& host, const QString& heading, const std::exception& e) {
    Prompt::instance().msgBox(host.ErrorMessage(heading, ErrorDescription(e)), MsgBoxStyle::vbCritical,
                              g_strMsgBoxTitle);
}

Variant dataSetArg(const std::shared_ptr<odb::DataSet>& ds) {
    return Variant(ds->AsObject());
}

// The data set the script handed back in that argument; only a data set can come back.
std::shared_ptr<odb::DataSet> dataSetBack(const Variant& arg) {
    auto object = arg.isObject() ? std::dynamic_pointer_cast<odb::DataSetObject>(arg.objectValue()) : nullptr;
    if (!object) RaiseVbError(13);
    return object->shared();
}

std::shared_ptr<clsCustomReport> engineBack(const Variant& arg) {
    auto engine = arg.isObject() ? std::dynamic_pointer_cast<clsCustomReport>(arg.objectValue()) : nullptr;
    if (!engine) RaiseVbError(13);
    return engine;
}

}  // namespace

void SetReportScriptTimeout(int milliseconds) {
    g_scriptTimeout = milliseconds;
}

QString DefaultNoteFunction() {
    static const QStringList lines = {
        QStringLiteral("' ") + QString(71, u'='),
        QStringLiteral("' Composizione del codice per la stampa di una nota "),
        QStringLiteral("Function PrintNoteRow(sNoteRow, ds, prn, nRow)"),
        QString(),
        QStringLiteral("  ' Sono supportati i seguenti metodi aggiuntivi:"),
        QStringLiteral("  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / "
                       "impostare le variabili"),
        QStringLiteral("  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili"),
        QStringLiteral(
            "  ' Impostare prn.IgnoreNextNewRow = True per annullare l'avanzamento della prossima riga"),
        QStringLiteral(
            "  ' La proprietà prn.ReportModuleCount riporta il numero di pagina (prima pagina = 0)"),
        QStringLiteral(
            "  ' N.B.: Le posizioni sono relative alla riga corrente nell'area riservata (vedi parametri)"),
        QString(),
        QString(),
        QStringLiteral("  ' Impostare False per annullare la stampa"),
        QStringLiteral(
            "  prn.IgnoreNextNewRow = True  ' Per considerare le note nell'area delle righe eliminare "
            "questa instruzione"),
        QStringLiteral("  PrintNoteRow = True"),
        QString(),
        QStringLiteral("End Function"),
    };
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n");
}

std::unique_ptr<vbs::ScriptHost> CreateReportScript(clsCustomReport& prn, const QString& sCode, bool bNotes) {
    QString code = sCode.isEmpty() ? prn.VBScript() : sCode;
    // Appended directly: the layout's last line keeps its number.
    if (bNotes && !code.contains(QStringLiteral("PrintNoteRow("), Qt::CaseSensitive))
        code += DefaultNoteFunction();
    auto host = std::make_unique<vbs::ScriptHost>();
    try {
        AppScriptServices::Attach(*host);
        host->SetLanguage(QStringLiteral("vbscript"));
        // Report scripts keep the host's own time limit: an endless loop stops the run with its heading.
        if (g_scriptTimeout > 0) host->SetTimeout(g_scriptTimeout);
        host->AddCode(code);
        return host;
    } catch (const std::exception& e) {
        showScriptError(*host, QStringLiteral("Errore di inizializzazione del codice di stampa: "), e);
        return nullptr;
    }
}

bool RunPrintDataInit(std::shared_ptr<odb::DataSet>& dsRow, std::shared_ptr<clsCustomReport>& prn,
                      vbs::ScriptHost& script) {
    if (!prn->VBScript().contains(QStringLiteral("PrintDataInit("), Qt::CaseSensitive)) return true;
    const QString caption = dsRow->GetTable().Caption();
    try {
        prn->SetRowPrinting(false);
        VariantList args{dataSetArg(dsRow), Variant(ObjectRef(prn))};
        const Variant result = script.Run(QStringLiteral("PrintDataInit"), args);
        dsRow = dataSetBack(args[0]);
        prn = engineBack(args[1]);
        return result.toBool();
    } catch (const std::exception& e) {
        showScriptError(
            script,
            QStringLiteral("Errore nel codice di inizializzazione dati <") + caption + QStringLiteral(">: "),
            e);
        return false;
    }
}

bool RunPrintReportRow(std::shared_ptr<odb::DataSet>& dsRow, std::shared_ptr<clsCustomReport>& prn,
                       vbs::ScriptHost& script, int32_t& nRow) {
    const QString heading = QStringLiteral("Errore nel codice di stampa per il (") + QString::number(nRow) +
                            QStringLiteral(") record: ");
    try {
        prn->SetRowPrinting(true);
        prn->NewReportRow();
        VariantList args{dataSetArg(dsRow), Variant(ObjectRef(prn)), Variant(nRow)};
        const Variant result = script.Run(QStringLiteral("PrintReportRow"), args);
        dsRow = dataSetBack(args[0]);
        prn = engineBack(args[1]);
        nRow = args[2].toLong();
        return result.toBool();
    } catch (const std::exception& e) {
        showScriptError(script, heading, e);
        return false;
    }
}

bool RunPrintNoteRow(const QString& sNoteRow, std::shared_ptr<odb::DataSet>& ds,
                     std::shared_ptr<clsCustomReport>& prn, vbs::ScriptHost& script, int32_t& nRow) {
    const QString heading = QStringLiteral("Errore nel codice di stampa (") + QString::number(nRow) +
                            QStringLiteral(") riga Note: ");
    try {
        prn->SetRowPrinting(true);
        prn->NewReportRow();
        VariantList args{Variant(sNoteRow), dataSetArg(ds), Variant(ObjectRef(prn)), Variant(nRow)};
        const Variant result = script.Run(QStringLiteral("PrintNoteRow"), args);
        ds = dataSetBack(args[1]);
        prn = engineBack(args[2]);
        nRow = args[3].toLong();
        return result.toBool();
    } catch (const std::exception& e) {
        showScriptError(script, heading, e);
        return false;
    }
}

bool RunPrintReportMask(std::shared_ptr<odb::DataSet>& ds, std::shared_ptr<clsCustomReport>& prn,
                        vbs::ScriptHost& script, bool bTotal) {
    try {
        prn->SetRowPrinting(false);
        VariantList args{dataSetArg(ds), Variant(ObjectRef(prn)), Variant(bTotal)};
        const Variant result = script.Run(QStringLiteral("PrintReportMask"), args);
        ds = dataSetBack(args[0]);
        prn = engineBack(args[1]);
        return result.toBool();
    } catch (const std::exception& e) {
        showScriptError(script, QStringLiteral("Errore nel codice di stampa della maschera: "), e);
        return false;
    }
}
