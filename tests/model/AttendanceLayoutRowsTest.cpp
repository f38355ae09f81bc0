// The values a new row starts with, and the changes refused, in the attendance, non-working period,
// service job-order and layout tables.
#include <QDateTime>

#include <gtest/gtest.h>

#include "ModelDatabaseTest.h"
#include "base/AppError.h"
#include "base/DateUtil.h"
#include "base/Variant.h"
#include "odb/DataSet.h"
#include "platform/Clock.h"

namespace {

const QString kDuplicate = "Esiste già un elemento con gli stessi valori";

class AttendanceLayoutRows : public ModelDatabaseTest {
  protected:
    void SetUp() override {
        ModelDatabaseTest::SetUp();
        open();
        Clock::setFixed(QDateTime(QDate(2026, 3, 2), QTime(9, 15, 20)));
        ASSERT_TRUE(rows("Operai")->AddRow({"Codice", "7", "Nominativo", "Rossi"}));
        notify.clear();
    }
    void TearDown() override {
        Clock::reset();
        ModelDatabaseTest::TearDown();
    }
};

// What a field of a new row holds: Null, a value, or (for a reference) the text of the row it
// points to.
struct NewValue {
    const char* table;
    const char* field;
    enum Kind { Null, Equals, Refers } kind;
    Variant value;
    const char* shown = nullptr;  // Refers: the field of the target row and ...
};

TEST_F(AttendanceLayoutRows, NewRowValues) {
    const double today = MakeOleDate(2026, 3, 2);
    const NewValue cases[] = {
        {"Ingressi", "Data", NewValue::Equals, Variant::fromDate(today)},
        {"Ingressi", "MinutiPermesso", NewValue::Equals, 0},
        {"Ingressi", "MinutiPresenza", NewValue::Equals, 0},
        {"Ingressi", "MinutiRitardo", NewValue::Equals, 0},
        {"Ingressi", "MinutiPresenzaPresunti", NewValue::Equals, 0},
        {"Ingressi", "MinutiMancanti", NewValue::Equals, 0},
        {"Ingressi", "OraEntrataMattino", NewValue::Null, {}},
        {"Ingressi", "OraEntrataExtra", NewValue::Null, {}},
        {"Ingressi", "TipoAssenza", NewValue::Refers, "Nessuna", "Descrizione"},
        {"PeriodiNonLavorativi", "DataInizioPeriodo", NewValue::Null, {}},
        {"PeriodiNonLavorativi", "DataFinePeriodo", NewValue::Null, {}},
        {"CommesseAssistenza", "Tipo", NewValue::Refers, "4", "Tipologia"},
        {"CommesseAssistenza", "DataInserimento", NewValue::Equals,
         Variant::fromDate(MakeOleDate(2026, 3, 2, 9, 15, 20))},
        {"CommesseAssistenza", "Urgente", NewValue::Equals, false},
        {"CommesseAssistenza", "CostoTotale", NewValue::Equals, 0},
        {"CommesseAssistenza", "TempoImpiegato", NewValue::Equals, 0},
        {"CommesseAssistenza", "Chiuso", NewValue::Equals, false},
        {"CommesseAssistenza", "Progressivo", NewValue::Null, {}},
        {"CommesseAssistenza", "NumeroCommessa", NewValue::Null, {}},
        {"CommesseAssistenza", "TipoMacchina", NewValue::Null, {}},
        {"TabStampaEtichette", "OrientamentoOrizzontale", NewValue::Equals, false},
        {"TabStampaEtichette", "AbilitaPosizionamento", NewValue::Equals, true},
        {"TabStampaEtichette", "RichiediSelezioneStampante", NewValue::Equals, false},
        {"TabStampaEtichette", "NumeroCopie", NewValue::Equals, 1},
        {"TabStampaEtichette", "NomeTabellaOrigine", NewValue::Null, {}},
        {"TabStampaEtichette", "NumeroColonne", NewValue::Null, {}},
        {"TabStampaEtichette", "IstruzioniStampa", NewValue::Null, {}},
        {"TabProspettiStampa", "NomeReference", NewValue::Equals, ""},
        {"TabProspettiStampa", "NomeGruppo", NewValue::Equals, ""},
        {"TabProspettiStampa", "NumeroColonne", NewValue::Equals, 1},
        {"TabProspettiStampa", "AltezzaModulo", NewValue::Equals, 0},
        {"TabProspettiStampa", "LarghezzaModulo", NewValue::Equals, 0},
        {"TabProspettiStampa", "MargineSuperiore", NewValue::Equals, 0},
        {"TabProspettiStampa", "MargineSinistro", NewValue::Equals, 0},
        {"TabProspettiStampa", "ImmagineSfondo", NewValue::Equals, ""},
        {"TabProspettiStampa", "MargineInferioreSfondo", NewValue::Equals, 0},
        {"TabProspettiStampa", "OrientamentoOrizzontale", NewValue::Equals, false},
        {"TabProspettiStampa", "RichiediSelezioneStampante", NewValue::Equals, false},
        {"TabProspettiStampa", "NomeTabellaOrigine", NewValue::Null, {}},
        {"TabProspettiStampa", "NomeProspetto", NewValue::Null, {}},
        {"TabProspettiStampa", "NomeStampante", NewValue::Null, {}},
        {"TabProspettiStampa", "MargineSuperioreRighe", NewValue::Null, {}},
        {"TabProspettiStampa", "AltezzaRigheDettaglio", NewValue::Null, {}},
        {"TabProspettiStampa", "IstruzioniStampa", NewValue::Null, {}},
    };
    for (const NewValue& c : cases) {
        SCOPED_TRACE(std::string(c.table) + "." + c.field);
        auto ds = rows(c.table);
        ASSERT_TRUE(ds->NewRow());
        switch (c.kind) {
            case NewValue::Null:
                EXPECT_TRUE(ds->ColIsNull(c.field));
                break;
            case NewValue::Equals:
                ASSERT_FALSE(ds->ColIsNull(c.field));
                if (c.value.type() == VarType::String)
                    EXPECT_EQ(ds->ColValue(c.field).toString(), c.value.toString());
                else
                    EXPECT_DOUBLE_EQ(ds->ColValue(c.field).toDouble(), c.value.toDouble());
                break;
            case NewValue::Refers:
                EXPECT_EQ(ds->GetReference(c.field)->ColText(c.shown), c.value.toString());
                break;
        }
        ds->CancelRow();
    }
    // The empty texts are stored as such: the readers' where-texts find them.
    ASSERT_TRUE(
        rows("TabProspettiStampa")->AddRow({"NomeTabellaOrigine", "Clienti", "NomeProspetto", "Elenco"}));
    EXPECT_EQ(rows("TabProspettiStampa", "NomeReference='' AND NomeGruppo=''")->RowCount(), 1);
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join("|").toStdString();
}

// A first row is stored, then a second one is refused with a text that starts with `text`, leaving
// `table` at one row.
struct Refusal {
    const char* what;
    const char* table;
    VariantList first, second;
    QString text;
};

TEST_F(AttendanceLayoutRows, RefusedChanges) {
    const Variant day = Variant::fromDate(MakeOleDate(2026, 3, 2));
    const Variant otherDay = Variant::fromDate(MakeOleDate(2026, 3, 3));
    const Refusal cases[] = {
        {"one attendance row per worker and day",
         "Ingressi",
         {"Operaio", "7", "Data", day},
         {"Operaio", "7", "Data", day},
         kDuplicate},
        {"an afternoon entry before the morning exit",
         "Ingressi",
         {"Operaio", "7", "Data", day},
         {"Operaio", "7", "Data", otherDay, "OraUscitaMattino", Variant::fromDate(MakeOleTime(13, 0, 0)),
          "OraEntrataPomeriggio", Variant::fromDate(MakeOleTime(12, 30, 0))},
         "L'impostazione degli orari non è valida, verificare nel pannello di configurazione orari di "
         "accesso."},
        {"a morning exit before its entry",
         "Ingressi",
         {"Operaio", "7", "Data", day},
         {"Operaio", "7", "Data", otherDay, "OraEntrataMattino", Variant::fromDate(MakeOleTime(9, 0, 0)),
          "OraUscitaMattino", Variant::fromDate(MakeOleTime(8, 0, 0))},
         "L'impostazione degli orari non è valida, verificare nel pannello di configurazione orari di "
         "accesso."},
        {"two periods starting on one day",
         "PeriodiNonLavorativi",
         {"DataInizioPeriodo", day},
         {"DataInizioPeriodo", day, "DataFinePeriodo", otherDay},
         kDuplicate},
        {"a service job order closed before it started",
         "CommesseAssistenza",
         {},
         {"DataChiusura", Variant::fromDate(MakeOleDate(2026, 3, 2, 9, 0))},
         "Il periodo di lavorazione non è corretto."},
        {"two label layouts of one table",
         "TabStampaEtichette",
         {"NomeTabellaOrigine", "Clienti"},
         {"NomeTabellaOrigine", "Clienti"},
         kDuplicate},
        {"two reports of one name, table and reference",
         "TabProspettiStampa",
         {"NomeTabellaOrigine", "Clienti", "NomeReference", "Ordini", "NomeProspetto", "Elenco"},
         {"NomeTabellaOrigine", "Clienti", "NomeReference", "Ordini", "NomeProspetto", "Elenco"},
         kDuplicate},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.what);
        rows(c.table)->DeleteRows();
        ASSERT_TRUE(rows(c.table)->AddRow(c.first)) << notify.messages.join("|").toStdString();
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
    EXPECT_EQ(count("TabProspettiStampa"), 2);
}

}  // namespace
