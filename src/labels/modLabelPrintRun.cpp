// The label print run and the one-row preview.
#include <QApplication>

#include "base/AppError.h"
#include "labels/PrinterChoice.h"
#include "labels/RowSelection.h"
#include "labels/clsLabelPrint.h"
#include "labels/frmLabelPreview.h"
#include "labels/modLabelPrint.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "odb/ui/ModalDialog.h"
#include "platform/DrawSurface.h"
#include "platform/PainterSurface.h"
#include "platform/PrinterRegistry.h"
#include "platform/Prompt.h"
#include "startup/frmMessage.h"
#include "startup/modZeltoFormUtility.h"
#include "vbs/ScriptHost.h"

namespace {

using namespace MsgBoxStyle;

const QChar kCr(u'\r');
const QString kLayoutTable = QStringLiteral("TabStampaEtichette");

// A print run under way: the waiting window lets events through, and a second run must not start
// on the same engine meanwhile.
bool g_blnPrinting = false;

struct PrintingMark {
    PrintingMark() { g_blnPrinting = true; }
    ~PrintingMark() { g_blnPrinting = false; }
};

// The layout row as the run reads it.
struct LabelLayout {
    QString printer;
    bool askPrinter = false;
    float height = 0, width = 0, top = 0, left = 0;
    int16_t columns = 0;
    bool horizontal = false;
    bool positioning = false;
    double copies = 1;
    QString script;

    explicit LabelLayout(odb::DataSet& row)
        : printer(row.ColText(QStringLiteral("NomeStampante"))),
          askPrinter(row.ColValueBool(QStringLiteral("RichiediSelezioneStampante"))),
          height(static_cast<float>(row.ColNumber(QStringLiteral("AltezzaEtichetta")))),
          width(static_cast<float>(row.ColNumber(QStringLiteral("LarghezzaEtichetta")))),
          top(static_cast<float>(row.ColNumber(QStringLiteral("MargineSuperiore")))),
          left(static_cast<float>(row.ColNumber(QStringLiteral("MargineSinistro")))),
          columns(Variant(row.ColNumber(QStringLiteral("NumeroColonne"))).toInteger()),
          horizontal(row.ColValueBool(QStringLiteral("OrientamentoOrizzontale"))),
          positioning(row.ColValueBool(QStringLiteral("AbilitaPosizionamento"))),
          copies(row.ColNumber(QStringLiteral("NumeroCopie"))),
          script(row.ColText(QStringLiteral("IstruzioniStampa"))) {}
};

void message(const QString& text, int style) {
    Prompt::instance().msgBox(text, style, g_strMsgBoxTitle);
}

// The end of a run that ends the document: whatever the kept engine drew comes out now, also when an
// earlier run left the engine with its document open, so that it never merges into a later run.
void releaseEngine(bool endDocument) {
    if (!endDocument || !g_objLabelPrint) return;
    auto engine = std::move(g_objLabelPrint);
    engine->ForceEndDocument();
}

// A document the kept engine left open on another printer cannot go on there: it comes out first.
void endDocumentOnOtherPrinter(clsLabelPrint& engine, const QString& printer) {
    const auto& output = engine.Output();
    if (!output || !output->isPrinter()) return;
    PrinterRegistry& printers = PrinterRegistry::instance();
    auto target = printers.find(printer);
    if (!target) target = printers.current();
    if (target != output) engine.ForceEndDocument();
}

// The skip count text: the caller's count, none to ask for continuous labels, or the user's answer
// (empty after a refused one).
QString skipText(int16_t skip, const LabelLayout& layout) {
    if (skip >= 0) return QString::number(skip);
    if (!layout.positioning || (layout.height == 0 && layout.columns <= 1)) return QStringLiteral("0");
    const QString prompt =
        QStringLiteral("POSIZIONARE LA CARTA PER LA STAMPA...") + kCr + kCr +
        QStringLiteral(
            "Per saltare alcune etichette già stampate impostare la quantità di quelle già "
            "stampate, altrimenti confermare <0>");
    QString answer;
    double value = 0;
    if (Prompt::instance().inputBox(prompt, QStringLiteral("Conferma Stampa Etichette"), QStringLiteral("0"),
                                    answer) &&
        ParseVbNumber(answer, value) && value <= 9999)
        return answer;
    Prompt::instance().beep();
    return {};
}

// Everything of one printed run from the skip question to the last label; returns the positions used
// on the sheet, 0 when nothing was printed.
class LabelPrintLoop {
  public:
    LabelPrintLoop(std::shared_ptr<odb::DataSet>& ds, const RowSelection& selection, bool selOnly,
                   const QString& table, int32_t qtyDefault, const QString& qtyField, bool askQty,
                   const QString& promptField)
        : ds_(ds),
          selection_(selection),
          selOnly_(selOnly),
          table_(table),
          qtyDefault_(qtyDefault),
          qtyField_(qtyField),
          askQty_(askQty),
          promptField_(promptField) {}

