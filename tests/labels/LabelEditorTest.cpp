// The label layout window: the table list, a new and a stored layout, saving, the leaving question,
// the test print and the preview with the values being edited, export and import.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "LabelRunFixture.h"
#include "labels/frmLabelPreview.h"
#include "labels/frmLabelPrintSetting.h"
#include "odb/DataSet.h"
#include "odb/ui/RowWindow.h"
#include "platform/MaskedBox.h"
#include "platform/PainterSurface.h"
#include "platform/ScriptBox.h"
#include "support/ModalScript.h"

namespace {

using Kind = RecordingPrompt::Kind;

const QString kCardTables =
    QStringLiteral("DettagliAttrezzature,DettagliProduzione,CommesseAssistenza,DettaglivenditaMacchinari");
const QString kLabelTables = QStringLiteral(
    "MagazzinoMacchinari,MagazzinoPartCommerciale,MagazzinoPartProduzione,DedirIdovuduvIrezadiv,"
    "ParticolariAttrezzature,Clienti,Operai");

class LabelEditorTest : public LabelRunTest {
  protected:
    void TearDown() override {
        delete frmLabelPrintSetting::Get();
        LabelRunTest::TearDown();
    }

    frmLabelPrintSetting* open(const QString& tables, const QString& defaultScript = {}) {
        return frmLabelPrintSetting::EditSetting(&owner, database, connection, tables, defaultScript);
    }
    // Opens the window on one table of the label list.
    frmLabelPrintSetting* openOn(const QString& title) {
        frmLabelPrintSetting* w = open(kLabelTables);
        w->cbTableSel()->setCurrentIndex(w->cbTableSel()->findText(title));
        prompt->clear();
        return w;
    }
    QPushButton* command(frmLabelPrintSetting* w, const char* name) {
        return w->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QStringList tableNames(frmLabelPrintSetting* w) {
        QStringList names;
        for (int i = 0; i < w->cbTableSel()->count(); ++i) {
            w->cbTableSel()->setCurrentIndex(i);
            names << w->GetSelectedTableName();
        }
        return names;
    }
    // The messages shown, as "style:text".
    QStringList messages() {
        QStringList out;
        for (const auto& s : prompt->shown())
            if (s.kind == Kind::MsgBox) out << QString::number(s.style) + u':' + s.text;
        return out;
    }
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
    // Picks the row `row` of the row chooser; a preview window is photographed and closed.
    ScopedModalScript pickRow(int row, QImage* preview = nullptr) {
        return ScopedModalScript([=](QDialog& d) {
            if (auto* rows = qobject_cast<odb::RowWindow*>(&d)) {
                rows->grid()->selectRow(row);
                rows->buttons()->button(QDialogButtonBox::Ok)->click();
            } else if (auto* window = qobject_cast<frmLabelPreview*>(&d)) {
                if (preview) *preview = window->Surface()->image();
            }
        });
    }
};

TEST_F(LabelEditorTest, ListsTheAllowedTablesInAnyLetterCaseAndOpensOnlyOnce) {
    frmLabelPrintSetting* w = open(kCardTables);
    EXPECT_EQ(QStringLiteral("Impostazione stampa etichette"), w->windowTitle());
    EXPECT_EQ(&owner, w->parentWidget());
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(-1, w->cbTableSel()->currentIndex());
    EXPECT_EQ(QStringLiteral(
                  "CommesseAssistenza,DettagliAttrezzature,DettagliProduzione,DettagliVenditaMacchinari"),
              [&] {
                  QStringList n = tableNames(w);
                  n.sort();
                  return n.join(u',');
              }());
    // Every table of the database but the program's own settings and the logins.
    delete w;
    w = open({});
    const QStringList all = tableNames(w);
    EXPECT_EQ(36, all.size());
    EXPECT_FALSE(all.contains(QStringLiteral("TabStampaEtichette")));
    delete w;

    // A list of one table opens on it, its layout loaded.
    LayoutRow stored;
    stored.table = QStringLiteral("DettagliCommesse");
    stored.columns = 3;
    stored.height = 12.25;
    storeLayout(stored);
    w = open(QStringLiteral("DettagliCommesse"));
    EXPECT_EQ(QStringLiteral("DettagliCommesse"), w->GetSelectedTableName());
    EXPECT_EQ(QStringLiteral("3|12,25|100|5|5|1|-|A|-|PDF-A4"), boxes(w));
    EXPECT_EQ(stored.script, w->txtVBScript()->Script());
    EXPECT_FALSE(w->Modified());
    // A second command brings the same window forward, its list as it was.
    EXPECT_EQ(w, open(kLabelTables));
    EXPECT_EQ(1, w->cbTableSel()->count());
    EXPECT_EQ(QStringLiteral("DettagliCommesse"), w->GetSelectedTableName());
}

TEST_F(LabelEditorTest, ANewLayoutShowsItsDefaultsAndIsSavedAsShown) {
    frmLabelPrintSetting* w = open(kLabelTables);
    // Nothing chosen: only the table list, "&Esci" and the bottom panel are usable.
    QStringList enabled;
    for (QWidget* c : w->findChildren<QWidget*>())
        if (!c->objectName().isEmpty() && c->isEnabled()) enabled << c->objectName();
    enabled.sort();
    EXPECT_EQ(QStringLiteral("cbTableSel,cmdCancel,pnlBottom"), enabled.join(u','));

    w->cbTableSel()->setCurrentIndex(w->cbTableSel()->findText(QStringLiteral("Clienti")));
    EXPECT_EQ(QStringLiteral("2|32,5|88|0|0|1|-|A|-|"), boxes(w));
    EXPECT_EQ(-1, w->cboPrinter()->currentIndex());
    const QString script = w->txtVBScript()->Script();
    const QStringList lines = script.split(QStringLiteral("\r\n"));
    EXPECT_EQ(18, lines.size());
    EXPECT_EQ(QStringLiteral("' ") + QString(71, u'='), lines.first());
    EXPECT_EQ(QStringLiteral("End Function"), lines.last());
    EXPECT_EQ(frmLabelPrintSetting::LabelTemplate(), script);
    EXPECT_TRUE(w->findChild<QWidget*>(QStringLiteral("txtVBScript"))->isEnabled());
    EXPECT_FALSE(w->findChild<QWidget*>(QStringLiteral("cmdInstruction"))->isEnabled());
    EXPECT_FALSE(w->findChild<QWidget*>(QStringLiteral("cmdField"))->isEnabled());
    EXPECT_TRUE(w->Modified());

    // No printer: said, nothing written.
    prompt->clear();
    command(w, "cmdOK")->click();
    EXPECT_EQ(QStringList{"64:Devi selezionare la stampante"}, messages());
    EXPECT_EQ(0, count(QStringLiteral("TabStampaEtichette")));
    EXPECT_TRUE(w->Modified());

    w->cboPrinter()->setCurrentIndex(w->cboPrinter()->findText(QStringLiteral("PDF-A4")));
    prompt->clear();
    command(w, "cmdOK")->click();
    EXPECT_EQ(QStringList{"64:Impostazioni Salvate."}, messages());
    EXPECT_FALSE(w->Modified());
    auto row = rows(QStringLiteral("TabStampaEtichette"));
    ASSERT_EQ(1, row->RowCount());
    row->RowFirst();
    EXPECT_EQ(QStringLiteral("Clienti"), row->ColText(QStringLiteral("NomeTabellaOrigine")));
    EXPECT_EQ(frmLabelPrintSetting::LabelTemplate(), row->ColText(QStringLiteral("IstruzioniStampa")));
    EXPECT_EQ(32.5, row->ColNumber(QStringLiteral("AltezzaEtichetta")));
    EXPECT_EQ(88, row->ColNumber(QStringLiteral("LarghezzaEtichetta")));
    EXPECT_EQ(2, row->ColNumber(QStringLiteral("NumeroColonne")));
    EXPECT_EQ(1, row->ColNumber(QStringLiteral("NumeroCopie")));
    EXPECT_EQ(QStringLiteral("PDF-A4"), row->ColText(QStringLiteral("NomeStampante")));
    EXPECT_TRUE(row->ColValueBool(QStringLiteral("AbilitaPosizionamento")));
    EXPECT_FALSE(row->ColValueBool(QStringLiteral("OrientamentoOrizzontale")));

    // Saved again with changes: the same row, the script's own line ends kept.
    w->txtLabelWidth()->setText(QStringLiteral("70,25"));
    w->chkHorizontal()->setChecked(true);
    w->txtVBScript()->SetScript(QStringLiteral("' uno\r' due\n' tre"));
    command(w, "cmdOK")->click();
    row = rows(QStringLiteral("TabStampaEtichette"));
    ASSERT_EQ(1, row->RowCount());
    row->RowFirst();
    EXPECT_EQ(70.25, row->ColNumber(QStringLiteral("LarghezzaEtichetta")));
    EXPECT_TRUE(row->ColValueBool(QStringLiteral("OrientamentoOrizzontale")));
    EXPECT_EQ(QStringLiteral("' uno\r' due\n' tre"), row->ColText(QStringLiteral("IstruzioniStampa")));

    // A size the database cannot take: its error, nothing written, the mark kept.
    w->txtLabelTop()->setText(QStringLiteral("alto"));
    prompt->clear();
    command(w, "cmdOK")->click();
    ASSERT_EQ(1, messages().size());
    EXPECT_FALSE(messages()[0].contains(QStringLiteral("Salvate")));
    EXPECT_TRUE(w->Modified());
    row = rows(QStringLiteral("TabStampaEtichette"));
    row->RowFirst();
    EXPECT_EQ(0, row->ColNumber(QStringLiteral("MargineSuperiore")));
}

TEST_F(LabelEditorTest, LeavingAsksOnlyAboutChangesAndOnlyOnce) {
    const QString question = QStringLiteral("292:Lo script è stato modificato...\r\rUscire senza salvare ?");
    // A new layout asks, though nothing was typed; No stays, a second "&Esci" closes.
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    prompt->answer(MsgResult::No);
    command(w, "cmdCancel")->click();
    EXPECT_EQ(QStringList{question}, messages());
    EXPECT_EQ(w, frmLabelPrintSetting::Get());
    EXPECT_TRUE(w->isVisible());
    command(w, "cmdCancel")->click();
    EXPECT_EQ(QStringList{question}, messages());
    EXPECT_EQ(nullptr, frmLabelPrintSetting::Get());

    // A stored layout closes at once; a size or a tick changed asks, from the title bar too.
    storeLayout(LayoutRow());
    w = openOn(QStringLiteral("Clienti"));
    command(w, "cmdCancel")->click();
    EXPECT_EQ(QStringList(), messages());
    EXPECT_EQ(nullptr, frmLabelPrintSetting::Get());
    for (auto change : std::vector<std::function<void(frmLabelPrintSetting*)>>{
             [](frmLabelPrintSetting* f) { f->txtCopy()->setText(QStringLiteral("4")); },
             [](frmLabelPrintSetting* f) { f->chkPrinterSelection()->setChecked(true); },
             [](frmLabelPrintSetting* f) { f->cboPrinter()->setCurrentIndex(1); },
         }) {
        w = openOn(QStringLiteral("Clienti"));
        change(w);
        prompt->answer(MsgResult::No);
        EXPECT_FALSE(w->close());
        EXPECT_EQ(QStringList{question}, messages());
        EXPECT_TRUE(w->close());
        EXPECT_EQ(nullptr, frmLabelPrintSetting::Get());
    }
    // Yes closes at once.
    w = openOn(QStringLiteral("Clienti"));
    w->txtLabelLeft()->setText(QStringLiteral("9"));
    prompt->answer(MsgResult::Yes);
    command(w, "cmdCancel")->click();
    EXPECT_EQ(QStringList{question}, messages());
    EXPECT_EQ(nullptr, frmLabelPrintSetting::Get());
}

TEST_F(LabelEditorTest, APrinterNotInstalledHereShowsNone) {
    LayoutRow customers;
    storeLayout(customers);
    // Both layouts: storeLayout keeps one, so the second goes in by hand.
    ASSERT_TRUE(rows(QStringLiteral("TabStampaEtichette"))
                    ->AddRow({"NomeTabellaOrigine", QStringLiteral("Operai"), "NomeStampante",
                              QStringLiteral("Sparita"), "NumeroColonne", int32_t(1), "IstruzioniStampa",
                              QStringLiteral("x")}));
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    EXPECT_EQ(QStringLiteral("PDF-A4"), w->cboPrinter()->currentText());
    w->cbTableSel()->setCurrentIndex(w->cbTableSel()->findText(QStringLiteral("Operai")));
    EXPECT_EQ(-1, w->cboPrinter()->currentIndex());
    EXPECT_FALSE(w->Modified());
    command(w, "cmdOK")->click();
    EXPECT_EQ(QStringList{"64:Devi selezionare la stampante"}, messages());
}

TEST_F(LabelEditorTest, PreviewAndTestUseTheValuesBeingEdited) {
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    w->txtColumns()->setText(QStringLiteral("3"));
    w->txtVBScript()->setPlainText(
        QStringLiteral("Function PrintLabel(ds, prn)\n  prn.BoxOut 0, 0, 32.5, 10, True\n  prn.TxtOut 2, 12, "
                       "ds.ColValue(\"Codice\")\n  PrintLabel = True\nEnd Function"));
    const bool modified = w->Modified();
    QImage image;
    {
        auto script = pickRow(1, &image);
        command(w, "cmdPreview")->click();
        EXPECT_EQ(2, script.runs);
    }
    EXPECT_EQ(QStringList(), messages());
    // Three labels of 88 x 32.5 mm and the spare millimetre.
    ASSERT_FALSE(image.isNull());
    const double px = image.width() / (3 * 88 + 1.0);
    EXPECT_NEAR(32.5 + 1, image.height() / px, 1);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(QColor(Qt::black), image.pixelColor(qRound((88 * k + 5) * px), qRound(31.5 * px))) << k;
        EXPECT_EQ(QColor(Qt::white), image.pixelColor(qRound((88 * k + 50) * px), qRound(31.5 * px))) << k;
    }

