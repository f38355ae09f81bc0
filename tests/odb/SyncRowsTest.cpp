// Reading a data set's rows again: what another computer added, moved out of the view or deleted
// is seen after SyncRows, related rows included, and the current row stays where it still belongs.
#include <gtest/gtest.h>

#include "OdbTestUtil.h"
#include "odb/DataSet.h"
#include "support/TestEnvironment.h"

using namespace odbtest;
using odb::DataSet;

namespace {

class SyncRowsTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        here = open();
        ASSERT_TRUE(here.table("Operai").OpenData()->AddRow({"Codice", "7", "Nominativo", "Rossi"}));
        for (const char* number : {"A", "B"})
            ASSERT_TRUE(here.table("Dettagli").OpenData()->AddRow({"NumeroCommessa", number}));
        ASSERT_TRUE(steps(here, "A")->AddRow({"Operaio", "7", "Minuti", 0}));
    }
    Opened open() {
        auto def = std::make_shared<TestDefinition>();
        BuildShopSchema(*def);
        defs.push_back(def);
        return OpenDefinition(path("ZeltoLavrix.mdb"), def, &notify);
    }
    static std::shared_ptr<DataSet> steps(const Opened& o, const QString& number) {
        return o.table("Dettagli").OpenData("NumeroCommessa='" + number + "'")->GetReference("Passaggi");
    }
    static QStringList numbers(DataSet& ds) {
        QStringList out;
        auto copy = ds.CloneData();
        for (copy->RowFirst(); !copy->RowInvalid(); copy->RowNext())
            out << copy->OpenRelated("Dettagli")->ColText("NumeroCommessa");
        return out;
    }
    std::vector<std::shared_ptr<TestDefinition>> defs;
    TestNotify notify;
    Opened here;
};

TEST_F(SyncRowsTest, RowsOfAnotherComputerAreSeenOnlyAfterSyncRows) {
    auto worker = here.table("Operai").OpenData("Codice='7'");
    auto mine = worker->OpenRelated("Passaggi", "Minuti = 0");
    auto onA = steps(here, "A");
    ASSERT_EQ(numbers(*mine), QStringList{"A"});
    const double first = mine->Bookmark().toDouble();

    Opened other = open();
    ASSERT_TRUE(steps(other, "B")->AddRow({"Operaio", "7", "Minuti", 0}));
    ASSERT_TRUE(steps(other, "A")->AddRow({"Operaio", "7", "Minuti", 0}));
    EXPECT_EQ(mine->RowCount(), 1);
    EXPECT_EQ(onA->RowCount(), 1);

    mine->SyncRows(true);
    onA->SyncRows(true);
    EXPECT_EQ(numbers(*mine), QStringList({"A", "B", "A"}));
    EXPECT_EQ(mine->Bookmark().toDouble(), first);
    EXPECT_EQ(onA->RowCount(), 2);

    // The first step leaves the view (Minuti no longer 0) and the one on B is deleted elsewhere.
    auto changed = steps(other, "A");
    ASSERT_TRUE(changed->SetColValue("Minuti", 30) && changed->SaveRow());
    ASSERT_TRUE(steps(other, "B")->DeleteRow());
    mine->SyncRows(true);
    EXPECT_EQ(numbers(*mine), QStringList{"A"});
    EXPECT_NE(mine->Bookmark().toDouble(), first);
    EXPECT_FALSE(mine->RowInvalid());

    // The worker deleted elsewhere: his related rows go with him.
    ASSERT_TRUE(other.table("Operai").OpenData("Codice='7'")->DeleteRow());
    mine->SyncRows(false);
    EXPECT_TRUE(mine->DataEmpty());
}

}  // namespace
