// The reminders: the tick's scan window and its new reminders, the due list with its beep,
// indicator and question, the list's commands, the window's closing, and the faults the engine
// does not repeat (a template expanded once, ticks that do not nest, a scan position that never
// passes the scan, a timer that starts again with the database, a list that goes with it).
#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTimer>

#include <algorithm>

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "base/DateUtil.h"
#include "mainwindow/ReminderScan.h"
#include "mainwindow/frmMemo.h"
#include "model/GetDBTable.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Table.h"
#include "platform/Clock.h"
#include "startup/DatabaseOpening.h"
#include "startup/SharedState.h"

namespace {

const QDateTime kNow(QDate(2026, 3, 10), QTime(10, 0));
const QString kQuestion = "NUOVO PROMEMORIA...\r\rVuoi visualizzare i promemoria ?";

class ReminderTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Clock::setFixed(kNow);
        start();
        memo = window->MemoWindow();
        ASSERT_TRUE(memo);
        prompt->clear();
    }

    static std::shared_ptr<odb::DataSet> table(const QString& name, const QString& where = {}) {
        return GetDBTable(name).OpenData(where);
    }
    // A rule; the template's own warnings are not part of the test.
    void rule(const QString& onTable, const QString& field, int days, int hours, int minutes,
              const QString& text) {
        ASSERT_TRUE(table("ImpostazioniPromemoria", "OID=0")
                        ->AddRow({"NomeTabella", onTable, "NomeCampoData", field, "GiorniDiPreavviso", days,
                                  "OreDiPreavviso", hours, "MinutiDiPreavviso", minutes,
                                  "MessaggioDiNotifica", text}));
        prompt->clear();
    }
    // A customer job order due at `due`, numbered `number`; its identity.
    QString jobOrder(const QDateTime& due, int number = 0, const QString& note = {}) {
        auto orders = table("CommesseCliente", "OID=0");
        EXPECT_TRUE(orders->AddRow({"DataConsegnaConcordata", Variant::fromDate(OleDateFromQDateTime(due)),
                                    "Note", note.isEmpty() ? Variant::null() : Variant(note)}));
        if (number) {
            EXPECT_TRUE(orders->SetColValue("Progressivo", number));
            EXPECT_TRUE(orders->SaveRow());
        }
        return orders->RowIdentity(true);
    }
    QStringList lines() const {
        QStringList out;
        for (int i = 0; i < memo->lstMemo()->count(); ++i)
            out << memo->lstMemo()->item(i)->text();
        return out;
    }
    QStringList texts(const QString& where = {}) {
        QStringList out;
        auto rows = table("Promemoria", where);
        for (rows->RowFirst(); !rows->RowInvalid(); rows->RowNext())
            out << rows->ColText("TestoPromemoria");
        return out;
    }
    Variant lastCheck() {
        auto rules = table("ImpostazioniPromemoria");
        rules->RowFirst();
        return rules->ColValue("DataUltimoControllo");
    }
    void tick() { memo->tmrMemo_Timer(); }
    // The message boxes shown, beeps left out.
    static QStringList boxes(const RecordingPrompt& p) {
        QStringList out;
        for (const auto& shown : p.shown())
            if (shown.kind == RecordingPrompt::Kind::MsgBox) out << shown.text;
        return out;
    }
    void tickLine(int line) { memo->lstMemo()->item(line)->setCheckState(Qt::Checked); }

    frmMemo* memo = nullptr;
};

