// The control panel on the terminal's shop floor: absences and late arrivals at their boundaries,
// details in progress with their steps, idle workers, the completed steps kept across refreshes and
// openings, closed orders, the timer, clicks, a list that cannot be read, another computer's lock and
// the database let go.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

#include <sqlite3.h>

#include "TerminalFixture.h"
#include "odb/Connection.h"
#include "startup/SharedState.h"
#include "support/OtherComputerLock.h"
#include "terminal/frmControlPanel.h"

namespace {

class ControlPanelTest : public TerminalFixture {
  protected:
    void SetUp() override {
        TerminalFixture::SetUp();
        g_strCurrentUser = QStringLiteral("Amministratore");
        g_intMinRitardoAmmessi = 10;
        g_intNumCommVisible = 50;
        g_lngIntervalTimerControlPanel = 1;
    }
    void TearDown() override {
        if (frmControlPanel* p = frmControlPanel::Get()) p->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        TerminalFixture::TearDown();
    }
    frmControlPanel* panel() { return frmControlPanel::ShowOver(&owner); }
    void addWorker(const QString& code, const QString& name, bool employee = false) {
        ASSERT_TRUE(rows("Operai")->AddRow(
            {"Codice", code, "Nominativo", name, "Manzione", "T1", "Impiegato", employee}));
    }
    // Today's attendance of a worker: the entries given (empty: none) and the late minutes.
    void attendance(const QString& code, const QString& morning, const QString& afternoon, int late = 0) {
        VariantList pairs{"Operaio", code};
        if (!morning.isEmpty()) pairs.insert(pairs.end(), {"OraEntrataMattino", time(morning)});
        if (!afternoon.isEmpty()) pairs.insert(pairs.end(), {"OraEntrataPomeriggio", time(afternoon)});
        pairs.insert(pairs.end(), {"MinutiRitardo", late});
        ASSERT_TRUE(rows("Ingressi")->AddRow(pairs)) << notify.messages.join("|").toStdString();
    }
    static Variant time(const QString& hhmm) {
        return Variant::fromDate(MakeOleDate(1899, 12, 30, hhmm.left(2).toInt(), hhmm.mid(3).toInt(), 0));
    }
    // A step of a worker on a detail, opened at the clock's time; the data set stands on it.
    std::shared_ptr<odb::DataSet> open(const QString& number, const QString& code) {
        auto steps = detailRow(number)->GetReference("Passaggi");
        EXPECT_TRUE(steps->NewRow());
        EXPECT_TRUE(steps->SetReference("Operaio", code));
        EXPECT_TRUE(steps->SaveRow()) << notify.messages.join("|").toStdString();
        return steps;
    }
    // `n` steps of 0013 on "1-0012/002", each closed a minute after it opened, from `day`'s 06:00.
    void closings(int n, int day = 2) {
        for (int i = 0; i < n; ++i) {
            const int minute = 6 * 60 + 2 * i;
            Clock::setFixed(QDateTime(QDate(2026, 3, day), QTime(minute / 60, minute % 60)));
            auto step = open("1-0012/002", "0013");
            Clock::setFixed(QDateTime(QDate(2026, 3, day), QTime(minute / 60, minute % 60 + 1)));
            ASSERT_TRUE(setAndSave(*step, "Chiuso", true));
        }
    }
    // A list's lines, or lines expected, one text per line for readable failures.
    static std::string lines(QListWidget* list) {
        return frmControlPanel::Lines(list).join("\n").toStdString();
    }
    static std::string lines(const QStringList& expected) { return expected.join("\n").toStdString(); }
    static std::string title(frmControlPanel* p) { return p->lblTitle()->text().toStdString(); }
    QWidget owner;
};

TEST_F(ControlPanelTest, AbsencesAndLatenessFollowTheClockToTheMinute) {
    addWorker("0014", "Rossi Mario");  // the same name as 0012
    addWorker("0015", "Verdi Anna");
    at(8, 0);
    attendance("0012", "08:00", "", 10);  // late by the allowed minutes exactly
    attendance("0013", "08:00", "14:00", 11);
    attendance("0015", "", "14:00", 0);  // came in the afternoon only

    struct Case {
        int hour, minute, second;
        QStringList expected;
    };
    const QString rossi = "    -> Rossi", mario = "    -> Rossi Mario", anna = "    -> Verdi Anna";
    const QString late = "    -> Bianchi Luca - Minuti di Ritardo: 11";
    for (const Case& c : {
             Case{9, 0, 0, {"ASSENZE:", rossi, mario, anna, "RITARDI:", late}},
             // The afternoon begins after its entry time, to the second.
             Case{14, 0, 0, {"ASSENZE:", rossi, mario, anna, "RITARDI:", late}},
             Case{14, 0, 1, {"ASSENZE:", rossi, mario, mario, "RITARDI:", late}},
             Case{14, 30, 0, {"ASSENZE:", rossi, mario, mario, "RITARDI:", late}},
         }) {
        at(c.hour, c.minute, c.second);
        frmControlPanel* p = panel();
        p->RefreshPanel();
        EXPECT_EQ(lines(p->lstWorkerAbsent()), lines(c.expected))
            << c.hour << ":" << c.minute << ":" << c.second;
    }

    // Nobody absent: the list starts with the late ones; nobody late either: it stays empty.
    at(9, 0);
    for (const char* code : {"7", "0014"})
        attendance(code, "08:00", "", 0);
    auto afternoonOnly = rows("Ingressi", "Operaio.Codice='0015'");
    ASSERT_TRUE(setAndSave(*afternoonOnly, "OraEntrataMattino", time("08:00")));
    panel()->RefreshPanel();
    EXPECT_EQ(lines(panel()->lstWorkerAbsent()), lines((QStringList{"RITARDI:", late})));
    g_intMinRitardoAmmessi = 11;
    panel()->RefreshPanel();
    EXPECT_EQ(panel()->lstWorkerAbsent()->count(), 0);
}

TEST_F(ControlPanelTest, DetailsInProgressWithTheirStepsAndTheIdleWorkers) {
    addCustomerDetails();
    addWorker("0016", "Verdi Ufficio", true);  // office staff
    at(8, 0);
    for (const char* code : {"0012", "0013", "0016", "7"})
        attendance(code, "07:30", "", 0);
    open("1-0012/001", "0012");
    at(8, 30);
    auto suspended = open("1-0012/001", "0013");
    at(9, 0);
    ASSERT_TRUE(setAndSave(*suspended, "DataSospensione", Variant::fromDate(Clock::now())));
    // Another detail, entered later, with a step of the worker 7 closed and one of 0012 open.
    ASSERT_TRUE(setAndSave(*detailRow("1-0012/002"), "DataInizio", date(8, 45)));
    auto done = open("1-0012/002", "7");
    at(9, 10);
    ASSERT_TRUE(setAndSave(*done, "Chiuso", true));
    at(9, 20);
    open("1-0012/002", "0012");

    at(10, 0);
    frmControlPanel* p = panel();
    EXPECT_EQ(lines(p->lstOpenSubLavrix()),
              lines(QStringList{"N° 1-0012/002 - INSERIMENTO: 02/03/2026 08:45:00",
                                "    ->  Apertura: 02/03/2026 09:20:00 - Rossi Mario",
                                "N° 1-0012/001 - INSERIMENTO: 02/03/2026 07:00:00",
                                "    ->  Apertura: 02/03/2026 08:30:00 - Bianchi Luca - SOSPESA",
                                "    ->  Apertura: 02/03/2026 08:00:00 - Rossi Mario"}));
    // Present, not office staff, with no open step under way: Bianchi (suspended) and Rossi (closed).
    EXPECT_EQ(lines(p->lstWorkerPresentActiveless()), lines((QStringList{"Bianchi Luca", "Rossi"})));

    // Clicks: a header names the detail's customer, quantity and part; a step line itself.
    p->ListClick(0, 2);
    EXPECT_EQ(title(p), "DETTAGLI: Rossi Srl / N° 4 - Stampo A");
    p->ListClick(0, 3);
    EXPECT_EQ(title(p), "DETTAGLI:     ->  Apertura: 02/03/2026 08:30:00 - Bianchi Luca - SOSPESA");
    p->ListClick(3, 0);
    EXPECT_EQ(title(p), "DETTAGLI: Bianchi Luca");
    p->ListClick(1, 0);
    EXPECT_EQ(title(p), "DETTAGLI: Rossi Srl / N° 2 - ");
    EXPECT_EQ(lines(p->lstCloseSubLavrix()),
              lines(QStringList{"N° 1-0012/002 - Chiusura: 02/03/2026 09:10:00 - Rossi"}));
}

TEST_F(ControlPanelTest, AnAssistanceJobOrderIsToldByItsSixCharacters) {
    addCustomerDetails();
    ASSERT_TRUE(rows("TipiAssistenza")->AddRow({"Descrizione", "Riparazione", "PrezzoOrario", 30}));
    auto service = rows("CommesseAssistenza");
    ASSERT_TRUE(service->NewRow() && service->SetReference("Cliente", "Rossi Sr") &&
                service->SetReference("TipoAssistenza", "Riparazione") && service->SaveRow())
        << notify.messages.join("|").toStdString();
    const QString number = service->ColText("NumeroCommessa");
    ASSERT_EQ(number.size(), 6);
    at(8, 0);
    open(number, "0012");
    frmControlPanel* p = panel();
    ASSERT_TRUE(p->lstOpenSubLavrix()->item(0)->text().startsWith("N° " + number + " - INSERIMENTO: "));
    p->ListClick(0, 0);
    EXPECT_EQ(title(p), "DETTAGLI: Riparazione - Rossi Srl");
}

TEST_F(ControlPanelTest, CompletedStepsStayTheNewestFiftyAcrossRefreshesAndOpenings) {
    addCustomerDetails();
    closings(40, 1);  // yesterday
    closings(20, 2);  // today
    at(12, 0);
    frmControlPanel* p = panel();
    QStringList shown = frmControlPanel::Lines(p->lstCloseSubLavrix());
    ASSERT_EQ(shown.size(), 50);
    EXPECT_EQ(shown.front().toStdString(), "N° 1-0012/002 - Chiusura: 02/03/2026 06:39:00 - Bianchi Luca");
    EXPECT_EQ(shown[20].toStdString(), "N° 1-0012/002 - Chiusura: 01/03/2026 07:19:00 - Bianchi Luca");
    EXPECT_EQ(shown.back().toStdString(), "N° 1-0012/002 - Chiusura: 01/03/2026 06:21:00 - Bianchi Luca");
    p->lstCloseSubLavrix()->item(3)->setCheckState(Qt::Checked);  // a reminder of the user's

    p->RefreshPanel();
    EXPECT_EQ(lines(p->lstCloseSubLavrix()), lines(shown));
    EXPECT_EQ(p->lstCloseSubLavrix()->item(3)->checkState(), Qt::Checked);

    at(12, 30);
    auto step = open("1-0012/001", "0012");
    at(12, 45);
    ASSERT_TRUE(setAndSave(*step, "Chiuso", true));
    p->RefreshPanel();
    const QStringList after = frmControlPanel::Lines(p->lstCloseSubLavrix());
    ASSERT_EQ(after.size(), 50);
    EXPECT_EQ(after.front().toStdString(), "N° 1-0012/001 - Chiusura: 02/03/2026 12:45:00 - Rossi Mario");
    EXPECT_EQ(lines(after.mid(1)), lines(shown.mid(0, 49)));
    EXPECT_EQ(p->lstCloseSubLavrix()->item(4)->checkState(), Qt::Checked);
    p->ListClick(1, 0);
    EXPECT_EQ(title(p), "DETTAGLI: Rossi Srl / N° 4 - Stampo A");

    // Esc closes the panel; opened again it shows the same newest fifty.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(p, &esc);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmControlPanel::Get(), nullptr);
    EXPECT_EQ(lines(panel()->lstCloseSubLavrix()), lines(after));
}

TEST_F(ControlPanelTest, CompletedStepsGoByTheirClosingNotByTheirEntry) {
    addCustomerDetails();
    // Sixty steps entered yesterday one after the other and closed in a shuffled order: the k-th
    // closing yesterday at 10:00 + k minutes (k < 20), the others today at 08:00 + k minutes.
    auto closing = [](int k) {
        const QTime t = QTime(k < 20 ? 10 : 8, 0).addSecs(60 * k);
        return QDateTime(QDate(2026, 3, k < 20 ? 1 : 2), t);
    };
    auto shuffled = [](int i) { return (i * 37 + 23) % 60; };
    std::vector<std::shared_ptr<odb::DataSet>> steps;
    for (int i = 0; i < 60; ++i) {
        Clock::setFixed(QDateTime(QDate(2026, 3, 1), QTime(6, i)));
        steps.push_back(open("1-0012/002", i % 2 ? "0012" : "0013"));
    }
    QStringList expected(50);
    for (int i = 0; i < 60; ++i) {
        const QDateTime t = closing(shuffled(i));
        ASSERT_TRUE(setAndSave(*steps[i], "DataChiusura", Variant::fromDate(OleDateFromQDateTime(t))));
        if (shuffled(i) >= 10)
            expected[59 - shuffled(i)] = QStringLiteral("N° 1-0012/002 - Chiusura: ") +
                                         t.toString("dd/MM/yyyy hh:mm:ss") +
                                         (i % 2 ? " - Rossi Mario" : " - Bianchi Luca");
    }
    at(12, 0);
    frmControlPanel* p = panel();
    EXPECT_EQ(lines(p->lstCloseSubLavrix()), lines(expected));
    p->RefreshPanel();
    EXPECT_EQ(lines(p->lstCloseSubLavrix()), lines(expected));

    // Two closings between refreshes, the step entered first closed last: both on top, by closing.
    auto first = open("1-0012/001", "0012");
    at(12, 10);
    auto second = open("1-0012/001", "0013");
    at(12, 20);
    ASSERT_TRUE(setAndSave(*second, "Chiuso", true));
    at(12, 30);
    ASSERT_TRUE(setAndSave(*first, "Chiuso", true));
    p->RefreshPanel();
    expected = QStringList{"N° 1-0012/001 - Chiusura: 02/03/2026 12:30:00 - Rossi Mario",
                           "N° 1-0012/001 - Chiusura: 02/03/2026 12:20:00 - Bianchi Luca"} +
               expected.mid(0, 48);
    EXPECT_EQ(lines(p->lstCloseSubLavrix()), lines(expected));
}

TEST_F(ControlPanelTest, TheTimerRefreshesEveryConfiguredNumberOfMinutes) {
    addCustomerDetails();
    g_lngIntervalTimerControlPanel = 3;
    at(8, 0);
    frmControlPanel* p = panel();
    EXPECT_TRUE(p->tmRefresh()->isActive());
    EXPECT_EQ(p->tmRefresh()->interval(), 60000);
    auto step = open("1-0012/001", "0012");
    for (int tick = 1; tick <= 2; ++tick) {
        p->tmRefresh_Timer();
        EXPECT_EQ(p->TimerTicks(), tick);
        EXPECT_EQ(p->lstOpenSubLavrix()->count(), 0);
    }
    p->tmRefresh_Timer();
    EXPECT_EQ(p->TimerTicks(), 0);
    EXPECT_EQ(p->lstOpenSubLavrix()->count(), 2);
    EXPECT_FALSE(p->lblAggiornamento()->isVisible());
    EXPECT_TRUE(p->lstOpenSubLavrix()->isVisibleTo(p));

    // "Chiudi" forgets the newest closing.
    at(8, 20);
    ASSERT_TRUE(setAndSave(*step, "Chiuso", true));
    p->RefreshPanel();
    EXPECT_GT(p->LastClosing(), 0);
    p->cmdChiudi()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmControlPanel::Get(), nullptr);
}