    int16_t run(const LabelLayout& layout, const QString& skip, vbs::ScriptHost& host) {
        frmMessage& progress = frmMessage::instance();
        int16_t toSkip = Variant(skip).toInteger();
        int32_t count = 1;
        if (!selOnly_) {
            count = ds_->RowCount();
            ds_->RowFirst();
        } else if (selection_.present()) {
            count = selection_.count();
        }
        progress.StartProgress(count, true);
        int16_t copies = Variant(layout.copies).toInteger();
        if (copies < 1) copies = 1;
        for (int32_t i = 0; i < count && !stop_; ++i) {
            while (toSkip > 0 && !stop_) {
                --toSkip;
                g_objLabelPrint->NextLabel();
                if (!progress.Progress(0, true)) stop_ = true;
            }
            if (!stop_) record(i, copies, host);
        }
        return g_objLabelPrint->PageLabelCount();
    }

  private:
    void record(int32_t i, int16_t copies, vbs::ScriptHost& host) {
        frmMessage& progress = frmMessage::instance();
        g_objLabelPrint->SetCopyCount(1);
        bool first = true;
        while (g_objLabelPrint->CopyCount() <= copies) {
            if (first && !position(i)) return;
            first = false;
            auto item =
                (table_.isEmpty() || table_ == ds_->GetTable().Name()) ? ds_ : ds_->GetRelatedData(table_);
            int32_t quantity = qtyField_.isEmpty() ? qtyDefault_ : ds_->ColValue(qtyField_).toLong();
            if (askQty_ && !askQuantity(*item, quantity)) return;
            for (; quantity > 0; --quantity) {
                if (!progress.Progress(i + 1, false) || !RunPrintLabel(item, g_objLabelPrint, host)) {
                    stop_ = true;
                    return;
                }
                g_objLabelPrint->NextLabel();
            }
            g_objLabelPrint->NextCopy();
        }
    }

    // Makes record i current; false when its row is no longer there (deleted meanwhile): it gets no
    // label rather than the one of the row before.
    bool position(int32_t i) {
        if (selection_.present()) return selection_.position(*ds_, i);
        if (i > 0) ds_->RowNext();
        return true;
    }

    // False when the user stops the run.
    bool askQuantity(odb::DataSet& item, int32_t& quantity) {
        Prompt& prompt = Prompt::instance();
        QString text = QStringLiteral("Imposta il numero di etichette:");
        if (!promptField_.isEmpty()) text += QString(kCr) + kCr + item.ColText(promptField_);
        QString answer;
        double value = 0;
        if (prompt.inputBox(text, QString(), QString::number(quantity), answer) &&
            ParseVbNumber(answer, value)) {
            quantity = Variant(value).toLong();
            return true;
        }
        quantity = 0;
        if (prompt.msgBox(QStringLiteral("Vuoi interrompere la stampa ?"), vbYesNo | vbQuestion, QString()) ==
            MsgResult::Yes) {
            stop_ = true;
            return false;
        }
        return true;
    }