TEST_F(ReminderTest, ANewReminderIsAddedOnceAndAnnounced) {
    rule("CommesseCliente", "DataConsegnaConcordata", 2, 0, 0, "Consegna <%Progressivo%> <%Xyz%>");
    const QString id = jobOrder(kNow.addDays(1), 7);

    tick();
    EXPECT_EQ(texts(), QStringList{"Consegna 7 # Non identificato: Xyz#"});
    auto reminder = table("Promemoria");
    reminder->RowFirst();
    EXPECT_EQ(reminder->ColText("NomeTabellaOrigine"), "CommesseCliente");
    EXPECT_EQ(reminder->ColText("NomeCampoDataOrigine"), "DataConsegnaConcordata");
    EXPECT_EQ(reminder->ColText("IDElementoOrigine"), id);
    EXPECT_EQ(reminder->ColDate("DataRiferimento").toDate(), OleDateFromQDateTime(kNow.addDays(1)));
    EXPECT_EQ(lines(), QStringList{"10/03/2026 10:00:00 - Consegna 7 # Non identificato: Xyz#"});
    EXPECT_EQ(prompt->beeps(), 1);
    EXPECT_TRUE(window->MemoIndicatorVisible());
    ASSERT_EQ(boxes(*prompt), QStringList{kQuestion});
    EXPECT_EQ(prompt->last().style,
              MsgBoxStyle::vbYesNo | MsgBoxStyle::vbQuestion | MsgBoxStyle::vbDefaultButton2);
    EXPECT_FALSE(memo->isVisible());

    // Nothing new: no reminder, no beep, no question.
    prompt->clear();
    Clock::setFixed(kNow.addSecs(60));
    tick();
    EXPECT_EQ(texts().size(), 1);
    EXPECT_EQ(prompt->shown().size(), 0u);

    // Deleted: off the list, closed, and never back, though the order is still in the window.
    tickLine(0);
    memo->cmdDelete_Click();
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(texts("Chiuso"), QStringList{"Consegna 7 # Non identificato: Xyz#"});
    Clock::setFixed(kNow.addSecs(3600));
    tick();
    EXPECT_EQ(texts().size(), 1);
    EXPECT_TRUE(lines().isEmpty());

    // Yes to the question shows the list.
    jobOrder(kNow.addDays(1).addSecs(7200), 8);
    prompt->answer(MsgResult::Yes);
    tick();
    EXPECT_TRUE(memo->isVisible());
}

TEST_F(ReminderTest, ATemplateIsExpandedOnceAndCut) {
    rule("CommesseCliente", "DataConsegnaConcordata", 2, 0, 0, "Nota: <%Note%>");
    jobOrder(kNow.addDays(1), 0, "vedi <%Note%>");
    jobOrder(kNow.addDays(1), 0, "100%> pronto");
    jobOrder(kNow.addDays(1), 0, QString(300, 'n'));
    jobOrder(kNow.addDays(1));
    tick();
    const QStringList got = texts();
    ASSERT_EQ(got.size(), 4);
    EXPECT_EQ(got[0], "Nota: vedi <%Note%>");
    EXPECT_EQ(got[1], "Nota: 100%> pronto");
    EXPECT_EQ(got[2], "Nota: " + QString(249, 'n'));
    EXPECT_EQ(got[3], "Nota: ");
    EXPECT_FALSE(
        prompt->texts().contains("Messaggio non corretto.\rImpossibile determinare il nome del campo della "
                                 "tabella"));

    // A template whose first "%>" stands before its first "<%" says so and gives an empty text.
    rule("CommesseCliente", "DataInserimento", 0, 1, 0, "%> <%Note%>");
    tick();
    EXPECT_TRUE(prompt->texts().contains(
        "Messaggio non corretto.\rImpossibile determinare il nome del campo della tabella"));
    EXPECT_EQ(texts("NomeCampoDataOrigine = 'DataInserimento'").value(0), "");
}

