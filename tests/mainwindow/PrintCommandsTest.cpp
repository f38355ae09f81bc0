// The prints of the main window through the real label and report runs: the dispatch (reports, else
// labels, else the browser), the report groups of the job-order detail views, the job-order list and
// sheet on a PDF printer and a recording one, the worker sheets of a period and the monthly accesses
// with their checks, and the layout windows' edits saved when the repair lets the database go.
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <poppler/qt6/poppler-qt6.h>

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "base/DateUtil.h"
#include "labels/frmLabelPrintSetting.h"
#include "mainwindow/frmSetOrderNumber.h"
#include "model/GetDBTable.h"
#include "odb/DataSet.h"
#include "odb/Table.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/RowChooser.h"
#include "platform/Clock.h"
#include "platform/PrinterRegistry.h"
#include "platform/ProgramFolder.h"
#include "platform/RecordingSurface.h"
#include "platform/ScriptBox.h"
#include "reports/frmCustomReportSetting.h"
#include "startup/SharedState.h"
#include "startup/frmDateSetting.h"
#include "startup/frmFromDateToDate.h"
#include "startup/frmOptions.h"
#include "support/RecordingShell.h"

namespace {

using namespace MsgBoxStyle;

constexpr int kCustomerOrdersNode = 2;
constexpr int kAccessesNode = 16;
constexpr int kDetailCostsNode = 21;
constexpr int kDetailWithStepsNode = 22;
constexpr int kCustomersNode = 35;
constexpr int kDetailsNode = 48;

const QString kBrowserQuestion = QStringLiteral(
    "Non ci sono Report personalizzati per questi dati\r\rVisualizzare/Stampare da Internet Browser ?\r\r");

// A label's text and where it stands: page, then position on the page (from 1, columns first).
struct PdfLabel {
    int page, position;
    QString text;
};

class PrintCommandsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        PrinterRegistry::instance().reset(false);
        PrinterRegistry::instance().addPdfPrinter("PDF-Etichette", QPageSize(QPageSize::A4), QMarginsF(),
                                                  path("etichette.pdf"));
        PrinterRegistry::instance().add(recorder);
        Clock::setFixed(QDateTime(QDate(2024, 3, 20), QTime(10, 0)));
    }
    void TearDown() override {
        Clock::reset();
        MainWindowTest::TearDown();
        PrinterRegistry::instance().reset(true);
    }

    // A label layout of 70 x 140 mm labels in three columns: two rows on an A4 page. Each label
    // writes the detail number of its row.
    void labelLayout(const QString& table, const QString& printer = "PDF-Etichette") {
        ASSERT_TRUE(GetDBTable("TabStampaEtichette")
                        .OpenData()
                        ->AddRow({"NomeTabellaOrigine",
                                  table,
                                  "NomeStampante",
                                  printer,
                                  "NumeroColonne",
                                  3,
                                  "AltezzaEtichetta",
                                  140,
                                  "LarghezzaEtichetta",
                                  70,
                                  "MargineSuperiore",
                                  0,
                                  "MargineSinistro",
                                  0,
                                  "AbilitaPosizionamento",
                                  false,
                                  "NumeroCopie",
                                  1,
                                  "IstruzioniStampa",
                                  "Function PrintLabel(ds, prn)\r\n  prn.TxtOut 5, 5, \"L:\" & "
                                  "ds.ColValue(\"NumeroCommessa\")\r\n  PrintLabel = True\r\nEnd Function"}));
    }
    // A report layout on the recording printer that writes its name once and each row's `field`.
    void report(const QString& table, const QString& name, const QString& group = {},
                const QString& field = "OID", const QString& printer = "Registro") {
        const QString script =
            "Function PrintDataInit(dsRow, prn)\r\n  PrintDataInit = True\r\nEnd Function\r\n"
            "Function PrintReportRow(dsRow, prn, nRow)\r\n  prn.TxtOut 0, 0, \"R:\" & "
            "dsRow.ColValue(\"" +
            field +
            "\")\r\n  PrintReportRow = True\r\nEnd Function\r\n"
            "Function PrintReportMask(ds, prn, bTotal)\r\n  If bTotal Then prn.TxtOut 5, 5, \"" +
            name + "\"\r\n  PrintReportMask = True\r\nEnd Function\r\n";
        ASSERT_TRUE(GetDBTable("TabProspettiStampa")
                        .OpenData()
                        ->AddRow({"NomeTabellaOrigine",
                                  table,
                                  "NomeReference",
                                  "",
                                  "NomeProspetto",
                                  name,
                                  "NomeGruppo",
                                  group,
                                  "NomeStampante",
                                  printer,
                                  "NumeroColonne",
                                  1,
                                  "AltezzaModulo",
                                  0,
                                  "LarghezzaModulo",
                                  0,
                                  "MargineSuperiore",
                                  0,
                                  "MargineSinistro",
                                  0,
                                  "MargineSuperioreRighe",
                                  40,
                                  "MargineInferioreRighe",
                                  240,
                                  "AltezzaRigheDettaglio",
                                  6,
                                  "IstruzioniStampa",
                                  script}));
    }
    // The texts the recording printer printed.
    QStringList printed() const {
        QStringList out;
        for (const QString& line : recorder->log)
            if (line.startsWith("print ")) out << line.section(' ', 3);
        return out;
    }
    // A customer job order with `tooling` tooling details and `machines` machine sales.
    void customerOrder(int tooling, int machines) {
        auto order = GetDBTable("CommesseCliente").OpenData();
        ASSERT_TRUE(order->AddRow({}));
        for (int i = 0; i < tooling; ++i)
            ASSERT_TRUE(order->GetReference("Attrezzature")->AddRow({"Quantità", i + 1}));
        for (int i = 0; i < machines; ++i)
            ASSERT_TRUE(order->GetReference("Macchine")->AddRow({"Quantità", 1}));
    }
    void addWorker(const QString& code, const QString& name) {
        ASSERT_TRUE(GetDBTable("Operai").OpenData()->AddRow({"Codice", code, "Nominativo", name}));
    }
    void access(const QString& code, int year, int month, int day) {
        ASSERT_TRUE(
            GetDBTable("Ingressi")
                .OpenData()
                ->AddRow({"Operaio", code, "Data", Variant::fromDate(MakeOleDate(year, month, day))}));
    }
    void nonWorking(int year, int month, int day) {
        const Variant d = Variant::fromDate(MakeOleDate(year, month, day));
        ASSERT_TRUE(GetDBTable("PeriodiNonLavorativi")
                        .OpenData()
                        ->AddRow({"DataInizioPeriodo", d, "DataFinePeriodo", d}));
    }
    static Step chooseDate(QDate date) {
        return [date](QDialog& d) {
            auto* dialog = qobject_cast<frmDateSetting*>(&d);
            ASSERT_TRUE(dialog) << "expected the date dialog";
            dialog->calTimeSetting()->setSelectedDate(date);
            dialog->cmdSetting()->click();
        };
    }
    static Step choosePeriod(const QString& from, const QString& to) {
        return [from, to](QDialog& d) {
            auto* dialog = qobject_cast<frmFromDateToDate*>(&d);
            ASSERT_TRUE(dialog) << "expected the period dialog";
            dialog->txtFromDate()->setText(from);
            dialog->txtToDate()->setText(to);
            dialog->cmdSet()->click();
        };
    }
    static Step orderNumbersConfirmed() {
        return [](QDialog& d) {
            auto* dialog = qobject_cast<frmSetOrderNumber*>(&d);
            ASSERT_TRUE(dialog) << "expected the order numbers";
            dialog->cmdOK()->click();
        };
    }
    // The texts of each document the recording printer ended; ending an ended document adds none.
    QStringList documents() const {
        QStringList out, current;
        for (const QString& line : recorder->log) {
            if (line.startsWith("print ")) current << line.section(' ', 3);
            if (line == "enddoc" && !current.isEmpty()) {
                out << current.join(' ');
                current.clear();
            }
        }
        return out;
    }
    // The labels of the PDF, in page and position order.
    std::vector<PdfLabel> pdfLabels() const {
        std::vector<PdfLabel> out;
        auto doc = Poppler::Document::load(path("etichette.pdf"));
        if (!doc) return out;
        for (int p = 0; p < doc->numPages(); ++p) {
            std::unique_ptr<Poppler::Page> page(doc->page(p));
            const QSizeF points = page->pageSizeF();
            for (const auto& box : page->textList()) {
                const QRectF r = box->boundingBox();
                const int column = static_cast<int>(r.left() / points.width() * 210 / 70);
                const int row = static_cast<int>(r.top() / points.height() * 297 / 140);
                out.push_back({p + 1, row * 3 + column + 1, box->text()});
            }
        }
        return out;
    }
    // Each page of a PDF as its size in millimetres and its text.
    QStringList pdfPages(const QString& file) const {
        QStringList out;
        auto doc = Poppler::Document::load(path(file));
        if (!doc) return out;
        for (int p = 0; p < doc->numPages(); ++p) {
            std::unique_ptr<Poppler::Page> page(doc->page(p));
            const QSizeF points = page->pageSizeF();
            out << QStringLiteral("%1x%2 %3")
                       .arg(qRound(points.width() * 25.4 / 72))
                       .arg(qRound(points.height() * 25.4 / 72))
                       .arg(page->text(QRectF()).simplified());
        }
        return out;
    }
    QStringList boxes() {
        QStringList out;
        for (const auto& s : prompt->shown())
            if (s.kind == RecordingPrompt::Kind::MsgBox) out << s.text;
        return out;
    }

    std::shared_ptr<RecordingSurface> recorder =
        std::make_shared<RecordingSurface>(QSizeF(210, 297), QStringLiteral("Registro"));
    ScopedRecordingShell shell;
};

