// The ready-made prints of the data menu: job-order lists and sheets and labels through the label
// run, the worker sheets of a period, and the monthly accesses with their two checks (accesses on
// non-working days, workers without accesses).
#include <QDate>

#include "base/AppError.h"
#include "base/DateUtil.h"
#include "labels/frmLabelPreview.h"
#include "labels/modLabelPrint.h"
#include "mainwindow/frmMain.h"
#include "model/GetDBTable.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/ui/DataGrid.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "startup/SharedState.h"
#include "startup/ShowErrorDetails.h"
#include "startup/frmDateSetting.h"
#include "startup/frmFromDateToDate.h"

namespace {

using namespace MsgBoxStyle;

const QChar kCr = QLatin1Char('\r');
const QString kDetailLayouts = QStringLiteral("DettagliCommesse");

// The tables whose rows print with the layouts of the job-order details.
bool isDetailTable(const QString& table) {
    return table == QStringLiteral("DettagliAttrezzature") || table == QStringLiteral("DettagliProduzione") ||
           table == QStringLiteral("DettagliVenditaMacchinari");
}

std::shared_ptr<odb::DataSet> openTable(const QString& table, const QString& where,
                                        const QString& order = {}) {
    return GetDBTable(Variant(table)).OpenData(where, order);
}

void showError(const AppError& e) {
    SetCurrentError(e);
    ShowErrorDetails(QString());
}

}  // namespace

bool frmMain::labelRows(const QString& invalidText, VariantList& rows) {
    if (!viewOrBeep()) return false;
    if (m_objCurDS->RowInvalid() || m_objCurDS->RowBeforeFirst()) {
        Prompt::instance().msgBox(invalidText, vbInformation, {}, this);
        return false;
    }
    // Without a selection the current row is the one printed.
    if (m_objCurDS->RowCount() > 0 && dgView_->SelBookmarks().empty())
        dgView_->SetSelBookmarks({dgView_->Bookmark()});
    rows = dgView_->SelBookmarks();
    return true;
}

void frmMain::mnuPrintLavrixDetail_Click() {
    VariantList rows;
    if (!labelRows(QStringLiteral("Devi selezionare i dati per la stampa."), rows)) return;
    frmLabelPreview* print = nullptr;
    try {
        const QString table = m_objCurDS->GetTable().Name();
        if (table == QStringLiteral("CommesseAssistenza") || isDetailTable(table)) {
            PrintLabels(this, m_objCurDS, rows, true, kDetailLayouts, -1, true, print);
        } else if (table == QStringLiteral("CommesseCliente")) {
            // Tooling and machines on one document, the machines going on where the tooling stopped.
            auto tooling = m_objCurDS->GetReference(QStringLiteral("Attrezzature"));
            tooling->SetSortOrder(QStringLiteral("NumeroCommessa"));
            auto toolingRows = tooling->CloneDataSet();
            const int16_t used =
                PrintLabels(this, toolingRows, Variant::missing(), false, kDetailLayouts, -1, false, print);
            auto machines = m_objCurDS->GetReference(QStringLiteral("Macchine"));
            machines->SetSortOrder(QStringLiteral("NumeroCommessa"));
            auto machineRows = machines->CloneDataSet();
            PrintLabels(this, machineRows, Variant::missing(), false, kDetailLayouts, used, true, print);
        } else if (table == QStringLiteral("CommesseProduzione")) {
            auto details = m_objCurDS->GetReference(QStringLiteral("Dettagli"));
            details->SetSortOrder(QStringLiteral("NumeroCommessa"));
            auto detailRows = details->CloneDataSet();
            PrintLabels(this, detailRows, Variant::missing(), false, kDetailLayouts, -1, true, print);
        } else if (table == kDetailLayouts) {
            PrintLabels(this, m_objCurDS, rows, true, QString(), -1, true, print);
        } else {
            Prompt::instance().msgBox(
                QStringLiteral("Devi selezionare una commessa (Cliente,Produzione o Assistenza)"), vbOKOnly,
                {}, this);
        }
    } catch (const AppError& e) {
        showError(e);
    }
}

