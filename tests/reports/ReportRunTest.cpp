// The report run on the program's database: layout lookup over base tables and references, the picker
// and the printer chooser, modules, pages and copies on the preview and on paper, note lines, test mode,
// the script's errors and time limit, the printed-flag questions and a second run refused.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

#include "ReportRunFixture.h"
#include "odb/DataSet.h"
#include "odb/ui/RowChooser.h"
#include "platform/PrinterRegistry.h"
#include "platform/RecordingSurface.h"
#include "reports/frmCustomReportPreview.h"
#include "reports/modCustomReport.h"
#include "startup/frmMessage.h"
#include "support/ModalScript.h"

namespace {

const QString kTraceRow =
    QStringLiteral("Function PrintReportRow(dsRow, prn, nRow)\r\n  MsgBox \"R\" & nRow, 0, \"trace\"\r\n");
const QString kMaskTrue = QStringLiteral(
    "Function PrintReportMask(ds, prn, bTotal)\r\n  PrintReportMask = True\r\nEnd Function\r\n");

// A row function whose body follows the trace line (line 3 on), then a mask that goes on.
QString rowScript(const QString& body) {
    return kTraceRow + body + QStringLiteral("\r\n  PrintReportRow = True\r\nEnd Function\r\n") + kMaskTrue;
}

// The scripts of the cases that need their own, by name.
QString scriptNamed(const QString& name) {
    if (name == QLatin1String("rowDim8"))
        return rowScript(QStringLiteral(
            "  prn.TxtOut 0, 5, nRow\r\n' 4\r\n' 5\r\n' 6\r\n' 7\r\n' 8\r\n' 9\r\n' 10\r\n' 11\r\n"
            "  prn.RowDimCur = 8"));
    if (name == QLatin1String("resume"))
        return rowScript(QStringLiteral("  On Error Resume Next\r\n  prn.RowDimCur = 8"));
    if (name == QLatin1String("rowDim6.5")) return rowScript(QStringLiteral("  prn.RowDimCur = 6.5"));
    if (name == QLatin1String("notes")) return TraceScript(true);
    if (name == QLatin1String("noLineEnd")) return TraceScript(false).chopped(2);
    if (name == QLatin1String("line3")) return rowScript(QStringLiteral("  x = 1 / 0")).chopped(2);
    if (name == QLatin1String("noteComment"))
        return QStringLiteral("' PrintNoteRow(\r\n") + TraceScript(false);
    if (name == QLatin1String("dataComment"))
        return QStringLiteral("' PrintDataInit(\r\n") + TraceScript(false);
    if (name == QLatin1String("endless")) return rowScript(QStringLiteral("  Do\r\n  Loop"));
    if (name == QLatin1String("own"))
        return QStringLiteral(
                   "Function PrintReportRow(dsRow, prn, nRow)\r\n  MsgBox \"S\" & nRow, 0, \"trace\"\r\n"
                   "  PrintReportRow = True\r\nEnd Function\r\n") +
               kMaskTrue;
    return {};
}

// A layout from "key=value" words over the defaults ("h", "w", "top", "left", "cols", "rt", "rb", "dim",
// "table", "ref", "name", "group", "printer", "ask", "script").
ReportLayoutRow layoutOf(const QString& spec) {
    using L = ReportLayoutRow;
    static const QHash<QString, double L::*> numbers = {
        {"h", &L::height},   {"w", &L::width},       {"top", &L::top},    {"left", &L::left},
        {"rt", &L::rowsTop}, {"rb", &L::rowsBottom}, {"dim", &L::rowsDim}};
    static const QHash<QString, QString L::*> texts = {{"table", &L::table},
                                                       {"ref", &L::reference},
                                                       {"name", &L::name},
                                                       {"group", &L::group},
                                                       {"printer", &L::printer}};
    L l;
    for (const QString& word : spec.split(u' ', Qt::SkipEmptyParts)) {
        const QString k = word.section(u'=', 0, 0), v = word.section(u'=', 1).replace(u'_', u' ');
        if (numbers.contains(k)) l.*numbers[k] = v.toDouble();
        if (texts.contains(k)) l.*texts[k] = v;
        if (k == "cols") l.columns = v.toInt();
        if (k == "ask") l.askPrinter = true;
        if (k == "script") l.script = scriptNamed(v);
    }
    return l;
}

struct RunCase {
    const char* name;
    QStringList layouts;  // layoutOf specs
    // The call: "table=", "rows=" (Clienti: the first ones), "ref=" ("_" for blanks), "limit=", "print",
    // "copies=", "notes=" (lines "|"-separated, stored in the first row's Indirizzo), "sel=" (row numbers),
    // "group=", "timeout=" (ms), "printer=" (the chooser's answer "name:copies"), "then-print" (from the
    // preview, the whole report on PDF-A4).
    QString call;
    bool result;
    QString trace;
    QString pages;  // "di N" for each preview shown, "pdf N" for the PDF written
    QString shown = {};
};

TEST_F(ReportRunTest, RunsPlaceRowsModulesAndPagesAsTheLayoutSays) {
    auto recorder = std::make_shared<RecordingSurface>(QSizeF(210, 297), QStringLiteral("Registro"));
    PrinterRegistry::instance().add(recorder);
    const QString rowDimError = QStringLiteral(
        "msg16:Errore nel codice di stampa per il (1) record: \r\r[clsCustomReport], Err.: 32755\rLa nuova "
        "dimensione "
        "della riga corrente (%1) non può superare quella predefinita (%2)\r\rLinea VB: %3");
    const QString chooser =
        QStringLiteral("printer[Selezione stampante]:PDF-A4|PDF-A5|Registro|Stampa su PDF");
    const QString attrezzature = QStringLiteral("table=CommesseCliente ref=Attrezzature");
    const QString orders = QStringLiteral("table=CommesseCliente");
    const QString notes = QStringLiteral("rows=5 notes=A|B");
    // clang-format off
    const std::vector<RunCase> cases = {
        {"forty rows: 33 fill the band, the rest the next module; the empty third page is dropped",
         {""}, "", true, "R1-33 M0F R34-40 M1T", "di 2"},
        {"printed on the zero-margin A4 with a top margin: two pages, no blank third",
         {"top=5"}, "print", true, "R1-33 M0F R34-40 M1T", "pdf 2"},
        {"a module whose bottom touches the page's starts the next page",
         {"h=148.5 rt=10 rb=140 dim=10"}, "rows=20 print", true, "R1-13 M0F R14-20 M1T", "pdf 2"},
        {"three modules in two columns: the last page keeps its module though its second is empty",
         {"cols=2 h=140 w=100 top=5 rt=10 rb=130 dim=10"}, "rows=30", true, "R1-12 M0F R13-24 M1F R25-30 M2T", "di 2"},
        {"two copies sit side by side, each counting its modules from 0, previewed then printed alike",
         {"cols=2 h=140 w=100 top=5"}, "rows=5 copies=2 then-print", true, "R1-5 M0T R1-5 M0T R1-5 M0T R1-5 M0T",
         "di 1 pdf 1"},
        {"the chooser asks the printer and the copies",
         {"printer= h=140 top=5"}, "rows=5 print printer=PDF-A4:2", true, "R1-5 M0T R1-5 M0T", "pdf 1", chooser},
        {"a cancelled chooser prints nothing", {"ask"}, "rows=5 print", false, "", "", chooser},
        {"a current row higher than the band is refused, its line named",
         {"script=rowDim8"}, "rows=5", false, "R1", "di 1", rowDimError.arg("8", "6", "12")},
        {"a script going on after errors prints every row", {"script=resume"}, "rows=5", true, "R1-5", "di 1"},
        {"the heights read as the Italian write them",
         {"dim=5.5 script=rowDim6.5"}, "rows=5", false, "R1", "di 0", rowDimError.arg("6,5", "5,5", "3")},
        {"note lines follow the rows, numbered after them", {"script=notes"}, notes, true, "R1-5 N6:A N7:B M0T", "di 1"},
        {"without a note function the default one is appended to the last line, costing no rows",
         {"script=noLineEnd"}, notes, true, "R1-5 M0T", "di 1"},
        {"the appended function leaves the lines of the layout as they were", {"script=line3"}, notes, false, "R1",
         "di 0", "msg16:Errore nel codice di stampa per il (1) record: \r\rDivisione per zero\r\rLinea VB: 3"},
        {"a note function named only in a comment is not appended: the first note line fails",
         {"script=noteComment"}, notes, false, "R1-5", "di 1",
         "msg16:Errore nel codice di stampa (6) riga Note: \r\rProcedura non definita: 'PrintNoteRow'\r"},
        {"a data function named only in a comment is called, and fails before any row",
         {"table=MagazzinoPartCommerciale script=dataComment"}, "table=MagazzinoPartCommerciale", false, "", "di 0",
         "msg16:Errore nel codice di inizializzazione dati <Magazzino Particolari Commerciale>: \r\rProcedura non "
         "definita: 'PrintDataInit'\r"},
        {"a layout of the base table prints the derived table's rows",
         {"table=DettagliCommesse"}, "table=DettagliAttrezzature", true, "R1-6 M0T", "di 1"},
        {"none in the group asked", {"table=MagazzinoPartCommerciale group=A"},
         "table=MagazzinoPartCommerciale group=B", false, "", "",
         "msg64:Report non trovato/i\r\rConfigurare almeno un Report per i dati <Magazzino Particolari Commerciale>..."},
        {"of two layouts the picked one prints", {"", "name=Secondo script=own"}, "rows=3", true, "S1 S2 S3", "di 1"},
        {"each selected row gets its own report and copies through a reference", {attrezzature + " h=140 top=5"},
         orders + " ref=Attrezzature copies=2 sel=1,2,3", true,
         "R1-2 M0T R1-2 M0T R1-2 M0T R1-2 M0T R1-2 M0T R1-2 M0T", "di 6"},
        {"any reference: the chosen layout's reference decides", {orders + " ref=Attrezzature"},
         orders + " ref=*", true, "R1-2 M0T", "di 1"},
        {"all references: each listed one with rows", {orders + " ref=[_tutti_i_riferimenti_]"},
         orders + " ref=[_tutti_i_riferimenti_]", true, "R1-2 M0T", "di 1"},
        {"test mode: one module, marked, one copy, no closing mask",
         {"printer=Registro h=140 w=100 top=5 left=5 rt=20 rb=130 dim=10"}, "limit=-1 print copies=2", false,
         "R1-11 M0F", ""},
        {"the preview stops at 16 modules of note lines", {"rt=0 rb=6 script=notes"},
         "rows=1 notes=x|x|x|x|x|x|x|x|x|x|x|x|x|x|x|x|x|x|x|x", false,
         "R1 M0F N2:x M1F N3:x M2F N4:x M3F N5:x M4F N6:x M5F N7:x M6F N8:x M7F N9:x M8F N10:x M9F N11:x M10F "
         "N12:x M11F N13:x M12F N14:x M13F N15:x M14F N16:x M15F", "di 16",
         "msg0:Il numero massimo di pagine per l'anteprima è 16\r\rAnteprima di stampa interrotta..."},
        {"an endless row stops at the time limit with its heading", {"script=endless"}, "rows=5 timeout=300", false,
         "R1", "di 0",
         "msg16:Errore nel codice di stampa per il (1) record: \r\rTempo massimo di esecuzione dello script "
         "superato\r\rLinea VB: 3"},
        {"rows of no height are refused", {"dim=0"}, "", false, "", "",
         "msg16:Si e' verificato un errore durante la stampa:\r\r[clsCustomReport], Err.: 32755\rL'altezza delle "
         "righe di dettaglio (0) deve essere maggiore di zero"},
    };
    // clang-format on
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.name);
        resetRun();
        recorder->log.clear();
        trace->trace.clear();
        trace->progress.clear();
        trace->clear();
        std::vector<ReportLayoutRow> layouts;
        for (const QString& spec : c.layouts)
            layouts.push_back(layoutOf(spec));
        storeReports(layouts);
        QHash<QString, QString> call;
        for (const QString& word : c.call.split(u' ', Qt::SkipEmptyParts))
            call.insert(word.section(u'=', 0, 0), word.section(u'=', 1).replace(u'_', u' '));
        SetReportScriptTimeout(call.value(QStringLiteral("timeout")).toInt());
        if (call.contains(QStringLiteral("printer")))
            trace->answerPrinter(call[QStringLiteral("printer")].section(u':', 0, 0),
                                 call[QStringLiteral("printer")].section(u':', 1).toInt());
        QStringList pages;
        ScopedModalScript modal([&](QDialog& d) {
            if (auto* w = qobject_cast<frmCustomReportPreview*>(&d)) {
                pages << w->findChild<QLabel*>(QStringLiteral("lblTotPage"))->text();
                if (call.contains(QStringLiteral("then-print"))) {
                    trace->answerPrinter(QStringLiteral("PDF-A4"));
                    w->chkPrintImage_Click();
                    trace->clear();
                }
            } else if (auto* chooser = qobject_cast<odb::RowChooser*>(&d)) {
                EXPECT_TRUE(chooser->typeAhead(QStringLiteral("Secondo")));
                chooser->cmdOK()->click();
            }
        });
        const QString tableName = call.value(QStringLiteral("table"), QStringLiteral("Clienti"));
        std::shared_ptr<odb::DataSet> ds =
            tableName == QLatin1String("Clienti")
                ? customers(1, call.value(QStringLiteral("rows"), "40").toInt())
                : table(tableName);
        const QString noteField =
            call.contains(QStringLiteral("notes")) ? QStringLiteral("Indirizzo") : QString();
        if (!noteField.isEmpty()) {
            ASSERT_TRUE(ds->SetColValue(noteField,
                                        call[QStringLiteral("notes")].replace(u'|', QStringLiteral("\r\n"))));
            ASSERT_TRUE(ds->SaveRow());
        }
        std::vector<Variant> marks;
        for (const QString& n : call.value(QStringLiteral("sel")).split(u',', Qt::SkipEmptyParts)) {
            ds->MoveToPosition(n.toInt() - 1);
            marks.push_back(ds->Bookmark());
        }
        ds->RowFirst();
        const Variant selection =
            marks.empty() ? Variant::missing() : Variant(ObjectRef(std::make_shared<BookmarkList>(marks)));
        const bool result = PrintCustomReports(&owner, ds, nullptr, call.value(QStringLiteral("ref")), {},
                                               call.value(QStringLiteral("limit")).toInt(),
                                               !call.contains(QStringLiteral("print")),
                                               int16_t(call.value(QStringLiteral("copies"), "1").toInt()),
                                               noteField, selection, call.value(QStringLiteral("group")));
        if (!pdfPages().empty()) pages << QStringLiteral("pdf %1").arg(pdfPages().size());
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.trace.toStdString(), traceSummary().toStdString());
        EXPECT_EQ(c.pages.toStdString(), pages.join(u' ').toStdString());
        EXPECT_EQ(c.shown.toStdString(), shownSummary().toStdString());
        EXPECT_FALSE(frmMessage::isLoaded() && frmMessage::instance().isVisible());
        EXPECT_TRUE(owner.isEnabled());
        if (marks.size() == 3) {
            EXPECT_TRUE(
                trace->progress.contains(QStringLiteral("Elaborazione in corso...  (2/3)  -  Copia 1/2")))
                << trace->progress.join(u'|').toStdString();
        }
        if (call.contains(QStringLiteral("limit"))) {
            // The module outlined in red, its band in green, when it was left.
            EXPECT_EQ((QStringList{QStringLiteral("box 5.5 6 104.5 144.5 255 fs=1 fc=0"),
                                   QStringLiteral("box 5.5 25.5 104.5 134.5 65280 fs=1 fc=0")}),
                      recorder->log.filter(QRegularExpression(" (255|65280) fs=")));
        }
    }
}