    // The test print: one row of the picked customer on the printer of the box.
    w->cboPrinter()->setCurrentIndex(w->cboPrinter()->findText(QStringLiteral("PDF-A4")));
    {
        // The first row of the chooser is the table's own "<indefinito>" customer.
        auto script = pickRow(4);
        command(w, "cmdTest")->click();
    }
    const auto pages = pdfPages();
    ASSERT_EQ(1u, pages.size());
    EXPECT_EQ(QStringLiteral("C004 C004 C004"), pages[0].text);
    EXPECT_EQ(3, pages[0].squares.size());
    // Neither wrote the layout nor touched the mark.
    EXPECT_EQ(0, count(QStringLiteral("TabStampaEtichette")));
    EXPECT_EQ(modified, w->Modified());
}

TEST_F(LabelEditorTest, ScriptErrorsAndBoxesThatHoldNoNumberStopThePreview) {
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    // A syntax error on line 5: said once, with its line.
    w->txtVBScript()->setPlainText(QStringLiteral(
        "Function PrintLabel(ds, prn)\n  x = 1\n  y = 2\n\n  z = (3 +\n  PrintLabel = True\nEnd Function"));
    {
        auto script = pickRow(0);
        command(w, "cmdPreview")->click();
    }
    EXPECT_EQ(
        QStringList{"16:Errore nel codice di stampa etichetta: \r\rPrevista espressione\r\rLinea VB: 5"},
        messages());

    // A box that holds no number: said, naming the box, and nothing runs.
    struct Case {
        MaskedBox* box;
        const char* text;
        const char* caption;
    } cases[] = {
        {w->txtLabelHeight(), "alta", "Altezza Etichetta (mm)"},
        {w->txtLabelLeft(), "", "Sinistro (mm)"},
        {w->txtLabelWidth(), "1e99", "Larghezza (mm)"},
        {w->txtColumns(), "", "Numero di etichette per riga"},
    };
    for (const Case& c : cases) {
        const QString before = c.box->text();
        c.box->setText(QString::fromLatin1(c.text));
        prompt->clear();
        ScopedModalScript none;
        command(w, "cmdTest")->click();
        EXPECT_EQ(0, none.runs) << c.caption;
        EXPECT_EQ(QStringList{QStringLiteral("48:Il valore \"") + c.text + QStringLiteral("\" di \"") +
                              QString::fromUtf8(c.caption) + QStringLiteral("\" non è un numero valido.")},
                  messages());
        c.box->setText(before);
    }
    EXPECT_TRUE(pdfPages().empty());
}

TEST_F(LabelEditorTest, ExportWritesTheBoxesThenTheScriptAndImportReadsThemBack) {
    frmLabelPrintSetting* w = openOn(QStringLiteral("Clienti"));
    const QString file = path(QStringLiteral("program/LabelPrint.vbs"));
    prompt->answerPath(file);
    command(w, "cmdSave")->click();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray header =
        "'#Columns=2\r\n'#LabelHeight=32,5\r\n'#LabelWidth=88\r\n'#LabelTop=0\r\n'#LabelLeft=0\r\n"
        "'#HorizontalOrientation=0\r\n'#EnableLabelAlignment=1\r\n'#CopyNumber=1\r\n";
    EXPECT_EQ(header + frmLabelPrintSetting::LabelTemplate().toLatin1(), f.readAll());
    f.close();
    ASSERT_EQ(1u, prompt->shown().size());
    EXPECT_EQ(path(QStringLiteral("program/LabelPrint.vbs")) + "|VB Script (*.vbs)", prompt->shown()[0].dir);

    // Read back into changed boxes: the boxes as exported, the script with one more line end; the
    // printer and "Selezionabile" stay, nothing is stored, the layout counts as changed.
    w->txtColumns()->setText(QStringLiteral("5"));
    w->txtLabelHeight()->setText(QStringLiteral("1"));
    w->chkEnableLabelAlignment()->setChecked(false);
    w->chkPrinterSelection()->setChecked(true);
    w->cboPrinter()->setCurrentIndex(1);
    w->txtVBScript()->SetScript(QStringLiteral("altro"));
    prompt->answerPath(file);
    command(w, "cmdLoad")->click();
    EXPECT_EQ(QStringLiteral("2|32,5|88|0|0|1|-|A|S|PDF-A5"), boxes(w));
    EXPECT_EQ(frmLabelPrintSetting::LabelTemplate() + QStringLiteral("\r\n"), w->txtVBScript()->Script());
    EXPECT_TRUE(w->Modified());
    EXPECT_EQ(0, count(QStringLiteral("TabStampaEtichette")));

    // The import rules, one file after the other.
    auto import = [&](const QByteArray& bytes) {
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        prompt->clear();
        prompt->answerPath(file);
        command(w, "cmdLoad")->click();
    };
    w->chkHorizontal()->setChecked(true);
    import(
        "'#Foo=bar\r\n'#Columns\r\n'#HorizontalOrientation= no \r\n'#CopyNumber=2\r\n'#CopyNumber=3\r\n"
        "' \xE0 \x80");
    EXPECT_EQ(QStringLiteral("'#Columns\r\n' à €\r\n"), w->txtVBScript()->Script());
    EXPECT_EQ(QStringLiteral("2|32,5|88|0|0|3|-|A|S|PDF-A5"), boxes(w));
    EXPECT_EQ(QStringList(), messages());
    // A value the box refuses stops the import: the boxes set before it keep their values, the script
    // stays.
    import("'#Columns=3\r\nnuovo\r\n'#CopyNumber=x7\r\n'#LabelTop=9");
    EXPECT_EQ(QStringList{"0:Valore della proprietà non valido"}, messages());
    EXPECT_EQ(QStringLiteral("3|32,5|88|0|0|3|-|A|S|PDF-A5"), boxes(w));
    EXPECT_EQ(QStringLiteral("'#Columns\r\n' à €\r\n"), w->txtVBScript()->Script());

    // Exported again, the characters go back to their bytes.
    prompt->clear();
    prompt->answerPath(file);
    prompt->answer(MsgResult::Yes);
    command(w, "cmdSave")->click();
    EXPECT_EQ(QStringList{"308:Il file esiste già...\r\rVuoi sostituirlo ?"}, messages());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().endsWith("\r\n'#Columns\r\n' \xE0 \x80\r\n"));
}