void frmMain::mnuPrintLavrixSchedule_Click() {
    VariantList rows;
    if (!labelRows(QStringLiteral("Devi selezionare i dati per la stampa."), rows)) return;
    frmLabelPreview* print = nullptr;
    try {
        const QString table = m_objCurDS->GetTable().Name();
        if (table == QStringLiteral("CommesseAssistenza")) {
            PrintLabels(this, m_objCurDS, rows, true, QString(), -1, true, print);
        } else if (table == QStringLiteral("CommesseCliente")) {
            // Each kind of detail with the layouts of its own table, as a document of its own.
            for (const char* reference : {"Attrezzature", "Macchine"}) {
                auto details = m_objCurDS->GetReference(QString::fromLatin1(reference));
                if (details->RowInvalid()) continue;
                auto detailRows = details->CloneDataSet();
                PrintLabels(this, detailRows, Variant::missing(), false, QString(), -1, true, print);
            }
        } else if (table == QStringLiteral("CommesseProduzione")) {
            PrintLabels(this, m_objCurDS, rows, true, QString(), -1, true, print);
            auto details = m_objCurDS->GetReference(QStringLiteral("Dettagli"));
            PrintLabels(this, details, Variant::missing(), false, QString(), -1, true, print);
        } else if (isDetailTable(table)) {
            PrintLabels(this, m_objCurDS, rows, true, kDetailLayouts, -1, true, print);
        } else {
            Prompt::instance().msgBox(
                QStringLiteral("Devi selezionare una commessa (Cliente, Produzione o Assistenza)"), vbOKOnly,
                {}, this);
        }
    } catch (const AppError& e) {
        showError(e);
    }
}

void frmMain::mnuPrintLabel_Click() {
    // Unlike the job-order prints, the labels do not beep without a view.
    if (!viewShown()) return;
    VariantList rows;
    if (!labelRows(QStringLiteral("Devi selezionare i dati per i quali stampare le etichette."), rows))
        return;
    frmLabelPreview* print = nullptr;
    try {
        PrintLabels(this, m_objCurDS, rows, true, QString(), -1, true, print);
    } catch (const AppError& e) {
        showError(e);
    }
}

void frmMain::mnuPrintSelected_SchedeOperai_Click() {
    try {
        // The dialog opens on today; a cancel leaves both dates empty and prints nothing.
        Variant from, to;
        frmFromDateToDate::SetDate(from, to);
        if (from.isEmptyOrNull() && to.isEmptyOrNull()) return;
        if (from.isEmptyOrNull() || to.isEmptyOrNull()) {
            Prompt::instance().msgBox(QStringLiteral("Periodo non valido, impostare due date valide"),
                                      vbInformation, {}, this);
            return;
        }
        const odb::Database& db = *g_objDatabase;
        const double first = OleDatePart(from.toDate());
        const double last = OleDatePart(to.toDate());
        const QString where = QStringLiteral("DataInizio >= ") + db.DateLiteral(Variant::fromDate(first)) +
                              QStringLiteral(" AND DataInizio < ") +
                              db.DateLiteral(Variant::fromDate(last + 1));
        auto steps = openTable(QStringLiteral("PassaggiDettaglioCommesse"), where);
        if (steps->DataEmpty()) {
            Prompt::instance().msgBox(QStringLiteral("Nessuna lavorazione nel periodo selezionato"),
                                      vbExclamation, {}, this);
            return;
        }
        PrintDataView(*steps, 0, QStringLiteral("Stampa Periodica Schede Operai"));
    } catch (const AppError& e) {
        showError(e);
    }
}

