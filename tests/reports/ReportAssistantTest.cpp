// The code assistant of the report layout editor: the data set valid at the caret, the lists of the
// table that data set reads, the reference asked for when the source is all references, the If
// sections, and the captions and tag in which it differs from the label editor's.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

#include "ReportRunFixture.h"
#include "model/ModelState.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "reports/ReportScriptTemplates.h"
#include "reports/frmCustomReportSetting.h"
#include "support/ScriptAssistantDriver.h"

namespace {

const QString kAllReferences = QStringLiteral("Commesse Cliente.[ tutti i riferimenti ]");
const QString kCustomerOrders = QStringLiteral("CommesseCliente.Attrezzature,CommesseCliente.Macchine");

class ReportAssistantTest : public ReportRunTest {
  protected:
    void TearDown() override {
        driver.reset();
        delete frmCustomReportSetting::Instance();
        ReportRunTest::TearDown();
    }
    void open(const QString& list, bool notes = false) {
        w = frmCustomReportSetting::EditSetting(&owner, g_objDatabase, g_objConnection, list, false, notes);
        driver = std::make_unique<ScriptAssistantDriver>(w);
        driver->settle();
        driver->closeMenus();
    }
    void chooseSource(const QString& caption) {
        auto* sources = w->findChild<QComboBox*>(QStringLiteral("cbTableSel"));
        const int index = sources->findText(caption);
        ASSERT_GE(index, 0) << caption.toStdString();
        sources->setCurrentIndex(index);
        emit sources->activated(index);
        driver->settle();
        QTest::qWait(5);  // the name list drops down after the window has shown the profile
        driver->closeMenus();
    }
    // The caret just after `marker` of the script shown; no menu open.
    void caretAfter(const QString& marker) {
        driver->closeMenus();
        auto* box = w->findChild<QPlainTextEdit*>(QStringLiteral("txtVBScript"));
        const qsizetype at = box->toPlainText().indexOf(marker);
        ASSERT_GE(at, 0) << marker.toStdString();
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(static_cast<int>(at + marker.size()));
        box->setTextCursor(cursor);
    }