TEST_F(LabelEditorTest, TheDefaultScriptReplacesTheScriptAndThePlacementIsKept) {
    frmLabelPrintSetting* w =
        open(kLabelTables, QStringLiteral("Function PrintLabel(ds, prn)\r\nEnd Function"));
    w->cbTableSel()->setCurrentIndex(w->cbTableSel()->findText(QStringLiteral("Operai")));
    w->txtVBScript()->setPlainText(QStringLiteral("x"));
    command(w, "cmdDefault")->click();
    EXPECT_EQ(QStringLiteral("Function PrintLabel(ds, prn)\r\nEnd Function"), w->txtVBScript()->Script());
    w->setGeometry(40, 50, 1000, 560);
    prompt->answer(MsgResult::Yes);
    w->close();
    w = open({});
    EXPECT_EQ(QRect(40, 50, 1000, 560), w->geometry());
    w->cbTableSel()->setCurrentIndex(0);
    w->txtVBScript()->setPlainText(QStringLiteral("x"));
    command(w, "cmdDefault")->click();
    EXPECT_EQ(frmLabelPrintSetting::LabelTemplate(), w->txtVBScript()->Script());
    // The printer setup is the prompt service's, under its title.
    prompt->clear();
    command(w, "cmdPrnSetting")->click();
    ASSERT_EQ(1u, prompt->shown().size());
    EXPECT_EQ(Kind::PrinterSetup, prompt->last().kind);
    EXPECT_EQ(QStringLiteral("Impostazione stampanti"), prompt->last().title);
}

}  // namespace