    std::shared_ptr<odb::DataSet>& ds_;
    const RowSelection& selection_;
    bool selOnly_;
    QString table_;
    int32_t qtyDefault_;
    QString qtyField_;
    bool askQty_;
    QString promptField_;
    bool stop_ = false;
};

QString layoutCaption(odb::DataSet& ds, const QString& table) {
    if (table.isEmpty()) return ds.GetTable().Caption();
    return ds.GetDatabase().Tables().Item(table).Caption();
}

// The row the labels show: the current one, or the one the user picks (Empty when none).
Variant previewRow(odb::DataSet& ds, bool choose) {
    if (!ds.NoCurrentRow() && !choose) return ds.Bookmark();
    auto panel = odb::DataPanelTools::CreatePanel(ds.PanelSource());
    if (!panel->SelectRow(ds.GetTable().Title(), QApplication::activeWindow())) return Variant();
    return ds.Bookmark();
}

bool showLabelPreview(const Variant& target, frmLabelPreview* window, std::shared_ptr<odb::DataSet>& ds,
                      float height, float width, float top, float left, int32_t columns, bool horizontal,
                      const QString& script, bool choose) {
    if (PrinterRegistry::instance().count() == 0) return false;
    bool drawn = false;
    try {
        const Variant bookmark = previewRow(*ds, choose);
        if (bookmark.isEmpty()) return false;
        ds->GotoBookmark(bookmark);
        {
            auto engine = std::make_shared<clsLabelPrint>();
            engine->SetParameter(target, height, width, top, left, Variant(columns).toInteger(), true,
                                 horizontal);
            for (int32_t k = 1; k <= columns; ++k) {
                if (!RunLabelScript(ds, engine, script)) break;
                engine->NextLabel();
            }
        }
        drawn = true;
        if (window) {
            window->FitToSurface();
            odb::RunModal(*window);
        }
        return true;
    } catch (const std::exception& e) {
        message(ErrorDescription(e), vbOKOnly);
        return drawn;
    }
}

int16_t printLabels(QWidget* frm, std::shared_ptr<odb::DataSet>& ds, const RowSelection& rows, bool selOnly,
                    const QString& table, int16_t skip, bool endDoc, frmLabelPreview*& preview,
                    int32_t qtyDefault, const QString& qtyField, bool askQty, const QString& promptField) {
    if (g_blnPrinting) {
        Prompt::instance().beep();
        return 0;
    }
    if (skip == -1 && endDoc && (ds->RowInvalid() || ds->RowUnavailable())) {
        message(QStringLiteral("Devi selezionare elementi validi per la stampa delle etichette"),
                vbInformation);
        return 0;
    }
    PrintingMark printing;
    int16_t result = 0;
    try {
        if (!g_objLabelPrint) g_objLabelPrint = std::make_shared<clsLabelPrint>();
        const QString tableName = table.isEmpty() ? ds->GetTable().Name() : table;
        auto layoutRow = ds->OpenTable(
            kLayoutTable, QStringLiteral("NomeTabellaOrigine=") + ds->GetDatabase().TextLiteral(tableName));
        if (layoutRow->DataEmpty()) {
            message(QStringLiteral("Nessuna Stampa Etichette è stata configurata per questi dati (") +
                        layoutCaption(*ds, table) + QStringLiteral(")"),
                    vbInformation);
            releaseEngine(endDoc);
            return 0;
        }
        const LabelLayout layout(*layoutRow);
        QString printer = layout.printer;
        if (!preview && (printer.isEmpty() || layout.askPrinter)) {
            if (QWidget* owner = ShownWindow(frm)) {
                if (!ChooseRegistryPrinter(QStringLiteral("Selezione stampante"), printer, owner)) {
                    releaseEngine(endDoc);
                    return 0;
                }
                if (printer.isEmpty())
                    message(
                        QStringLiteral("Impossibile attivare la selezione della stampante senza un Control "
                                       "di tipo CommonDialog nel Form attivo"),
                        vbOKOnly);
            } else {
                message(
                    QStringLiteral("Impossibile attivare la selezione della stampante senza un Form attivo"),
                    vbOKOnly);
            }
        }
        if (preview) {
            preview->NewSurface();
            showLabelPreview(Variant(ObjectRef(preview->Surface())), preview, ds, layout.height, layout.width,
                             layout.top, layout.left, layout.columns, layout.horizontal, layout.script,
                             false);
            releaseEngine(endDoc);
            return 0;
        }

        endDocumentOnOtherPrinter(*g_objLabelPrint, printer);
        g_objLabelPrint->SetParameter(Variant(printer), layout.height, layout.width, layout.top, layout.left,
                                      layout.columns, endDoc, layout.horizontal);
        frmMessage& progress = frmMessage::instance();
        progress.ShowMsg(QStringLiteral("Stampa etichette in corso..."), frm, -1, -1);
        const QString skipCount = skipText(skip, layout);
        if (!skipCount.isEmpty()) {
            auto host = CreateLabelScript(layout.script);
            if (!host) {
                frmMessage::Unload();
                releaseEngine(endDoc);
                return 0;
            }
            LabelPrintLoop loop(ds, rows, selOnly, table, qtyDefault, qtyField, askQty, promptField);
            result = loop.run(layout, skipCount, *host);
        }
        progress.EndProgress();
        frmMessage::Unload();
        if (endDoc) Prompt::instance().beep();
        releaseEngine(endDoc);
        return result;
    } catch (const std::exception& e) {
        message(ErrorDescription(e), vbOKOnly);
        frmMessage::Unload();
        releaseEngine(endDoc);
        return result;
    }
}

}  // namespace

int16_t PrintLabels(QWidget* frm, std::shared_ptr<odb::DataSet>& ds, const Variant& selection, bool selOnly,
                    const QString& table, int16_t skip, bool endDoc, frmLabelPreview*& preview,
                    int32_t qtyDefault, const QString& qtyField, bool askQty, const QString& promptField) {
    return printLabels(frm, ds, RowSelection(selection), selOnly, table, skip, endDoc, preview, qtyDefault,
                       qtyField, askQty, promptField);
}

int16_t PrintLabels(QWidget* frm, std::shared_ptr<odb::DataSet>& ds, const VariantList& gridBookmarks,
                    bool selOnly, const QString& table, int16_t skip, bool endDoc, frmLabelPreview*& preview,
                    int32_t qtyDefault, const QString& qtyField, bool askQty, const QString& promptField) {
    return printLabels(frm, ds, RowSelection(gridBookmarks), selOnly, table, skip, endDoc, preview,
                       qtyDefault, qtyField, askQty, promptField);
}

bool ShowLabelPreview(frmLabelPreview* window, std::shared_ptr<odb::DataSet>& ds, float height, float width,
                      float top, float left, int32_t columns, bool horizontal, const QString& script,
                      bool choose) {
    window->NewSurface();
    return showLabelPreview(Variant(ObjectRef(window->Surface())), window, ds, height, width, top, left,
                            columns, horizontal, script, choose);
}

bool ShowLabelPreview(const QString& printerName, std::shared_ptr<odb::DataSet>& ds, float height,
                      float width, float top, float left, int32_t columns, bool horizontal,
                      const QString& script, bool choose) {
    return showLabelPreview(Variant(printerName), nullptr, ds, height, width, top, left, columns, horizontal,
                            script, choose);
}
