// The label layout window: the table list, a new and a stored layout, saving, the leaving question,
// the test print and the preview with the values being edited, export and import, and the window
// going with the database let go.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "LabelRunFixture.h"
#include "labels/LayoutExportFile.h"
#include "labels/frmLabelPreview.h"
#include "labels/frmLabelPrintSetting.h"
#include "labels/modLabelPrint.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/ui/RowWindow.h"
#include "platform/MaskedBox.h"
#include "platform/PainterSurface.h"
#include "platform/PrinterRegistry.h"
#include "platform/ScriptBox.h"
#include "platform/modOSWinUtil.h"
#include "support/ModalScript.h"
#include "support/PipeWatchdog.h"
#include "support/RefusedFiles.h"

namespace {

const QString kLabelTables = QStringLiteral(
    "MagazzinoMacchinari,MagazzinoPartCommerciale,MagazzinoPartProduzione,DedirIdovuduvIrezadiv,"
    "ParticolariAttrezzature,Clienti,Operai");
const QString kLeave = QStringLiteral("292:Lo script è stato modificato...\r\rUscire senza salvare ?");

class LabelEditorTest : public LabelRunTest {
  protected:
    void TearDown() override {
        delete frmLabelPrintSetting::Get();
        LabelRunTest::TearDown();
    }
    frmLabelPrintSetting* open(const QString& tables) {
        return frmLabelPrintSetting::EditSetting(&owner, database, connection, tables);
    }
    // Chooses a table; the controls come on once the code assistant has built its lists.
    void choose(frmLabelPrintSetting* w, int index) {
        w->cbTableSel()->setCurrentIndex(index);
        EXPECT_TRUE(QTest::qWaitFor([w] { return w->txtVBScript()->isEnabled(); }));
    }
    void choose(frmLabelPrintSetting* w, const QString& title) {
        choose(w, w->cbTableSel()->findText(title));
    }
    // The window on one table of the label list, the messages of the choice forgotten.
    frmLabelPrintSetting* openOn(const QString& title) {
        frmLabelPrintSetting* w = open(kLabelTables);
        choose(w, title);
        prompt->clear();
        return w;
    }
    void press(frmLabelPrintSetting* w, const char* name) {
        w->findChild<QPushButton*>(QString::fromLatin1(name))->click();
    }
    // The messages shown, as "style:text".
    QStringList messages() {
        QStringList out;
        for (const auto& s : prompt->shown())
            if (s.kind == RecordingPrompt::Kind::MsgBox) out << QString::number(s.style) + u':' + s.text;
        return out;
    }
    // Columns, height, width, top, left, copies, the three ticks and the printer.
    QString boxes(frmLabelPrintSetting* w) {
        return QStringList{w->txtColumns()->text(),
                           w->txtLabelHeight()->text(),
                           w->txtLabelWidth()->text(),
                           w->txtLabelTop()->text(),
                           w->txtLabelLeft()->text(),
                           w->txtCopy()->text(),
                           w->chkHorizontal()->isChecked() ? "H" : "-",
                           w->chkEnableLabelAlignment()->isChecked() ? "A" : "-",
                           w->chkPrinterSelection()->isChecked() ? "S" : "-",
                           w->cboPrinter()->currentText()}
            .join(u'|');
    }
    std::shared_ptr<odb::DataSet> storedLayout() {
        auto row = rows(QStringLiteral("TabStampaEtichette"));
        row->RowFirst();
        return row;
    }
    // Picks a row of the row chooser; a preview's picture is kept.
    ScopedModalScript pickRow(int row, QImage* preview = nullptr) {
        return ScopedModalScript([=](QDialog& d) {
            if (auto* rows = qobject_cast<odb::RowWindow*>(&d)) {
                rows->grid()->selectRow(row);
                rows->buttons()->button(QDialogButtonBox::Ok)->click();
            } else if (auto* window = qobject_cast<frmLabelPreview*>(&d); window && preview) {
                *preview = window->Surface()->image();
            }
        });
    }
};

TEST_F(LabelEditorTest, ListsTheAllowedTablesInAnyLetterCaseAndOpensOnlyOnce) {
    frmLabelPrintSetting* w = open(QStringLiteral(
        "DettagliAttrezzature,DettagliProduzione,CommesseAssistenza,DettaglivenditaMacchinari"));
    QStringList names;
    for (int i = 0; i < w->cbTableSel()->count(); ++i) {
        w->cbTableSel()->setCurrentIndex(i);
        names << w->GetSelectedTableName();
    }
    names.sort();
    EXPECT_EQ("CommesseAssistenza,DettagliAttrezzature,DettagliProduzione,DettagliVenditaMacchinari",
              names.join(u','));
    delete w;

    // A list of one table opens on it, its layout loaded; a second command brings the same window
    // forward, its list as it was.
    LayoutRow stored;
    stored.table = QStringLiteral("DettagliCommesse");
    stored.height = 12.25;
    storeLayout(stored);
    w = open(QStringLiteral("DettagliCommesse"));
    EXPECT_EQ(QStringLiteral("DettagliCommesse"), w->GetSelectedTableName());
    EXPECT_EQ(QStringLiteral("2|12,25|100|5|5|1|-|A|-|PDF-A4"), boxes(w));
    EXPECT_EQ(stored.script, w->txtVBScript()->Script());
    EXPECT_FALSE(w->Modified());
    EXPECT_EQ(w, open(kLabelTables));
    EXPECT_EQ(1, w->cbTableSel()->count());
}

TEST_F(LabelEditorTest, ANewLayoutShowsItsDefaultsAndIsSavedAsShown) {
    frmLabelPrintSetting* w = open(kLabelTables);
    QStringList enabled;
    for (QWidget* c : w->findChildren<QWidget*>())
        if (!c->objectName().isEmpty() && c->isEnabled()) enabled << c->objectName();
    enabled.sort();
    EXPECT_EQ(QStringLiteral("cbTableSel,cmdCancel,pnlBottom"), enabled.join(u','));

    choose(w, QStringLiteral("Clienti"));
    EXPECT_EQ(QStringLiteral("2|32,5|88|0|0|1|-|A|-|"), boxes(w));
    EXPECT_EQ(QStringLiteral("Richiedi Posizione Iniziale Etichette:"), w->chkEnableLabelAlignment()->text());
    const QStringList lines = w->txtVBScript()->Script().split(QStringLiteral("\r\n"));
    EXPECT_EQ(18, lines.size());
    EXPECT_EQ(QStringLiteral("' ") + QString(71, u'='), lines.first());
    EXPECT_EQ(QStringLiteral("End Function"), lines.last());
    EXPECT_TRUE(w->txtVBScript()->isEnabled());
    EXPECT_TRUE(w->findChild<QWidget*>(QStringLiteral("cmdField"))->isEnabled());
    // The template runs as it stands.
    prompt->clear();
    {
        auto script = pickRow(1);
        press(w, "cmdPreview");
        EXPECT_EQ(2, script.runs);
    }
    EXPECT_EQ(QStringList(), messages());

    // No printer: said, nothing written.
    prompt->clear();
    press(w, "cmdOK");
    EXPECT_EQ(QStringList{"64:Devi selezionare la stampante"}, messages());
    EXPECT_EQ(0, count(QStringLiteral("TabStampaEtichette")));
    w->cboPrinter()->setCurrentIndex(w->cboPrinter()->findText(QStringLiteral("PDF-A4")));
    prompt->clear();
    press(w, "cmdOK");
    EXPECT_EQ(QStringList{"64:Impostazioni Salvate."}, messages());
    EXPECT_FALSE(w->Modified());
    auto row = storedLayout();
    EXPECT_EQ(QStringLiteral("Clienti"), row->ColText(QStringLiteral("NomeTabellaOrigine")));
    EXPECT_EQ(frmLabelPrintSetting::LabelTemplate(), row->ColText(QStringLiteral("IstruzioniStampa")));
    EXPECT_EQ(32.5, row->ColNumber(QStringLiteral("AltezzaEtichetta")));
    EXPECT_TRUE(row->ColValueBool(QStringLiteral("AbilitaPosizionamento")));

    // Saved again: the same row, the script's own line ends kept.
    w->chkHorizontal()->setChecked(true);
    w->txtVBScript()->SetScript(QStringLiteral("' uno\r' due\n' tre"));
    press(w, "cmdOK");
    EXPECT_EQ(1, count(QStringLiteral("TabStampaEtichette")));
    row = storedLayout();
    EXPECT_TRUE(row->ColValueBool(QStringLiteral("OrientamentoOrizzontale")));
    EXPECT_EQ(QStringLiteral("' uno\r' due\n' tre"), row->ColText(QStringLiteral("IstruzioniStampa")));
}

TEST_F(LabelEditorTest, LeavingAsksAboutAnyChangeOnlyOnce) {
    // A new layout asks, though nothing was typed; No stays, a second "&Esci" closes.
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    prompt->answer(MsgResult::No);
    press(w, "cmdCancel");
    EXPECT_TRUE(w->isVisible());
    press(w, "cmdCancel");
    EXPECT_EQ(QStringList{kLeave}, messages());
    EXPECT_EQ(nullptr, frmLabelPrintSetting::Get());

    // A stored layout closes at once; a tick changed asks, from the title bar too.
    storeLayout(LayoutRow());
    w = openOn(QStringLiteral("Clienti"));
    press(w, "cmdCancel");
    EXPECT_EQ(nullptr, frmLabelPrintSetting::Get());
    w = openOn(QStringLiteral("Clienti"));
    w->chkPrinterSelection()->setChecked(true);
    prompt->answer(MsgResult::No);
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->close());
    EXPECT_EQ(QStringList{kLeave}, messages());

