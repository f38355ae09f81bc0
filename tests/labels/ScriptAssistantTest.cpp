// The code assistant of the label layout window: the texts that open its menus and choosers, what a
// pick types at the caret, references followed from table to table, the lists of a table, the line
// label and the controls that wait for a table.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include "LabelRunFixture.h"
#include "labels/frmLabelPrintSetting.h"
#include "platform/ScriptBox.h"
#include "support/ScriptAssistantDriver.h"

namespace {

const QString kCardTables = QStringLiteral(
    "DettagliAttrezzature,DettagliProduzione,CommesseAssistenza,DettaglivenditaMacchinari,Clienti");

class LabelAssistantTest : public LabelRunTest {
  protected:
    void TearDown() override {
        driver.reset();
        delete frmLabelPrintSetting::Get();
        LabelRunTest::TearDown();
    }
    // The window on a table whose lists are built.
    void openOn(const QString& table) {
        w = frmLabelPrintSetting::EditSetting(&owner, database, connection, kCardTables);
        driver = std::make_unique<ScriptAssistantDriver>(w);
        w->cbTableSel()->setCurrentIndex(w->cbTableSel()->findText(table));
        EXPECT_TRUE(QTest::qWaitFor([this] { return w->txtVBScript()->isEnabled(); }));
        prompt->clear();
    }

