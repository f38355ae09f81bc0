// The label print run on the program's database and a real PDF printer: layout lookup, printer choice,
// skipping, copies, selections, script errors, two runs on one sheet, and what every way out leaves in
// the PDF.
#include <gtest/gtest.h>

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "LabelRunFixture.h"
#include "base/AppError.h"
#include "labels/clsLabelPrint.h"
#include "labels/frmLabelPreview.h"
#include "labels/modLabelPrint.h"
#include "odb/DataSet.h"
#include "odb/Table.h"
#include "odb/ui/ModalDialog.h"
#include "odb/ui/RowWindow.h"
#include "platform/Clock.h"
#include "platform/PainterSurface.h"
#include "platform/PrinterRegistry.h"
#include "platform/modOSWinUtil.h"
#include "startup/frmMessage.h"

namespace {

using Kind = RecordingPrompt::Kind;

const QString kQuestion = QStringLiteral(
    "POSIZIONARE LA CARTA PER LA STAMPA...\r\rPer saltare alcune etichette già stampate impostare la "
    "quantità "
    "di quelle già stampate, altrimenti confermare <0>");

QString script(const QString& body) {
    return QStringLiteral("Dim n\r\nFunction PrintLabel(ds, prn)\r\n") + body +
           QStringLiteral("\r\nEnd Function\r\n");
}

// One PrintLabels call: customers `from`..`from + rows - 1`, all of them or a selection of them.
struct Call {
    int from = 1;
    int rows = 2;
    int16_t skip = 0;
    bool endDoc = true;
    std::vector<int> selection = {};  // customer numbers, in the order selected
    bool gridSelection = true;
    QString table = {};
    QString qtyField = {};
};

struct RunCase {
    const char* name;
    LayoutRow layout;
    std::vector<Call> calls;
    QStringList answers = {};   // skip answers; "<cancel>" cancels
    QStringList printers = {};  // chooser answers; "<cancel>" cancels
    // Expected
    std::vector<int16_t> results;
    QStringList pages;  // per page: its squares, then " | " and its text when it has any
    QString
        shown;  // what the prompt showed, one item each: "input:text", "msg<icon>:text", "printer", "beep"
};

QString shownSummary(const RecordingPrompt& prompt) {
    QStringList out;
    for (const auto& s : prompt.shown()) {
        switch (s.kind) {
            case Kind::InputBox:
                out << QStringLiteral("input[%1]:%2")
                           .arg(s.title, s.text == kQuestion ? QStringLiteral("skip?") : s.text);
                break;
            case Kind::MsgBox:
                out << QStringLiteral("msg%1:%2").arg(s.icon()).arg(s.text);
                break;
            case Kind::Printer:
                out << QStringLiteral("printer[%1]:%2").arg(s.title, s.text);
                break;
            case Kind::Beep:
                out << QStringLiteral("beep");
                break;
            default:
                out << QStringLiteral("other");
        }
    }
    return out.join(QStringLiteral(" / "));
}

QStringList pagesSummary(const std::vector<PdfPage>& pages) {
    QStringList out;
    for (const PdfPage& p : pages)
        out << p.squares.join(u' ') + (p.text.isEmpty() ? QString() : QStringLiteral(" | ") + p.text);
    return out;
}

LayoutRow layout(std::function<void(LayoutRow&)> change) {
    LayoutRow l;
    change(l);
    return l;
}

TEST_F(LabelRunTest, RunsLeaveTheirLabelsWhereTheSheetSays) {
    Clock::setFixed(QDateTime(QDate(2031, 7, 4), QTime(10, 0)));
    const QString counter = script(
        QStringLiteral("  n = n + 1 : prn.TxtOut 2, 20, prn.CopyCount & \"/\" & n\r\n  PrintLabel = True"));
    const std::vector<RunCase> cases = {
        {"a skip answer of 3 starts at the fourth position, on a new page after it",
         {},
         {{.skip = -1}},
         {"3"},
         {},
         {1},
         {"105,145", "5,5"},
         "input[Conferma Stampa Etichette]:skip? / beep"},
        {"an answer above 9999 is refused",
         {},
         {{.skip = -1}},
         {"10000"},
         {},
         {0},
         {},
         "input[Conferma Stampa Etichette]:skip? / beep / beep"},
        {"a text is refused",
         {},
         {{.skip = -1}},
         {"abc"},
         {},
         {0},
         {},
         "input[Conferma Stampa Etichette]:skip? / beep / beep"},
        {"a cancelled question is refused",
         {},
         {{.skip = -1}},
         {"<cancel>"},
         {},
         {0},
         {},
         "input[Conferma Stampa Etichette]:skip? / beep / beep"},
        {"continuous labels ask nothing",
         layout([](LayoutRow& l) { l.columns = 1, l.height = 0; }),
         {{.rows = 1, .skip = -1}},
         {},
         {},
         {0},
         {"5,5"},
         "beep"},
        {"two runs fill one sheet in one document",
         {},
         {{.from = 1, .rows = 3, .skip = 0, .endDoc = false}, {.from = 4, .rows = 2, .skip = 3}},
         {},
         {},
         {3, 1},
         {"5,5 105,5 5,145 105,145", "5,5"},
         "beep"},
        {"a cancelled choice in the second run still prints the first",
         layout([](LayoutRow& l) { l.askPrinter = true; }),
         {{.from = 1, .rows = 3, .skip = 0, .endDoc = false}, {.from = 4, .rows = 2, .skip = 3}},
         {},
         {"PDF-A4", "<cancel>"},
         {3, 0},
         {"5,5 105,5 5,145"},
         "printer[Selezione stampante]:PDF-A4|PDF-A5|Stampa su PDF / printer[Selezione "
         "stampante]:PDF-A4|PDF-A5|Stampa su PDF"},
        {"a second run on another printer first brings out the document left open on the first",
         layout([](LayoutRow& l) { l.askPrinter = true; }),
         {{.from = 1, .rows = 3, .skip = 0, .endDoc = false}, {.from = 4, .rows = 2, .skip = 3}},
         {},
         {"PDF-A4", "PDF-A5"},
         {3, 1},
         {"5,5 105,5 5,145"},
         "printer[Selezione stampante]:PDF-A4|PDF-A5|Stampa su PDF / printer[Selezione "
         "stampante]:PDF-A4|PDF-A5|Stampa su PDF / beep"},
        {"a row touching the page bottom ends the page, with no blank page after",
         layout([](LayoutRow& l) { l.columns = 1, l.height = 148.5, l.top = 0; }),
         {{.skip = 0}},
         {},
         {},
         {0},
         {"5,0", "5,0"},
         "beep"},
        {"copies print in a row, the record positioned once, the script counting across the run",
         layout([&](LayoutRow& l) { l.columns = 1, l.height = 20, l.copies = 3, l.script = counter; }),
         {{.skip = 0}},
         {},
         {},
         {6},
         {" | 1/1 2/2 3/3 1/4 2/5 3/6"},
         "beep"},
        {"no copies print once",
         layout([&](LayoutRow& l) { l.columns = 1, l.height = 20, l.copies = 0, l.script = counter; }),
         {{.skip = 0}},
         {},
         {},
         {2},
         {" | 1/1 1/2"},
         "beep"},
        {"a script without result prints one label and stops silently",
         layout([](LayoutRow& l) { l.script = script(QStringLiteral("  prn.BoxOut 0, 0, 10, 10, True")); }),
         {{.rows = 3}},
         {},
         {},
         {0},
         {"5,5"},
         "beep"},
        {"a grid selection prints its rows in its order",
         layout([](LayoutRow& l) {
             l.columns = 1, l.height = 20,
             l.script =
                 script(QStringLiteral("  prn.TxtOut 2, 20, ds.ColValue(\"Codice\") : PrintLabel = True"));
         }),
         {{.rows = 5, .selection = {3, 1, 2}}},
         {},
         {},
         {3},
         {" | C003 C001 C002"},
         "beep"},
        {"another collection counts from 1",
         layout([](LayoutRow& l) {
             l.columns = 1, l.height = 20,
             l.script =
                 script(QStringLiteral("  prn.TxtOut 2, 20, ds.ColValue(\"Codice\") : PrintLabel = True"));
         }),
         {{.rows = 5, .selection = {5, 2}, .gridSelection = false}},
         {},
         {},
         {2},
         {" | C005 C002"},
         "beep"},
        {"a syntax error names its line and prints nothing",
         layout([](LayoutRow& l) {
             l.script = QStringLiteral(
                 "' riga 1\r\n' riga 2\r\nFunction PrintLabel(ds, prn)\r\n  Dim x\r\n"
                 "  x = (1 +\r\n  PrintLabel = True\r\nEnd Function\r\n");
         }),
         {{}},
         {},
         {},
         {0},
         {},
         "msg16:Errore di inizializzazione del codice di stampa: \r\rPrevista espressione\r\rLinea VB: 5"},
        {"a script without PrintLabel says so, with no line",
         layout(
             [](LayoutRow& l) { l.script = QStringLiteral("Function Altro(ds, prn)\r\nEnd Function\r\n"); }),
         {{}},
         {},
         {},
         {0},
         {},
         "msg16:Errore nel codice di stampa etichetta: \r\rProcedura non definita: 'PrintLabel'\r / beep"},
        {"a script that hands back something else than an engine fails the call, with no line",
         layout([](LayoutRow& l) {
             l.script = script(QStringLiteral("  Set prn = Nothing : PrintLabel = True"));
         }),
         {{}},
         {},
         {},
         {0},
         {},
         "msg16:Errore nel codice di stampa etichetta: \r\rTipo non corrispondente\r / beep"},
        {"a table without layout is named by its caption",
         {},
         {{.table = QStringLiteral("MagazzinoPartCommerciale")}},
         {},
         {},
         {0},
         {},
         "msg64:Nessuna Stampa Etichette è stata configurata per questi dati (Magazzino Particolari "
         "Commerciale)"},
        {"the script reads the program's clock and asks through its prompt",
         layout([](LayoutRow& l) {
             l.columns = 1, l.height = 20,
             l.script = script(
                 QStringLiteral("  prn.TxtOut 2, 20, Year(Now) : MsgBox \"ciao\" : PrintLabel = False"));
         }),
         {{}},
         {},
         {},
         {0},
         {" | 2031"},
         "msg0:ciao / beep"},
        {"an error in a second run still brings out the first run's labels",
         {},
         {{.from = 1, .rows = 3, .skip = 0, .endDoc = false},
          {.from = 4, .rows = 2, .skip = 3, .qtyField = "Manca"}},
         {},
         {},
         {3, 0},
         {"5,5 105,5 5,145"},
         "msg0:Campo sconosciuto: Clienti.Manca"},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.name);
        resetRun();
        storeLayout(c.layout);
        for (const QString& a : c.answers)
            prompt->answerText(a, a != QLatin1String("<cancel>"));
        for (const QString& p : c.printers)
            if (p != QLatin1String("<cancel>")) prompt->answerPrinter(p);
        std::vector<int16_t> results;
        for (const Call& call : c.calls) {
            auto ds = customers(call.from, call.rows);
            std::vector<Variant> marks;
            for (int n : call.selection) {
                EXPECT_TRUE(ds->FindRow(QStringLiteral("Codice = 'C%1'").arg(n, 3, 10, QLatin1Char('0'))));
                marks.push_back(ds->Bookmark());
            }
            ds->RowFirst();
            frmLabelPreview* preview = nullptr;
            const bool selOnly = !call.selection.empty();
            if (call.gridSelection && selOnly)
                results.push_back(PrintLabels(&owner, ds, VariantList(marks), true, call.table, call.skip,
                                              call.endDoc, preview, 1, call.qtyField));
            else
                results.push_back(PrintLabels(
                    &owner, ds,
                    selOnly ? Variant(ObjectRef(std::make_shared<BookmarkList>(marks))) : Variant::missing(),
                    selOnly, call.table, call.skip, call.endDoc, preview, 1, call.qtyField));
        }
        EXPECT_EQ(c.results, results);
        EXPECT_EQ(c.pages.join(u'\n').toStdString(), pagesSummary(pdfPages()).join(u'\n').toStdString());
        EXPECT_EQ(c.shown.toStdString(), shownSummary(*prompt).toStdString());
        EXPECT_FALSE(frmMessage::isLoaded());
        EXPECT_TRUE(owner.isEnabled());
    }
    Clock::reset();
}

