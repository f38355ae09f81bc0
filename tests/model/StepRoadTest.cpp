// The road of a work step: opened, suspended, resumed and closed, its minutes and cost climbing into
// its detail; the suspension rules and the refusals of the step.
#include <gtest/gtest.h>

#include "StepRoadFixture.h"

namespace {

class StepRoad : public StepRoadFixture {};

struct Expected {
    int worked, suspended;
    double cost;
    bool stepSuspended, detailOpenWork, detailSuspended;
};

void ExpectState(odb::DataSet& step, const Expected& e, const char* when) {
    SCOPED_TRACE(when);
    EXPECT_EQ(step.ColNumber("TempoImpiegato"), e.worked);
    EXPECT_EQ(step.ColNumber("TempoSospensione"), e.suspended);
    EXPECT_DOUBLE_EQ(step.ColNumber("CostoEffettivo"), e.cost);
    EXPECT_EQ(step.ColValueBool("Sospeso"), e.stepSuspended);
}

TEST_F(StepRoad, StepOpenedSuspendedResumedAndClosedClimbsIntoItsDetail) {
    auto detail = addDetail("C001");
    at(8, 0);
    auto step = openStep(*detail);
    EXPECT_EQ(step->ColText("NumeroCommessa"), "C001");
    EXPECT_DOUBLE_EQ(step->ColValue("DataInizio").toDate(), MakeOleDate(2026, 3, 2, 8, 0));
    EXPECT_FALSE(step->ColValueBool("Chiuso"));

    struct Moment {
        int hour, minute;
        const char* field;
        Expected expected;
    };
    const Moment road[] = {
        {9, 0, "DataSospensione", {60, 0, 30.0, true, true, true}},
        {9, 20, "DataFineSospensione", {60, 20, 30.0, false, true, false}},
        {10, 30, "Chiuso", {130, 20, 65.0, false, false, false}},
    };
    for (const Moment& m : road) {
        const double now = at(m.hour, m.minute);
        const Variant value = QString(m.field) == "Chiuso" ? Variant(true) : Variant::fromDate(now);
        ASSERT_TRUE(setAndSave(*step, m.field, value)) << m.field << notify.messages.join("|").toStdString();
        // Read back through data sets of their own: what is stored, not what the rule wrote.
        auto stored = rows("PassaggiDettaglioCommesse", "NumeroCommessa='C001'");
        ExpectState(*stored, m.expected, m.field);
        auto d = detailRow("C001");
        SCOPED_TRACE(m.field);
        EXPECT_EQ(d->ColNumber("TempoImpiegato"), m.expected.worked);
        EXPECT_EQ(d->ColNumber("TempoSospensione"), m.expected.suspended);
        EXPECT_DOUBLE_EQ(d->ColNumber("CostoEffettivoPassaggi"), m.expected.cost);
        EXPECT_EQ(d->ColValueBool("InLavorazione"), m.expected.detailOpenWork);
        EXPECT_EQ(d->ColValueBool("Sospeso"), m.expected.detailSuspended);
    }
    EXPECT_DOUBLE_EQ(step->ColValue("DataChiusura").toDate(), MakeOleDate(2026, 3, 2, 10, 30));
    EXPECT_TRUE(step->ColValueBool("Chiuso"));
    // Stored in the file itself, outside the library.
    EXPECT_EQ(storedText("SELECT TempoImpiegato FROM DettagliCommesse WHERE NumeroCommessa='C001'"), "130");
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join("|").toStdString();
}

TEST_F(StepRoad, MinutesCountOnWholeMinuteMarks) {
    struct Case {
        int fromSecond, toMinute, toSecond, minutes;
    };
    // 08:00:59 to 08:01:00 is one minute; 08:00:00 to 08:00:59 none.
    const Case cases[] = {{59, 1, 0, 1}, {0, 0, 59, 0}, {30, 90, 10, 90}};
    int n = 0;
    for (const Case& c : cases) {
        auto detail = addDetail(QString("M%1").arg(++n));
        at(8, 0, c.fromSecond);
        auto step = openStep(*detail);
        at(8 + c.toMinute / 60, c.toMinute % 60, c.toSecond);
        ASSERT_TRUE(setAndSave(*step, "Chiuso", true));
        EXPECT_EQ(step->ColNumber("TempoImpiegato"), c.minutes) << n;
    }
}

TEST_F(StepRoad, CostFollowsTheHourlyCostOfTheWorkersTask) {
    auto detail = addDetail("C002");
    struct Case {
        int minutes;
        double cost;
    };
    // 0 minutes cost nothing; 90 minutes at 30 per hour give 45; 7 minutes give 3.5.
    const Case cases[] = {{0, 0.0}, {90, 45.0}, {7, 3.5}};
    int start = 8 * 60;
    for (const Case& c : cases) {
        auto step = closedStep(*detail, start, start + c.minutes);
        EXPECT_EQ(step->ColNumber("TempoImpiegato"), c.minutes);
        EXPECT_DOUBLE_EQ(step->ColNumber("CostoEffettivo"), c.cost) << c.minutes;
        start += 120;
    }
    EXPECT_DOUBLE_EQ(detailRow("C002")->ColNumber("CostoEffettivoPassaggi"), 48.5);
    EXPECT_EQ(detailRow("C002")->ColNumber("TempoImpiegato"), 97);
}

// Rates of four decimals and minutes that make exact halves, or come near one: the step's cost and
// the service job order's are the exact product rounded once, halves to even.
TEST_F(StepRoad, MinutesArePricedInTheCurrencyType) {
    struct Case {
        int64_t rate;  // ten-thousandths an hour
        int minutes;
        int64_t cost;  // ten-thousandths
    };
    const Case cases[] = {
        {1, 30, 0},                   // 0,00005 to the even 0
        {9, 10, 2},                   // 0,00015 to the even 0,0002
        {123457, 30, 61728},          // 6,17285 down to 6,1728
        {123459, 30, 61730},          // 6,17295 up to 6,1730
        {1669529, 599, 16667465},     // 0,5166 of the last unit: up
        {1669711, 599, 16669281},     // 0,4833: down
        {99999999, 601, 1001666657},  // 100166,66565: up
        {500000000, 31, 258333333},   // 25833,33333: down
        {300000, 90, 450000},
    };
    auto role = rows("DedirIdovuduvIrezadiv", "Codice='T1'");
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1 x %2").arg(c.rate).arg(c.minutes).toStdString());
        const QString name = QString("P%1").arg(++n);
        ASSERT_TRUE(setAndSave(*role, "CostoOrario", Currency::fromRaw(c.rate)));
        auto step = closedStep(*addDetail(name), 7 * 60, 7 * 60 + c.minutes);
        EXPECT_EQ(step->ColValue("CostoEffettivo").toCurrency().raw(), c.cost);
        EXPECT_EQ(detailRow(name)->ColValue("CostoEffettivoPassaggi").toCurrency().raw(), c.cost);

        ASSERT_TRUE(
            rows("TipiAssistenza")->AddRow({"Descrizione", name, "PrezzoOrario", Currency::fromRaw(c.rate)}));
        auto service = rows("CommesseAssistenza");
        ASSERT_TRUE(service->NewRow() && service->SaveRow());
        closedStep(*service, 7 * 60, 7 * 60 + c.minutes);
        ASSERT_TRUE(service->SetReference("TipoAssistenza", name) && service->SaveRow());
        EXPECT_EQ(service->ColValue("CostoTotale").toCurrency().raw(), c.cost);
    }
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join("|").toStdString();
}