    // Every box, tick and the printer mark the stored layout modified, each alone.
    w = openOn(QStringLiteral("Clienti"));
    const std::vector<std::pair<const char*, std::function<void()>>> edits = {
        {"txtColumns", [w] { w->txtColumns()->setText(QStringLiteral("3")); }},
        {"txtLabelHeight", [w] { w->txtLabelHeight()->setText(QStringLiteral("30")); }},
        {"txtLabelWidth", [w] { w->txtLabelWidth()->setText(QStringLiteral("70")); }},
        {"txtLabelTop", [w] { w->txtLabelTop()->setText(QStringLiteral("1")); }},
        {"txtLabelLeft", [w] { w->txtLabelLeft()->setText(QStringLiteral("1")); }},
        {"txtCopy", [w] { w->txtCopy()->setText(QStringLiteral("2")); }},
        {"chkHorizontal", [w] { w->chkHorizontal()->setChecked(true); }},
        {"chkEnableLabelAlignment", [w] { w->chkEnableLabelAlignment()->setChecked(false); }},
        {"chkPrinterSelection", [w] { w->chkPrinterSelection()->setChecked(true); }},
        {"cboPrinter", [w] { w->cboPrinter()->setCurrentIndex(1); }},
    };
    for (const auto& [name, edit] : edits) {
        choose(w, QStringLiteral("Operai"));
        choose(w, QStringLiteral("Clienti"));
        ASSERT_FALSE(w->Modified()) << name;
        edit();
        EXPECT_TRUE(w->Modified()) << name;
    }
}

