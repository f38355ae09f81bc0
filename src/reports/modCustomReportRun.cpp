// The report run: the layouts of a data set's table, the printer, the engine, and the passes over the
// items, copies, data sources, rows and note lines, printed or previewed.
#include <QApplication>

#include "base/AppError.h"
#include "labels/PrinterChoice.h"
#include "labels/RowSelection.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "platform/Prompt.h"
#include "reports/clsCustomReport.h"
#include "reports/frmCustomReportPreview.h"
#include "reports/modCustomReport.h"
#include "startup/frmMessage.h"
#include "startup/modZeltoFormUtility.h"
#include "vbs/ScriptHost.h"

namespace {

using namespace MsgBoxStyle;

const QChar kCr(u'\r');
const QString kLayoutTable = QStringLiteral("TabProspettiStampa");
const QString kAllReferences = QStringLiteral("[ tutti i riferimenti ]");
constexpr int16_t kPreviewModuleLimit = 16;

// A run under way: its waiting window lets events through, and the preview is one window.
bool g_blnPrinting = false;

struct PrintingMark {
    PrintingMark() { g_blnPrinting = true; }
    ~PrintingMark() { g_blnPrinting = false; }
};

MsgResult message(const QString& text, int style) {
    return Prompt::instance().msgBox(text, style, g_strMsgBoxTitle);
}

// The report name and group restrict a filter of layouts.
QString restricted(QString filter, odb::Database& db, const QString& report, const QString& group) {
    if (!report.isEmpty())
        filter =
            QStringLiteral("(") + filter + QStringLiteral(") AND NomeProspetto=") + db.TextLiteral(report);
    if (!group.isEmpty())
        filter = QStringLiteral("(") + filter + QStringLiteral(") AND NomeGruppo=") + db.TextLiteral(group);
    return filter;
}

// The layout row as the run reads it.
struct ReportLayout {
    QString reference, group, printer, backImage, script;
    bool askPrinter = false, horizontal = false;
    float height = 0, width = 0, top = 0, left = 0, rowsDim = 0, rowsTop = 0, rowsBottom = 0, imageBorder = 0;
    int16_t columns = 0;

    explicit ReportLayout(odb::DataSet& row)
        : reference(row.ColText(QStringLiteral("NomeReference"))),
          group(row.ColText(QStringLiteral("NomeGruppo"))),
          printer(row.ColText(QStringLiteral("NomeStampante"))),
          backImage(row.ColText(QStringLiteral("ImmagineSfondo"))),
          script(row.ColText(QStringLiteral("IstruzioniStampa"))),
          askPrinter(row.ColValueBool(QStringLiteral("RichiediSelezioneStampante"))),
          horizontal(row.ColValueBool(QStringLiteral("OrientamentoOrizzontale"))),
          height(single(row, "AltezzaModulo")),
          width(single(row, "LarghezzaModulo")),
          top(single(row, "MargineSuperiore")),
          left(single(row, "MargineSinistro")),
          rowsDim(single(row, "AltezzaRigheDettaglio")),
          rowsTop(single(row, "MargineSuperioreRighe")),
          rowsBottom(single(row, "MargineInferioreRighe")),
          imageBorder(single(row, "MargineInferioreSfondo")),
          columns(Variant(row.ColNumber(QStringLiteral("NumeroColonne"))).toInteger()) {}

    static float single(odb::DataSet& row, const char* field) {
        return Variant(row.ColNumber(QString::fromLatin1(field))).toSingle();
    }
};

class ReportRun {
  public:
    ReportRun(QWidget* owner, std::shared_ptr<odb::DataSet>& ds, std::shared_ptr<clsCustomReport> engine,
              const QString& reference, const QString& reportName, int32_t rowLimit, bool preview,
              int16_t copies, const QString& noteField, const Variant& selection, const QString& group,
              const QString& printedField)
        : owner_(owner),
          ds_(ds),
          engine_(std::move(engine)),
          reference_(reference),
          reportName_(reportName),
          rowLimit_(rowLimit),
          preview_(preview),
          copies_(copies),
          noteField_(noteField),
          rows_(selection),
          group_(group),
          printedField_(printedField) {}

    bool run();
    ReportRunEnd end() const {
        if (result_) return ReportRunEnd::Completed;
        return testPageDone_ ? ReportRunEnd::TestPageDone : ReportRunEnd::Stopped;
    }