// Where the one rounding falls: each step's cost is rounded on its own and its detail adds the
// rounded costs, while a service job order prices its summed minutes; a worker with no task costs
// nothing.
TEST_F(StepRoad, EachCostIsRoundedOnceWhereItIsPriced) {
    ASSERT_TRUE(
        setAndSave(*rows("DedirIdovuduvIrezadiv", "Codice='T1'"), "CostoOrario", Currency::fromRaw(1)));
    ASSERT_TRUE(
        rows("TipiAssistenza")->AddRow({"Descrizione", "Minimo", "PrezzoOrario", Currency::fromRaw(1)}));
    auto service = rows("CommesseAssistenza");
    ASSERT_TRUE(service->NewRow() && service->SetReference("TipoAssistenza", "Minimo") && service->SaveRow());
    // Two steps of 30 minutes at 0,0001 an hour: 0,00005 each, to the even 0; the 60 minutes
    // together make 0,0001.
    for (int start : {7 * 60, 8 * 60})
        EXPECT_EQ(closedStep(*service, start, start + 30)->ColValue("CostoEffettivo").toCurrency().raw(), 0);
    auto stored = rows("CommesseAssistenza");
    EXPECT_EQ(stored->ColNumber("TempoImpiegato"), 60);
    EXPECT_EQ(stored->ColValue("CostoEffettivoPassaggi").toCurrency().raw(), 0);
    EXPECT_EQ(stored->ColValue("CostoTotale").toCurrency().raw(), 1);

    ASSERT_TRUE(rows("Operai")->AddRow({"Codice", "8", "Nominativo", "Verdi"}));
    auto steps = addDetail("N1")->GetReference("Passaggi");
    at(9, 0);
    ASSERT_TRUE(steps->NewRow() && steps->SetReference("Operaio", "8") && steps->SaveRow());
    at(10, 0);
    ASSERT_TRUE(setAndSave(*steps, "Chiuso", true));
    EXPECT_EQ(steps->ColNumber("TempoImpiegato"), 60);
    EXPECT_EQ(steps->ColValue("CostoEffettivo").toCurrency().raw(), 0);
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join("|").toStdString();
}