TEST_F(LabelEditorTest, TheWindowGoesWithTheDatabaseItWasOpenedOn) {
    // Changes wanted are saved while the file is still open; then the window goes.
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    w->cboPrinter()->setCurrentIndex(w->cboPrinter()->findText(QStringLiteral("PDF-A4")));
    w->txtVBScript()->SetScript(QStringLiteral("' mio"));
    prompt->answer(MsgResult::Yes);
    connection->CloseConnection();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(nullptr, frmLabelPrintSetting::Get());
    EXPECT_EQ((QStringList{"36:Lo script è stato modificato...\r\rVuoi salvare le modifiche ?",
                           "64:Impostazioni Salvate."}),
              messages());
    reopen();
    EXPECT_EQ(QStringLiteral("' mio"), storedLayout()->ColText(QStringLiteral("IstruzioniStampa")));

    // Not wanted, or nothing changed: the window goes and nothing is written.
    for (bool change : {true, false}) {
        w = frmLabelPrintSetting::EditSetting(&owner, database, connection, kLabelTables);
        choose(w, QStringLiteral("Clienti"));
        if (change) w->txtVBScript()->SetScript(QStringLiteral("' altro"));
        prompt->clear();
        prompt->answer(MsgResult::No);
        connection->CloseConnection();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(nullptr, frmLabelPrintSetting::Get()) << change;
        EXPECT_EQ(change ? 1 : 0, messages().size()) << change;
        reopen();
        EXPECT_EQ(QStringLiteral("' mio"), storedLayout()->ColText(QStringLiteral("IstruzioniStampa")));
    }
}