TEST_F(ControlPanelTest, ClosedOrdersNotShippedAndAListThatCannotBeRead) {
    addCustomerDetails();
    at(16, 0);
    auto order = orderRow(12);
    ASSERT_TRUE(setAndSave(*order, "CommessaChiusa", true)) << notify.messages.join("|").toStdString();
    frmControlPanel* p = panel();
    EXPECT_EQ(lines(p->lstCloseLavrix()),
              lines(QStringList{"Rossi Srl - N°Prog: 0012 - 02/03/2026 16:00:00"}));
    p->ListClick(4, 0);
    EXPECT_EQ(title(p), "DETTAGLI: Rossi Srl - N°Prog: 0012 - 02/03/2026 16:00:00");
    // A detail number that names nothing, quotes included, leaves the details as they were.
    for (const char* line : {"N° 9-9999/999 - Chiusura: ", "N° 1-0012/0'1 - Chiusura: "}) {
        p->lstCloseSubLavrix()->addItem(QString::fromUtf8(line));
        p->ListClick(1, p->lstCloseSubLavrix()->count() - 1);
        EXPECT_EQ(title(p), "DETTAGLI: Rossi Srl - N°Prog: 0012 - 02/03/2026 16:00:00") << line;
    }
    // A production detail without its production row cannot be told.
    addDetail("3-0099/001");
    p->lstCloseSubLavrix()->addItem(QStringLiteral("N° 3-0099/001 - Chiusura: "));
    p->ListClick(1, p->lstCloseSubLavrix()->count() - 1);
    EXPECT_EQ(title(p), "DETTAGLI: nessuna imformazione disponibile");

    // Another computer's change that the panel cannot read: that list says so, the others fill.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(databasePath().toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "ALTER TABLE CommesseCliente RENAME TO Altro", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    p->RefreshPanel();
    EXPECT_EQ(lines(p->lstCloseLavrix()), lines(QStringList{"Errore durante la lettura"}));
    EXPECT_EQ(p->lstWorkerAbsent()->item(0)->text(), "ASSENZE:");
}