TEST_F(StepRoad, ClosingASuspendedStepEndsTheSuspensionAtTheClosingTime) {
    auto detail = addDetail("C003");
    at(8, 0);
    auto step = openStep(*detail);
    at(9, 0);
    ASSERT_TRUE(setAndSave(*step, "DataSospensione", date(9, 0)));
    at(9, 45);
    ASSERT_TRUE(setAndSave(*step, "Chiuso", true));
    EXPECT_DOUBLE_EQ(step->ColValue("DataFineSospensione").toDate(), MakeOleDate(2026, 3, 2, 9, 45));
    EXPECT_EQ(step->ColNumber("TempoSospensione"), 45);
    EXPECT_EQ(step->ColNumber("TempoImpiegato"), 60);
    EXPECT_FALSE(step->ColValueBool("Sospeso"));
    EXPECT_FALSE(detailRow("C003")->ColValueBool("Sospeso"));

    // A closing date typed on a suspended step ends the suspension at that date.
    at(11, 0);
    auto other = openStep(*detail);
    at(11, 30);
    ASSERT_TRUE(setAndSave(*other, "DataSospensione", date(11, 30)));
    at(12, 0);
    ASSERT_TRUE(setAndSave(*other, "DataChiusura", date(11, 50)));
    EXPECT_TRUE(other->ColValueBool("Chiuso"));
    EXPECT_DOUBLE_EQ(other->ColValue("DataFineSospensione").toDate(), MakeOleDate(2026, 3, 2, 11, 50));
    EXPECT_EQ(other->ColNumber("TempoSospensione"), 20);
    EXPECT_EQ(other->ColNumber("TempoImpiegato"), 30);
    EXPECT_EQ(detailRow("C003")->ColNumber("TempoImpiegato"), 90);
    EXPECT_EQ(detailRow("C003")->ColNumber("TempoSospensione"), 65);
}

TEST_F(StepRoad, ANewSuspensionMayNotStartBeforeThePreviousEnded) {
    auto detail = addDetail("C004");
    at(8, 0);
    auto step = openStep(*detail);
    ASSERT_TRUE(setAndSave(*step, "DataSospensione", date(9, 0)));
    ASSERT_TRUE(setAndSave(*step, "DataFineSospensione", date(9, 20)));
    notify.clear();

    step->SetColValue("DataSospensione", date(9, 19));
    ASSERT_EQ(notify.messages.size(), 1);
    EXPECT_EQ(notify.messages.front(),
              "Per impostare una nuova sospensione devi specificare una Data/Ora successiva alla sospensione "
              "precedente.");
    auto stored = rows("PassaggiDettaglioCommesse", "NumeroCommessa='C004'");
    EXPECT_DOUBLE_EQ(stored->ColValue("DataSospensione").toDate(), MakeOleDate(2026, 3, 2, 9, 0));
    EXPECT_DOUBLE_EQ(stored->ColValue("DataFineSospensione").toDate(), MakeOleDate(2026, 3, 2, 9, 20));
    EXPECT_EQ(stored->ColNumber("TempoSospensione"), 20);
    EXPECT_FALSE(stored->ColValueBool("Sospeso"));

    // Equal to the previous end passes: the end is cleared, the earlier minutes stay.
    notify.clear();
    ASSERT_TRUE(setAndSave(*step, "DataSospensione", date(9, 20)));
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join("|").toStdString();
    EXPECT_TRUE(step->ColIsNull("DataFineSospensione"));
    EXPECT_TRUE(step->ColValueBool("Sospeso"));
    EXPECT_EQ(step->ColNumber("TempoSospensione"), 20);
    EXPECT_TRUE(detailRow("C004")->ColValueBool("Sospeso"));
    // Its end adds the second period.
    ASSERT_TRUE(setAndSave(*step, "DataFineSospensione", date(9, 50)));
    EXPECT_EQ(step->ColNumber("TempoSospensione"), 50);
    at(11, 0);
    ASSERT_TRUE(setAndSave(*step, "Chiuso", true));
    EXPECT_EQ(step->ColNumber("TempoImpiegato"), 130);
    EXPECT_EQ(detailRow("C004")->ColNumber("TempoSospensione"), 50);
}