TEST_F(LabelEditorTest, APrinterNotInstalledHereShowsNone) {
    storeLayout(LayoutRow());
    ASSERT_TRUE(rows(QStringLiteral("TabStampaEtichette"))
                    ->AddRow({"NomeTabellaOrigine", QStringLiteral("Operai"), "NomeStampante",
                              QStringLiteral("Sparita"), "NumeroColonne", int32_t(1)}));
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    EXPECT_EQ(QStringLiteral("PDF-A4"), w->cboPrinter()->currentText());
    choose(w, QStringLiteral("Operai"));
    EXPECT_EQ(-1, w->cboPrinter()->currentIndex());
    EXPECT_FALSE(w->Modified());
}

TEST_F(LabelEditorTest, PreviewAndTestUseTheValuesBeingEdited) {
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    w->txtColumns()->setText(QStringLiteral("3"));
    w->txtVBScript()->setPlainText(
        QStringLiteral("Function PrintLabel(ds, prn)\n  prn.BoxOut 0, 0, 32.5, 10, True\n"
                       "  prn.TxtOut 2, 12, ds.ColValue(\"Codice\")\n  PrintLabel = True\nEnd Function"));
    QImage image;
    {
        auto script = pickRow(1, &image);
        press(w, "cmdPreview");
        EXPECT_EQ(2, script.runs);
    }
    // Three labels of 88 x 32.5 mm, and the spare millimetre.
    ASSERT_FALSE(image.isNull());
    const double px = image.width() / (3 * 88 + 1.0);
    EXPECT_NEAR(32.5 + 1, image.height() / px, 1);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(QColor(Qt::black), image.pixelColor(qRound((88 * k + 5) * px), qRound(31.5 * px))) << k;
        EXPECT_EQ(QColor(Qt::white), image.pixelColor(qRound((88 * k + 50) * px), qRound(31.5 * px))) << k;
    }

    // The test print: one row of the picked customer (the table's own "<indefinito>" one comes first)
    // on the printer of the box. Neither wrote the layout nor cleared the mark.
    w->cboPrinter()->setCurrentIndex(w->cboPrinter()->findText(QStringLiteral("PDF-A4")));
    {
        auto script = pickRow(4);
        press(w, "cmdTest");
    }
    const auto pages = pdfPages();
    ASSERT_EQ(1u, pages.size());
    EXPECT_EQ(QStringLiteral("C004 C004 C004"), pages[0].text);
    EXPECT_EQ(0, count(QStringLiteral("TabStampaEtichette")));
    EXPECT_TRUE(w->Modified());
    EXPECT_EQ(QStringList(), messages());
}