  private:
    bool selectionChecked();
    bool lookUp();
    QString referencePart() const;
    bool alreadyPrinted();
    void pass(bool printing);
    void copy(int16_t copy, bool firstOfPass, int32_t itemCount);
    void rowPhase(int32_t itemCount);
    void notePhase(bool printing);
    void endOfCopy();
    bool showPreview();
    void confirmPrinted();
    // Makes the current item's row current, passing over rows gone meanwhile; false when none is left.
    bool positionOnItem(int32_t itemCount);
    void maskOfFullModule(odb::DataSet& source);
    void stop() { stop_ = true; }
    // Test mode's end after the first module: the only stop of a test that went well.
    void stopForTest() {
        stop_ = true;
        testPageDone_ = true;
    }
    void showProgress(const QString& text) { frmMessage::instance().ShowMsg(text, owner_, -1, -1); }

    QWidget* owner_;
    std::shared_ptr<odb::DataSet>& ds_;
    std::shared_ptr<clsCustomReport> engine_;
    bool ownEngine_ = false;
    QString reference_;
    QString reportName_;
    int32_t rowLimit_;
    bool preview_;
    int16_t copies_;
    QString noteField_;
    RowSelection rows_;
    QString group_;
    QString printedField_;

    std::unique_ptr<vbs::ScriptHost> host_;
    std::vector<std::shared_ptr<odb::DataSet>> sources_;
    QStringList notes_;
    int32_t itemIndex_ = 0;
    int32_t nRow_ = 0;
    bool progressShown_ = false;
    bool stop_ = false;
    bool testPageDone_ = false;
    bool result_ = false;
};

bool ReportRun::selectionChecked() {
    if (rows_.present()) return true;
    if (!reference_.isEmpty()) {
        if (ds_->RowInvalid() || ds_->RowUnavailable()) {
            message(QStringLiteral("Devi selezionare l'elemento da stampare"), vbInformation);
            return false;
        }
    } else if (ds_->DataEmpty()) {
        message(QStringLiteral("Nessun elemento da stampare"), vbInformation);
        return false;
    }
    return true;
}

QString ReportRun::referencePart() const {
    if (reference_.isEmpty()) return {};
    if (reference_ == QLatin1String("*") || reference_ == kAllReferences)
        return QStringLiteral(".") + reference_;
    const odb::ReferenceDef* ref = ds_->FindReferenceDef(reference_);
    return QStringLiteral(".") + (ref ? ref->GetTexts().value(2) : reference_);
}

bool ReportRun::lookUp() {
    odb::Database& db = ds_->GetDatabase();
    const odb::Table* table = &ds_->GetTable();
    // A reference's layouts are kept under the table that declares it, as the editor stores them.
    if (!reference_.isEmpty() && reference_ != QLatin1String("*"))
        if (const odb::ReferenceDef* ref = table->FindReference(reference_)) table = &ref->OwnerTable();
    QString filter;
    for (const odb::Table* t = table; t; t = t->BaseTable()) {
        filter += QStringLiteral("NomeTabellaOrigine=") + db.TextLiteral(t->Name());
        if (reference_ == QLatin1String("*")) {
            filter += QStringLiteral(" AND NomeReference<>''");
        } else if (!reference_.isEmpty()) {
            filter += QStringLiteral(" AND NomeReference=") + db.TextLiteral(reference_);
            break;
        }
        if (t->BaseTable()) filter = QStringLiteral("(") + filter + QStringLiteral(") OR ");
    }
    auto layouts = ds_->OpenTable(kLayoutTable, restricted(filter, db, reportName_, group_),
                                  QStringLiteral("NomeProspetto"));
    if (layouts->DataEmpty()) {
        message(QStringLiteral("Report non trovato/i") + kCr + kCr +
                    QStringLiteral("Configurare almeno un Report per i dati <") + ds_->GetTable().Title() +
                    referencePart() + QStringLiteral(">..."),
                vbInformation);
        return false;
    }
    layouts->RowFirst();
    if (layouts->RowCount() > 1) {
        auto panel = odb::DataPanelTools::CreatePanel(layouts->PanelSource(), owner_);
        if (panel->SelectRow(-1, -1, -1, QStringLiteral("NomeProspetto")).isEmpty()) return false;
    }
    const ReportLayout layout(*layouts);
    layouts.reset();

    QString printer = layout.printer;
    if (!preview_ && (layout.askPrinter || printer.isEmpty())) {
        if (QWidget* window = ShownWindow(owner_)) {
            int copies = copies_;
            if (!ChooseRegistryPrinter(QStringLiteral("Selezione stampante"), printer, window, &copies))
                return false;
            if (printer.isEmpty())
                message(QStringLiteral(
                            "Impossibile attivare la selezione della stampante senza un Control di tipo "
                            "CommonDialog nel Form attivo"),
                        vbOKOnly);
            else
                copies_ = static_cast<int16_t>(copies);
        } else {
            message(QStringLiteral("Impossibile attivare la selezione della stampante senza un Form attivo"),
                    vbOKOnly);
        }
    }
    engine_ = std::make_shared<clsCustomReport>();
    ownEngine_ = true;
    const Variant target =
        preview_ ? Variant(frmCustomReportPreview::Default().AsDevice()) : Variant(printer);
    engine_->SetParameter(target, layout.height, layout.width, layout.top, layout.left, layout.columns,
                          layout.rowsDim, layout.rowsTop, layout.rowsBottom, layout.backImage,
                          layout.imageBorder, layout.script, layout.horizontal, layout.group);
    reference_ = layout.reference;
    return true;
}

bool ReportRun::alreadyPrinted() {
    if (reference_.isEmpty() || printedField_.isEmpty() || !ds_->GetTable().FindField(printedField_) ||
        !ds_->ColValueBool(printedField_))
        return false;
    return message(QStringLiteral("LA STAMPA RISULTA GIA' COMPLETATA...") + kCr + kCr +
                       QStringLiteral("CONTINUARE ?"),
                   vbYesNo | vbQuestion | vbDefaultButton2) != MsgResult::Yes;
}

bool ReportRun::positionOnItem(int32_t itemCount) {
    while (!rows_.position(*ds_, itemIndex_)) {
        if (itemIndex_ >= itemCount - 1) return false;
        ++itemIndex_;
    }
    return true;
}

void ReportRun::pass(bool printing) {
    stop_ = false;
    testPageDone_ = false;
    frmMessage& progress = frmMessage::instance();
    if (!progress.isVisible() && owner_ && owner_->isVisible()) {
        showProgress(printing ? QStringLiteral("Stampa in corso...")
                              : QStringLiteral("Elaborazione anteprima in corso..."));
        progressShown_ = true;
    }
    const int32_t itemCount = rows_.present() ? rows_.count() : 1;
    engine_->SetMarkOutputAreas(!printing || rowLimit_ == -1);
    itemIndex_ = 0;
    bool firstOfPass = true;
    for (;;) {
        if (itemCount > 1 && progressShown_)
            showProgress(QStringLiteral("Elaborazione in corso...  (") + QString::number(itemIndex_ + 1) +
                         QStringLiteral(" / ") + QString::number(itemCount) + QStringLiteral(")"));
        for (int16_t c = 1; c <= copies_ && !stop_; ++c) {
            copy(c, firstOfPass, itemCount);
            firstOfPass = false;
            if (!stop_) rowPhase(itemCount);
            if (!stop_) notePhase(printing);
            if (!stop_) endOfCopy();
        }
        host_.reset();
        sources_.clear();
        if (stop_ || reference_.isEmpty() || !rows_.present() || itemIndex_ >= itemCount - 1) break;
        ++itemIndex_;
        if (!positionOnItem(itemCount)) break;
    }
    if (progressShown_) {
        progress.EndProgress();
        frmMessage::Unload();
    }
    result_ = !stop_;
}

void ReportRun::copy(int16_t copy, bool firstOfPass, int32_t itemCount) {
    // One set-up a pass: a further copy or item goes on in the next module instead of clearing the
    // preview's pages or printing over the page.
    if (firstOfPass)
        engine_->InitializeVars();
    else
        engine_->ContinueInNextModule();
    engine_->SetIgnoreNextNewRow(true);
    if (progressShown_) {
        const QString item = QStringLiteral("Elaborazione in corso...  (") + QString::number(itemIndex_ + 1) +
                             QStringLiteral("/") + QString::number(itemCount) + QStringLiteral(")");
        if (itemCount >= 2 && copies_ >= 2)
            showProgress(item + QStringLiteral("  -  Copia ") + QString::number(copy) + QStringLiteral("/") +
                         QString::number(copies_));
        else if (itemCount > 1)
            showProgress(item);
    }
    if (!rows_.present() && reference_.isEmpty() && !ds_->DataEmpty()) ds_->RowFirst();
    if (rows_.present()) {
        if (reference_.isEmpty()) itemIndex_ = 0;
        positionOnItem(itemCount);
    }
    notes_.clear();
    if (!noteField_.trimmed().isEmpty()) {
        QString text = ds_->ColText(noteField_);
        text.remove(u'\n');
        if (!text.isEmpty()) notes_ = text.split(kCr);
    }

    sources_.clear();
    int32_t total = static_cast<int32_t>(notes_.size());
    if (reference_.isEmpty()) {
        sources_.push_back(ds_);
        total += rows_.present() ? itemCount : ds_->RowCount();
    } else if (reference_ == kAllReferences) {
        for (const odb::Table* t = &ds_->GetTable(); t; t = t->BaseTable())
            for (const auto& ref : t->OwnReferences()) {
                if (!ref->ManyRows() || ref->Hidden()) continue;
                auto rows = ds_->GetReference(ref->Name());
                if (rows->RowCount() == 0) continue;
                total += rows->RowCount();
                sources_.push_back(rows);
            }
    } else {
        auto rows = ds_->GetReference(reference_);
        total += rows->RowCount();
        sources_.push_back(rows);
    }
    if (progressShown_) frmMessage::instance().StartProgress(total, true);
    engine_->ResetVars();
    host_ = CreateReportScript(*engine_, QString(), !notes_.isEmpty());
    if (!host_) stop();
    nRow_ = 0;
}

void ReportRun::maskOfFullModule(odb::DataSet& source) {
    // The mask may move the rows; they come back where they were. Past the last row (the note lines of
    // a report without reference) there is no row to come back to.
    const Variant bookmark = source.NoCurrentRow() ? Variant() : source.Bookmark();
    if (!RunPrintReportMask(ds_, engine_, *host_, false)) return stop();
    if (!bookmark.isEmpty()) source.GotoBookmark(bookmark);
    engine_->NextReport();
}

void ReportRun::rowPhase(int32_t itemCount) {
    frmMessage& progress = frmMessage::instance();
    for (auto& source : sources_) {
        if (stop_) return;
        const odb::ReferenceDef* ref = source->SourceReferenceDef();
        engine_->SetDataReferenceName(!reference_.isEmpty() && ref ? ref->Name() : QString());
        const QString order = source->SortOrder(), filter = source->Filter();
        if (!RunPrintDataInit(source, engine_, *host_)) return stop();
        // Rows sorted or filtered anew are read from their first: the library keeps the row it stood on.
        if ((source->SortOrder() != order || source->Filter() != filter) &&
            (!reference_.isEmpty() || !rows_.present()))
            source->RowFirst();
        while (!source->RowInvalid()) {
            if (!progress.Progress(0, !progressShown_)) return stop();
            ++nRow_;
            if (!RunPrintReportRow(source, engine_, *host_, nRow_)) return stop();
            if (!engine_->ValidateRowDimNext()) {
                maskOfFullModule(*source);
                if (stop_) return;
            }
            if (rowLimit_ >= 1 && nRow_ >= rowLimit_) return stop();
            if (!reference_.isEmpty() || !rows_.present()) {
                source->RowNext();
            } else {
                if (itemIndex_ >= itemCount - 1) break;
                ++itemIndex_;
                if (!positionOnItem(itemCount)) break;
            }
            if (rowLimit_ == -1 && engine_->ReportModuleCount() >= 1) return stopForTest();
        }
    }
}

void ReportRun::notePhase(bool printing) {
    frmMessage& progress = frmMessage::instance();
    for (const QString& note : notes_) {
        if (!progress.Progress(0, !progressShown_)) return stop();
        ++nRow_;
        if (!RunPrintNoteRow(note, ds_, engine_, *host_, nRow_)) return stop();
        if (!engine_->ValidateRowDimNext()) {
            maskOfFullModule(*ds_);
            if (stop_) return;
            if (!printing && engine_->ReportCount() >= kPreviewModuleLimit) {
                message(QStringLiteral("Il numero massimo di pagine per l'anteprima è ") +
                            QString::number(kPreviewModuleLimit) + kCr + kCr +
                            QStringLiteral("Anteprima di stampa interrotta..."),
                        vbOKOnly);
                return stop();
            }
        }
        if (rowLimit_ == -1 && engine_->ReportModuleCount() >= 1) return stopForTest();
    }
}

void ReportRun::endOfCopy() {
    if (engine_->ValidateRowDimNext() && !(rowLimit_ == -1 && engine_->ReportModuleCount() != 0)) {
        if (ds_->RowInvalid() && !ds_->DataEmpty()) ds_->StepToLastRow();
        if (!RunPrintReportMask(ds_, engine_, *host_, true)) return stop();
        engine_->NextReport();
    }
    if (rowLimit_ == -1) stopForTest();
}

// The pages shown; true when the user chose a printer for the whole report (the engine then targets it).
bool ReportRun::showPreview() {
    frmCustomReportPreview* window = engine_->PreviewWindow();
    if (!window) return false;
    // Only a page with nothing at all on it is dropped: a last module left empty may share its page
    // with the modules drawn before it.
    if (engine_->ReportPageIsEmpty()) window->CancelAddingPage();
    const QString printer = window->ShowPreview(owner_);
    if (printer.isEmpty()) return false;
    engine_->ChangePrinter(printer);
    return true;
}

void ReportRun::confirmPrinted() {
    if (reference_.isEmpty() || printedField_.isEmpty() || !ds_ ||
        !ds_->GetTable().FindField(printedField_) || ds_->ColValueBool(printedField_) || ds_->ReadOnly())
        return;
    if (message(QStringLiteral("STAMPATO CORRETTAMENTE ?") + kCr + kCr +
                    QStringLiteral("NOTA: confermare solo se si considera completata la fase di stampa."),
                vbYesNo | vbQuestion) != MsgResult::Yes)
        return;
    if (progressShown_) showProgress(QStringLiteral("Conferma stampa campletata..."));
    ds_->SetColValue(printedField_, Variant(true));
    ds_->SaveRow();
    frmMessage::Unload();
}

bool ReportRun::run() {
    if (!selectionChecked()) return false;
    std::shared_ptr<odb::Connection> connection;
    bool modeSaved = false, savedMode = false;
    try {
        if (!engine_ && !lookUp()) return false;
        if (!engine_) return false;
        if (alreadyPrinted()) return false;
        connection = ds_->GetConnection();
        savedMode = connection->ReportMode();
        modeSaved = true;
        connection->SetReportMode(true);
        bool printing = !preview_ || !engine_->PreviewWindow();
        bool printed = false;
        for (;;) {
            {
                QApplication::setOverrideCursor(Qt::WaitCursor);
                struct Restore {
                    ~Restore() { QApplication::restoreOverrideCursor(); }
                } restore;
                pass(printing);
            }
            if (printing) {
                printed = true;
                break;
            }
            if (!showPreview()) break;
            printing = true;
        }
        if (ownEngine_) engine_->EndReports();
        connection->SetReportMode(savedMode);
        modeSaved = false;
        if (printed && result_) confirmPrinted();
    } catch (const std::exception& e) {
        message(
            QStringLiteral("Si e' verificato un errore durante la stampa:") + kCr + kCr + ErrorDescription(e),
            vbCritical);
        testPageDone_ = false;
        if (progressShown_) frmMessage::Unload();
        if (modeSaved) connection->SetReportMode(savedMode);
    }
    return result_;
}

}  // namespace

