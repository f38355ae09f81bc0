// Attendance, non-working periods, service job orders and layout tables: the values of a new row,
// the changes refused, and the minutes of an attendance day.
#include <gtest/gtest.h>

#include "StepRoadFixture.h"
#include "base/AppError.h"
#include "odb/Database.h"

namespace {

const QString kOrderRefusal =
    "L'impostazione degli orari non è valida, verificare nel pannello di configurazione orari di accesso.";
const QString kDuplicate = "Esiste già un elemento con gli stessi valori";

Variant T(int h, int m) {
    return Variant::fromDate(MakeOleTime(h, m, 0));
}

class Attendance : public StepRoadFixture {
  protected:
    std::shared_ptr<odb::DataSet> newDay() {
        auto day = rows("Ingressi");
        EXPECT_TRUE(day->NewRow() && day->SetReference("Operaio", "7") && day->SaveRow());
        return day;
    }
    // Permission, presence, lateness, presumed and missing minutes as stored.
    std::vector<int> stored() {
        auto ds = rows("Ingressi");
        std::vector<int> out;
        for (const char* f : {"MinutiPermesso", "MinutiPresenza", "MinutiRitardo", "MinutiPresenzaPresunti",
                              "MinutiMancanti"})
            out.push_back(int(ds->ColNumber(f)));
        return out;
    }
};

TEST_F(Attendance, NewRowValues) {
    struct Case {
        const char* table;
        const char* field;
        Variant value;  // Null: stays empty; a text for a reference: the field of its row shown
        const char* shownField = nullptr;
    };
    const Case cases[] = {
        {"Ingressi", "Data", Variant::fromDate(MakeOleDate(2026, 3, 2))},
        {"Ingressi", "MinutiMancanti", 0},
        {"Ingressi", "TipoAssenza", "Nessuna", "Descrizione"},
        {"CommesseAssistenza", "Tipo", "4", "Tipologia"},
        {"CommesseAssistenza", "DataInserimento", Variant::fromDate(MakeOleDate(2026, 3, 2, 7, 0))},
        {"CommesseAssistenza", "Urgente", false},
        {"CommesseAssistenza", "CostoTotale", 0},
        {"CommesseAssistenza", "Progressivo", Variant::null()},
        {"TabStampaEtichette", "AbilitaPosizionamento", true},
        {"TabStampaEtichette", "NumeroCopie", 1},
        {"TabStampaEtichette", "OrientamentoOrizzontale", false},
        {"TabStampaEtichette", "NumeroColonne", Variant::null()},
        {"TabProspettiStampa", "NomeReference", ""},
        {"TabProspettiStampa", "NomeGruppo", ""},
        {"TabProspettiStampa", "ImmagineSfondo", ""},
        {"TabProspettiStampa", "NumeroColonne", 1},
        {"TabProspettiStampa", "MargineSuperiore", 0},
        {"TabProspettiStampa", "NomeProspetto", Variant::null()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + "." + c.field);
        auto ds = rows(c.table);
        ASSERT_TRUE(ds->NewRow());
        if (c.shownField)
            EXPECT_EQ(ds->GetReference(c.field)->ColText(c.shownField), c.value.toString());
        else if (c.value.isNull())
            EXPECT_TRUE(ds->ColIsNull(c.field));
        else
            EXPECT_TRUE(!ds->ColIsNull(c.field) && ds->ColValue(c.field).toString() == c.value.toString())
                << ds->ColText(c.field).toStdString();
        ds->CancelRow();
    }
    // The empty texts are stored as such: the readers' where-texts find them.
    ASSERT_TRUE(
        rows("TabProspettiStampa")->AddRow({"NomeTabellaOrigine", "Clienti", "NomeProspetto", "Elenco"}));
    EXPECT_EQ(rows("TabProspettiStampa", "NomeReference='' AND NomeGruppo=''")->RowCount(), 1);
}

TEST_F(Attendance, RefusedChanges) {
    const Variant day = Variant::fromDate(MakeOleDate(2026, 3, 2));
    const Variant next = Variant::fromDate(MakeOleDate(2026, 3, 3));
    struct Case {
        const char* table;
        VariantList first, second;  // the first is stored, the second refused
        QString text;               // how the refusal starts
    };
    const Case cases[] = {
        {"Ingressi", {"Operaio", "7", "Data", day}, {"Operaio", "7", "Data", day}, kDuplicate},
        {"Ingressi",
         {"Operaio", "7", "Data", day},
         {"Operaio", "7", "Data", next, "OraUscitaMattino", T(13, 0), "OraEntrataPomeriggio", T(12, 30)},
         kOrderRefusal},
        {"Ingressi",
         {"Operaio", "7", "Data", day},
         {"Operaio", "7", "Data", next, "OraEntrataMattino", T(9, 0), "OraUscitaMattino", T(8, 0)},
         kOrderRefusal},
        {"PeriodiNonLavorativi", {"DataInizioPeriodo", day}, {"DataInizioPeriodo", day}, kDuplicate},
        {"CommesseAssistenza", {}, {"DataChiusura", date(6, 0)}, "Il periodo di lavorazione non è corretto."},
        {"TabStampaEtichette",
         {"NomeTabellaOrigine", "Clienti"},
         {"NomeTabellaOrigine", "Clienti"},
         kDuplicate},
        {"TabProspettiStampa",
         {"NomeTabellaOrigine", "Clienti", "NomeReference", "Ordini", "NomeProspetto", "Elenco"},
         {"NomeTabellaOrigine", "Clienti", "NomeReference", "Ordini", "NomeProspetto", "Elenco"},
         kDuplicate},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString() + " " + c.table);
        rows(c.table)->DeleteRows();
        ASSERT_TRUE(rows(c.table)->AddRow(c.first));
        notify.clear();
        QString shown;
        try {
            if (!rows(c.table)->AddRow(c.second)) shown = notify.messages.value(0);
        } catch (const AppError& e) {
            shown = e.description();
        }
        EXPECT_TRUE(shown.startsWith(c.text)) << shown.toStdString();
        EXPECT_EQ(count(c.table), 1);
    }
    // The same report name under another reference is another report.
    EXPECT_TRUE(
        rows("TabProspettiStampa")
            ->AddRow({"NomeTabellaOrigine", "Clienti", "NomeReference", "", "NomeProspetto", "Elenco"}));
}