TEST_F(ReminderTest, TheScanWindowFollowsTheNoticeAndItsLastCheck) {
    // First scan of a 2-day rule: two days back and two days forward, to the minute.
    rule("CommesseCliente", "DataConsegnaConcordata", 2, 0, 0, "<%Progressivo%>");
    for (int minutes : {-2 * 1440 - 1, -2 * 1440, 2 * 1440, 2 * 1440 + 1})
        jobOrder(kNow.addSecs(60 * minutes), 100 + minutes % 100 + (minutes < 0 ? 10 : 20));
    tick();
    EXPECT_EQ(texts().size(), 2);
    // The next scan starts where this one stopped, never past the scan's moment.
    EXPECT_EQ(lastCheck().toDate(), OleDateFromQDateTime(kNow));

    // A stored check older than the notice (short rule: a day) starts a day back only.
    auto rules = table("ImpostazioniPromemoria");
    rules->RowFirst();
    rules->SetColValue("GiorniDiPreavviso", 0);
    rules->SetColValue("OreDiPreavviso", 1);
    rules->SetColValue("DataUltimoControllo", Variant::fromDate(OleDateFromQDateTime(kNow.addDays(-5))));
    ASSERT_TRUE(rules->SaveRow());
    EXPECT_DOUBLE_EQ(ReminderScan::ScanStart(lastCheck(), 60, OleDateFromQDateTime(kNow)),
                     OleDateFromQDateTime(kNow.addDays(-1)));
    const double recent = OleDateFromQDateTime(kNow.addSecs(-3600));
    EXPECT_DOUBLE_EQ(ReminderScan::ScanStart(Variant::fromDate(recent), 60, OleDateFromQDateTime(kNow)),
                     recent);
    // Each bound to the minute: a day back for a short rule, the notice back for a long one.
    const double at = OleDateFromQDateTime(kNow);
    for (int64_t notice : {int64_t{60}, int64_t{1440}, int64_t{30 * 1440}}) {
        const int64_t back = std::max<int64_t>(notice, 1440);
        const double bound = OleDateFromQDateTime(kNow.addSecs(-60 * back));
        const double before = OleDateFromQDateTime(kNow.addSecs(-60 * (back + 1)));
        const double after = OleDateFromQDateTime(kNow.addSecs(-60 * (back - 1)));
        EXPECT_DOUBLE_EQ(ReminderScan::ScanStart(Variant::fromDate(before), notice, at), bound) << notice;
        EXPECT_DOUBLE_EQ(ReminderScan::ScanStart(Variant::fromDate(bound), notice, at), bound) << notice;
        EXPECT_DOUBLE_EQ(ReminderScan::ScanStart(Variant::fromDate(after), notice, at), after) << notice;
    }
    // A long rule looks back its whole notice: 30 days, past 16 bits of minutes.
    const Variant old = Variant::fromDate(OleDateFromQDateTime(kNow.addDays(-40)));
    EXPECT_DOUBLE_EQ(ReminderScan::ScanStart(old, 30 * 1440, OleDateFromQDateTime(kNow)),
                     OleDateFromQDateTime(kNow.addDays(-30)));
    const Variant within = Variant::fromDate(OleDateFromQDateTime(kNow.addDays(-29)));
    EXPECT_DOUBLE_EQ(ReminderScan::ScanStart(within, 30 * 1440, OleDateFromQDateTime(kNow)), within.toDate());
    EXPECT_DOUBLE_EQ(ReminderScan::ScanStart(Variant::null(), 90, OleDateFromQDateTime(kNow)),
                     OleDateFromQDateTime(kNow.addSecs(-90 * 60)));

    // The boundaries of the day looked back, in a tick.
    table("Promemoria")->DeleteRows();
    jobOrder(kNow.addDays(-1).addSecs(-60), 501);
    jobOrder(kNow.addDays(-1), 502);
    tick();
    EXPECT_TRUE(texts().contains("502"));
    EXPECT_FALSE(texts().contains("501"));
}

TEST_F(ReminderTest, ALongRuleTicksAgainAndAnEarlierOrderAddedLaterIsFound) {
    rule("CommesseCliente", "DataConsegnaConcordata", 30, 0, 0, "<%Progressivo%>");
    jobOrder(kNow.addDays(2), 1);
    tick();
    prompt->clear();
    Clock::setFixed(kNow.addSecs(60));
    tick();
    EXPECT_TRUE(boxes(*prompt).isEmpty()) << boxes(*prompt).join("|").toStdString();
    // Added after one due later, an order due sooner is still reminded at the next tick.
    jobOrder(kNow.addDays(1), 2);
    Clock::setFixed(kNow.addSecs(120));
    tick();
    EXPECT_EQ(texts(), QStringList({"1", "2"}));
}