TEST_F(StepRoad, SuspensionRefusals) {
    auto detail = addDetail("C005");
    at(8, 0);
    auto step = openStep(*detail);
    struct Case {
        const char* field;
        Variant value;
        const char* text;
    };
    const Case cases[] = {
        {"DataFineSospensione", date(9, 0), "L'inizio della sospensione non è stato impostato."},
        {"DataSospensione", date(9, 0), nullptr},
        {"DataFineSospensione", date(8, 59), "Il periodo di sospensione non è corretto."},
        {"DataFineSospensione", date(9, 10), nullptr},
        {"TempoSospensione", 9,
         "Il tempo di sospensione non può essere inferiore a quello risultante dal "
         "periodo di sospensione impostato."},
        {"TempoSospensione", 15, nullptr},
    };
    for (const Case& c : cases) {
        notify.clear();
        const bool saved = setAndSave(*step, c.field, c.value);
        if (c.text) {
            EXPECT_FALSE(saved) << c.field;
            EXPECT_EQ(notify.messages.value(0), c.text) << c.field;
        } else {
            EXPECT_TRUE(saved) << c.field << notify.messages.join("|").toStdString();
        }
    }
    // A suspension typed larger than its period lowers the worked minutes once the step closes.
    EXPECT_EQ(step->ColNumber("TempoSospensione"), 15);
    at(10, 0);
    ASSERT_TRUE(setAndSave(*step, "Chiuso", true));
    EXPECT_EQ(step->ColNumber("TempoImpiegato"), 105);
    // After the closing date the suspension data stay as they are.
    notify.clear();
    EXPECT_FALSE(setAndSave(*step, "DataSospensione", date(9, 30)));
    EXPECT_EQ(notify.messages.value(0),
              "Non puoi modificare i dati di Sospensione dopo che la data chiusura è stata impostata");
    EXPECT_DOUBLE_EQ(step->ColValue("DataSospensione").toDate(), MakeOleDate(2026, 3, 2, 9, 0));
}

TEST_F(StepRoad, NegativeWorkedTimeIsRefusedAtSave) {
    auto detail = addDetail("C006");
    at(8, 0);
    auto step = openStep(*detail);
    ASSERT_TRUE(setAndSave(*step, "TempoSospensione", 200));
    notify.clear();
    at(10, 0);
    step->SetColValue("Chiuso", true);
    EXPECT_EQ(step->ColNumber("TempoImpiegato"), -80);
    EXPECT_FALSE(step->SaveRow());
    EXPECT_EQ(
        notify.messages.value(0),
        "Il tempo risulta negativo, verificare che il periodo (Inizio/Fine) sia impostato correttamente.");
    auto stored = rows("PassaggiDettaglioCommesse", "NumeroCommessa='C006'");
    step->CancelRow();
    EXPECT_FALSE(stored->ColValueBool("Chiuso"));
    EXPECT_TRUE(stored->ColIsNull("DataChiusura"));
    EXPECT_EQ(stored->ColNumber("TempoImpiegato"), 0);
    EXPECT_EQ(storedText("SELECT Chiuso FROM PassaggiDettaglioCommesse WHERE NumeroCommessa='C006'"), "0");
    EXPECT_TRUE(detailRow("C006")->ColValueBool("InLavorazione"));
    EXPECT_EQ(detailRow("C006")->ColNumber("TempoImpiegato"), 0);
}

