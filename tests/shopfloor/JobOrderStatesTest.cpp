// Which action a worker may apply to a job-order detail in each state, with the texts he is told:
// one table of states by actions, the worker's own steps and other workers' steps included.
#include <gtest/gtest.h>

#include "ShopFloorFixture.h"
#include "shopfloor/LavrixActionRules.h"

namespace {

const QString kCR = QStringLiteral("\r");
const QString kImpossible = kCR + kCR + "Impossibile eseguire l'operazione richiesta";

class JobOrderStates : public ShopFloorFixture {
  protected:
    std::shared_ptr<odb::DataSet> stepOf(const QString& number, const QString& code) {
        auto steps = detailRow(number)->GetReference("Passaggi");
        EXPECT_TRUE(steps->NewRow());
        EXPECT_TRUE(steps->SetReference("Operaio", code));
        EXPECT_TRUE(steps->SaveRow());
        return steps;
    }
};

TEST_F(JobOrderStates, EachStateAllowsItsActions) {
    const QString toOpen =
        "Questa commessa non risulta aperta, è consentito solamente aprirla." + kImpossible;
    const QString open =
        "Questa commessa risulta aperta (in lavorazione), è consentito solamente chiuderla o "
        "sospenderla o aprire un nuovo passaggio di lavorazione." +
        kImpossible;
    const QString suspendedMine =
        "Questa commessa risulta sospesa, è consentito solamente riprendere la lavorazione." + kImpossible;
    const QString openMine =
        "Questa commessa risulta aperta, è consentito solamente sospenderla o chiuderla." + kImpossible;
    const QString noneMine =
        "Nessun passaggio attivo, è consentito solamente APRIRE la lavorazione." + kImpossible;
    const QString closed =
        "Questa commessa risulta chiusa / completare, è consentito solamente aprire un nuovo "
        "passaggio o completarla." +
        kImpossible;
    const QString complete =
        "Questa commessa risulta completa, non sono consentite operazioni. Altrimenti "
        "contattare l'amministratore" +
        kImpossible;
    const QString twice = "ATTENZIONE: Hai già aperto questa commessa, non è possibile aprirla due volte.";
    const QString byOther =
        "Questa commessa risulta aperta da: " + kCR + kCR + " Codice: 0013- Nominativo: Bianchi Luca";
    const QString alsoByOther =
        "Questa commessa risulta già aperta da: " + kCR + kCR + " Codice: 0013- Nominativo: Bianchi Luca" +
        kCR + kCR + "Se non si tratta di una lavorazione contemporanea invitare a chiudere la commessa.";
    const QString ok;
    auto suspended = [&](const char* number, const char* code) {
        ASSERT_TRUE(setAndSave(*stepOf(number, code), "DataSospensione", date(9, 0)));
    };
    struct Row {
        const char* detail;
        std::function<void()> setUp;
        QString state;
        QString said[5];  // for actions 0 to 4
        bool allowed[5];
    };
    // clang-format off
    Row table[] = {
        {"S1", [] {}, "Da aprire", {ok, toOpen, toOpen, toOpen, toOpen}, {1, 0, 0, 0, 0}},
        {"S2", [&] { stepOf("S2", "0012"); }, "Aperta", {twice, ok, ok, open, open}, {0, 1, 1, 0, 0}},
        {"S3", [&] { stepOf("S3", "0013"); }, "Aperta", {alsoByOther, byOther, byOther, open, open}, {1, 0, 0, 0, 0}},
        {"S4", [&] { suspended("S4", "0012"); }, "Sospesa / Lavorazione",
         {suspendedMine, suspendedMine, suspendedMine, ok, suspendedMine}, {0, 0, 0, 1, 0}},
        {"S5", [&] { stepOf("S5", "0012"); suspended("S5", "0013"); }, "Sospesa / Lavorazione",
         {openMine, ok, ok, openMine, openMine}, {0, 1, 1, 0, 0}},
        {"S6", [&] { suspended("S6", "0013"); }, "Sospesa / Lavorazione",
         {alsoByOther, noneMine, noneMine, noneMine, noneMine}, {1, 0, 0, 0, 0}},
        {"S7", [&] { ASSERT_TRUE(setAndSave(*stepOf("S7", "0013"), "Chiuso", true)); }, "Chiusa / Completare",
         {ok, closed, closed, closed, ok}, {1, 0, 0, 0, 1}},
        {"S8", [&] { ASSERT_TRUE(setAndSave(*detailRow("S8"), "Chiuso", true)); }, "Completa",
         {complete, complete, complete, complete, complete}, {0, 0, 0, 0, 0}},
    };
    // clang-format on
    at(8, 0);
    for (Row& row : table) {
        SCOPED_TRACE(row.detail);
        addDetail(row.detail);
        row.setUp();
        auto detail = detailRow(row.detail);
        auto steps = detail->GetReference("Passaggi", "Not Chiuso");
        const QString state = LavrixActionRules::DetailState(*detail, *steps);
        EXPECT_EQ(state, row.state);
        for (int action = 0; action < 5; ++action) {
            SCOPED_TRACE(action);
            const auto verdict = LavrixActionRules::CheckActionAllowed(action, *steps, state, "0012");
            EXPECT_EQ(verdict.allowed, row.allowed[action]);
            EXPECT_EQ(verdict.message, row.said[action]);
        }
    }
}

}  // namespace
