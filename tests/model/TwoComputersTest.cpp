// Two computers editing one work step: a save over the other computer's change never stores
// minutes, suspension or cost derived from the row as it was; it is refused, shows the row as
// stored, and the edit made again on that row gives what the period says.
#include <gtest/gtest.h>

#include "StepRoadFixture.h"
#include "model/DB.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"

namespace {

class TwoComputers : public StepRoadFixture {
  protected:
    void SetUp() override {
        StepRoadFixture::SetUp();
        other = std::make_shared<odb::Connection>();
        other->OpenDatabaseFile(databasePath());
        otherDatabase = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &otherNotify);
        otherDatabase->Open(other);
    }
    void TearDown() override {
        otherDatabase.reset();
        other->CloseConnection();
        StepRoadFixture::TearDown();
    }
    // The step as the other computer sees it.
    std::shared_ptr<odb::DataSet> otherStep() {
        return otherDatabase->Tables().Item("PassaggiDettaglioCommesse").OpenData();
    }
    std::string stored(const QString& sql) { return storedText(sql).toStdString(); }

    RecordingNotify otherNotify;
    std::shared_ptr<odb::Connection> other;
    std::shared_ptr<odb::Database> otherDatabase;
};

struct Edit {
    const char* field;
    Variant value;
};

struct Case {
    const char* what;
    std::vector<Edit> before;  // the step's road before both computers take it, at 09:45
    Edit here;                 // this computer's edit, not saved yet
    Edit there;                // the other computer's edit, saved
    // Stored after this computer makes its edit again and saves: step worked/suspended/cost,
    // suspended flag; the detail's worked minutes and cost.
    const char* after;
};

TEST_F(TwoComputers, ASaveOverTheOtherComputersChangeIsRefusedAndTheEditAgainCountsTheWholePeriod) {
    const std::vector<Case> cases = {
        {"the end moved here, the start there",
         {{"DataChiusura", date(9, 0)}},
         {"DataChiusura", date(10, 0)},
         {"DataInizio", date(7, 0)},
         "180/0/900000/0 180/900000"},
        {"closed here, suspended there",
         {},
         {"Chiuso", true},
         {"DataSospensione", date(9, 30)},
         "90/15/450000/0 90/450000"},
        {"closed here, a suspension typed there",
         {{"DataSospensione", date(9, 0)}, {"DataFineSospensione", date(9, 20)}},
         {"Chiuso", true},
         {"TempoSospensione", 30},
         "75/30/375000/0 75/375000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto detail = addDetail(QString("C%1").arg(&c - cases.data()));
        at(8, 0);
        auto step = openStep(*detail);
        for (const Edit& e : c.before)
            ASSERT_TRUE(setAndSave(*step, e.field, e.value)) << notify.messages.join("|").toStdString();
        at(9, 45);
        notify.clear();
        ASSERT_TRUE(step->SetColValue(c.here.field, c.here.value));
        auto there = otherStep();
        ASSERT_TRUE(there->FindBookmark(step->Bookmark()));
        ASSERT_TRUE(setAndSave(*there, c.there.field, c.there.value))
            << otherNotify.messages.join("|").toStdString();
        const QString oid = step->Bookmark().toText();
        const QString rowSql =
            "SELECT p.TempoImpiegato || '/' || p.TempoSospensione || '/' || p.CostoEffettivo || "
            "'/' || p.Sospeso || ' ' || d.TempoImpiegato || '/' || d.CostoEffettivoPassaggi FROM "
            "PassaggiDettaglioCommesse p, DettagliCommesse d WHERE p._OwnerOID = d.OID AND p.OID = " +
            oid;
        const std::string afterThere = stored(rowSql);
        EXPECT_FALSE(step->SaveRow());
        EXPECT_EQ(notify.messages, QStringList{odb::DbmsGlobal::ErrorText(odb::odbErrRowChanged)});
        EXPECT_EQ(stored(rowSql), afterThere);
        // This computer shows the row as stored, and its edit made again counts the whole period.
        EXPECT_EQ(step->ColValue(c.there.field).toText(), there->ColValue(c.there.field).toText());
        ASSERT_TRUE(setAndSave(*step, c.here.field, c.here.value)) << notify.messages.join("|").toStdString();
        EXPECT_EQ(stored(rowSql), c.after);
    }
}

}  // namespace
