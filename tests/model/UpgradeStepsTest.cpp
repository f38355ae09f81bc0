// The upgrade steps, on database files whose stored table versions are set back to older ones.
#include <gtest/gtest.h>

#include "ModelDatabaseTest.h"
#include "odb/DataSet.h"
#include "odb/SchemaBuilder.h"

namespace {

class UpgradeSteps : public ModelDatabaseTest {
  protected:
    void SetUp() override {
        ModelDatabaseTest::SetUp();
        open();
        close();
    }
    // Sets the stored version of `table` (the database must be closed).
    void storeVersion(const QString& table, double version) {
        rawSql(QString("UPDATE \"%1\" SET Version=%2 WHERE Name='%3'")
                   .arg(odb::kVersionsTable)
                   .arg(version)
                   .arg(table));
    }
};

TEST_F(UpgradeSteps, JobOrderTypesBeforeTheCardPrefixGainIt) {
    // A file of version 1.0 knew only the four job-order types.
    rawSql("DELETE FROM TipiCommessa WHERE Tipologia=9");
    storeVersion("TipiCommessa", 1.0);
    open();
    auto types = rows("TipiCommessa", {}, "Tipologia");
    QStringList got;
    for (types->RowFirst(); !types->RowInvalid(); types->RowNext())
        got << types->ColText("Tipologia") + types->ColText("PrefissoNumero");
    EXPECT_EQ(got, (QStringList{"11-", "22-", "33-", "44-", "9OP"}));
    EXPECT_TRUE(notify.questions.isEmpty());
    // Recorded as current: the next opening adds nothing.
    reopen();
    EXPECT_EQ(count("TipiCommessa"), 5);
}

TEST_F(UpgradeSteps, CardPrefixRowAlreadyThereIsKept) {
    rawSql("UPDATE TipiCommessa SET PrefissoNumero='ZZ' WHERE Tipologia=9");
    storeVersion("TipiCommessa", 1.0);
    open();
    EXPECT_EQ(count("TipiCommessa"), 5);
    EXPECT_EQ(rows("TipiCommessa", "Tipologia=9")->ColText("PrefissoNumero"), "ZZ");
}

TEST_F(UpgradeSteps, CurrentVersionsRunNoStep) {
    rawSql("DELETE FROM TipiCommessa WHERE Tipologia=9");
    rawSql("DELETE FROM Utenti WHERE Nome='Operatore'");
    open();
    EXPECT_EQ(count("TipiCommessa"), 4);
    EXPECT_EQ(count("Utenti"), 1);
}

TEST_F(UpgradeSteps, UpgradedLookupTablesGetNoDefaultRows) {
    for (const char* t : {"TipiAssenza", "TipiCategoria", "TipiAssistenza", "DedirIdovuduvIrezadiv",
                          "Clienti", "Utenti", "Operai"}) {
        rawSql(QString("DELETE FROM %1").arg(t));
        storeVersion(t, 0.5);
    }
    open();
    for (const char* t : {"TipiAssenza", "TipiCategoria", "TipiAssistenza", "DedirIdovuduvIrezadiv",
                          "Clienti", "Utenti", "Operai"})
        EXPECT_EQ(count(t), 0) << t;
}

TEST_F(UpgradeSteps, WorkersBeforeVersion16OpenDespiteTheConstraintStep) {
    storeVersion("Operai", 1.5);
    open();
    EXPECT_EQ(count("Operai"), 1);
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join(" | ").toStdString();
    // Two workers may share a name.
    EXPECT_TRUE(rows("Operai")->AddRow({"Codice", "1", "Nominativo", "Luca"}));
    EXPECT_TRUE(rows("Operai")->AddRow({"Codice", "2", "Nominativo", "Luca"}));
}

TEST_F(UpgradeSteps, FinalAvailabilityIsCopiedFromTheLegacyColumn) {
    for (const char* t : {"MagazzinoPartProduzione", "MagazzinoPartCommerciale"}) {
        rawSql(QString("ALTER TABLE %1 ADD COLUMN \"DisponidilitàFinale\" INTEGER").arg(t));
        rawSql(QString("INSERT INTO %1 (Codice, Descrizione, QuantitàMagazzino, DisponidilitàFinale) "
                       "VALUES ('P1', 'Perno', 3, 17)")
                   .arg(t));
    }
    storeVersion("MagazzinoPartProduzione", 1.2);
    storeVersion("MagazzinoPartCommerciale", 1.6);
    open();
    EXPECT_EQ(rows("MagazzinoPartProduzione", "Codice='P1'")->ColNumber("DisponibilitàFinale"), 17);
    EXPECT_EQ(rows("MagazzinoPartCommerciale", "Codice='P1'")->ColNumber("DisponibilitàFinale"), 17);
}

TEST_F(UpgradeSteps, FinalAvailabilityStepNeedsTheLegacyColumnAndTheOldVersion) {
    // Without the legacy column the step does nothing and the file opens.
    rawSql(
        "INSERT INTO MagazzinoPartProduzione (Codice, Descrizione, DisponibilitàFinale) VALUES ('P2', "
        "'Vite', 4)");
    storeVersion("MagazzinoPartProduzione", 1.2);
    // With the column but at the version that no longer used it, nothing is copied.
    rawSql("ALTER TABLE MagazzinoPartCommerciale ADD COLUMN \"DisponidilitàFinale\" INTEGER");
    rawSql(
        "INSERT INTO MagazzinoPartCommerciale (Codice, Descrizione, DisponibilitàFinale, "
        "DisponidilitàFinale) "
        "VALUES ('C1', 'Molla', 6, 99)");
    storeVersion("MagazzinoPartCommerciale", 1.7);
    open();
    EXPECT_EQ(rows("MagazzinoPartProduzione", "Codice='P2'")->ColNumber("DisponibilitàFinale"), 4);
    EXPECT_EQ(rows("MagazzinoPartCommerciale", "Codice='C1'")->ColNumber("DisponibilitàFinale"), 6);
}

}  // namespace