TEST_F(ReminderTest, AnOrderDueSoonerAddedAfterALaterOneIsRemindedAtTheNextTick) {
    rule("CommesseCliente", "DataConsegnaConcordata", 2, 0, 0, "<%Progressivo%>");
    jobOrder(kNow.addDays(2), 21);
    tick();
    jobOrder(kNow.addDays(1), 22);
    Clock::setFixed(kNow.addSecs(60));
    tick();
    EXPECT_EQ(texts(), QStringList({"21", "22"}));
}

TEST_F(ReminderTest, ARuleThatFailsKeepsWhatTheRulesBeforeItAdded) {
    rule("CommesseCliente", "DataConsegnaConcordata", 2, 0, 0, "<%Progressivo%>");
    // A rule the window would refuse, as a table left out of a later version leaves it.
    g_objConnection->Execute(
        "INSERT INTO ImpostazioniPromemoria (NomeTabella, NomeCampoData, GiorniDiPreavviso, OreDiPreavviso, "
        "MinutiDiPreavviso, MessaggioDiNotifica) VALUES ('TabellaInesistente', 'Data', 2, 0, 0, 'x')");
    jobOrder(kNow.addDays(1), 11);
    tick();
    EXPECT_EQ(texts(), QStringList{"11"});
    EXPECT_EQ(boxes(*prompt).size(), 1);
    // The scan's transaction is closed: the file is free and later ticks go on.
    EXPECT_EQ(g_objConnection->TransLevel(), 0);
    EXPECT_FALSE(g_objConnection->InTransaction());
    table("ImpostazioniPromemoria", "NomeTabella = 'TabellaInesistente'")->DeleteRows();

    // Names spelt in another case still find the reminder of the same origin.
    rule("commesseCLIENTE", "dataconsegnaconcordata", 3, 0, 0, "doppio <%Progressivo%>");
    jobOrder(kNow.addDays(1).addSecs(60), 12);
    Clock::setFixed(kNow.addSecs(60));
    tick();
    EXPECT_EQ(texts(), QStringList({"11", "12"}));

    // A message about a new reminder's text is shown with the file free for other computers.
    struct Watching : RecordingPrompt {
        QList<bool> locked;
        MsgResult msgBox(const QString& t, int s, const QString& title, QWidget* o) override {
            locked << g_objConnection->InTransaction();
            return RecordingPrompt::msgBox(t, s, title, o);
        }
    };
    auto watching = std::make_shared<Watching>();
    rule("CommesseCliente", "DataInserimento", 0, 1, 0, "%> <%Note%>");
    auto previous = Prompt::setInstance(watching);
    tick();
    Prompt::setInstance(previous);
    ASSERT_TRUE(watching->texts().contains(
        "Messaggio non corretto.\rImpossibile determinare il nome del campo della tabella"));
    EXPECT_FALSE(watching->locked.contains(true));
}

TEST_F(ReminderTest, ARuleOfNoNoticeRemindsOnceTheDateIsReached) {
    rule("CommesseCliente", "DataConsegnaConcordata", 0, 0, 0, "<%Progressivo%>");
    // Stored with the floor of 30 minutes; set back to none for the window that ends at now.
    auto rules = table("ImpostazioniPromemoria");
    rules->RowFirst();
    rules->SetColValue("MinutiDiPreavviso", 0);
    ASSERT_TRUE(rules->SaveRow());
    jobOrder(kNow.addDays(1), 3);
    tick();
    EXPECT_TRUE(texts().isEmpty());
    Clock::setFixed(kNow.addDays(1));
    tick();
    EXPECT_EQ(texts(), QStringList{"3"});
}