    frmLabelPrintSetting* w = nullptr;
    std::unique_ptr<ScriptAssistantDriver> driver;
};

TEST_F(LabelAssistantTest, TypedTextsOpenTheirMenuOnlyWhenWhollyBeforeTheCaret) {
    openOn(QStringLiteral("Dettagli Attrezzature"));
    ScriptAssistantDriver& d = *driver;
    // Each typed text, in any letter case, opens its menu; what opens is named by its first entry.
    const struct {
        const char* before;
        const char* typed;
        const char* opened;
    } cases[] = {
        {"  |", "prn.", "Istruzioni (prn.):"},
        {"  |", "Prn.", "Istruzioni (prn.):"},
        {"  |", "PRN.", "Istruzioni (prn.):"},
        {"  x = |", "ds.", "Istruzioni (ds.):"},
        {"  x = ds.GetReference(\"Tipo\")|", ".", "Istruzioni (ds.):"},
        {"  x = ds.|", "GetReference(", "Riferimenti:"},
        {"  x = ds.|", "ColValue(", "Campi:"},
        {"  x = ds.|", "formattedcolvalue(", "Campi:"},
        // Fewer characters before the caret than the text: nothing, though the text reads "prn.".
        {"|.", "prn", ""},
        {"|s.", "d", ""},
        {"  x = |", "ds", ""},
        {"  prn.Color|", ".", ""},
    };
    for (const auto& c : cases) {
        d.setScript(QString::fromUtf8(c.before));
        d.type(QString::fromUtf8(c.typed));
        EXPECT_EQ(QString::fromUtf8(c.opened), d.shownHeading()) << c.before << c.typed;
        d.closeMenus();
    }
    // The menu of "prn." is the list under "Di Presentazione"; its headings cannot be chosen.
    d.setScript(QStringLiteral("  |"));
    d.type(QStringLiteral("prn."));
    ASSERT_TRUE(d.shown());
    EXPECT_EQ(QStringLiteral("Di Presentazione"), d.shown()->title());
    d.closeMenus();
    for (const char* heading :
         {"Istruzioni (prn.):", "Istruzioni (ds.):", "Posizionamento record:", "Informazioni sui dati:",
          "Campi:", "Campi dei Riferimenti:", "Riferimenti:"}) {
        const QList<QAction*> found = d.actions(QString::fromUtf8(heading));
        ASSERT_FALSE(found.isEmpty()) << heading;
        for (QAction* a : found)
            EXPECT_FALSE(a->isEnabled()) << heading;
    }
}

TEST_F(LabelAssistantTest, APickTypesItsTextAtTheCaret) {
    storeLayout(LayoutRow());
    openOn(QStringLiteral("Clienti"));
    ScriptAssistantDriver& d = *driver;
    // A pick into the stored layout marks it modified.
    EXPECT_FALSE(w->Modified());
    w->txtVBScript()->moveCursor(QTextCursor::End);
    d.press("cmdField");
    d.pick(QStringLiteral("* Codice"));
    EXPECT_TRUE(w->Modified());
    EXPECT_TRUE(
        w->txtVBScript()->Script().endsWith(QStringLiteral("End Function\r\nds.ColValue(\"Codice\")")));

    const QString box = QStringLiteral("BoxOut nY, nX, nDimY, nDimX, bFill");
    const QString browser =
        QStringLiteral("PrintObject \"Shell.Explorer\", \"navigate \" & sFile, \"ExecWB 6, 1\"");
    const struct {
        QString before;
        const char* button;
        QString caption;
        QString after;
    } cases[] = {
        {"  prn.|", "cmdInstruction", " - Stampa Riquadro", "  prn." + box + "|"},
        {"  x |", "cmdInstruction", " - Stampa Riquadro", "  x prn." + box + "|"},
        {"|End Function", "cmdInstruction", " - Stampa Riquadro", box + "|End Function"},
        {"|", "cmdInstruction", " - Stampa Riquadro", "|"},
        {"  prn.|", "cmdInstruction", " - Stampa Internet Browser", "  prn." + browser + "|"},
        {"  ds.|", "cmdInstruction", "   Record Successivo", "  ds.RowNext|"},
        {"  If |", "cmdInstruction", " = Numero Record", "  If ds.RowCount(True)|"},
        {"  x = ds.ColValue(|", "cmdField", "* Codice", "  x = ds.ColValue(\"Codice\")|"},
        {"  x = Left(|", "cmdField", "* Codice", "  x = Left(\"Codice\")|"},
        {"  x = ds.|", "cmdField", "* Codice", "  x = ds.ColValue(\"Codice\")|"},
        {"  x = |", "cmdField", "* Codice", "  x = ds.ColValue(\"Codice\")|"},
        {"|x", "cmdField", "* Codice", "ds.ColValue(\"Codice\")|x"},
        {"|", "cmdField", "* Codice", "|"},
        // A selection is replaced.
        {"  x = [old]|", "cmdField", "* Citta", "  x = ds.ColValue(\"Citta\")|"},
    };
    for (const auto& c : cases) {
        d.setScript(c.before);
        d.press(c.button);
        d.pick(c.caption);
        EXPECT_EQ(c.after, d.scriptWithCaret()) << c.before.toStdString() << c.caption.toStdString();
        // Nothing further opens.
        EXPECT_EQ(QString(), d.shownHeading()) << c.before.toStdString();
    }
}

TEST_F(LabelAssistantTest, DataFunctionsOpenTheListTheyCallAndReferencesAreFollowedToAnyDepth) {
    openOn(QStringLiteral("Dettagli Attrezzature"));
    ScriptAssistantDriver& d = *driver;
    d.setScript(QStringLiteral("  x = |"));
    d.type(QStringLiteral("ds."));
    d.pick(QStringLiteral(" * Contenuto Campo ()"));
    EXPECT_EQ(QStringLiteral("  x = ds.ColValue(|"), d.scriptWithCaret());
    EXPECT_EQ(QStringLiteral("Campi:"), d.shownHeading());
    // A reference among the fields: the call becomes GetReference and the referenced table's menu opens.
    d.pick(QStringLiteral("> Passaggi di lavorazione"));
    EXPECT_EQ(QStringLiteral("  x = ds.GetReference(\"Passaggi\").|"), d.scriptWithCaret());
    EXPECT_EQ(QStringLiteral("< Passaggi di lavorazione >"), d.shownHeading());
    EXPECT_TRUE(d.shownCaptions().contains(QStringLiteral("* Tempo Impiegato")));
    d.pick(QStringLiteral("> Operaio"));
    EXPECT_EQ(QStringLiteral("  x = ds.GetReference(\"Passaggi\").GetReference(\"Operaio\").|"),
              d.scriptWithCaret());
    EXPECT_EQ(QStringLiteral("< Operaio >"), d.shownHeading());
    d.pick(QStringLiteral("* Nominativo"));
    EXPECT_EQ(QStringLiteral(
                  "  x = ds.GetReference(\"Passaggi\").GetReference(\"Operaio\").ColValue(\"Nominativo\")|"),
              d.scriptWithCaret());
    EXPECT_EQ(QString(), d.shownHeading());

    // " > Dati Referenziati ()" opens the references at once; a pick there follows the reference.
    d.setScript(QStringLiteral("  Set r = |"));
    d.press("cmdInstruction");
    d.pick(QStringLiteral(" > Dati Referenziati ()"));
    EXPECT_EQ(QStringLiteral("  Set r = ds.GetReference(|"), d.scriptWithCaret());
    EXPECT_EQ(QStringLiteral("Riferimenti:"), d.shownHeading());
    d.pick(QStringLiteral("* Particolare dell'attrezzatura in lavorazione"));
    EXPECT_EQ(QStringLiteral("  Set r = ds.GetReference(\"Particolare\").|"), d.scriptWithCaret());
    EXPECT_EQ(QStringLiteral("< Particolare dell'attrezzatura in lavorazione >"), d.shownHeading());
    d.closeMenus();

    // The "ColValue(" of a pick opens the fields at once, also after a reference.
    d.setScript(QStringLiteral("  x = ds.GetReference(\"Tipo\").|"));
    d.press("cmdInstruction");
    d.pick(QStringLiteral(" * Contenuto Campo Formattato ()"));
    EXPECT_EQ(QStringLiteral("  x = ds.GetReference(\"Tipo\").FormattedColValue(|"), d.scriptWithCaret());
    EXPECT_EQ(QStringLiteral("Campi:"), d.shownHeading());
}

TEST_F(LabelAssistantTest, TheListsOfATableAndItsBaseTablesWithoutHiddenEntries) {
    openOn(QStringLiteral("Dettagli Attrezzature"));
    ScriptAssistantDriver& d = *driver;
    d.press("cmdField");
    EXPECT_EQ(QStringList({"Campi:", "* Sotto Progressivo", "* Quantità", "* Numero Commessa", "* Chiuso",
                           "* Sospeso", "* In Lavorazione", "* Data Inizio", "* Tempo Impiegato",
                           "* Costo Effettivo Passaggi", "* Tempo Sospensione", "-",
                           "Campi dei Riferimenti:", "> Particolare dell'attrezzatura in lavorazione",
                           "> Tipo", "> Passaggi di lavorazione"}),
              d.shownCaptions());
    d.closeMenus();

    // Another table: only its own entries, the headings kept.
    w->cbTableSel()->setCurrentIndex(w->cbTableSel()->findText(QStringLiteral("Clienti")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return d.idle(); }));
    d.press("cmdField");
    const QStringList fields = d.shownCaptions();
    EXPECT_EQ(QStringLiteral("Campi:"), fields.first());
    EXPECT_TRUE(fields.contains(QStringLiteral("* Codice")));
    EXPECT_FALSE(fields.contains(QStringLiteral("* Quantità")));
    EXPECT_EQ(QStringList({"-", "Campi dei Riferimenti:"}), fields.mid(fields.size() - 2));
    d.closeMenus();
    d.press("cmdInstruction");
    EXPECT_EQ(QStringList({"Di Presentazione", "Di Accesso ai Dati"}), d.shownCaptions());
}