TEST_F(LabelEditorTest, ScriptErrorsAndBoxesThatHoldNoNumberStopThePreview) {
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    w->txtVBScript()->setPlainText(QStringLiteral(
        "Function PrintLabel(ds, prn)\n  x = 1\n  y = 2\n\n  z = (3 +\n  PrintLabel = True\nEnd Function"));
    {
        auto script = pickRow(0);
        press(w, "cmdPreview");
    }
    EXPECT_EQ(
        QStringList{"16:Errore nel codice di stampa etichetta: \r\rPrevista espressione\r\rLinea VB: 5"},
        messages());

    // A box that holds no number: said, naming the box, and nothing runs.
    for (auto [box, caption] : {std::pair{w->txtLabelHeight(), "Altezza Etichetta (mm)"},
                                std::pair{w->txtColumns(), "Numero di etichette per riga"}}) {
        box->setText(QString());
        prompt->clear();
        ScopedModalScript none;
        press(w, "cmdTest");
        EXPECT_EQ(0, none.runs);
        EXPECT_EQ(QStringList{QStringLiteral("48:Il valore \"\" di \"") + QString::fromUtf8(caption) +
                              QStringLiteral("\" non è un numero valido.")},
                  messages());
        box->setText(QStringLiteral("2"));
    }
    EXPECT_TRUE(pdfPages().empty());
}

TEST_F(LabelEditorTest, ExportWritesTheBoxesThenTheScriptAndImportReadsThemBack) {
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    const QString file = path(QStringLiteral("program/LabelPrint.vbs"));
    prompt->answerPath(file);
    press(w, "cmdSave");
    EXPECT_EQ(file + "|VB Script (*.vbs)", prompt->last().dir);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        "'#Columns=2\r\n'#LabelHeight=32,5\r\n'#LabelWidth=88\r\n'#LabelTop=0\r\n'#LabelLeft=0\r\n"
        "'#HorizontalOrientation=0\r\n'#EnableLabelAlignment=1\r\n'#CopyNumber=1\r\n" +
            frmLabelPrintSetting::LabelTemplate().toLatin1(),
        f.readAll());
    f.close();

    // Read back into changed boxes: the boxes as exported, the script with one more line end; the
    // printer and "Selezionabile" stay, nothing is stored, the layout counts as changed.
    w->txtColumns()->setText(QStringLiteral("5"));
    w->chkEnableLabelAlignment()->setChecked(false);
    w->chkPrinterSelection()->setChecked(true);
    w->cboPrinter()->setCurrentIndex(1);
    prompt->answerPath(file);
    press(w, "cmdLoad");
    EXPECT_EQ(QStringLiteral("2|32,5|88|0|0|1|-|A|S|PDF-A5"), boxes(w));
    EXPECT_EQ(frmLabelPrintSetting::LabelTemplate() + QStringLiteral("\r\n"), w->txtVBScript()->Script());
    EXPECT_TRUE(w->Modified());
    EXPECT_EQ(0, count(QStringLiteral("TabStampaEtichette")));

    auto import = [&](const QByteArray& bytes) {
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        prompt->clear();
        prompt->answerPath(file);
        press(w, "cmdLoad");
    };
    w->chkHorizontal()->setChecked(true);
    import(
        "'#Foo=bar\r\n'#Columns\r\n'#HorizontalOrientation= no \r\n'#CopyNumber=2\r\n'#CopyNumber=3\r\n"
        "' \xE0 \x80");
    EXPECT_EQ(QStringLiteral("'#Columns\r\n' à €\r\n"), w->txtVBScript()->Script());
    EXPECT_EQ(QStringLiteral("2|32,5|88|0|0|3|-|A|S|PDF-A5"), boxes(w));
    // A value the box refuses stops the import: the boxes set before it keep their values, the script
    // stays.
    import("'#Columns=3\r\nnuovo\r\n'#CopyNumber=x7\r\n'#LabelTop=9");
    EXPECT_EQ(QStringList{"0:Valore della proprietà non valido"}, messages());
    EXPECT_EQ(QStringLiteral("3|32,5|88|0|0|3|-|A|S|PDF-A5"), boxes(w));
    EXPECT_EQ(QStringLiteral("'#Columns\r\n' à €\r\n"), w->txtVBScript()->Script());

    // Exported over the file: our question only; the characters go back to their bytes.
    prompt->clear();
    prompt->answerPath(file);
    prompt->answer(MsgResult::Yes);
    press(w, "cmdSave");
    EXPECT_EQ(QStringList{"308:Il file esiste già...\r\rVuoi sostituirlo ?"}, messages());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().endsWith("\r\n'#Columns\r\n' \xE0 \x80\r\n"));
}

