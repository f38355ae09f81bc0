// The job-order action command on its own: a step's road, the refusals, and the close of several
// details: the choice it asks for, the answers, and the group written as one transaction.
#include <gtest/gtest.h>

#include "ShopFloorFixture.h"
#include "odb/Database.h"
#include "shopfloor/LavrixActionCommand.h"
#include "shopfloor/LavrixActionRules.h"

namespace {

using Result = LavrixActionCommand::Result;
const QString kCR = QStringLiteral("\r");

class LavrixActionCommandTest : public ShopFloorFixture {
  protected:
    void SetUp() override {
        ShopFloorFixture::SetUp();
        for (const auto& [number, parts] : {std::pair{"A", 4}, std::pair{"B", 2}, std::pair{"C", 6}})
            addToolingDetail(number, parts);
        notify.clear();
    }
    // The worker `code` applies `action` to the detail `number` at the clock's time, the detail
    // read as the window reads it; a choice asked is answered with `answer`.
    Result act(const QString& code, int action, const QString& number, const QStringList& answer = {}) {
        auto detail = detailRow(number);
        auto open = detail->GetReference("Passaggi", "Not Chiuso");
        const QString state = LavrixActionRules::DetailState(*detail, *open);
        LavrixActionCommand command(context(code));
        Result result = command.Run(action, *detail, *open, state);
        name = command.WorkerName();
        offered = command.Offered();
        proposed = command.Proposed();
        if (result == Result::Choose) {
            chosen = true;
            result = command.Answer(answer);
        }
        return result;
    }
    // "code:open|minutes" for each step of the detail, first opened first.
    QStringList steps(const QString& number) {
        QStringList out;
        auto s = detailRow(number)->GetReference("Passaggi");
        s->SetSortOrder("DataInizio");
        for (s->RowFirst(); !s->RowInvalid(); s->RowNext())
            out << s->GetReference("Operaio")->ColText("Codice") + ":" +
                       (s->ColValueBool("Chiuso") ? QString::number(s->ColNumber("TempoImpiegato")) : "open");
        return out;
    }
    void openAll(const QStringList& numbers) {
        for (const QString& n : numbers)
            ASSERT_EQ(act("0012", actOpen, n), Result::Done) << n.toStdString();
    }
    QString name;
    QStringList offered, proposed;
    bool chosen = false;
};

TEST_F(LavrixActionCommandTest, AStepsRoadAndTheRefusals) {
    const struct {
        int action, hour, minute;
    } road[] = {{actOpen, 8, 0}, {actSuspend, 9, 0}, {actResume, 9, 20}, {actClose, 10, 30}};
    for (const auto& r : road) {
        at(r.hour, r.minute);
        EXPECT_EQ(act("0012", r.action, "A"), Result::Done) << r.action;
    }
    EXPECT_EQ(name, "Rossi Mario");
    EXPECT_FALSE(chosen);
    auto step = detailRow("A")->GetReference("Passaggi");
    EXPECT_DOUBLE_EQ(step->ColValue("DataInizio").toDate(), MakeOleDate(2026, 3, 2, 8, 0));
    EXPECT_EQ(step->ColNumber("TempoSospensione"), 20);
    EXPECT_EQ(step->ColNumber("TempoImpiegato"), 130);
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join("|").toStdString();

    // Refusals: nothing written, and each said once.
    struct Refusal {
        const char* code;
        int action;
        const char* number;
        Result result;
        QString said;
    };
    const Refusal refusals[] = {
        {"9999", actOpen, "B", Result::UnknownWorker,
         "! L'Operaio con codice < 9999 > non è presente in archivio..."},
        {"0012", actClose, "B", Result::NotAllowed,
         "! Questa commessa non risulta aperta, è consentito solamente aprirla." + kCR + kCR +
             "Impossibile eseguire l'operazione richiesta"},
        {"0012", actCloseDetail, "A", Result::Cancelled,
         "! Operatore non abilitato alla chiusura del dettaglio commesse."},
        // A resume stamped before the suspension: the step's rules refuse it, the library says so.
        {"0012", actResume, "C", Result::Refused, "Il periodo di sospensione non è corretto."},
    };
    at(11, 0);
    openAll({"C"});
    ASSERT_EQ(act("0012", actSuspend, "C"), Result::Done);
    at(10, 0);
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.number);
        notify.clear();
        EXPECT_EQ(act(r.code, r.action, r.number), r.result);
        EXPECT_EQ(notify.messages, QStringList{r.said});
    }
    EXPECT_EQ(steps("B"), QStringList{});
    EXPECT_TRUE(detailRow("C")->ColValueBool("Sospeso"));
    EXPECT_FALSE(detailRow("A")->ColValueBool("Chiuso"));

    // A second worker's open is only warned; the right to close the detail closes it.
    notify.clear();
    at(11, 0);
    EXPECT_EQ(act("0013", actOpen, "C"), Result::Done);
    EXPECT_EQ(notify.messages, QStringList{"! Questa commessa risulta già aperta da: " + kCR + kCR +
                                           " Codice: 0012- Nominativo: Rossi Mario" + kCR + kCR +
                                           "Se non si tratta di una lavorazione contemporanea invitare a "
                                           "chiudere la commessa."});
    ASSERT_TRUE(setAndSave(*rows("Operai", "Codice='0012'"), "GestioneAvanzataCommesse", true));
    EXPECT_EQ(act("0012", actCloseDetail, "A"), Result::Done);
    EXPECT_TRUE(detailRow("A")->ColValueBool("Chiuso"));
}

