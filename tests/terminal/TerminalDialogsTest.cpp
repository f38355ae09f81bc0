// The terminal's small pieces: the barcode input and its filter script, the group choice, and the
// working-hours window with what it stores and its going with the database let go.
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

#include "TerminalFixture.h"
#include "base/DateUtil.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "terminal/frmAccessTimeSettings.h"
#include "terminal/frmSelectLavrix.h"
#include "terminal/modBarcodeReader.h"

namespace {

using namespace MsgBoxStyle;
const QString kCR = QStringLiteral("\r");

using TerminalDialogs = TerminalFixture;

TEST_F(TerminalDialogs, ScansAndTheFilterScript) {
    const struct {
        const char* typed;
        const char* code;
    } scans[] = {{"4711\r\n", "4711"}, {"4711\r", "4711"}, {"4711", ""}, {"\r4711", ""}, {"47\r11", "47"}};
    for (const auto& s : scans)
        EXPECT_EQ(FilterBarcodeInput(s.typed), s.code) << s.typed;

    const QString heading = "Errore in esecuzione del filtro codici a barre: " + kCR + kCR;
    EXPECT_EQ(
        ApplyBarcodeFilter("4711", "Function BarCodeFilter(c)\r\n  BarCodeFilter = c / 0\r\nEnd Function"),
        "");
    QStringList shown = boxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(heading) && shown[0].endsWith(kCR + kCR + "Linea VB: 2"))
        << shown[0].toStdString();
    // A failed test script is let go: the next scan passes unchanged.
    EXPECT_EQ(FilterBarcodeInput("4711\r"), "4711");
    EXPECT_EQ(ApplyBarcodeFilter("4711", "Function Other(c)\r\nEnd Function"), "");
    shown = boxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(heading) && !shown[0].contains("Linea VB")) << shown[0].toStdString();
    EXPECT_EQ(FilterBarcodeInput("4711\r"), "4711");

    // A script reads the program's clock and asks through its prompt service.
    at(8, 0);
    prompt->answer(MsgResult::Yes);
    EXPECT_EQ(ApplyBarcodeFilter("4711",
                                 "Function BarCodeFilter(c)\r\n  BarCodeFilter = c & \"|\" & "
                                 "Year(Now) & \"|\" & Hour(Now) & \"|\" & MsgBox(\"Prova\", 36, \"T\")\r\n"
                                 "End Function"),
              "4711|2026|8|6");
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, "Prova");
    EXPECT_EQ(prompt->last().style, 36);
    EXPECT_EQ(prompt->last().title, "T");
}

TEST_F(TerminalDialogs, TheGroupChoiceMovesNumbersBothWays) {
    frmSelectLavrix* d = frmSelectLavrix::Get();
    d->lstOpenSubLavrix()->addItems({"A", "B  "});
    d->lstSubLavrixToClose()->addItem("C");
    onSelect = [&](frmSelectLavrix& dialog) {
        dialog.txtFind_Commessa()->setText("B\r");  // scanned: trailing blanks do not matter
        dialog.txtFind_Commessa()->setText("C\r");  // and back to the open ones
        dialog.txtFind_Commessa()->setText("X\r");
        dialog.txtFind_Commessa()->setText("A");
        press(Qt::Key_Return, dialog.txtFind_Commessa());
        dialog.lstOpenSubLavrix()->setCurrentRow(0);
        emit dialog.lstOpenSubLavrix()->itemDoubleClicked(dialog.lstOpenSubLavrix()->item(0));
        press(Qt::Key_Return, dialog.txtFind_Commessa());  // empty: confirms
    };
    d->ShowModal(nullptr);
    EXPECT_EQ(d->ToClose(), QStringList({"B  ", "A", "C"}));
    EXPECT_EQ(boxes(), QStringList{"La commessa X non si trova tra quelle attive!"});
    onSelect = [&](frmSelectLavrix& dialog) { press(Qt::Key_Escape, dialog.txtFind_Commessa()); };
    d->ShowModal(nullptr);
    EXPECT_TRUE(d->ToClose().isEmpty());
}

using Box = QLineEdit* (frmAccessTimeSettings::*)() const;
using Typed = std::vector<std::pair<Box, const char*>>;