TEST_F(PrintCommandsTest, AccessesWithNoLayoutAskTheOrderNumbersThenOfferTheBrowser) {
    start();
    addWorker("0012", "Rossi Mario");
    access("0012", 2024, 3, 4);
    click(kAccessesNode);
    expect([](QDialog& d) {
        auto* dialog = qobject_cast<frmSetOrderNumber*>(&d);
        ASSERT_TRUE(dialog) << "expected the order numbers first";
        EXPECT_EQ(dialog->windowTitle().toStdString(), "Impostazioni");
        dialog->cmdCancel()->click();
    });
    prompt->answer(MsgResult::Yes);  // leave without saving
    prompt->answer(MsgResult::Yes);  // the browser
    prompt->answer(MsgResult::No);   // the order of the fields as it is
    action("mnuPrint")->trigger();
    EXPECT_TRUE(dialogsShown.contains("frmSetOrderNumber"));
    ASSERT_EQ(boxes().size(), 3);
    EXPECT_EQ(boxes()[0].toStdString(), "Uscire ignorando le modifiche apportate?");
    EXPECT_EQ(boxes()[1], kBrowserQuestion);
    EXPECT_EQ(prompt->shown()[1].style, vbYesNo | vbQuestion | vbDefaultButton2);
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_TRUE(shell->calls[0].file.endsWith("TableData.htm")) << shell->calls[0].file.toStdString();
    EXPECT_TRUE(QFile::exists(shell->calls[0].file));

    // No, the default, ends silently; the order numbers come first whatever their answer.
    prompt->clear();
    shell->calls.clear();
    expect(orderNumbersConfirmed());
    action("mnuPreview")->trigger();
    EXPECT_EQ(boxes().join("|"), kBrowserQuestion);
    EXPECT_TRUE(shell->calls.empty());

    // Without a view the commands only beep.
    prompt->clear();
    window->ReleaseDatabase();
    action("mnuPrintExport")->trigger();
    EXPECT_EQ(prompt->beeps(), 1);
}