TEST_F(LabelAssistantTest, FontAndColourChoosersCompleteTheCall) {
    openOn(QStringLiteral("Clienti"));
    ScriptAssistantDriver& d = *driver;
    auto choosers = [this] {
        int n = 0;
        for (const auto& s : prompt->shown())
            n += s.kind == RecordingPrompt::Kind::Font || s.kind == RecordingPrompt::Kind::Color;
        prompt->clear();
        return n;
    };
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10.5);
    font.setBold(true);
    prompt->answerFont(font);
    d.setScript(QStringLiteral("  |\r\nEnd Function"));
    d.type(QStringLiteral("prn.SetFont "));
    d.settle();
    EXPECT_EQ(QStringLiteral("  prn.SetFont 10.5, True, False, \"DejaVu Sans\", False|\r\nEnd Function"),
              d.scriptWithCaret());
    EXPECT_EQ(1, choosers());
    // Before a letter: no chooser. At the end of the text, or before a blank: the chooser.
    d.setScript(QStringLiteral("  |x"));
    d.type(QStringLiteral("prn.SetFont "));
    d.settle();
    EXPECT_EQ(0, choosers());
    d.setScript(QStringLiteral("  | 12"));
    d.type(QStringLiteral("prn.setfont "));
    d.settle();
    EXPECT_EQ(1, choosers());
    EXPECT_EQ(QStringLiteral("  prn.setfont | 12"), d.scriptWithCaret());  // cancelled: nothing typed

    // " - Imposta Font" types "SetFont " and opens the chooser at once.
    font.setFamily(QStringLiteral("DejaVu Serif"));
    font.setPointSize(9);
    font.setBold(false);
    font.setItalic(true);
    font.setUnderline(true);
    prompt->answerFont(font);
    d.setScript(QStringLiteral("  prn.|"));
    d.press("cmdInstruction");
    d.pick(QStringLiteral(" - Imposta Font"));
    EXPECT_EQ(QStringLiteral("  prn.SetFont 9, False, True, \"DejaVu Serif\", True|"), d.scriptWithCaret());
    EXPECT_EQ(1, choosers());

    // Colours as VB writes them: red FF, blue FF0000, black 0.
    const struct {
        QColor color;
        const char* written;
    } colours[] = {
        {Qt::red, "&HFF"}, {Qt::blue, "&HFF0000"}, {Qt::black, "&H0"}, {QColor(1, 2, 3), "&H30201"}};
    for (const auto& c : colours) {
        prompt->answerColor(c.color);
        d.setScript(QStringLiteral("  |"));
        d.type(QStringLiteral("prn.Color "));
        d.settle();
        EXPECT_EQ(QStringLiteral("  prn.Color = ") + QString::fromLatin1(c.written) + u'|',
                  d.scriptWithCaret());
    }
    d.setScript(QStringLiteral("  |"));
    d.type(QStringLiteral("prn.Color "));
    d.settle();
    EXPECT_EQ(QStringLiteral("  prn.Color |"), d.scriptWithCaret());
}