void frmMain::mnuPrintMonth_Accessi_Click() {
    try {
        const Variant month = frmDateSetting::SetDate(g_vntSelDate);
        if (month.isEmpty()) return;
        bool proceed = true;
        CheckAccessesOnNonWorkingDays(month, proceed);
        if (!proceed) {
            Prompt::instance().msgBox(QStringLiteral("Operazione annullata"), vbInformation, {}, this);
            return;
        }
        const QDate day = QDateTimeFromOle(month.toDate()).date();
        auto accesses = openTable(QStringLiteral("Ingressi"),
                                  QStringLiteral("Month(Data) = ") + QString::number(day.month()) +
                                      QStringLiteral(" AND Year(Data) = ") + QString::number(day.year()));
        if (accesses->DataEmpty()) {
            Prompt::instance().msgBox(QStringLiteral("Nessun Accesso nel mese selezionato"), vbExclamation,
                                      {}, this);
            return;
        }
        auto workers = openTable(QStringLiteral("Operai"),
                                 QStringLiteral("Nominativo <> '<indefinito>' AND ISNULL(DataFineRapporto)"),
                                 QStringLiteral("Nominativo"));
        CheckWorkersWithoutAccesses(*workers, *accesses);
        PrintDataView(*accesses, 0, QStringLiteral("Stampa Mensile Accessi"));
    } catch (const AppError& e) {
        showError(e);
    }
}

void frmMain::CheckAccessesOnNonWorkingDays(const Variant& month, bool& proceed) {
    proceed = true;
    const odb::Database& db = *g_objDatabase;
    const QDate chosen = QDateTimeFromOle(month.toDate()).date();
    // The days of the chosen month only: those are the days the print holds.
    for (QDate d(chosen.year(), chosen.month(), 1); d.month() == chosen.month(); d = d.addDays(1)) {
        const Variant day = Variant::fromDate(OleDateFromQDate(d));
        const QString literal = db.DateLiteral(day);
        auto periods = openTable(QStringLiteral("PeriodiNonLavorativi"),
                                 QStringLiteral("DataInizioPeriodo <= ") + literal +
                                     QStringLiteral(" AND DataFinePeriodo >=") + literal);
        if (periods->DataEmpty()) continue;
        auto accesses = openTable(QStringLiteral("Ingressi"), QStringLiteral("Data = ") + literal);
        for (accesses->RowFirst(); !accesses->RowInvalid(); accesses->RowNext()) {
            const QString name =
                accesses->GetReference(QStringLiteral("Operaio"))->ColText(QStringLiteral("Nominativo"));
            const QString question =
                QStringLiteral("L'operaio ") + name +
                QStringLiteral(" ha effettuato un ingresso nel giorno ") + day.toText() +
                QStringLiteral(";") + kCr +
                QStringLiteral("Il giorno è tato impostato come periodo non lavorativo.") + kCr +
                QStringLiteral(
                    "Nella stampa accessi sarà stampato l'accesso effettuato e non i dati del giorno non "
                    "lavorativo.") +
                kCr + kCr + QStringLiteral("Continuare ?") + kCr + kCr;
            if (Prompt::instance().msgBox(question, vbYesNo | vbExclamation, {}, this) != MsgResult::Yes) {
                proceed = false;
                return;
            }
        }
    }
}

void frmMain::CheckWorkersWithoutAccesses(odb::DataSet& workers, odb::DataSet& accesses) {
    const odb::Database& db = *g_objDatabase;
    for (workers.RowFirst(); !workers.RowInvalid(); workers.RowNext()) {
        // The worker's code as a text literal: codes such as "A12" are no numbers.
        const QString code = workers.ColText(QStringLiteral("Codice"));
        if (!accesses.FindRow(QStringLiteral("Operaio.Codice = ") + db.TextLiteral(code)))
            Prompt::instance().msgBox(
                QStringLiteral("L'operaio ") + workers.ColText(QStringLiteral("Nominativo")) +
                    QStringLiteral(" non ha effettuato nessun accesso nel periodo impostato"),
                vbInformation, {}, this);
    }
    workers.RowFirst();
    accesses.RowFirst();
}