TEST_F(LabelEditorTest, ImportRefusesWhatIsNoLayoutFileAndChangesNothing) {
    storeLayout(LayoutRow{});
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    auto stored = [this] {
        auto row = storedLayout();
        QStringList out;
        for (const char* field : {"NumeroColonne", "AltezzaEtichetta", "MargineSuperiore", "NumeroCopie",
                                  "AbilitaPosizionamento", "IstruzioniStampa"})
            out << row->ColText(QString::fromLatin1(field));
        return out;
    };
    const QStringList storedBefore = stored();
    const QString boxesBefore = boxes(w);
    const QString script = w->txtVBScript()->Script();
    // Each begins as a layout file would, so that a reading shows in the boxes.
    const QByteArray header = "'#Columns=9\r\n'#CopyNumber=4\r\nx\r\n";
    const RefusedFiles files(path(QString()), header, LayoutExportFile::kMaxFileSize + 1);
    for (const QString& file : files.all) {
        PipeWatchdog guard(files.pipe, header);
        prompt->answerPath(file);
        press(w, "cmdLoad");
        EXPECT_EQ(QStringList{"0:Impossibile importare il file:\r" + file +
                              "\r\rSi possono importare solo file di testo fino a 4 MB."},
                  messages());
        prompt->clear();
        EXPECT_EQ(boxesBefore, boxes(w)) << file.toStdString();
        EXPECT_EQ(script, w->txtVBScript()->Script()) << file.toStdString();
        EXPECT_FALSE(w->Modified()) << file.toStdString();
        EXPECT_EQ(storedBefore, stored()) << file.toStdString();
    }

    // A failure of the library is told in Italian, never in its own words.
    prompt->failChooser(std::make_exception_ptr(std::bad_alloc()));
    press(w, "cmdLoad");
    EXPECT_EQ(QStringList{"0:Operazione non riuscita: memoria esaurita."}, messages());
}

TEST_F(LabelEditorTest, TheDefaultScriptAndThePrinterSetup) {
    frmLabelPrintSetting* w = frmLabelPrintSetting::EditSetting(&owner, database, connection, kLabelTables,
                                                                QStringLiteral("' proprio"));
    choose(w, 0);
    press(w, "cmdDefault");
    EXPECT_EQ(QStringLiteral("' proprio"), w->txtVBScript()->Script());
    prompt->clear();
    press(w, "cmdPrnSetting");
    ASSERT_EQ(1u, prompt->shown().size());
    EXPECT_EQ(RecordingPrompt::Kind::PrinterSetup, prompt->last().kind);
    EXPECT_EQ(QStringLiteral("Impostazione stampanti"), prompt->last().title);
}

// With no print queue the program's own PDF printer is listed: a layout is saved on it, and its test
// and its run each go to the PDF file the user names.
TEST_F(LabelEditorTest, WithNoPrintQueueALayoutIsSavedTestedAndPrintedOnTheProgramsPdfPrinter) {
    PrinterRegistry::instance().reset(false);
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    ASSERT_EQ(1, w->cboPrinter()->count());
    EXPECT_EQ(QStringLiteral("Stampa su PDF"), w->cboPrinter()->itemText(0));
    w->cboPrinter()->setCurrentIndex(0);
    w->txtColumns()->setText(QStringLiteral("3"));
    w->txtVBScript()->setPlainText(QStringLiteral(
        "Function PrintLabel(ds, prn)\n  prn.TxtOut 2, 2, ds.ColValue(\"Codice\")\n  PrintLabel = True\n"
        "End Function"));
    press(w, "cmdOK");
    EXPECT_EQ(QStringList{"64:Impostazioni Salvate."}, messages());
    EXPECT_EQ(QStringLiteral("Stampa su PDF"), storedLayout()->ColText(QStringLiteral("NomeStampante")));

    prompt->clear();
    prompt->answerPath(path(QStringLiteral("prova")));
    {
        auto script = pickRow(4);
        press(w, "cmdTest");
    }
    ASSERT_EQ(1u, prompt->shown().size());
    EXPECT_EQ(RecordingPrompt::Kind::SaveFile, prompt->last().kind);
    EXPECT_EQ(QStringLiteral("Stampa su PDF"), prompt->last().title);
    const auto test = pdfPages(path(QStringLiteral("prova.pdf")));
    ASSERT_EQ(1u, test.size());
    EXPECT_EQ(QStringLiteral("C004 C004 C004"), test[0].text);
    EXPECT_EQ(QSizeF(210, 297), test[0].mm);

    prompt->clear();
    prompt->answerPath(path(QStringLiteral("clienti.pdf")));
    frmLabelPreview* none = nullptr;
    auto ds = customers(1, 4);
    EXPECT_EQ(4, PrintLabels(&owner, ds, Variant::missing(), false, {}, 0, true, none));
    const auto run = pdfPages(path(QStringLiteral("clienti.pdf")));
    ASSERT_EQ(1u, run.size());
    EXPECT_EQ(QStringLiteral("C001 C002 C003 C004"), run[0].text);
}