TEST_F(LabelAssistantTest, TheLineLabelAndTheControlsThatWaitForATable) {
    w = frmLabelPrintSetting::EditSetting(&owner, database, connection, kCardTables);
    driver = std::make_unique<ScriptAssistantDriver>(w);
    for (const char* name : {"txtVBScript", "cmdInstruction", "cmdField"})
        EXPECT_FALSE(w->findChild<QWidget*>(QString::fromLatin1(name))->isEnabled()) << name;
    // The table's layout shows at once; the controls come on once its lists are built.
    w->cbTableSel()->setCurrentIndex(w->cbTableSel()->findText(QStringLiteral("Clienti")));
    EXPECT_FALSE(w->txtVBScript()->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([this] { return w->txtVBScript()->isEnabled(); }));
    for (const char* name : {"cmdInstruction", "cmdField"})
        EXPECT_TRUE(w->findChild<QWidget*>(QString::fromLatin1(name))->isEnabled()) << name;

    ScriptAssistantDriver& d = *driver;
    QTextCursor c = w->txtVBScript()->textCursor();
    c.setPosition(w->txtVBScript()->document()->findBlockByNumber(2).position() + 4);
    w->txtVBScript()->setTextCursor(c);
    EXPECT_EQ(QStringLiteral("3 / 18"), w->lblLine()->text());
    d.setScript(QStringLiteral("|"));
    EXPECT_EQ(QStringLiteral("1 / 1"), w->lblLine()->text());
    d.type(QStringLiteral("a\rb\r"));
    EXPECT_EQ(QStringLiteral("3 / 3"), w->lblLine()->text());
}

}  // namespace