TEST_F(Attendance, MinutesOfADayTimeByTime) {
    auto day = newDay();
    struct Step {
        const char* field;
        Variant value;
        std::vector<int> minutes;  // permission, presence, lateness, presumed, missing
    };
    const Step steps[] = {
        // Missing times are presumed from the normal hours; lateness waits for all four.
        {"OraEntrataMattino", T(8, 0), {0, 0, 0, 470, 490}},
        {"OraUscitaMattino", T(13, 0), {0, 300, 0, 170, 190}},
        {"OraEntrataPomeriggio", T(14, 0), {0, 300, 0, 170, 190}},
        {"OraUscitaPomeriggio", T(16, 50), {0, 470, 20, 0, 20}},
        // The presence is written again with its same value: the missing minutes follow only
        // because such a write still raises its events. The permission counts twice there.
        {"MinutiPermesso", 10, {10, 470, 10, 0, 0}},
        {"MinutiPermesso", 0, {0, 470, 20, 0, 20}},
        {"OraUscitaExtra", T(10, 0), {0, 470, 20, 0, 20}},
        {"OraEntrataExtra", T(10, 30), {30, 470, 0, 0, -40}},
        // A changed pair takes its old 30 minutes off, never below 0, and adds the new 45.
        {"MinutiPermesso", 20, {20, 470, 0, 0, -20}},
        {"OraEntrataExtra", T(10, 45), {45, 470, 0, 0, -70}},
        {"OraUscitaExtra", Variant::null(), {0, 470, 20, 0, 20}},
        // A time cleared keeps the lateness; 00:00 is missing for presence, a time for lateness.
        {"OraEntrataMattino", T(8, 10), {0, 460, 30, 0, 30}},
        {"OraUscitaPomeriggio", Variant::null(), {0, 290, 30, 170, 200}},
        {"OraUscitaPomeriggio", T(16, 50), {0, 460, 30, 0, 30}},
        {"OraEntrataMattino", T(0, 0), {0, 170, 0, 320, 320}},
    };
    for (const Step& s : steps) {
        ASSERT_TRUE(setAndSave(*day, s.field, s.value)) << s.field << notify.messages.join("|").toStdString();
        EXPECT_EQ(stored(), s.minutes) << s.field;
    }
}

TEST_F(Attendance, ARefusedOrOverflowingChangeLeavesTheRowAsItWas) {
    auto day = newDay();
    for (auto [field, time] : {std::pair{"OraEntrataMattino", T(8, 0)},
                               {"OraUscitaMattino", T(13, 0)},
                               {"OraEntrataPomeriggio", T(14, 0)},
                               {"OraUscitaPomeriggio", T(16, 50)}})
        ASSERT_TRUE(setAndSave(*day, field, time));
    notify.clear();
    // An afternoon entry before the morning exit: no minutes are written from the refused time.
    EXPECT_FALSE(day->SetColValue("OraEntrataPomeriggio", T(12, 30)));
    EXPECT_EQ(notify.messages, QStringList{kOrderRefusal});
    EXPECT_DOUBLE_EQ(day->ColValue("OraEntrataPomeriggio").toDate(), MakeOleTime(14, 0, 0));
    EXPECT_EQ(storedText("SELECT MinutiPresenza FROM Ingressi WHERE OraEntrataPomeriggio > OraUscitaMattino"),
              "470");
    // A sum outside 16 bits is an error, not a wrapped number.
    EXPECT_THROW(day->SetColValue("MinutiPermesso", 40000), AppError);
    EXPECT_EQ(stored(), (std::vector<int>{0, 470, 20, 0, 20}));
}

TEST_F(Attendance, APeriodTypedByItsStartEndsThatDay) {
    auto periods = rows("PeriodiNonLavorativi");
    ASSERT_TRUE(periods->NewRow());
    ASSERT_TRUE(periods->SetColValue("DataInizioPeriodo", Variant::fromDate(MakeOleDate(2026, 8, 10))));
    EXPECT_DOUBLE_EQ(periods->ColValue("DataFinePeriodo").toDate(), MakeOleDate(2026, 8, 10));
    EXPECT_EQ(periods->FocusedField(), "DataFinePeriodo");
    // An end typed first is kept.
    ASSERT_TRUE(periods->SetColValue("DataFinePeriodo", Variant::fromDate(MakeOleDate(2026, 8, 20))));
    ASSERT_TRUE(periods->SetColValue("DataInizioPeriodo", Variant::fromDate(MakeOleDate(2026, 8, 12))));
    EXPECT_DOUBLE_EQ(periods->ColValue("DataFinePeriodo").toDate(), MakeOleDate(2026, 8, 20));
}

}  // namespace