TEST_F(LavrixActionCommandTest, SeveralDetailsCloseAsOneGroupInOneTransaction) {
    at(8, 0);
    openAll({"A", "B", "C"});
    at(10, 0);
    // Nothing chosen: nothing closes.
    EXPECT_EQ(act("0012", actClose, "A", {}), Result::Cancelled);
    EXPECT_TRUE(chosen);
    EXPECT_EQ(offered, QStringList({"B", "C"}));
    EXPECT_EQ(proposed, QStringList{"A"});
    EXPECT_EQ(notify.messages, QStringList{"! Non è tata impostata nessuna commessa da chiudere"});
    EXPECT_EQ(steps("A"), QStringList{"0012:open"});

    // Two chosen: closed together, sharing 120 minutes by their 4 and 6 parts. Seen from another
    // connection while the group is written, neither is closed yet.
    notify.clear();
    QStringList seen;
    onStep = [&] { seen << storedText("SELECT count(*) FROM PassaggiDettaglioCommesse WHERE Chiuso"); };
    EXPECT_EQ(act("0012", actClose, "A", {"A", "C"}), Result::Done);
    EXPECT_EQ(seen, QStringList({"0", "0"}));
    EXPECT_EQ(progress,
              QStringList({"begin Chiusura commesse in corso...", "start 2", "step", "step", "end"}));
    EXPECT_EQ(steps("A"), QStringList{"0012:48"});
    EXPECT_EQ(steps("C"), QStringList{"0012:72"});
    EXPECT_EQ(steps("B"), QStringList{"0012:open"});
    EXPECT_EQ(count("GruppiPassaggi"), 1);
    EXPECT_EQ(rows("GruppiPassaggi")->GetReference("Passaggi")->RowCount(), 2);
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join("|").toStdString();

    // The last open detail closes alone, without a choice.
    chosen = false;
    progress.clear();
    EXPECT_EQ(act("0012", actClose, "B"), Result::Done);
    EXPECT_FALSE(chosen);
    EXPECT_EQ(steps("B"), QStringList{"0012:120"});
    EXPECT_TRUE(progress.isEmpty());
    EXPECT_EQ(count("GruppiPassaggi"), 1);
}

TEST_F(LavrixActionCommandTest, OneChosenDetailAndServiceJobOrdersCloseAlone) {
    at(8, 0);
    openAll({"A", "B"});
    at(9, 0);
    // The scanned detail sent back, another one alone to close: no group.
    EXPECT_EQ(act("0012", actClose, "A", {"B"}), Result::Done);
    EXPECT_EQ(steps("A"), QStringList{"0012:open"});
    EXPECT_EQ(steps("B"), QStringList{"0012:60"});
    EXPECT_EQ(count("GruppiPassaggi"), 0);

    // A service job order closes its own step and never asks.
    auto service = rows("CommesseAssistenza");
    ASSERT_TRUE(service->NewRow() && service->SaveRow());
    const QString number = service->ColText("NumeroCommessa");
    openAll({number});
    at(9, 30);
    chosen = false;
    EXPECT_EQ(act("0012", actClose, number), Result::Done);
    EXPECT_FALSE(chosen);
    EXPECT_EQ(steps(number), QStringList{"0012:30"});
    EXPECT_EQ(steps("A"), QStringList{"0012:open"});
    EXPECT_EQ(count("GruppiPassaggi"), 0);
}

}  // namespace
