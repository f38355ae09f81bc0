// The job-order action window as a worker uses it: a number that is no detail, the summary, the
// card read once per use, a second worker on the same detail, the times of a whole step, the close
// of several details as one group (another computer closing one of them meanwhile), the cancels
// and the idle timer.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "TerminalFixture.h"
#include "model/DB.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "shopfloor/LavrixActionRules.h"
#include "terminal/frmActionLavrixManager.h"
#include "terminal/frmSelectLavrix.h"

namespace {

const QString kCR = QStringLiteral("\r");
const QString kCancelled = QStringLiteral("Operazione Annullata");

class JobOrderFlow : public TerminalFixture {
  protected:
    void SetUp() override {
        TerminalFixture::SetUp();
        addCustomerDetails();
        addProductionDetail();
    }
    frmActionLavrixManager* window() { return frmActionLavrixManager::Get(); }
    // A press of a job-order button of the panel.
    frmActionLavrixManager* use(int action) {
        window()->ExecuteFunction(&panel, action);
        return window();
    }
    void scan(const QString& number) { window()->txtFind_Commessa()->setText(number + "\r"); }
    // The stored values of the steps of a detail, first opened first: "code:open|closed minutes".
    QStringList steps(const QString& number) {
        QStringList out;
        auto s = rows("DettagliCommesse", "NumeroCommessa=" + database->TextLiteral(number))
                     ->GetReference("Passaggi");
        s->SetSortOrder("DataInizio");
        for (s->RowFirst(); !s->RowInvalid(); s->RowNext())
            out << s->GetReference("Operaio")->ColText("Codice") + ":" +
                       (s->ColValueBool("Chiuso") ? QString::number(s->ColNumber("TempoImpiegato")) : "open");
        return out;
    }
    // The worker 0012 opens a step on each detail at the clock's time.
    void openAll(const QStringList& numbers) {
        for (const QString& n : numbers) {
            cards.push_back("OP0012");
            use(0);
            scan(n);
        }
        boxes();
    }
    // Another computer closes the open step of 0012 on the detail: a process of its own, on the file.
    bool closedElsewhere(const QString& number) {
        const pid_t pid = fork();
        if (pid == 0) {
            int code = 1;
            try {
                // This process's copies of the parent's objects are left alone, never closed.
                new std::shared_ptr<odb::Connection>(std::move(g_objConnection));
                new std::shared_ptr<odb::Database>(std::move(g_objDatabase));
                RecordingNotify sink;
                g_objConnection = std::make_shared<odb::Connection>();
                g_objConnection->OpenDatabaseFile(databasePath());
                g_objDatabase =
                    odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &sink);
                g_objDatabase->Open(g_objConnection);
                auto open = g_objDatabase->Tables()
                                .Item("DettagliCommesse")
                                .OpenData("NumeroCommessa='" + number + "'")
                                ->GetReference("Passaggi", "Not Chiuso");
                if (open->FindRow("Operaio.Codice='0012'") && open->SetColValue("Chiuso", true) &&
                    open->SaveRow())
                    code = 0;
                g_objConnection->CloseConnection();
            } catch (...) {
            }
            _exit(code);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    QWidget panel;
};

TEST_F(JobOrderFlow, ANumberThatIsNoDetail) {
    use(0);
    scan("1-9999/001");
    EXPECT_TRUE(window()->lblNotFound()->isVisible());
    EXPECT_EQ(window()->txtFind_Commessa()->selectedText(), "1-9999/001");
    EXPECT_EQ(prompt->beeps(), 1);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(cardReads, 0);
    window()->txtFind_Commessa()->setText("1");  // typing hides the notice
    EXPECT_FALSE(window()->lblNotFound()->isVisible());
}

TEST_F(JobOrderFlow, OpenedOncePerWorkerAndTheCardReadOncePerUse) {
    at(8, 0);
    cards = {"OP0012"};
    answers = {true, true};
    use(0);
    scan("1-0012/001");
    EXPECT_EQ(questions, QStringList{"Vuoi APRIRE un'altra commessa?"});
    EXPECT_EQ(window()->lblCliente()->text(), " Rossi Srl");
    EXPECT_EQ(window()->lblParticolari()->text(), "N° 4   Stampo A");
    EXPECT_TRUE(window()->lblUrgente()->isVisible());
    EXPECT_EQ(window()->lblStato()->text(), "Da aprire");
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(window()->lblNomeOperatoreattivo()->text(), "Rossi Mario");
    EXPECT_TRUE(window()->tmrCancelOperation()->isActive());
    EXPECT_EQ(steps("1-0012/001"), QStringList{"0012:open"});
    // The same use goes on without a card: the production detail opens for 0012 too.
    scan("3-0005/001");
    EXPECT_EQ(cardReads, 1);
    EXPECT_EQ(window()->lblCliente()->text(), "< lavorazione >");
    EXPECT_FALSE(window()->lblUrgente()->isVisible());
    EXPECT_EQ(steps("3-0005/001"), QStringList{"0012:open"});
    // Another button pressed while the window is in use keeps its worker too.
    use(2);
    scan("3-0005/001");
    EXPECT_EQ(cardReads, 1);
    EXPECT_TRUE(detailRow("3-0005/001")->ColValueBool("Sospeso"));
    EXPECT_FALSE(frmActionLavrixManager::IsLoaded());  // the third question was answered NO

    // A second worker gets a step of his own, after a warning.
    cards = {"OP0013"};
    use(0);
    scan("1-0012/001");
    EXPECT_EQ(
        boxes(),
        QStringList{"Questa commessa risulta già aperta da: " + kCR + kCR +
                    " Codice: 0012- Nominativo: Rossi Mario" + kCR + kCR +
                    "Se non si tratta di una lavorazione contemporanea invitare a chiudere la commessa."});
    EXPECT_EQ(steps("1-0012/001"), QStringList({"0012:open", "0013:open"}));

    // The first worker again: refused, the window waits without its timer.
    cards = {"OP0012"};
    use(0);
    scan("1-0012/001");
    EXPECT_EQ(boxes(),
              QStringList({"ATTENZIONE: Hai già aperto questa commessa, non è possibile aprirla due volte.",
                           kCancelled}));
    EXPECT_TRUE(frmActionLavrixManager::IsLoaded());
    EXPECT_FALSE(window()->tmrCancelOperation()->isActive());
    EXPECT_TRUE(window()->m_strOperatorCode.isEmpty());
    EXPECT_EQ(steps("1-0012/001").size(), 2);
}

TEST_F(JobOrderFlow, AWholeStepWithASuspension) {
    const struct {
        int action, hour, minute;
        const char* question;
    } presses[] = {{0, 8, 0, "Vuoi APRIRE un'altra commessa?"},
                   {2, 9, 0, "Vuoi SOSPENDERE un'altra commessa?"},
                   {3, 9, 20, "Vuoi RIPRENDERE un'altra commessa?"},
                   {1, 10, 30, "Vuoi CHIUDERE un'altra commessa?"}};
    for (const auto& p : presses) {
        at(p.hour, p.minute);
        cards = {"OP0012"};
        use(p.action);
        scan("1-0012/001");
        EXPECT_TRUE(boxes().isEmpty()) << p.action;
        EXPECT_EQ(questions.back(), p.question);
    }
    auto step = detailRow("1-0012/001")->GetReference("Passaggi");
    EXPECT_EQ(step->ColNumber("TempoSospensione"), 20);
    EXPECT_EQ(step->ColNumber("TempoImpiegato"), 130);
    auto detail = detailRow("1-0012/001");
    auto open = detail->GetReference("Passaggi", "Not Chiuso");
    EXPECT_EQ(LavrixActionRules::DetailState(*detail, *open), "Chiusa / Completare");

    // Closing the detail needs the right to; with it the detail is complete.
    cards = {"OP0012"};
    use(4);
    scan("1-0012/001");
    EXPECT_EQ(boxes(),
              QStringList({"Operatore non abilitato alla chiusura del dettaglio commesse.", kCancelled}));
    EXPECT_FALSE(frmActionLavrixManager::IsLoaded());
    ASSERT_TRUE(setAndSave(*rows("Operai", "Codice='0012'"), "GestioneAvanzataCommesse", true));
    cards = {"OP0012"};
    use(4);
    scan("1-0012/001");
    EXPECT_TRUE(detailRow("1-0012/001")->ColValueBool("Chiuso"));
}

TEST_F(JobOrderFlow, SeveralDetailsCloseAsOneGroup) {
    at(8, 0);
    openAll({"1-0012/001", "3-0005/001"});
    // Esc in the choice: nothing closes.
    onSelect = [](frmSelectLavrix& d) { d.reject(); };
    at(10, 0);
    cards = {"OP0012"};
    use(1);
    scan("1-0012/001");
    EXPECT_EQ(boxes(), QStringList({"Non è tata impostata nessuna commessa da chiudere", kCancelled}));
    EXPECT_EQ(steps("3-0005/001"), QStringList{"0012:open"});

    QStringList offered;
    onSelect = [&](frmSelectLavrix& d) {
        for (int i = 0; i < d.lstOpenSubLavrix()->count(); ++i)
            offered << d.lstOpenSubLavrix()->item(i)->text();
        d.txtFind_Commessa()->setText("3-0005/001\r");
        d.cmdConferma()->click();
    };
    cards = {"OP0012"};
    use(1);
    scan("1-0012/001");
    EXPECT_EQ(offered, QStringList{"3-0005/001"});
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(steps("1-0012/001"), QStringList{"0012:48"});
    EXPECT_EQ(steps("3-0005/001"), QStringList{"0012:72"});
    EXPECT_EQ(count("GruppiPassaggi"), 1);
    EXPECT_EQ(rows("GruppiPassaggi")->ColNumber("NumeroTotaleParticolari"), 10);
}

TEST_F(JobOrderFlow, AGroupItemClosedByAnotherComputerStaysOut) {
    at(8, 0);
    openAll({"1-0012/001", "1-0012/002", "3-0005/001"});
    at(10, 0);
    onSelect = [&](frmSelectLavrix& d) {
        d.txtFind_Commessa()->setText("1-0012/002\r");
        d.txtFind_Commessa()->setText("3-0005/001\r");
        // Meanwhile the worker closes one of them at another terminal.
        at(9, 0);
        EXPECT_TRUE(closedElsewhere("3-0005/001"));
        at(10, 0);
        d.cmdConferma()->click();
    };
    cards = {"OP0012"};
    use(1);
    scan("1-0012/001");
    EXPECT_EQ(notify.messages,
              QStringList{
                  "Commessa 3-0005/001 non trovata, il gruppo deve essere verificato dal supporto tecnico."});
    // The group shares 120 minutes between 4 and 2 parts; the step closed elsewhere keeps its own 60.
    EXPECT_EQ(steps("1-0012/001"), QStringList{"0012:80"});
    EXPECT_EQ(steps("1-0012/002"), QStringList{"0012:40"});
    EXPECT_EQ(steps("3-0005/001"), QStringList{"0012:60"});
    EXPECT_EQ(rows("GruppiPassaggi")->ColNumber("NumeroTotaleParticolari"), 6);
    EXPECT_EQ(rows("GruppiPassaggi")->GetReference("Passaggi")->RowCount(), 2);
}

TEST_F(JobOrderFlow, AStepGoneMeanwhileIsCancelledNeverDone) {
    at(8, 0);
    openAll({"1-0012/001", "1-0012/002"});
    at(9, 0);
    // Suspending while another computer closes the step during the card read.
    duringCardRead = [&] { EXPECT_TRUE(closedElsewhere("1-0012/001")); };
    cards = {"OP0012"};
    answers = {true};
    use(2);
    scan("1-0012/001");
    EXPECT_EQ(notify.messages, QStringList{"Passaggio da sospendere non trovato per l'operaio 0012"});
    EXPECT_EQ(boxes(), QStringList{kCancelled});
    EXPECT_FALSE(frmActionLavrixManager::IsLoaded());

    // Closing one chosen detail whose step another computer closes meanwhile: nothing is closed.
    duringCardRead = {};
    notify.clear();
    at(9, 30);
    openAll({"1-0012/001"});
    at(10, 0);
    onSelect = [&](frmSelectLavrix& d) {
        // The scanned detail goes back to the open ones; the other one alone is to close.
        d.txtFind_Commessa()->setText("1-0012/001\r");
        d.txtFind_Commessa()->setText("1-0012/002\r");
        EXPECT_TRUE(closedElsewhere("1-0012/002"));
        d.cmdConferma()->click();
    };
    cards = {"OP0012"};
    use(1);
    scan("1-0012/001");
    EXPECT_EQ(notify.messages, QStringList{"Passaggio da chiudere non trovato per l'operaio 0012"});
    EXPECT_EQ(boxes(), QStringList{kCancelled});
    EXPECT_EQ(steps("1-0012/001"), QStringList({"0012:60", "0012:open"}));
}

TEST_F(JobOrderFlow, QuotesInNumbersAndRefusedWrites) {
    // Numbers are put into conditions as literals: a quote in one is part of the number.
    at(8, 0);
    for (const auto& [number, parts] : {std::pair{"Q'1", 1}, std::pair{"Q'2", 3}})
        ASSERT_TRUE(rows("DettagliAttrezzature")->AddRow({"NumeroCommessa", number, "Quantità", parts}));
    openAll({"Q'1", "Q'2"});
    at(9, 0);
    onSelect = [](frmSelectLavrix& d) {
        d.txtFind_Commessa()->setText("Q'2\r");
        d.cmdConferma()->click();
    };
    cards = {"OP0012"};
    use(1);
    scan("Q'1");
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(steps("Q'1"), QStringList{"0012:15"});
    EXPECT_EQ(steps("Q'2"), QStringList{"0012:45"});

    // A resume stamped before its suspension is refused by the step's rules: said once by the
    // library, no confirmation, and the window waits for the next number with no worker.
    openAll({"1-0012/001"});
    cards = {"OP0012"};
    use(2);
    scan("1-0012/001");
    at(8, 30);
    cards = {"OP0012"};
    questions.clear();
    notify.clear();
    use(3);
    scan("1-0012/001");
    EXPECT_EQ(notify.messages, QStringList{"Il periodo di sospensione non è corretto."});
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_TRUE(frmActionLavrixManager::IsLoaded());
    EXPECT_TRUE(window()->m_strOperatorCode.isEmpty());
    EXPECT_TRUE(detailRow("1-0012/001")->ColValueBool("Sospeso"));
}

TEST_F(JobOrderFlow, TheIdleTimerSparesAWindowUnderAnother) {
    use(0);
    window()->tmrCancelOperation_Timer();
    EXPECT_FALSE(frmActionLavrixManager::IsLoaded());

    use(0);
    QDialog later;
    later.show();
    window()->tmrCancelOperation_Timer();
    EXPECT_TRUE(frmActionLavrixManager::IsLoaded());
    bool underCard = false;
    duringCardRead = [&] {
        window()->tmrCancelOperation_Timer();
        underCard = frmActionLavrixManager::IsLoaded();
    };
    later.hide();
    scan("1-0012/001");
    EXPECT_TRUE(underCard);
    window()->tmrCancelOperation_Timer();
    EXPECT_FALSE(frmActionLavrixManager::IsLoaded());
}

TEST_F(JobOrderFlow, TheDatabaseLetGoUnderTheWindowsClosesThemAndWritesNothing) {
    at(8, 0);
    openAll({"1-0012/001", "3-0005/001"});
    // The window keeps its worker after an action; the options' repair lets the file go.
    cards = {"OP0013"};
    answers = {true};
    use(0);
    scan("3-0005/001");
    boxes();
    ASSERT_TRUE(frmActionLavrixManager::IsLoaded());
    ASSERT_EQ(window()->m_strOperatorCode, "0013");
    g_objConnection->CloseConnection();
    reopen();
    EXPECT_FALSE(frmActionLavrixManager::IsLoaded());
    EXPECT_TRUE(window()->m_strOperatorCode.isEmpty());
    EXPECT_TRUE(window()->lblNumeroCommessa()->text().isEmpty());

    // The group choice up when the file is let go: nothing closes, nothing is said.
    onSelect = [&](frmSelectLavrix& d) {
        d.txtFind_Commessa()->setText("3-0005/001\r");
        g_objConnection->CloseConnection();
        d.cmdConferma()->click();
    };
    at(10, 0);
    cards = {"OP0012"};
    const int reads = cardReads;
    use(1);
    scan("1-0012/001");
    EXPECT_EQ(cardReads, reads + 1) << "the worker is asked for again";
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_FALSE(frmActionLavrixManager::IsLoaded());
    reopen();
    EXPECT_EQ(steps("1-0012/001"), QStringList({"0012:open"}));
    EXPECT_EQ(steps("3-0005/001"), QStringList({"0012:open", "0013:open"}));
    EXPECT_EQ(count("GruppiPassaggi"), 0);
}

}  // namespace