TEST_F(ControlPanelTest, ListsReadUnderAnotherComputersLockShowTheDatabaseAtTheNextGoodRefresh) {
    addCustomerDetails();
    closings(3);
    at(12, 0);
    auto step = open("1-0012/001", "0012");
    auto shown = [](frmControlPanel* p) {
        QStringList out;
        for (QListWidget* l : p->findChildren<QListWidget*>())
            out << frmControlPanel::Lines(l) << "--";
        return out.join("\n").toStdString();
    };
    frmControlPanel* p = panel();
    // Two refreshes while another computer holds the file: the lists say they could not be read.
    g_objConnection->SetBusyTimeout(50);
    {
        OtherComputerLock other(databasePath(), "UPDATE TipiAssistenza SET PrezzoOrario = 1");
        ASSERT_TRUE(other.holds());
        p->RefreshPanel();
        p->RefreshPanel();
        EXPECT_EQ(p->lstCloseSubLavrix()->item(0)->text(), "Errore durante la lettura");
    }
    // The next good refresh shows what a panel opened afresh shows, the step closed meanwhile too.
    at(12, 30);
    ASSERT_TRUE(setAndSave(*step, "Chiuso", true));
    p->RefreshPanel();
    const std::string refreshed = shown(p);
    p->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(refreshed, shown(panel()));
    EXPECT_NE(refreshed.find("12:30:00"), std::string::npos);
}

TEST_F(ControlPanelTest, TheDatabaseLetGoUnderThePanelTakesItAlong) {
    addCustomerDetails();
    at(8, 0);
    auto step = open("1-0012/001", "0012");
    step.reset();
    QPointer<frmControlPanel> p = panel();
    QPointer<QListWidget> list = p->lstOpenSubLavrix();
    ASSERT_EQ(list->count(), 2);
    const QPoint header = list->visualItemRect(list->item(0)).center();
    QPointer<QTimer> timer = p->tmRefresh();

    // As the options' OK with another folder, or the repair, lets the database go.
    g_objConnection->CloseConnection();
    g_objConnection.reset();
    g_objDatabase.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // A minute goes by and a header line is clicked, for as long as the panel is there to take them.
    if (timer && timer->isActive()) {
        QTimerEvent tick(timer->timerId());
        QCoreApplication::sendEvent(timer, &tick);
    }
    if (list && list->isVisible()) QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, header);
    EXPECT_TRUE(p.isNull());
    EXPECT_TRUE(timer.isNull());

    // Opened again on the database opened again, it reads it.
    reopen();
    EXPECT_EQ(panel()->lstOpenSubLavrix()->count(), 2);
}

}  // namespace