bool HasCustomReport(odb::DataSet& ds, const QString& group, const QString& report) {
    const odb::Table& table = ds.GetTable();
    if (!table.GetTables().Exists(kLayoutTable)) return false;
    odb::Database& db = ds.GetDatabase();
    QString filter;
    for (const odb::Table* t = &table; t; t = t->BaseTable()) {
        if (!filter.isEmpty()) filter += QStringLiteral(" OR ");
        filter += QStringLiteral("NomeTabellaOrigine=") + db.TextLiteral(t->Name());
    }
    return !ds.OpenTable(kLayoutTable, restricted(filter, db, report, group))->DataEmpty();
}

bool PrintCustomReports(QWidget* owner, std::shared_ptr<odb::DataSet>& ds,
                        std::shared_ptr<clsCustomReport> report, const QString& reference,
                        const QString& reportName, int32_t rowLimit, bool preview, int16_t copies,
                        const QString& noteField, const Variant& selection, const QString& group,
                        const QString& printedField, ReportRunEnd* end) {
    if (end) *end = ReportRunEnd::Stopped;
    if (g_blnPrinting) {
        Prompt::instance().beep();
        return false;
    }
    PrintingMark printing;
    ReportRun run(owner, ds, std::move(report), reference, reportName, rowLimit, preview, copies, noteField,
                  selection, group, printedField);
    const bool result = run.run();
    if (end) *end = run.end();
    // A preview window the run filled but never showed (a failure on the way) goes with its pages.
    frmCustomReportPreview::ReleaseDefault();
    return result;
}