TEST_F(StepRoad, RefusalsOnDatesAndTimes) {
    // A step without a start (still on the worker for none) cannot be closed by date.
    auto detail = addDetail("C011");
    auto fresh = detail->GetReference("Passaggi");
    ASSERT_TRUE(fresh->NewRow());
    notify.clear();
    EXPECT_FALSE(fresh->SetColValue("DataChiusura", date(9, 0)));
    EXPECT_EQ(notify.messages.value(0), "L'inizio della commessa non è stato impostato.");
    fresh->CancelRow();

    // A negative suspension typed on an open step is refused when the closed step is saved.
    at(8, 0);
    auto step = openStep(*detail);
    ASSERT_TRUE(setAndSave(*step, "TempoSospensione", -5));
    at(9, 0);
    notify.clear();
    ASSERT_TRUE(step->SetColValue("Chiuso", true));
    EXPECT_EQ(step->ColNumber("TempoImpiegato"), 65);
    EXPECT_FALSE(step->SaveRow());
    EXPECT_EQ(notify.messages.value(0), "Il tempo di sospensione non può essere negativo.");
    step->CancelRow();
    EXPECT_EQ(storedText("SELECT Chiuso FROM PassaggiDettaglioCommesse WHERE NumeroCommessa='C011'"), "0");
    EXPECT_EQ(detailRow("C011")->ColNumber("TempoImpiegato"), 0);

    // An end of suspension without its start (written outside the rules) cannot be moved.
    const QString oid = step->Bookmark().toText();
    close();
    rawSql("UPDATE PassaggiDettaglioCommesse SET DataFineSospensione=DataInizio WHERE OID=" + oid);
    open();
    notify.clear();
    auto stored = rows("PassaggiDettaglioCommesse", "OID=" + oid);
    EXPECT_FALSE(stored->SetColValue("DataFineSospensione", date(8, 30)));
    EXPECT_EQ(notify.messages.value(0), "Devi impostare la data/ora di inizio sospensione");
    EXPECT_DOUBLE_EQ(stored->ColValue("DataFineSospensione").toDate(), MakeOleDate(2026, 3, 2, 8, 0));
}

TEST_F(StepRoad, PeriodOfTheStepIsChecked) {
    auto detail = addDetail("C007");
    at(8, 0);
    auto step = openStep(*detail);
    notify.clear();
    EXPECT_FALSE(setAndSave(*step, "DataChiusura", date(7, 59)));
    EXPECT_EQ(notify.messages.value(0), "Il periodo di lavorazione non è corretto.");
    EXPECT_TRUE(rows("PassaggiDettaglioCommesse", "NumeroCommessa='C007'")->ColIsNull("DataChiusura"));
    // Equal to the start passes and closes the step with no minutes.
    ASSERT_TRUE(setAndSave(*step, "DataChiusura", date(8, 0)));
    EXPECT_TRUE(step->ColValueBool("Chiuso"));
    EXPECT_EQ(step->ColNumber("TempoImpiegato"), 0);
    // Reopening clears the closing date.
    ASSERT_TRUE(setAndSave(*step, "Chiuso", false));
    EXPECT_TRUE(step->ColIsNull("DataChiusura"));
    EXPECT_TRUE(detailRow("C007")->ColValueBool("InLavorazione"));
}

TEST_F(StepRoad, ANewStepStartsOpenOnTheWorkerForNone) {
    auto detail = addDetail("C008");
    auto steps = detail->GetReference("Passaggi");
    ASSERT_TRUE(steps->NewRow());
    EXPECT_FALSE(steps->ColValueBool("Chiuso"));
    EXPECT_FALSE(steps->ColValueBool("Sospeso"));
    EXPECT_EQ(steps->ColNumber("TotaleParticolariGruppo"), 0);
    EXPECT_TRUE(steps->ColIsNull("DataInizio"));
    auto worker = steps->GetReference("Operaio");
    ASSERT_FALSE(worker->DataEmpty());
    EXPECT_EQ(worker->ColText("Nominativo"), "<indefinito>");
    // Choosing a real worker stamps the start.
    at(8, 15);
    steps->SetReference("Operaio", "7");
    EXPECT_DOUBLE_EQ(steps->ColValue("DataInizio").toDate(), MakeOleDate(2026, 3, 2, 8, 15));
}

TEST_F(StepRoad, StepsAreListedByTheirStart) {
    auto detail = addDetail("C010");
    for (int hour : {11, 8, 10}) {
        at(hour, 0);
        openStep(*detail);
    }
    auto listed = detail->GetReference("Passaggi");
    QList<double> starts;
    for (listed->RowFirst(); !listed->RowInvalid(); listed->RowNext())
        starts << listed->ColValue("DataInizio").toDate();
    EXPECT_EQ(starts, (QList<double>{MakeOleDate(2026, 3, 2, 8, 0), MakeOleDate(2026, 3, 2, 10, 0),
                                     MakeOleDate(2026, 3, 2, 11, 0)}));
    // The order goes on the offered steps; the detail's own rows keep theirs.
    const QString detailOrder = detail->SortOrder();
    auto offered = detail->SelectReference("Passaggi");
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->SortOrder(), "DataInizio");
    EXPECT_EQ(detail->SortOrder(), detailOrder);
    EXPECT_EQ(detail->ColText("NumeroCommessa"), "C010");
}

}  // namespace