TEST_F(LabelRunTest, ThePreviewDrawsOneRowFromAFreshScriptPerLabel) {
    // Only a script loaded afresh for each label draws its square: its counter is 1 every time.
    LayoutRow l;
    l.columns = 4, l.height = 30, l.width = 40, l.top = 2, l.left = 3;
    l.script =
        script(QStringLiteral("  n = n + 1 : If n = 1 Then prn.BoxOut 5, 5, 10, 10, True\r\n"
                              "  PrintLabel = True"));
    storeLayout(l);
    EXPECT_TRUE(HasLabelSetting(QStringLiteral("Clienti")));
    EXPECT_FALSE(HasLabelSetting(QStringLiteral("Operai")));
    auto ds = customers(2, 2);
    int shown = 0;
    QImage page;
    auto previous = odb::SetModalRunner([&](QDialog& d) {
        ++shown;
        EXPECT_EQ(QStringLiteral("Anteprima"), d.windowTitle());
        page = static_cast<frmLabelPreview&>(d).Surface()->image();
        return int(QDialog::Rejected);
    });
    frmLabelPreview window;
    frmLabelPreview* preview = &window;
    EXPECT_EQ(0, PrintLabels(&owner, ds, Variant::missing(), true, {}, -1, true, preview));
    odb::SetModalRunner(previous);
    EXPECT_EQ(1, shown);
    EXPECT_EQ(&window, preview);
    ASSERT_FALSE(page.isNull());
    // The page is the row with its margins plus a spare millimetre: 4 x 40 + 3 + 1 wide.
    const double px = page.width() / 164.0;
    auto at = [&](double x, double y) { return page.pixelColor(qRound(x * px), qRound(y * px)); };
    for (int k = 0; k < 4; ++k) {
        const double x = 3 + 40 * k;
        EXPECT_EQ(QColor(Qt::black), at(x + 10, 12)) << k;  // the square of label k
        EXPECT_EQ(QColor(Qt::red), at(x + 20, 2)) << k;     // its red outline, top side
        EXPECT_EQ(QColor(Qt::white), at(x + 20, 20)) << k;  // nothing else
    }
    EXPECT_EQ(QString(), shownSummary(*prompt));
}

