// Attendance: presence, presumed presence, lateness, permission and missing minutes from the day's
// times and the working hours; non-working periods.
#include <QDateTime>

#include <gtest/gtest.h>

#include "ModelDatabaseTest.h"
#include "base/AppError.h"
#include "base/DateUtil.h"
#include "base/Variant.h"
#include "model/ModelState.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "platform/Clock.h"

namespace {

const QString kOrderRefusal =
    "L'impostazione degli orari non è valida, verificare nel pannello di configurazione orari di accesso.";

Variant T(int h, int m) {
    return Variant::fromDate(MakeOleTime(h, m, 0));
}

struct Minutes {
    int permission, presence, late, presumed, missing;
};

class Attendance : public ModelDatabaseTest {
  protected:
    void SetUp() override {
        ModelDatabaseTest::SetUp();
        open();
        Clock::setFixed(QDateTime(QDate(2026, 3, 2), QTime(7, 30)));
        ASSERT_TRUE(rows("Operai")->AddRow({"Codice", "7", "Nominativo", "Rossi"}));
        notify.clear();
    }
    void TearDown() override {
        Clock::reset();
        ModelDatabaseTest::TearDown();
    }
    // The day's row of worker 7, new and saved.
    std::shared_ptr<odb::DataSet> newDay() {
        auto day = rows("Ingressi");
        EXPECT_TRUE(day->NewRow());
        EXPECT_TRUE(day->SetReference("Operaio", "7"));
        EXPECT_TRUE(day->SaveRow());
        return day;
    }
    static bool setAndSave(odb::DataSet& ds, const QString& field, const Variant& value) {
        return ds.SetColValue(field, value) && ds.SaveRow();
    }
    static Minutes minutesOf(const odb::DataSet& ds) {
        return {int(ds.ColNumber("MinutiPermesso")), int(ds.ColNumber("MinutiPresenza")),
                int(ds.ColNumber("MinutiRitardo")), int(ds.ColNumber("MinutiPresenzaPresunti")),
                int(ds.ColNumber("MinutiMancanti"))};
    }
    // The stored row, read again through a data set of its own.
    Minutes stored() { return minutesOf(*rows("Ingressi")); }
    void expectStored(const Minutes& e, const char* when) {
        SCOPED_TRACE(when);
        const Minutes m = stored();
        EXPECT_EQ(m.permission, e.permission);
        EXPECT_EQ(m.presence, e.presence);
        EXPECT_EQ(m.late, e.late);
        EXPECT_EQ(m.presumed, e.presumed);
        EXPECT_EQ(m.missing, e.missing);
    }
};

TEST_F(Attendance, TheDayFilledTimeByTimeThenAnExtraExit) {
    auto day = newDay();
    struct Step {
        const char* field;
        Variant value;
        Minutes expected;
    };
    // Presumed presence completes the missing times with the normal hours; lateness waits for all four.
    const Step steps[] = {
        {"OraEntrataMattino", T(8, 0), {0, 0, 0, 470, 490}},
        {"OraUscitaMattino", T(13, 0), {0, 300, 0, 170, 190}},
        {"OraEntrataPomeriggio", T(14, 0), {0, 300, 0, 170, 190}},
        {"OraUscitaPomeriggio", T(16, 50), {0, 470, 20, 0, 20}},
        {"OraUscitaExtra", T(10, 0), {0, 470, 20, 0, 20}},
        // The permission counts twice against the missing minutes.
        {"OraEntrataExtra", T(10, 30), {30, 470, 0, 0, -40}},
        // A changed return takes the old 30 minutes off and adds the new 45.
        {"OraEntrataExtra", T(10, 45), {45, 470, 0, 0, -70}},
        // Clearing one of the pair takes its minutes off and adds nothing.
        {"OraUscitaExtra", Variant::null(), {0, 470, 20, 0, 20}},
    };
    for (const Step& s : steps) {
        ASSERT_TRUE(setAndSave(*day, s.field, s.value)) << s.field << notify.messages.join("|").toStdString();
        expectStored(s.expected, s.field);
    }
    EXPECT_EQ(storedText("SELECT MinutiMancanti FROM Ingressi"), "20");
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join("|").toStdString();
}

TEST_F(Attendance, NormalDayAndPartialDays) {
    struct Case {
        Variant me, mx, ae, ax;
        Minutes expected;
    };
    const Variant none = Variant::null();
    const Case cases[] = {
        {T(7, 40), T(13, 0), T(14, 0), T(16, 50), {0, 490, 0, 0, 0}},
        // Only the morning entry: the rest of the day is presumed, lateness keeps its 0.
        {T(7, 40), none, none, none, {0, 0, 0, 490, 490}},
        // Only the afternoon: the morning wholly from the normal hours.
        {none, none, T(14, 30), T(16, 50), {0, 140, 0, 320, 350}},
        // A day longer than the normal one leaves negative missing minutes and no lateness.
        {T(7, 0), T(13, 0), T(14, 0), T(18, 0), {0, 600, 0, 0, -110}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(++n);
        rows("Ingressi")->DeleteRows();
        auto day = newDay();
        day->SetColValue("OraEntrataMattino", c.me);
        day->SetColValue("OraUscitaMattino", c.mx);
        day->SetColValue("OraEntrataPomeriggio", c.ae);
        day->SetColValue("OraUscitaPomeriggio", c.ax);
        ASSERT_TRUE(day->SaveRow()) << notify.messages.join("|").toStdString();
        expectStored(c.expected, "stored");
    }
}

TEST_F(Attendance, MidnightIsMissingForPresenceButATimeForLateness) {
    auto day = newDay();
    day->SetColValue("OraEntrataMattino", T(0, 0));
    day->SetColValue("OraUscitaMattino", T(13, 0));
    day->SetColValue("OraEntrataPomeriggio", T(14, 0));
    day->SetColValue("OraUscitaPomeriggio", T(16, 50));
    ASSERT_TRUE(day->SaveRow()) << notify.messages.join("|").toStdString();
    // Presence: the morning is completed with 07:40 and presumed (320); the afternoon is present (170).
    // Lateness: the four times stand as they are, 00:00 to 13:00 giving 780 worked minutes, no lateness.
    expectStored({0, 170, 0, 320, 320}, "midnight entry");
    // Lateness counted from real times: entering at 08:10 on a full day gives 30.
    ASSERT_TRUE(setAndSave(*day, "OraEntrataMattino", T(8, 10)));
    expectStored({0, 460, 30, 0, 30}, "late entry");
    // A Null time leaves the lateness as it was.
    ASSERT_TRUE(setAndSave(*day, "OraUscitaPomeriggio", Variant::null()));
    expectStored({0, 290, 30, 170, 200}, "exit cleared");
}

TEST_F(Attendance, APermissionTypedByHandMovesLatenessAndMissingMinutes) {
    auto day = newDay();
    day->SetColValue("OraEntrataMattino", T(8, 0));
    day->SetColValue("OraUscitaMattino", T(13, 0));
    day->SetColValue("OraEntrataPomeriggio", T(14, 0));
    day->SetColValue("OraUscitaPomeriggio", T(16, 50));
    ASSERT_TRUE(day->SaveRow());
    expectStored({0, 470, 20, 0, 20}, "before");
    // The presence is written again with its same value: the missing minutes follow only because
    // such a write still raises its events.
    ASSERT_TRUE(setAndSave(*day, "MinutiPermesso", 10));
    expectStored({10, 470, 10, 0, 0}, "permission 10");
    // Taking an old extra pair off never leaves the permission below 0.
    ASSERT_TRUE(setAndSave(*day, "OraUscitaExtra", T(9, 0)));
    ASSERT_TRUE(setAndSave(*day, "OraEntrataExtra", T(9, 30)));
    expectStored({40, 470, 0, 0, -60}, "extra pair");
    ASSERT_TRUE(setAndSave(*day, "MinutiPermesso", 20));
    ASSERT_TRUE(setAndSave(*day, "OraEntrataExtra", T(9, 40)));
    expectStored({40, 470, 0, 0, -60}, "20 - 30 stays 0, then + 40");
}

TEST_F(Attendance, ARefusedOrderLeavesTheRowAsItWasStored) {
    auto day = newDay();
    day->SetColValue("OraEntrataMattino", T(8, 0));
    day->SetColValue("OraUscitaMattino", T(13, 0));
    day->SetColValue("OraEntrataPomeriggio", T(14, 0));
    day->SetColValue("OraUscitaPomeriggio", T(16, 50));
    ASSERT_TRUE(day->SaveRow());
    notify.clear();
    // An afternoon entry before the morning exit: refused, and nothing of it is written.
    EXPECT_FALSE(day->SetColValue("OraEntrataPomeriggio", T(12, 30)));
    ASSERT_EQ(notify.messages.size(), 1);
    EXPECT_EQ(notify.messages.front(), kOrderRefusal);
    EXPECT_DOUBLE_EQ(day->ColValue("OraEntrataPomeriggio").toDate(), MakeOleTime(14, 0, 0));
    EXPECT_EQ(minutesOf(*day).presence, 470);
    day->SaveRow();
    expectStored({0, 470, 20, 0, 20}, "after the refusal");
    EXPECT_EQ(storedText("SELECT MinutiPresenza FROM Ingressi"), "470");
    auto again = rows("Ingressi");
    EXPECT_DOUBLE_EQ(again->ColValue("OraEntrataPomeriggio").toDate(), MakeOleTime(14, 0, 0));
    // Equal times pass.
    EXPECT_TRUE(setAndSave(*day, "OraEntrataPomeriggio", T(13, 0)));
    expectStored({0, 530, 0, 0, -40}, "equal times");
}

TEST_F(Attendance, TheWorkingHoursOfTheInstallationAreRead) {
    const double entry = g_dtmOraPredefinitaEntrataMattino;
    const int16_t total = g_intTotMinGiornataLavorativa, pause = g_intMinPausaMattutina;
    g_dtmOraPredefinitaEntrataMattino = MakeOleTime(8, 0, 0);
    g_intMinPausaMattutina = 10;
    g_intTotMinGiornataLavorativa = 460;
    auto day = newDay();
    const bool saved = setAndSave(*day, "OraUscitaMattino", T(12, 0)) &&
                       setAndSave(*day, "OraEntrataMattino", T(8, 0)) &&
                       setAndSave(*day, "OraEntrataPomeriggio", T(14, 0)) &&
                       setAndSave(*day, "OraUscitaPomeriggio", T(16, 50));
    g_dtmOraPredefinitaEntrataMattino = entry;
    g_intTotMinGiornataLavorativa = total;
    g_intMinPausaMattutina = pause;
    ASSERT_TRUE(saved) << notify.messages.join("|").toStdString();
    // 240 + 170 present, 410 - 10 worked: 60 late of a 460-minute day, 50 missing.
    expectStored({0, 410, 60, 0, 50}, "installation hours");
}

TEST_F(Attendance, AMinuteSumOutsideSixteenBitsIsAnErrorAndChangesNothing) {
    auto day = newDay();
    ASSERT_TRUE(setAndSave(*day, "OraEntrataMattino", T(8, 0)));
    try {
        day->SetColValue("MinutiPermesso", 40000);
        FAIL() << "no overflow";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 6);
    }
    EXPECT_EQ(day->ColNumber("MinutiPermesso"), 0);
    expectStored({0, 0, 0, 470, 490}, "after the overflow");
}

TEST_F(Attendance, APeriodTypedByItsStartEndsThatDay) {
    auto periods = rows("PeriodiNonLavorativi");
    ASSERT_TRUE(periods->NewRow());
    const Variant start = Variant::fromDate(MakeOleDate(2026, 8, 10));
    ASSERT_TRUE(periods->SetColValue("DataInizioPeriodo", start));
    EXPECT_DOUBLE_EQ(periods->ColValue("DataFinePeriodo").toDate(), MakeOleDate(2026, 8, 10));
    EXPECT_EQ(periods->FocusedField(), "DataFinePeriodo");
    ASSERT_TRUE(periods->SaveRow());
    // An end typed first is kept, also when it lies before the start.
    ASSERT_TRUE(periods->NewRow());
    ASSERT_TRUE(periods->SetColValue("DataFinePeriodo", Variant::fromDate(MakeOleDate(2026, 12, 1))));
    ASSERT_TRUE(periods->SetColValue("DataInizioPeriodo", Variant::fromDate(MakeOleDate(2026, 12, 24))));
    EXPECT_DOUBLE_EQ(periods->ColValue("DataFinePeriodo").toDate(), MakeOleDate(2026, 12, 1));
    ASSERT_TRUE(periods->SaveRow());
    // The main window's where-text finds the period of a day.
    const QString day = database->DateLiteral(Variant::fromDate(MakeOleDate(2026, 8, 10)), false);
    auto found =
        rows("PeriodiNonLavorativi", "DataInizioPeriodo <= " + day + " AND DataFinePeriodo >=" + day);
    EXPECT_EQ(found->RowCount(), 1);
}

}  // namespace