TEST_F(ReminderTest, PostponingHidesAReminderUntilItsTime) {
    rule("CommesseCliente", "DataConsegnaConcordata", 2, 0, 0, "<%Progressivo%>");
    jobOrder(kNow.addDays(1), 4);
    jobOrder(kNow.addDays(1), 5);
    tick();
    ASSERT_EQ(lines().size(), 2);

    // No interval chosen: said, and nothing moves.
    tickLine(0);
    prompt->clear();
    memo->cmdPostpone_Click();
    EXPECT_EQ(prompt->texts(), QStringList{"Impostare un intervallo di tempo valido"});
    EXPECT_EQ(prompt->last().icon(), MsgBoxStyle::vbInformation);
    EXPECT_EQ(lines().size(), 2);

    memo->cmbTimeReminder()->setCurrentIndex(memo->cmbTimeReminder()->findText("1 ora"));
    tickLine(0);
    memo->cmdPostpone_Click();
    EXPECT_EQ(lines(), QStringList{"10/03/2026 10:00:00 - 5"});
    Clock::setFixed(kNow.addSecs(3599));
    tick();
    EXPECT_EQ(lines().size(), 1);
    Clock::setFixed(kNow.addSecs(3600));
    tick();
    EXPECT_EQ(lines(), QStringList({"10/03/2026 11:00:00 - 4", "10/03/2026 10:00:00 - 5"}));

    // A reminder deleted meanwhile cannot be postponed: said with its line.
    const Variant gone = memo->LineBookmark(0);
    auto reminders = table("Promemoria", "OID=" + gone.toText());
    ASSERT_TRUE(reminders->DeleteRow());
    tickLine(0);
    prompt->clear();
    memo->cmdPostpone_Click();
    ASSERT_FALSE(prompt->texts().isEmpty());
    EXPECT_EQ(
        prompt->texts()[0],
        "Il messaggio:\r10/03/2026 11:00:00 - 4\r\rNon è stato identificato nella tabella dei Promemoria; è "
        "possibile che sia già stato cancellato.\r\rIl messaggio non può pertanto essere posposto");
}

TEST_F(ReminderTest, TicksDoNotNestUnderTheirQuestionNorUnderACommandsWindow) {
    rule("CommesseCliente", "DataConsegnaConcordata", 2, 0, 0, "<%Progressivo%>");
    jobOrder(kNow.addDays(1), 6);
    // The question stays up across three more ticks: they do nothing.
    int nested = 0;
    struct Answering : RecordingPrompt {
        std::function<void()> during;
        MsgResult msgBox(const QString& t, int s, const QString& title, QWidget* o) override {
            if (during) during();
            return RecordingPrompt::msgBox(t, s, title, o);
        }
    };
    auto answering = std::make_shared<Answering>();
    answering->during = [&] {
        for (int i = 0; i < 3; ++i, ++nested)
            tick();
    };
    auto previous = Prompt::setInstance(answering);
    tick();
    Prompt::setInstance(previous);
    EXPECT_EQ(nested, 3);
    EXPECT_EQ(boxes(*answering), QStringList{kQuestion});
    EXPECT_EQ(texts().size(), 1);

    // Edit opens the ticked and the current line's rows; a tick under its window changes nothing.
    jobOrder(kNow.addDays(1), 7);
    Clock::setFixed(kNow.addSecs(60));
    tick();
    ASSERT_EQ(lines().size(), 2);
    tickLine(1);
    memo->lstMemo()->setCurrentRow(0);
    QStringList shownRows;
    expect([&](QDialog& d) {
        tick();
        shownRows << d.windowTitle();
    });
    expect([&](QDialog& d) { shownRows << d.windowTitle(); });
    memo->cmdEdit_Click();
    EXPECT_EQ(shownRows.size(), 2);
    EXPECT_EQ(lines().size(), 2);
}

TEST_F(ReminderTest, TheCloseBoxHidesAndTheProgramsClosingGoesAhead) {
    window->mnuMemo_Click();
    EXPECT_TRUE(memo->isVisible());
    window->SetMemoIndicator(true);
    QCloseEvent box;
    // As the window system sends it: the close box.
    QSpontaneKeyEvent::setSpontaneous(&box);
    qApp->notify(memo, &box);
    EXPECT_FALSE(box.isAccepted());
    EXPECT_FALSE(memo->isVisible());
    EXPECT_FALSE(window->MemoIndicatorVisible());
    memo->show();
    EXPECT_TRUE(memo->close());
}