// A layout written from the editor's templates, run over a job order's tooling details on the recording
// printer: rows sorted by the data function, totals kept in the engine's variables, the last row's line,
// the mask with its shadowed box, a note line taking no row.
TEST_F(ReportRunTest, TheEditorsTemplatesDrawRowsTotalsAndMask) {
    auto recorder = std::make_shared<RecordingSurface>(QSizeF(210, 297), QStringLiteral("Registro"));
    PrinterRegistry::instance().add(recorder);
    ReportLayoutRow l =
        layoutOf(QStringLiteral("table=CommesseCliente ref=Attrezzature printer=Registro rb=58"));
    l.script = QStringLiteral(
        "Function PrintDataInit(dsRow, prn)\r\n"
        "  dsRow.SortOrder = \"Quantità DESC\"\r\n"
        "  PrintDataInit = True\r\n"
        "End Function\r\n"
        "Function PrintReportRow(dsRow, prn, nRow)\r\n"
        "  prn.TxtOut 0, 5, nRow & \". \" & dsRow.ColValue(\"Quantità\")\r\n"
        "  prn.Nums(\"Totale\") = prn.Nums(\"Totale\") + dsRow.ColValue(\"Quantità\")\r\n"
        "  If prn.LastRow Then\r\n"
        "    prn.RowPrinting = False\r\n"
        "    prn.LineOut prn.RowY(True) + 6, 5, prn.RowY(True) + 6, 190\r\n"
        "    prn.RowPrinting = True\r\n"
        "  End If\r\n"
        "  PrintReportRow = True\r\n"
        "End Function\r\n"
        "Function PrintReportMask(ds, prn, bTotal)\r\n"
        "  prn.TxtOut 10, 5, ds.ColValue(\"Note\")\r\n"
        "  prn.BoxOut 35, 5, 30, 185, , True\r\n"
        "  If bTotal Then prn.TxtOutR 250, 190, \"Totale: \" & FormatNumber(prn.Nums(\"Totale\"), 2)\r\n"
        "  prn.TxtOutR 280, 190, \"Pagina \" & (prn.ReportModuleCount + 1)\r\n"
        "  PrintReportMask = True\r\n"
        "End Function");
    storeReports({l});
    auto ds = table(QStringLiteral("CommesseCliente"));
    EXPECT_TRUE(PrintCustomReports(&owner, ds, nullptr, QStringLiteral("Attrezzature"), {}, 0, false, 1,
                                   QStringLiteral("Note")));
    const QStringList expected = {
        QStringLiteral("print 5 40 1. 12"),
        QStringLiteral("print 5 46 2. 11"),
        QStringLiteral("box 5 52 190 52 0 fs=1 fc=0"),
        QStringLiteral("print 5 10 Ordine 1"),
        QStringLiteral("box 5 35 190 35 0 fs=1 fc=0"),
        QStringLiteral("box 5 65 190 65 0 fs=1 fc=0"),
        QStringLiteral("box 5 35 5 65 0 fs=1 fc=0"),
        QStringLiteral("box 190 35 190 65 0 fs=1 fc=0"),
        QStringLiteral("box 6.06458 65.2646 191.065 66.0646 12632256 fs=0 fc=12632256"),
        QStringLiteral("box 190.265 36.0646 191.065 66.0646 12632256 fs=0 fc=12632256"),
        QStringLiteral("print 164 250 Totale: 23,00"),
        QStringLiteral("print 174 280 Pagina 1"),
    };
    EXPECT_EQ(expected.join(u'\n').toStdString(),
              recorder->log.filter(QRegularExpression("^(print|box) ")).join(u'\n').toStdString());
    EXPECT_EQ(QString(), shownSummary());
}

