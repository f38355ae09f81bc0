// Job-order details: closing forces the open steps closed, reopening, the period check, the running
// totals of the steps and the question on equivalent rows.
#include <gtest/gtest.h>

#include "StepRoadFixture.h"

namespace {

const QString kForceClose = QString(
                                "Per chiudere la commessa è necessario forzare la chiusura dei passaggi in "
                                "lavorazione...") +
                            "\r\rProseguire con la chiusura ?";
const QString kNoSteps =
    QString("La commessa risulta senza passaggi di lavorazione...") + "\r\rProseguire con la chiusura ?";

class DetailClosing : public StepRoadFixture {};

TEST_F(DetailClosing, NewDetailStartsOpenWithNoTotals) {
    at(7, 30);
    auto detail = addDetail("D001");
    EXPECT_DOUBLE_EQ(detail->ColValue("DataInizio").toDate(), MakeOleDate(2026, 3, 2, 7, 30));
    for (const char* f : {"Chiuso", "Sospeso", "InLavorazione"}) {
        EXPECT_FALSE(detail->ColIsNull(f)) << f;
        EXPECT_FALSE(detail->ColValueBool(f)) << f;
    }
    for (const char* f : {"TempoImpiegato", "TempoSospensione", "CostoEffettivoPassaggi"}) {
        EXPECT_FALSE(detail->ColIsNull(f)) << f;
        EXPECT_EQ(detail->ColNumber(f), 0) << f;
    }
    EXPECT_TRUE(detail->ColIsNull("DataChiusura"));
}

TEST_F(DetailClosing, ClosingAsksAndClosesEveryOpenStep) {
    auto detail = addDetail("D002");
    at(8, 0);
    openStep(*detail);
    at(9, 0);
    auto second = openStep(*detail);
    ASSERT_TRUE(setAndSave(*second, "DataSospensione", date(9, 30)));
    notify.clear();

    at(10, 0);
    ASSERT_TRUE(setAndSave(*detail, "Chiuso", true)) << notify.messages.join("|").toStdString();
    EXPECT_EQ(notify.questions, QStringList{kForceClose});
    auto steps = rows("PassaggiDettaglioCommesse", "NumeroCommessa='D002'", "DataInizio");
    ASSERT_EQ(steps->RowCount(), 2);
    const int worked[] = {120, 30};
    const int suspended[] = {0, 30};
    int i = 0;
    for (steps->RowFirst(); !steps->RowInvalid(); steps->RowNext(), ++i) {
        EXPECT_TRUE(steps->ColValueBool("Chiuso")) << i;
        EXPECT_DOUBLE_EQ(steps->ColValue("DataChiusura").toDate(), MakeOleDate(2026, 3, 2, 10, 0)) << i;
        EXPECT_EQ(steps->ColNumber("TempoImpiegato"), worked[i]) << i;
        EXPECT_EQ(steps->ColNumber("TempoSospensione"), suspended[i]) << i;
        EXPECT_DOUBLE_EQ(steps->ColNumber("CostoEffettivo"), worked[i] / 2.0) << i;
    }
    auto d = detailRow("D002");
    EXPECT_TRUE(d->ColValueBool("Chiuso"));
    EXPECT_FALSE(d->ColValueBool("InLavorazione"));
    EXPECT_FALSE(d->ColValueBool("Sospeso"));
    EXPECT_DOUBLE_EQ(d->ColValue("DataChiusura").toDate(), MakeOleDate(2026, 3, 2, 10, 0));
    EXPECT_EQ(d->ColNumber("TempoImpiegato"), 150);
    EXPECT_EQ(d->ColNumber("TempoSospensione"), 30);
    EXPECT_DOUBLE_EQ(d->ColNumber("CostoEffettivoPassaggi"), 75.0);
    EXPECT_EQ(storedText("SELECT count(*) FROM PassaggiDettaglioCommesse WHERE Chiuso=0"), "0");
}

TEST_F(DetailClosing, CancelLeavesStepsAndDetailUnchanged) {
    auto detail = addDetail("D003");
    at(8, 0);
    openStep(*detail);
    at(9, 0);
    openStep(*detail);
    notify.clear();
    notify.answerCancel = true;
    at(10, 0);
    detail->SetColValue("Chiuso", true);
    EXPECT_EQ(notify.questions, QStringList{kForceClose});
    notify.answerCancel = false;
    auto d = detailRow("D003");
    EXPECT_FALSE(d->ColValueBool("Chiuso"));
    EXPECT_TRUE(d->ColIsNull("DataChiusura"));
    EXPECT_TRUE(d->ColValueBool("InLavorazione"));
    auto steps = rows("PassaggiDettaglioCommesse", "NumeroCommessa='D003'");
    for (steps->RowFirst(); !steps->RowInvalid(); steps->RowNext()) {
        EXPECT_FALSE(steps->ColValueBool("Chiuso"));
        EXPECT_TRUE(steps->ColIsNull("DataChiusura"));
        EXPECT_EQ(steps->ColNumber("TempoImpiegato"), 0);
    }
    EXPECT_EQ(storedText("SELECT count(*) FROM PassaggiDettaglioCommesse WHERE Chiuso=0"), "2");
    EXPECT_EQ(storedText("SELECT Chiuso FROM DettagliCommesse WHERE NumeroCommessa='D003'"), "0");
}

TEST_F(DetailClosing, DetailWithoutStepsAsksAndStampsTheDates) {
    at(7, 0);
    auto detail = addDetail("D004");
    auto bare = addDetail("D005");
    ASSERT_TRUE(setAndSave(*bare, "DataInizio", Variant::null()));
    notify.clear();

    at(12, 0);
    ASSERT_TRUE(setAndSave(*detail, "Chiuso", true));
    ASSERT_TRUE(setAndSave(*bare, "Chiuso", true));
    EXPECT_EQ(notify.questions, (QStringList{kNoSteps, kNoSteps}));
    // DataInizio stays when it was set, and is stamped only when empty.
    EXPECT_DOUBLE_EQ(detailRow("D004")->ColValue("DataInizio").toDate(), MakeOleDate(2026, 3, 2, 7, 0));
    EXPECT_DOUBLE_EQ(detailRow("D005")->ColValue("DataInizio").toDate(), MakeOleDate(2026, 3, 2, 12, 0));
    for (const char* n : {"D004", "D005"})
        EXPECT_DOUBLE_EQ(detailRow(n)->ColValue("DataChiusura").toDate(), MakeOleDate(2026, 3, 2, 12, 0))
            << n;
}

TEST_F(DetailClosing, ClearingChiusoClearsTheClosingDateAndKeepsTheTotals) {
    auto detail = addDetail("D006");
    closedStep(*detail, 8 * 60, 9 * 60);
    at(9, 30);
    ASSERT_TRUE(setAndSave(*detail, "Chiuso", true));
    ASSERT_TRUE(setAndSave(*detail, "Chiuso", false));
    auto d = detailRow("D006");
    EXPECT_TRUE(d->ColIsNull("DataChiusura"));
    EXPECT_DOUBLE_EQ(d->ColValue("DataInizio").toDate(), MakeOleDate(2026, 3, 2, 7, 0));
    EXPECT_EQ(d->ColNumber("TempoImpiegato"), 60);
    EXPECT_DOUBLE_EQ(d->ColNumber("CostoEffettivoPassaggi"), 30.0);
}

TEST_F(DetailClosing, PeriodCheck) {
    at(8, 0);
    auto detail = addDetail("D007");
    struct Case {
        Variant closing;
        const char* refusal;
    };
    const Case cases[] = {
        {date(7, 59), "Il periodo di lavorazione non è corretto."},
        {date(8, 0), nullptr},
        {date(9, 0), nullptr},
    };
    for (const Case& c : cases) {
        notify.clear();
        const bool saved = setAndSave(*detail, "DataChiusura", c.closing);
        EXPECT_EQ(saved, c.refusal == nullptr);
        if (c.refusal) {
            EXPECT_EQ(notify.messages.value(0), c.refusal);
        }
    }
    // Without a start a closing date has nothing to follow.
    notify.clear();
    EXPECT_FALSE(setAndSave(*detail, "DataInizio", Variant::null()));
    EXPECT_EQ(notify.messages.value(0), "L'inizio della commessa non è stato impostato.");
    EXPECT_DOUBLE_EQ(detailRow("D007")->ColValue("DataInizio").toDate(), MakeOleDate(2026, 3, 2, 8, 0));
}

TEST_F(DetailClosing, AnOpenStepReopensAClosedDetail) {
    auto detail = addDetail("D008");
    closedStep(*detail, 8 * 60, 9 * 60);
    at(9, 30);
    ASSERT_TRUE(setAndSave(*detail, "Chiuso", true));
    notify.clear();

    // A new open step.
    at(10, 0);
    openStep(*detail);
    const QString question = QString("< D008 >") + "\r" +
                             "Il dettaglio della commessa risulta già chiuso..." + "\r\r" +
                             "Proseguire con la riapertura ?";
    EXPECT_EQ(notify.questions, QStringList{question});
    auto d = detailRow("D008");
    EXPECT_FALSE(d->ColValueBool("Chiuso"));
    EXPECT_TRUE(d->ColIsNull("DataChiusura"));
    EXPECT_TRUE(d->ColValueBool("InLavorazione"));

    // A closed step reopened: Cancel keeps detail and step closed.
    ASSERT_TRUE(setAndSave(*detail, "Chiuso", true));
    auto first = rows("PassaggiDettaglioCommesse", "NumeroCommessa='D008'", "DataInizio");
    notify.clear();
    notify.answerCancel = true;
    first->SetColValue("Chiuso", false);
    EXPECT_FALSE(first->SaveRow());
    notify.answerCancel = false;
    EXPECT_EQ(notify.questions, QStringList{question});
    first->CancelRow();
    EXPECT_TRUE(detailRow("D008")->ColValueBool("Chiuso"));
    EXPECT_EQ(storedText("SELECT count(*) FROM PassaggiDettaglioCommesse WHERE Chiuso=0"), "0");
    // OK reopens both.
    ASSERT_TRUE(setAndSave(*first, "Chiuso", false));
    EXPECT_FALSE(detailRow("D008")->ColValueBool("Chiuso"));
    EXPECT_TRUE(detailRow("D008")->ColValueBool("InLavorazione"));
}

TEST_F(DetailClosing, AStepWithoutMinutesStillCountsItsSuspension) {
    auto detail = addDetail("D009");
    at(8, 0);
    auto step = openStep(*detail);
    ASSERT_TRUE(setAndSave(*step, "TempoSospensione", 15));
    EXPECT_EQ(step->ColNumber("TempoImpiegato"), 0);
    auto d = detailRow("D009");
    EXPECT_EQ(d->ColNumber("TempoImpiegato"), 0);
    EXPECT_EQ(d->ColNumber("TempoSospensione"), 15);
    ASSERT_TRUE(setAndSave(*step, "TempoSospensione", 5));
    EXPECT_EQ(detailRow("D009")->ColNumber("TempoSospensione"), 5);
}

TEST_F(DetailClosing, AStepOfAnotherJobOrderIsRefused) {
    auto detail = addDetail("D010");
    at(8, 0);
    auto step = openStep(*detail);
    notify.clear();
    EXPECT_FALSE(setAndSave(*step, "NumeroCommessa", "D999"));
    EXPECT_EQ(notify.messages.value(0), "Il numero della commessa non corrisponde!");
    step->CancelRow();
    EXPECT_EQ(rows("PassaggiDettaglioCommesse")->ColText("NumeroCommessa"), "D010");
}

TEST_F(DetailClosing, DeletingStepsTakesTheirMinutesOff) {
    auto detail = addDetail("D011");
    closedStep(*detail, 8 * 60, 9 * 60);
    auto open = [&] {
        at(9, 30);
        return openStep(*detail);
    }();
    EXPECT_TRUE(detailRow("D011")->ColValueBool("InLavorazione"));
    ASSERT_TRUE(open->DeleteRow());
    auto d = detailRow("D011");
    EXPECT_FALSE(d->ColValueBool("InLavorazione"));
    EXPECT_EQ(d->ColNumber("TempoImpiegato"), 60);
    // The whole set at once: the totals are summed again over nothing.
    ASSERT_TRUE(detail->GetReference("Passaggi")->DeleteRows());
    d = detailRow("D011");
    EXPECT_EQ(d->ColNumber("TempoImpiegato"), 0);
    EXPECT_EQ(d->ColNumber("CostoEffettivoPassaggi"), 0);
}

TEST_F(DetailClosing, EquivalentRowsOfANewDetailMayBeRemoved) {
    addDetail("D012");
    notify.clear();
    auto details = rows("DettagliCommesse");
    EXPECT_TRUE(details->AddRow({"NumeroCommessa", "D012"})) << notify.messages.join("|").toStdString();
    const QString question =
        QString("Esistono dati equivalenti che potrebbero non essere più validi, Eliminarli ?") + "\r\r" +
        "NOTA: Segnalare il problema al supporto tecnico.";
    EXPECT_EQ(notify.questions, QStringList{question});
    EXPECT_EQ(storedText("SELECT count(*) FROM DettagliCommesse WHERE NumeroCommessa='D012'"), "1");
}

}  // namespace