    frmCustomReportSetting* w = nullptr;
    std::unique_ptr<ScriptAssistantDriver> driver;
};

const QString kMaskHead = QStringLiteral("Function PrintReportMask(ds, prn, bTotal)\n");
const QString kRowHead = QStringLiteral("Function PrintReportRow(dsRow, prn, nRow)\n");
const QString kDataHead = QStringLiteral("Function PrintDataInit(dsRow, prn)\n");
const QString kNoteHead = QStringLiteral("Function PrintNoteRow(sNoteRow, ds, prn, nRow)\n");

TEST_F(ReportAssistantTest, TheDataSetAtTheCaretFollowsTheFunctionItIsIn) {
    const struct {
        bool notes;
        QString marker;  // the caret after it; empty: at the start
        const char* name;
    } cases[] = {
        {false, {}, "ds"},
        {false, kMaskHead, "ds"},
        {false, QStringLiteral("  PrintReportMask = True"), "ds"},
        {false, kRowHead, "dsRow"},
        {false, kDataHead, "dsRow"},
        {false, QStringLiteral("  PrintDataInit = True\n"), "dsRow"},
        {true, kMaskHead, "ds"},
        {true, kRowHead, "dsRow"},
        {true, kDataHead, "dsRow"},
        {true, kNoteHead, "ds"},
    };
    bool notesOpened = false;
    for (const auto& c : cases) {
        if (!w || notesOpened != c.notes) {
            delete w;
            open(QStringLiteral("Ingressi"), c.notes);
            notesOpened = c.notes;
        }
        auto* box = w->findChild<QPlainTextEdit*>(QStringLiteral("txtVBScript"));
        w->SetScriptText(DefaultReportScript(c.notes));
        if (c.marker.isEmpty())
            box->moveCursor(QTextCursor::Start);
        else
            caretAfter(c.marker);
        EXPECT_EQ(QString::fromLatin1(c.name), w->CurrentDataSetName()) << c.notes << c.marker.toStdString();
    }
    // At the very end of the text there is none.
    auto* box = w->findChild<QPlainTextEdit*>(QStringLiteral("txtVBScript"));
    box->moveCursor(QTextCursor::End);
    EXPECT_EQ(QString(), w->CurrentDataSetName());

    // Edits that take a function head away or bring it back are seen at once.
    delete w;
    open(QStringLiteral("Ingressi"));
    box = w->findChild<QPlainTextEdit*>(QStringLiteral("txtVBScript"));
    w->SetScriptText(DefaultReportScript(false));
    caretAfter(kMaskHead);
    QTextCursor head = box->document()->find(QStringLiteral("PrintReportRow("));
    head.insertText(QStringLiteral("PrintReportRiga("));
    EXPECT_EQ(QStringLiteral("dsRow"), w->CurrentDataSetName());
    box->undo();
    caretAfter(kMaskHead);
    EXPECT_EQ(QStringLiteral("ds"), w->CurrentDataSetName());
    w->SetScriptText(QStringLiteral("Function PrintReportMask(ds, prn, bTotal)\r\nEnd Function\r\n"));
    caretAfter(kMaskHead);
    EXPECT_EQ(QStringLiteral("dsRow"), w->CurrentDataSetName());
    box->moveCursor(QTextCursor::End);
    box->insertPlainText(QStringLiteral("Function PrintReport"));
    box->insertPlainText(QStringLiteral("Row(dsRow, prn, nRow)\n"));
    caretAfter(kMaskHead);
    EXPECT_EQ(QStringLiteral("ds"), w->CurrentDataSetName());
}

TEST_F(ReportAssistantTest, TheTypedDataSetNameMustBeTheOneOfTheFunction) {
    for (bool notes : {false, true}) {
        open(QStringLiteral("Clienti"), notes);
        ScriptAssistantDriver& d = *driver;
        const struct {
            QString marker;
            const char* typed;
            bool opens;
        } cases[] = {
            {kMaskHead, "ds.", true},  {kMaskHead, "dsRow.", false},  {kRowHead, "dsRow.", true},
            {kRowHead, "ds.", false},  {kDataHead, "DSROW.", true},   {kDataHead, "ds.", false},
            {kNoteHead, "ds.", notes}, {kNoteHead, "dsRow.", !notes},
        };
        for (const auto& c : cases) {
            if (!notes && c.marker == kNoteHead) continue;
            w->SetScriptText(DefaultReportScript(notes));
            caretAfter(c.marker);
            d.type(QString::fromLatin1(c.typed));
            EXPECT_EQ(c.opens ? QStringLiteral("Istruzioni (ds.):") : QString(), d.shownHeading())
                << notes << c.marker.toStdString() << c.typed;
        }
        // A field or a data function picked inside PrintDataInit is one of dsRow.
        w->SetScriptText(DefaultReportScript(notes));
        caretAfter(kDataHead + QStringLiteral("\n"));
        d.type(QStringLiteral("  x = "));
        d.press("cmdField");
        d.pick(QStringLiteral("* Codice"));
        d.type(QStringLiteral(" : "));
        d.press("cmdInstruction");
        d.pick(QStringLiteral("   Record Successivo"));
        EXPECT_TRUE(d.scriptWithCaret().contains(
            QStringLiteral("\r\n\r\n  x = dsRow.ColValue(\"Codice\") : dsRow.RowNext|  '")))
            << d.scriptWithCaret().toStdString();
        delete w;
    }
}

TEST_F(ReportAssistantTest, TheListsShowTheTableOfTheDataSetAtTheCaretWhenTheyOpen) {
    open(QStringLiteral("OrdiniCommerciale.Particolari"));
    ScriptAssistantDriver& d = *driver;
    // The order's own fields in the mask, those of its parts (and of their base table) in the rows.
    caretAfter(kMaskHead);
    d.press("cmdField");
    QStringList fields = d.shownCaptions();
    EXPECT_TRUE(fields.contains(QStringLiteral("* Importo Totale")));
    EXPECT_FALSE(fields.contains(QStringLiteral("* Quantità Ordine")));
    EXPECT_TRUE(fields.contains(QStringLiteral("> Particolari"))) << fields.join(u'|').toStdString();
    caretAfter(kRowHead);
    d.press("cmdField");
    fields = d.shownCaptions();
    EXPECT_TRUE(fields.contains(QStringLiteral("* Quantità Ordine")));
    EXPECT_FALSE(fields.contains(QStringLiteral("* Importo Totale")));
    EXPECT_EQ(QStringLiteral("Campi:"), fields.first());

    // Typed "ColValue(" and "GetReference(" open them too, for the caret's table.
    d.closeMenus();
    d.type(QStringLiteral("  x = dsRow."));
    d.closeMenus();
    d.type(QStringLiteral("ColValue("));
    d.settle();
    EXPECT_TRUE(d.shownCaptions().contains(QStringLiteral("* Quantità Ordine")));
    d.pick(QStringLiteral("* Quantità Ordine"));
    EXPECT_TRUE(
        d.scriptWithCaret().contains(QStringLiteral("\r\n  x = dsRow.ColValue(\"QuantitàOrdine\")|")));
    caretAfter(kMaskHead);
    d.type(QStringLiteral("  Set p = ds."));
    d.closeMenus();
    d.type(QStringLiteral("GetReference("));
    d.settle();
    EXPECT_EQ(QStringList({"Riferimenti:", "* Particolari"}), d.shownCaptions());
}

TEST_F(ReportAssistantTest, AllReferencesAskWhichOneTheRowsComeFromAndOfferIfSections) {
    open(kCustomerOrders);
    // Two sources, none chosen yet: neither the script nor the assistant's buttons take input.
    for (const char* name : {"txtVBScript", "cmdInstruction", "cmdField"})
        EXPECT_FALSE(w->findChild<QWidget*>(QString::fromLatin1(name))->isEnabled()) << name;
    chooseSource(kAllReferences);
    for (const char* name : {"txtVBScript", "cmdInstruction", "cmdField"})
        EXPECT_TRUE(w->findChild<QWidget*>(QString::fromLatin1(name))->isEnabled()) << name;
    ScriptAssistantDriver& d = *driver;
    caretAfter(kRowHead);
    d.type(QStringLiteral("  x = dsRow."));
    d.closeMenus();
    QStringList asked;
    d.answerNextMenu(QStringLiteral("> Dettagli Attrezzature"), &asked);
    d.type(QStringLiteral("ColValue("));
    d.settle();
    EXPECT_EQ(QStringList({"Riferimenti:", "> Dettagli Attrezzature", "> Dettagli Vendita Macchinari"}),
              asked);
    EXPECT_EQ(QStringLiteral("Campi:"), d.shownHeading());
    EXPECT_TRUE(d.shownCaptions().contains(QStringLiteral("* Sotto Progressivo")));
    // Its references are those of the table picked, followed from there.
    d.pick(QStringLiteral("> Particolare dell'attrezzatura in lavorazione"));
    EXPECT_TRUE(d.scriptWithCaret().contains(QStringLiteral("  x = dsRow.GetReference(\"Particolare\").|")));
    EXPECT_EQ(QStringLiteral("< Particolare dell'attrezzatura in lavorazione >"), d.shownHeading());

    // Esc on the question: nothing opens, nothing is typed.
    d.setScript(
        QStringLiteral("Function PrintReportRow(dsRow, prn, nRow)\r\n  x = dsRow.|\r\nEnd Function\r\n"));
    asked.clear();
    d.answerNextMenu(QString(), &asked);
    d.type(QStringLiteral("ColValue("));
    d.settle();
    EXPECT_EQ(QStringLiteral("Riferimenti:"), asked.value(0));
    EXPECT_EQ(QString(), d.shownHeading());
    EXPECT_TRUE(d.scriptWithCaret().contains(QStringLiteral("  x = dsRow.ColValue(|\r\n")));

    // "Sezione:" offers the references; one of them becomes an If section on lines of its own.
    d.setScript(QStringLiteral("Function PrintReportRow(dsRow, prn, nRow)|\r\nEnd Function\r\n"));
    d.press("cmdInstruction");
    EXPECT_EQ(QStringList({"Presentazione", "Dati", "Sezione:"}), d.shownCaptions());
    d.pick(QStringLiteral("> Dettagli Attrezzature"));
    const QString section = QStringLiteral(
        "Function PrintReportRow(dsRow, prn, nRow)\r\nIf prn.DataReferenceName=\"Attrezzature\" Then\r\n  "
        "\r\nEnd If\r\n|\r\nEnd Function\r\n");
    EXPECT_EQ(section, d.scriptWithCaret());
    w->findChild<QComboBox*>(QStringLiteral("cbReportName"))->lineEdit()->setText(QStringLiteral("Tutti"));
    trace->answer(MsgResult::Yes);  // no printer
    w->cmdOK_Click();
    auto stored = rows(QStringLiteral("TabProspettiStampa"));
    stored->RowFirst();
    EXPECT_EQ(QString(section).remove(u'|'), stored->ColText(QStringLiteral("IstruzioniStampa")));

    // Another source has no sections.
    chooseSource(QStringLiteral("Commesse Cliente.Dettagli Attrezzature"));
    d.press("cmdInstruction");
    EXPECT_EQ(QStringList({"Presentazione", "Dati"}), d.shownCaptions());
}

TEST_F(ReportAssistantTest, TheReportEnginesBoxAndTheReportCaptions) {
    open(QStringLiteral("Ingressi"));
    ScriptAssistantDriver& d = *driver;
    d.setScript(QStringLiteral("  prn.|"));
    d.press("cmdInstruction");
    EXPECT_EQ(QStringList({"Presentazione", "Dati"}), d.shownCaptions());
    d.pick(QStringLiteral(" - Stampa Riquadro"));
    EXPECT_EQ(QStringLiteral("  prn.BoxOut nY, nX, nDimY, nDimX, bFill, bShadow|"), d.scriptWithCaret());
    EXPECT_EQ(1, d.actions(QStringLiteral(" > Dati &Referenziati ()")).size());
    // A "." at the very end of the script: no data set there, the data functions open.
    d.setScript(QStringLiteral("x|"));
    d.type(QStringLiteral("."));
    EXPECT_EQ(QStringLiteral("Istruzioni (ds.):"), d.shownHeading());
}

}  // namespace