TEST_F(PrintCommandsTest, ReportsComeBeforeLabelsAndTheDetailViewsPickTheirGroup) {
    start();
    customerOrder(2, 0);
    labelLayout("DettagliCommesse", "Registro");
    report("DettagliCommesse", "Generale", "CostiGenerale", "NumeroCommessa");
    report("DettagliCommesse", "Particolare", "CostiParticolare", "NumeroCommessa");

    click(kDetailCostsNode);
    action("mnuPrint")->trigger();
    EXPECT_EQ(printed().join(" ").toStdString(), "R:1-0001/001 R:1-0001/002 Generale");

    recorder->log.clear();
    expect([](QDialog& d) {  // the detail asked by the view
        auto* chooser = qobject_cast<odb::RowChooser*>(&d);
        ASSERT_TRUE(chooser);
        chooser->cmdOK()->click();
    });
    click(kDetailWithStepsNode);
    action("mnuPrint")->trigger();
    EXPECT_EQ(printed().join(" ").toStdString(), "R:1-0001/001 Particolare");

    // The table's own section: every layout is offered, the one picked prints.
    recorder->log.clear();
    int offered = 0;
    expect([&offered](QDialog& d) {
        auto* chooser = qobject_cast<odb::RowChooser*>(&d);
        ASSERT_TRUE(chooser);
        offered = chooser->grid()->model()->rowCount();
        EXPECT_TRUE(chooser->typeAhead("Particolare"));
        chooser->cmdOK()->click();
    });
    click(kDetailsNode);
    action("mnuPrint")->trigger();
    EXPECT_EQ(offered, 2);
    EXPECT_EQ(printed().join(" ").toStdString(), "R:1-0001/001 R:1-0001/002 Particolare");
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(PrintCommandsTest, LabelsAloneShowTheCurrentRowOnThePreview) {
    start();
    customerOrder(2, 0);
    labelLayout("DettagliCommesse", "Registro");
    click(kDetailsNode);
    expect([](QDialog& d) { EXPECT_EQ(d.windowTitle(), "Anteprima"); });
    action("mnuPrintExport")->trigger();
    EXPECT_EQ(dialogsShown.last(), "frmLabelPreview");
    EXPECT_NE(window->LabelPreview(), nullptr);
    EXPECT_TRUE(printed().isEmpty());  // a preview, not a print
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(PrintCommandsTest, AJobOrderListIsOneDocumentItsSheetOnePerKindOfDetail) {
    start();
    customerOrder(4, 3);
    labelLayout("DettagliCommesse");
    click(kCustomerOrdersNode);
    action("mnuPrintLavrixDetail")->trigger();
    EXPECT_TRUE(boxes().isEmpty()) << boxes().join("|").toStdString();
    QStringList labels;
    for (const PdfLabel& l : pdfLabels())
        labels << QStringLiteral("%1.%2 %3").arg(l.page).arg(l.position).arg(l.text);
    EXPECT_EQ(labels.join(", ").toStdString(),
              "1.1 L:1-0001/001, 1.2 L:1-0001/002, 1.3 L:1-0001/003, 1.4 L:1-0001/004, 1.5 L:2-0001/001, "
              "1.6 L:2-0001/002, 2.1 L:2-0001/003");

    // The sheet: the layouts of each detail table, one document each.
    labelLayout("DettagliAttrezzature", "Registro");
    labelLayout("DettagliVenditaMacchinari", "Registro");
    action("mnuPrintLavrixSchedule")->trigger();
    EXPECT_EQ(documents().join(" | ").toStdString(),
              "L:1-0001/001 L:1-0001/002 L:1-0001/003 L:1-0001/004 | L:2-0001/001 L:2-0001/002 L:2-0001/003");

    // Neither command prints from a table that is no job order.
    click(kCustomersNode);
    ASSERT_TRUE(GetDBTable("Clienti").OpenData()->AddRow({"Descrizione", "Rossi Srl"}));
    window->mnuViewRefresh_Click();
    prompt->clear();
    action("mnuPrintLavrixDetail")->trigger();
    action("mnuPrintLavrixSchedule")->trigger();
    EXPECT_EQ(boxes().join("|").toStdString(),
              "Devi selezionare una commessa (Cliente,Produzione o Assistenza)|"
              "Devi selezionare una commessa (Cliente, Produzione o Assistenza)");
    EXPECT_EQ(prompt->last().style, vbOKOnly);
}

// The printer setup of a layout editor serves every print of the main window whose layout names a
// printer not here: the labels and the report go to the printer chosen, on the paper chosen.
TEST_F(PrintCommandsTest, ThePrinterSetupServesThePrintsWhoseLayoutNamesNoPrinterHere) {
    start();
    window->show();  // the file chooser of the PDF printer stands over it
    customerOrder(2, 0);
    labelLayout("DettagliCommesse", "Assente");
    report("DettagliCommesse", "Generale", "", "NumeroCommessa", "Assente");
    prompt->answerPrinterSetup("Stampa su PDF", QPageSize(QPageSize::A5), 2);
    action("mnuLavrixPrintSetting")->trigger();
    frmLabelPrintSetting* editor = frmLabelPrintSetting::Get();
    ASSERT_TRUE(editor);
    editor->cbTableSel()->setCurrentIndex(0);
    auto* setup = editor->findChild<QPushButton*>("cmdPrnSetting");
    ASSERT_TRUE(QTest::qWaitFor([setup] { return setup->isEnabled(); }));
    setup->click();
    delete editor;

    prompt->answerPath(path("commesse.pdf"));
    click(kCustomerOrdersNode);
    action("mnuPrintLavrixDetail")->trigger();
    EXPECT_EQ(pdfPages("commesse.pdf").join(" | ").toStdString(), "148x210 L:1-0001/001 L:1-0001/002");

    prompt->answerPath(path("costi.pdf"));
    click(kDetailsNode);
    action("mnuPrint")->trigger();
    EXPECT_EQ(pdfPages("costi.pdf").join(" | ").toStdString(), "148x210 Generale R:1-0001/001 R:1-0001/002");
    EXPECT_FALSE(QFile::exists(path("etichette.pdf")));
    EXPECT_TRUE(printed().isEmpty());
}

TEST_F(PrintCommandsTest, WorkerSheetsOfAPeriodEndingTodayIncludeToday) {
    start();
    addWorker("0012", "Rossi Mario");
    customerOrder(1, 0);
    report("PassaggiDettaglioCommesse", "Scheda", {}, "NumeroCommessa");
    auto steps =
        GetDBTable("DettagliCommesse").OpenData("NumeroCommessa='1-0001/001'")->GetReference("Passaggi");
    ASSERT_TRUE(steps->NewRow());
    ASSERT_TRUE(steps->SetColValue("DataInizio", Variant::fromDate(MakeOleDate(2024, 3, 20, 8, 30, 0))));
    ASSERT_TRUE(steps->SetReference("Operaio", "0012"));
    ASSERT_TRUE(steps->SaveRow());

    // Cancelled: nothing at all.
    action("mnuPrintSelected_SchedeOperai")->trigger();
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_TRUE(printed().isEmpty());

    expect(choosePeriod("01/03/2024", "19/03/2024"));
    action("mnuPrintSelected_SchedeOperai")->trigger();
    EXPECT_EQ(boxes().join("|").toStdString(), "Nessuna lavorazione nel periodo selezionato");
    EXPECT_EQ(prompt->last().icon(), vbExclamation);

    prompt->clear();
    expect(choosePeriod("01/03/2024", "20/03/2024"));
    action("mnuPrintSelected_SchedeOperai")->trigger();
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(printed().join(" ").toStdString(), "R:1-0001/001 Scheda");
}

TEST_F(PrintCommandsTest, MonthlyAccessesCheckNonWorkingDaysAndWorkersWithout) {
    start();
    addWorker("0012", "Rossi Mario");
    addWorker("0013", "Bianchi Luca");
    addWorker("A12", "Verdi Anna");
    nonWorking(2024, 3, 4);
    nonWorking(2024, 5, 1);
    access("0012", 2024, 3, 4);
    access("A12", 2024, 3, 5);
    access("A12", 2024, 4, 2);
    access("0012", 2024, 5, 1);
    report("Ingressi", "Accessi", {}, "Data");
    const QString question = QStringLiteral(
        "L'operaio Rossi Mario ha effettuato un ingresso nel giorno 04/03/2024;\rIl giorno è tato impostato "
        "come "
        "periodo non lavorativo.\rNella stampa accessi sarà stampato l'accesso effettuato e non i dati del "
        "giorno "
        "non lavorativo.\r\rContinuare ?\r\r");

    // No to the question ends the print.
    expect(chooseDate(QDate(2024, 3, 15)));
    prompt->answer(MsgResult::No);
    action("mnuPrintMonth_Accessi")->trigger();
    ASSERT_EQ(boxes().size(), 2) << boxes().join("|").toStdString();
    EXPECT_EQ(boxes()[0], question);
    EXPECT_EQ(prompt->shown()[0].style, vbYesNo | vbExclamation);
    EXPECT_EQ(boxes()[1].toStdString(), "Operazione annullata");
    EXPECT_TRUE(printed().isEmpty());

    // Yes: the workers without accesses are told of, the print goes on with the order numbers first.
    prompt->clear();
    expect(chooseDate(QDate(2024, 3, 15)));
    expect(orderNumbersConfirmed());
    prompt->answer(MsgResult::Yes);
    action("mnuPrintMonth_Accessi")->trigger();
    EXPECT_EQ(boxes().join("|"),
              question + "|L'operaio Bianchi Luca non ha effettuato nessun accesso nel periodo impostato");
    EXPECT_EQ(dialogsShown.last(), "frmSetOrderNumber");
    EXPECT_EQ(printed().join(" ").toStdString(), "R:04/03/2024 R:05/03/2024 Accessi");

    // April holds no non-working day: 1 May, a non-working day with an access, asks nothing.
    prompt->clear();
    recorder->log.clear();
    expect(chooseDate(QDate(2024, 4, 30)));
    expect(orderNumbersConfirmed());
    action("mnuPrintMonth_Accessi")->trigger();
    EXPECT_EQ(boxes().join("|").toStdString(),
              "L'operaio Bianchi Luca non ha effettuato nessun accesso nel periodo impostato|"
              "L'operaio Rossi Mario non ha effettuato nessun accesso nel periodo impostato");
    EXPECT_EQ(printed().join(" ").toStdString(), "R:02/04/2024 Accessi");

    // A month with no access at all.
    prompt->clear();
    expect(chooseDate(QDate(2024, 6, 1)));
    action("mnuPrintMonth_Accessi")->trigger();
    EXPECT_EQ(boxes().join("|").toStdString(), "Nessun Accesso nel mese selezionato");
}

// Layout windows holding an edit when the options' repair lets the database go: each asks, and its
// edit is saved, printer and all, while the file is still open.
TEST_F(PrintCommandsTest, LayoutWindowsSaveTheirEditBeforeTheRepairLetsTheDatabaseGo) {
    start();
    window->show();
    report("Ingressi", "Accessi", {}, "OID", "PDF-Etichette");
    // A new label layout, its printer chosen and its script typed.
    action("mnuLavrixPrintSetting")->trigger();
    frmLabelPrintSetting* labels = frmLabelPrintSetting::Get();
    ASSERT_TRUE(labels);
    labels->cbTableSel()->setCurrentIndex(0);
    ASSERT_TRUE(QTest::qWaitFor([labels] { return labels->txtVBScript()->isEnabled(); }));
    labels->cboPrinter()->setCurrentIndex(labels->cboPrinter()->findText("PDF-Etichette"));
    labels->txtVBScript()->SetScript("' etichette");
    // The stored report, its script changed.
    action("mnuPrintSetting_Acessi")->trigger();
    frmCustomReportSetting* reports = frmCustomReportSetting::Instance();
    ASSERT_TRUE(reports);
    auto* names = reports->findChild<QComboBox*>("cbReportName");
    names->setCurrentIndex(names->findText("Accessi"));
    emit names->activated(names->currentIndex());
    ASSERT_EQ("PDF-Etichette", reports->findChild<QComboBox*>("cboPrinter")->currentText().toStdString());
    reports->SetScriptText("' prospetto");

    action("mnuToolsOptions")->trigger();
    frmOptions* options = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && qobject_cast<frmOptions*>(top)) options = qobject_cast<frmOptions*>(top);
    ASSERT_TRUE(options);
    prompt->clear();
    prompt->answer(MsgResult::OK);   // repair
    prompt->answer(MsgResult::Yes);  // save the labels
    prompt->answer(MsgResult::Yes);  // save the report
    options->cmdRepairDB()->click();
    options->cmdCancel()->click();
    EXPECT_EQ(boxes().mid(1).join("|").toStdString(),
              "Lo script è stato modificato...\r\rVuoi salvare le modifiche ?|Impostazioni Salvate.|"
              "Il profilo è stato modificato...\r\rVuoi salvare le modifiche ?|Recupero completato");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(nullptr, frmLabelPrintSetting::Get());
    EXPECT_EQ(nullptr, frmCustomReportSetting::Instance());

    expect(pickUser("Amministratore"));
    expect(typePassword(""));
    window->Form_Activate();
    ASSERT_TRUE(g_objConnection);
    auto stored = [](const char* table) {
        auto row = GetDBTable(table).OpenData();
        row->RowFirst();
        return (row->ColText("NomeStampante") + " " + row->ColText("IstruzioniStampa")).toStdString();
    };
    EXPECT_EQ("PDF-Etichette ' etichette", stored("TabStampaEtichette"));
    EXPECT_EQ("PDF-Etichette ' prospetto", stored("TabProspettiStampa"));
}

}  // namespace