// "&Test" with no printer in the box prints nowhere: it asks for one, as saving does.
TEST_F(LabelEditorTest, TestWithNoPrinterChosenAsksForOne) {
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    ASSERT_EQ(QString(), w->cboPrinter()->currentText());
    {
        auto script = pickRow(1);
        press(w, "cmdTest");
        EXPECT_EQ(0, script.runs);
    }
    EXPECT_EQ(QStringList{"64:Devi selezionare la stampante"}, messages());
    EXPECT_TRUE(pdfPages().empty());
    EXPECT_TRUE(pdfPages(path(QStringLiteral("a5.pdf"))).empty());
}

// The printer setup makes the printer, paper and orientation chosen the current printer of the run,
// the one a layout whose printer is not here prints on; the printer box stays as it was.
TEST_F(LabelEditorTest, ThePrinterSetupMakesItsChoiceTheCurrentPrinter) {
    storeLayout(LayoutRow{.printer = QStringLiteral("Sparita"), .columns = 1, .height = 20});
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    ASSERT_EQ(-1, w->cboPrinter()->currentIndex());
    prompt->answerPrinterSetup(QStringLiteral("PDF-A5"), QPageSize(QPageSize::A4), 2);
    press(w, "cmdPrnSetting");
    ASSERT_EQ(1u, prompt->shown().size());
    EXPECT_EQ(RecordingPrompt::Kind::PrinterSetup, prompt->last().kind);
    EXPECT_EQ(QStringLiteral("Impostazione stampanti"), prompt->last().title);
    EXPECT_EQ(QStringLiteral("PDF-A4|PDF-A5|Stampa su PDF"), prompt->last().text);
    EXPECT_EQ(-1, w->cboPrinter()->currentIndex());
    auto current = PrinterRegistry::instance().current();
    ASSERT_TRUE(current);
    EXPECT_EQ(QStringLiteral("PDF-A5"), current->deviceName());
    EXPECT_EQ(2, current->orientation());
    EXPECT_EQ(QSizeF(297, 210), current->physicalSize());
    EXPECT_EQ(QStringLiteral("PDF-A5"), GetDefaultPrinterName());

    frmLabelPreview* none = nullptr;
    auto ds = customers(1, 1);
    EXPECT_EQ(1, PrintLabels(&owner, ds, Variant::missing(), false, {}, 0, true, none));
    EXPECT_TRUE(pdfPages().empty());
    const auto pages = pdfPages(path(QStringLiteral("a5.pdf")));
    ASSERT_EQ(1u, pages.size());
    EXPECT_EQ(QStringList{QStringLiteral("5,5")}, pages[0].squares);
    EXPECT_EQ(QSizeF(210, 297), pages[0].mm);  // the paper chosen, turned as the layout says

    // A cancelled setup changes nothing.
    press(w, "cmdPrnSetting");
    EXPECT_EQ(QStringLiteral("PDF-A5"), PrinterRegistry::instance().current()->deviceName());
}

}  // namespace