class WorkingHours : public TerminalFixture {
  protected:
    // The window over the station's hours with `typed` in its boxes, then OK: what it said.
    QStringList ok(const Typed& typed = {}) {
        frmAccessTimeSettings window;
        window.show();
        for (const auto& [box, text] : typed)
            (window.*box)()->setText(text);
        window.cmdOK()->click();
        closedAfter = !window.isVisible();
        breakBox = window.txtMinPausaMattutina()->text();
        return boxes();
    }
    QString stored(const char* key) { return database->GetSetting(connection, key, "-"); }
    bool closedAfter = false;
    QString breakBox;
};

TEST_F(WorkingHours, StoredForEveryStationAndReadBack) {
    EXPECT_TRUE(ok().isEmpty());
    EXPECT_EQ(breakBox, "000");
    EXPECT_EQ(stored("TotMinGiornataLavorativa"), "490");
    EXPECT_EQ(stored("OraPredefinitaEntrataMattino"), "07:40:00");
    EXPECT_TRUE(ok({{&frmAccessTimeSettings::txtMinPausaMattutina, "30"}}).isEmpty());
    reopen();
    EXPECT_EQ(stored("TotMinGiornataLavorativa"), "460");
    EXPECT_EQ(stored("MinPausaMattutina"), "30");
    // A morning exit equal to the afternoon entry passes; the time is stored as the start-up's are.
    EXPECT_TRUE(ok({{&frmAccessTimeSettings::txtOrarioUscitaMattutino, "14:00"}}).isEmpty());
    EXPECT_EQ(stored("OraPredefinitaUscitaMattino"), "14:00:00");
    EXPECT_EQ(g_intTotMinGiornataLavorativa, 520);
}

TEST_F(WorkingHours, RefusalsStoreNothing) {
    const QString invalid = "Impostazione degli Orari non valida";
    const Box pause = &frmAccessTimeSettings::txtMinPausaMattutina;
    // clang-format off
    const struct {
        Typed typed;
        QStringList said;
        const char* breakBox;
    } cases[] = {
        {{{&frmAccessTimeSettings::txtOrarioIngressoPomeridiano, "ab"}, {pause, ""}}, {invalid}, ""},
        {{{&frmAccessTimeSettings::txtOrarioUscitaMattutino, "12/03/2024"}}, {invalid}, "000"},
        {{{&frmAccessTimeSettings::txtOrarioUscitaPomeridiano, "13:50"}, {pause, ""}},
         {"L'orario di uscita pomeridiano deve essere posteriore a quello di ingresso",
          "Impostare i minuti di pausa mattutina"}, "0  "},
        {{{pause, "1 2"}}, {"Impostazione dei minuti di pausa mattutina non valida"}, "1 2"},
        {{{&frmAccessTimeSettings::txtMinRitardoAmmessi, "-5"}}, {"Impostazione dei minuti di ritardo ammessi non valida"}, "000"},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(ok(c.typed), c.said);
        EXPECT_EQ(breakBox, c.breakBox);
        EXPECT_TRUE(!closedAfter && stored("TotMinGiornataLavorativa") == "-") << c.breakBox;
    }

    // A store that fails half way leaves every parameter and this station's copies as they were.
    close();
    rawSql(
        "CREATE TRIGGER refuse AFTER INSERT ON _odbSettings WHEN NEW.Key = 'TotMinGiornataLavorativa' "
        "BEGIN SELECT RAISE(ABORT, 'rifiutato'); END");
    open();
    const QStringList said = ok({{pause, "30"}});
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].endsWith("Visualizzare dettagli ?"));
    EXPECT_FALSE(closedAfter);
    EXPECT_EQ(stored("MinPausaMattutina"), "-");
    EXPECT_EQ(stored("OraPredefinitaEntrataMattino"), "-");
    EXPECT_EQ(g_intMinPausaMattutina, 0);
    EXPECT_EQ(g_intTotMinGiornataLavorativa, 490);
}

TEST_F(WorkingHours, TheWindowGoesWithTheDatabaseItWasReadFrom) {
    QWidget owner;
    QPointer<frmAccessTimeSettings> window = frmAccessTimeSettings::ShowOver(&owner);
    window->txtMinPausaMattutina()->setText("30");

    // As the main window lets the database go.
    g_objConnection->CloseConnection();
    g_objConnection.reset();
    g_objDatabase.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Its OK, for as long as it is there to be pressed.
    if (window) window->cmdOK()->click();
    EXPECT_TRUE(window.isNull());
    reopen();
    EXPECT_EQ(stored("MinPausaMattutina"), "-");
    EXPECT_EQ(g_intMinPausaMattutina, 0);
}

}  // namespace