TEST_F(LabelRunTest, ATestPrintOfThePickedRowGoesToThePrinterNamed) {
    const QString code =
        script(QStringLiteral("  prn.TxtOut 2, 2, ds.ColValue(\"Codice\") : PrintLabel = True"));
    auto ds = customers(1, 5);
    QString title;
    auto previous = odb::SetModalRunner([&](QDialog& d) {
        auto* rows = qobject_cast<odb::RowWindow*>(&d);
        if (!rows) return int(QDialog::Rejected);
        title = rows->windowTitle();
        rows->grid()->selectRow(3);
        rows->buttons()->button(QDialogButtonBox::Ok)->click();
        return d.result();
    });
    EXPECT_TRUE(ShowLabelPreview(QStringLiteral("PDF-A4"), ds, 20, 60, 0, 0, 3, false, code, true));
    odb::SetModalRunner(previous);
    EXPECT_EQ(QStringLiteral("Clienti"), title);
    EXPECT_EQ((QStringList{QStringLiteral(" | C004 C004 C004")}), pagesSummary(pdfPages()));
    EXPECT_EQ(QStringLiteral("C004"), ds->ColText(QStringLiteral("Codice")));
    // Nothing picked: nothing printed.
    QFile::remove(pdfPath());
    previous = odb::SetModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    EXPECT_FALSE(ShowLabelPreview(QStringLiteral("PDF-A4"), ds, 20, 60, 0, 0, 3, false, code, true));
    odb::SetModalRunner(previous);
    EXPECT_TRUE(pdfPages().empty());
}