TEST_F(ReminderTest, TheListComesUpOverTheMainWindowThenWhereItWasLeft) {
    window->setGeometry(60, 40, 700, 520);
    window->mnuMemo_Click();
    EXPECT_LE((memo->frameGeometry().center() - window->frameGeometry().center()).manhattanLength(), 6);
    memo->move(40, 60);
    memo->hide();
    window->mnuMemo_Click();
    EXPECT_EQ(memo->pos(), QPoint(40, 60));
}

TEST_F(ReminderTest, TheTimerStopsWithTheDatabaseAndStartsAgainWithIt) {
    rule("CommesseCliente", "DataConsegnaConcordata", 2, 0, 0, "<%Progressivo%>");
    EXPECT_TRUE(memo->tmrMemo()->isActive());
    window->ReleaseDatabase();
    tick();
    EXPECT_FALSE(memo->tmrMemo()->isActive());
    expect(pickUser("Amministratore"));
    expect(typePassword(""));
    window->Form_Activate();
    EXPECT_EQ(window->MemoWindow(), memo);
    EXPECT_TRUE(memo->tmrMemo()->isActive());
    jobOrder(kNow.addDays(1), 9);
    tick();
    EXPECT_EQ(texts(), QStringList{"9"});
}

TEST_F(ReminderTest, TheListGoesWithTheDatabaseItWasReadFrom) {
    rule("CommesseCliente", "DataConsegnaConcordata", 2, 0, 0, "<%Progressivo%>");
    jobOrder(kNow.addDays(1), 9);
    prompt->answer(MsgResult::Yes);
    tick();
    ASSERT_EQ(texts(), QStringList{"9"});
    ASSERT_TRUE(memo->isVisible());
    tickLine(0);

    // Another work folder, whose file holds another reminder under the same row identity.
    window->ReleaseDatabase();
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_FALSE(memo->isVisible());
    EXPECT_FALSE(window->MemoIndicatorVisible());
    const QString other = path("other");
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_TRUE(
        QFile::copy(QDir(workFolder()).filePath(kDatabaseFileName), QDir(other).filePath(kDatabaseFileName)));
    g_strRootDir = other;
    expect(pickUser("Amministratore"));
    expect(typePassword(""));
    window->Form_Activate();
    ASSERT_TRUE(IsDatabaseOpen());
    auto reminder = table("Promemoria");
    ASSERT_TRUE(reminder->SetColValue("TestoPromemoria", "altro") && reminder->SaveRow());

    // What the list showed of the file let go is not acted on in this one.
    prompt->clear();
    memo->cmdDelete_Click();
    EXPECT_TRUE(texts("Chiuso").isEmpty());
    EXPECT_TRUE(boxes(*prompt).isEmpty());
    tick();
    EXPECT_EQ(lines(), QStringList{"10/03/2026 10:00:00 - altro"});
}

TEST_F(ReminderTest, OldClosedRemindersArePurgedOnce) {
    auto reminders = table("Promemoria", "OID=0");
    const double now = OleDateFromQDateTime(kNow);
    for (int days : {16, 15, 14})
        ASSERT_TRUE(reminders->AddRow({"TestoPromemoria", QString::number(days), "Chiuso", true,
                                       "DataRiferimento", Variant::fromDate(now - days)}));
    ASSERT_TRUE(
        reminders->AddRow({"TestoPromemoria", "aperto", "Chiuso", false, "DataRiferimento",
                           Variant::fromDate(now - 40), "DataProssimaNotifica", Variant::fromDate(now + 1)}));
    // No rules: 15 days.
    tick();
    EXPECT_EQ(texts(), QStringList({"14", "aperto"}));
    // Once for the window's life.
    ASSERT_TRUE(reminders->AddRow(
        {"TestoPromemoria", "20", "Chiuso", true, "DataRiferimento", Variant::fromDate(now - 20)}));
    tick();
    EXPECT_EQ(texts().size(), 3);
}

TEST_F(ReminderTest, OnlyTheAdministratorHasTheReminders) {
    EXPECT_TRUE(window->MemoWindow());
    g_strCurrentUser = "amministratore";
    window->Form_Activate();
    EXPECT_FALSE(window->MemoWindow());
}

}  // namespace