TEST_F(ReportRunTest, APrintedFieldIsConfirmedAfterPrintingAndAskedBeforeTheNextRun) {
    storeReports({layoutOf(QStringLiteral("table=CommesseCliente ref=Attrezzature"))});
    auto ds = table(QStringLiteral("CommesseCliente"));
    ScopedModalScript modal([&](QDialog& d) {
        trace->answerPrinter(QStringLiteral("PDF-A4"));
        static_cast<frmCustomReportPreview&>(d).chkPrintImage_Click();
    });
    trace->answer(MsgResult::Yes);
    EXPECT_TRUE(PrintCustomReports(&owner, ds, nullptr, QStringLiteral("Attrezzature"), {}, 0, true, 1, {},
                                   Variant::missing(), {}, QStringLiteral("Urgente")));
    EXPECT_EQ(1u, pdfPages().size());
    EXPECT_EQ(
        "printer[Selezione Stampante]:PDF-A4|PDF-A5|Stampa su PDF / msg32:STAMPATO CORRETTAMENTE ?\r\rNOTA: "
        "confermare "
        "solo se si considera completata la fase di stampa.",
        shownSummary().toStdString());
    EXPECT_TRUE(table(QStringLiteral("CommesseCliente"))->ColValueBool(QStringLiteral("Urgente")));
    // The next run asks first; No, the default, ends it.
    trace->clear();
    ds = table(QStringLiteral("CommesseCliente"));
    EXPECT_FALSE(PrintCustomReports(&owner, ds, nullptr, QStringLiteral("Attrezzature"), {}, 0, true, 1, {},
                                    Variant::missing(), {}, QStringLiteral("Urgente")));
    ASSERT_EQ(1u, trace->shown().size());
    EXPECT_EQ(QStringLiteral("LA STAMPA RISULTA GIA' COMPLETATA...\r\rCONTINUARE ?"), trace->last().text);
    EXPECT_EQ(MsgBoxStyle::vbQuestion, trace->last().icon());
    EXPECT_EQ(2, trace->last().defaultButton());
}

TEST_F(ReportRunTest, ARunUnderWayRefusesAnotherWithABeep) {
    storeReports({{}});
    auto ds = customers(1, 3);
    int nested = -1;
    trace->onTrace = [&](const QString& text) {
        if (text != QLatin1String("R2")) return;
        auto other = customers(1, 1);
        nested = PrintCustomReports(&owner, other, nullptr, {}, {}, 0, true, 1, {});
    };
    ScopedModalScript modal;
    EXPECT_TRUE(PrintCustomReports(&owner, ds, nullptr, {}, {}, 0, true, 1, {}));
    EXPECT_EQ(0, nested);
    EXPECT_EQ("beep", shownSummary().toStdString());
    EXPECT_TRUE(HasCustomReport(*ds));
    EXPECT_FALSE(HasCustomReport(*ds, QStringLiteral("Gruppo")));
    EXPECT_FALSE(HasCustomReport(*table(QStringLiteral("Operai"))));
}

}  // namespace