TEST_F(LabelRunTest, WithoutAWindowOrAPrinterTheChoiceIsExplained) {
    LayoutRow l;
    l.printer.clear();
    storeLayout(l);
    frmLabelPreview* none = nullptr;
    // No window of the program shown: the run goes on with the current printer.
    owner.hide();
    auto ds = customers(1, 1);
    EXPECT_EQ(1, PrintLabels(&owner, ds, Variant::missing(), false, {}, 0, true, none));
    EXPECT_EQ("msg0:Impossibile attivare la selezione della stampante senza un Form attivo / beep",
              shownSummary(*prompt).toStdString());
    EXPECT_EQ(QStringList{QStringLiteral("5,5")}, pagesSummary(pdfPages()));
    // No printer to choose from: said, and the engine then says there is no printer at all.
    resetRun();
    owner.show();
    PrinterRegistry::instance().reset(false, false);
    EXPECT_EQ(0, PrintLabels(&owner, ds, Variant::missing(), false, {}, 0, true, none));
    EXPECT_EQ(
        "msg0:Impossibile attivare la selezione della stampante senza un Control di tipo CommonDialog nel "
        "Form attivo / msg0:[clsLabelPrint], Err.: 32755\rNessuna stampante configurata.",
        shownSummary(*prompt).toStdString());
}

// The printer chosen for a run is the program's from then on, as a choice made the default printer
// is: the current printer, and the one the default printer names.
TEST_F(LabelRunTest, ThePrinterChosenForARunBecomesTheProgramsPrinter) {
    LayoutRow l;
    l.askPrinter = true;
    storeLayout(l);
    frmLabelPreview* none = nullptr;
    auto ds = customers(1, 1);
    prompt->answerPrinter(QStringLiteral("PDF-A5"));
    EXPECT_EQ(1, PrintLabels(&owner, ds, Variant::missing(), false, {}, 0, true, none));
    EXPECT_EQ(QStringLiteral("PDF-A5"), GetDefaultPrinterName());
    EXPECT_EQ(QStringLiteral("PDF-A5"), PrinterRegistry::instance().current()->deviceName());
    EXPECT_EQ(1u, pdfPages(path(QStringLiteral("a5.pdf"))).size());
}

TEST_F(LabelRunTest, ARunUnderWayRefusesAnotherAndStopsWhenAsked) {
    LayoutRow l;
    l.columns = 1, l.height = 20;
    storeLayout(l);
    auto ds = customers(1, 5);
    int16_t nested = -1;
    // When the waiting window first lets events through while counting, another run is asked for and
    // the user stops this one.
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
        if (!frmMessage::isLoaded() || !frmMessage::instance().progressVisible()) return;
        timer.stop();
        auto other = customers(1, 1);
        frmLabelPreview* none = nullptr;
        nested = PrintLabels(&owner, other, Variant::missing(), false, {}, 0, true, none);
        prompt->answer(MsgResult::Yes);
        frmMessage::instance().cmdStop_Click();
    });
    timer.start(0);
    frmLabelPreview* none = nullptr;
    EXPECT_EQ(0, PrintLabels(&owner, ds, Variant::missing(), false, {}, 0, true, none, 5));
    EXPECT_EQ(0, nested);
    EXPECT_TRUE(pdfPages().empty());
    EXPECT_EQ("beep / msg32:Confermi l'interruzione ? / beep", shownSummary(*prompt).toStdString());
}

TEST_F(LabelRunTest, QuantitiesAreAskedPerRowAndCopy) {
    LayoutRow l;
    l.columns = 1, l.height = 20;
    l.script = script(QStringLiteral("  prn.TxtOut 2, 20, ds.ColValue(\"Codice\") : PrintLabel = True"));
    storeLayout(l);
    auto ds = customers(1, 3);
    prompt->answerText(QStringLiteral("2"));
    prompt->answerText(QStringLiteral("0"));
    prompt->answerText(QStringLiteral("tre"));
    prompt->answer(MsgResult::Yes);
    frmLabelPreview* none = nullptr;
    EXPECT_EQ(2, PrintLabels(&owner, ds, Variant::missing(), false, {}, 0, true, none, 1, {}, true,
                             QStringLiteral("Descrizione")));
    EXPECT_EQ(QStringList{QStringLiteral(" | C001 C001")}, pagesSummary(pdfPages()));
    EXPECT_EQ(
        "input[]:Imposta il numero di etichette:\r\rCliente 1 / input[]:Imposta il numero di "
        "etichette:\r\rCliente 2 / input[]:Imposta il numero di etichette:\r\rCliente 3 / msg32:Vuoi "
        "interrompere la stampa ? / beep",
        shownSummary(*prompt).toStdString());
}

}  // namespace
