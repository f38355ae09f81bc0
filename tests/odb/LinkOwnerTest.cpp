// A deleted row leaves the collections that gather it without owning it: their owners hear the
// removal as the owner of an owned child does, inside the same operation, and are stored.
#include <gtest/gtest.h>

#include <functional>

#include "OdbTestUtil.h"
#include "odb/DataSet.h"
#include "odb/Schema.h"
#include "support/TestEnvironment.h"

using namespace odbtest;
using odb::DataSet;

namespace {

// Gruppi keeps the minutes of its steps: taken off in the before-event of a removal; after it,
// every remaining step gets one minute more and is saved (a total spread back to the steps).
class LinkOwnerTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        def = std::make_shared<TestDefinition>();
        BuildShopSchema(*def);
        auto gruppi = def->table("Gruppi");
        gruppi->structure = [](odb::FieldDefs& f, odb::IndexDefs&, odb::ReferenceDefs& r) {
            Text(f, "Nome");
            Long(f, "Minuti");
            Collection(r, "Passaggi", "Passaggi", false);
        };
        gruppi->onBeforeUpdateReference = [](DataSet& group, DataSet& step, const QString&, bool isDelete) {
            if (isDelete && !step.NoCurrentRow()) group.SubtractFromCol("Minuti", step.ColNumber("Minuti"));
        };
        gruppi->onUpdateReference = [this](DataSet& group, DataSet& step, const QString&, bool isDelete) {
            if (!isDelete) return;
            if (step.NoCurrentRow()) ++afterWithoutChild;
            if (refuse) group.RejectChange("Gruppo bloccato", 0);
            auto rest = group.GetReference("Passaggi");
            for (rest->RowFirst(); !rest->RowInvalid(); rest->RowNext()) {
                rest->AddToCol("Minuti", 1);
                rest->SaveRow();
            }
        };
        // A detail whose whole step set changed sums it again.
        auto dettagli = def->table("Dettagli");
        dettagli->onUpdateReference = [book = dettagli->onUpdateReference](
                                          DataSet& ds, DataSet& ref, const QString& name, bool isDelete) {
            if (!ref.NoCurrentRow()) return book(ds, ref, name, isDelete);
            auto all = ds.GetReference("Passaggi");
            ds.SetColValue("TempoImpiegato", all->Aggregate("Minuti"));
            ds.SetColValue("Costo", all->Aggregate("Costo"));
        };
        o = OpenDefinition(path("ZeltoLavrix.mdb"), def, &notify);
        header = o.table("Commesse").OpenData();
        ASSERT_TRUE(header->AddRow({"Cliente", ""}));
        details = header->GetReference("Dettagli");
        ASSERT_TRUE(details->AddRow({"NumeroCommessa", "A0001/001"}));
        steps1 = details->GetReference("Passaggi");
        ASSERT_TRUE(steps1->AddRow({"Minuti", 30}));
        ASSERT_TRUE(steps1->AddRow({"Minuti", 45}));
        ASSERT_TRUE(details->AddRow({"NumeroCommessa", "A0001/002"}));
        steps2 = details->GetReference("Passaggi");
        ASSERT_TRUE(steps2->AddRow({"Minuti", 20}));
        groups = o.table("Gruppi").OpenData();
        ASSERT_TRUE(groups->AddRow({"Nome", "G1", "Minuti", 95}));
        for (auto* s : {steps1.get(), steps2.get()})
            for (s->RowFirst(); !s->RowInvalid(); s->RowNext())
                ASSERT_TRUE(groups->SetReference("Passaggi", s->Bookmark()));
        ASSERT_EQ(raw("SELECT count(*) FROM _Link_Gruppi_Passaggi"), 3);
        def->log.clear();
    }
    int64_t raw(const QString& sql) const { return RawCount(path("ZeltoLavrix.mdb"), sql); }
    int logged(const QString& entry) const { return static_cast<int>(def->log.count(entry)); }

  public:
    std::shared_ptr<TestDefinition> def;
    TestNotify notify;
    Opened o;
    std::shared_ptr<DataSet> header, details, steps1, steps2, groups;
    bool refuse = false;
    int afterWithoutChild = 0;
};

struct Deletion {
    const char* name;
    std::function<bool(LinkOwnerTest&)> run;
};

class LinkOwnerDeletionTest : public LinkOwnerTest, public ::testing::WithParamInterface<Deletion> {};

// Every way of deleting the first detail's two grouped steps.
const Deletion kDeletions[] = {
    {"DeleteRowsOfTheDetailsSteps", [](LinkOwnerTest& t) { return t.steps1->DeleteRows(); }},
    {"DeleteRowOfEachStep",
     [](LinkOwnerTest& t) {
         bool ok = true;
         while (ok && !t.steps1->DataEmpty()) {
             t.steps1->RowFirst();
             ok = t.steps1->DeleteRow();
         }
         return ok;
     }},
    {"DeleteRowOfTheDetail",
     [](LinkOwnerTest& t) {
         t.details->RowFirst();
         return t.details->DeleteRow();
     }},
    {"DeleteRowsOfTheStepsTable",
     [](LinkOwnerTest& t) { return t.o.table("Passaggi").OpenData("Minuti>20")->DeleteRows(); }},
};

TEST_P(LinkOwnerDeletionTest, TheGroupHearsEachRemovalAndIsStored) {
    ASSERT_TRUE(GetParam().run(*this));
    EXPECT_EQ(raw("SELECT count(*) FROM Passaggi"), 1);
    EXPECT_EQ(raw("SELECT count(*) FROM _Link_Gruppi_Passaggi"), 1);
    // Before with the step, after with no step, once for each.
    EXPECT_EQ(logged("Gruppi.OnBeforeUpdateReference(Passaggi,1,Passaggi)"), 2);
    EXPECT_EQ(logged("Gruppi.OnUpdateReference(Passaggi,1,-)"), 2);
    EXPECT_EQ(afterWithoutChild, 2);
    // The group's total lost both steps, stored at the end of the deletion.
    EXPECT_EQ(raw("SELECT Minuti FROM Gruppi"), 19);  // 95 - 30 - (45 + 1)
    groups->Requery();
    EXPECT_EQ(groups->ColNumber("Minuti"), 19);
    // The remaining step, saved by the group's rule, climbs into its own detail and the header
    // even inside a bulk deletion of the other detail's steps.
    EXPECT_EQ(raw("SELECT Minuti FROM Passaggi"), 22);
    EXPECT_EQ(raw("SELECT TempoImpiegato FROM Dettagli WHERE NumeroCommessa='A0001/002'"), 22);
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 22);
}

INSTANTIATE_TEST_SUITE_P(Ways, LinkOwnerDeletionTest, ::testing::ValuesIn(kDeletions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkOwnerTest, ARefusalOfTheGroupLeavesEverythingAsItWas) {
    refuse = true;
    EXPECT_FALSE(steps1->DeleteRows());
    steps1->RowFirst();
    EXPECT_FALSE(steps1->DeleteRow());
    EXPECT_EQ(raw("SELECT count(*) FROM Passaggi"), 3);
    EXPECT_EQ(raw("SELECT count(*) FROM _Link_Gruppi_Passaggi"), 3);
    EXPECT_EQ(raw("SELECT Minuti FROM Gruppi"), 95);
    EXPECT_EQ(raw("SELECT TempoImpiegato FROM Dettagli WHERE NumeroCommessa='A0001/001'"), 75);
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 95);
    EXPECT_EQ(notify.messages, QStringList({"Gruppo bloccato", "Gruppo bloccato"}));
    groups->Requery();
    EXPECT_EQ(groups->ColNumber("Minuti"), 95);
    EXPECT_EQ(steps1->RowCount(), 2);
    EXPECT_EQ(groups->GetReference("Passaggi")->RowCount(), 3);
}

TEST_F(LinkOwnerTest, TheGroupHearsAfterTheStepsOwnEventsAndBeforeTheLinkGoes) {
    int linksAtBefore = -1;
    def->table("Gruppi")->onBeforeUpdateReference = [&](DataSet& group, DataSet&, const QString&, bool) {
        linksAtBefore = group.GetReference("Passaggi")->RowCount();
    };
    steps1->RowFirst();
    ASSERT_TRUE(steps1->DeleteRow());
    EXPECT_EQ(linksAtBefore, 3);
    const auto at = [&](const QString& e) { return def->log.indexOf(e); };
    ASSERT_GE(at("Passaggi.OnDeleteRow"), 0);
    EXPECT_LT(at("Passaggi.OnDeleteRow"), at("Gruppi.OnBeforeUpdateReference(Passaggi,1,Passaggi)"));
    EXPECT_LT(at("Dettagli.OnBeforeUpdateReference(Passaggi,1,Passaggi)"),
              at("Gruppi.OnBeforeUpdateReference(Passaggi,1,Passaggi)"));
    EXPECT_LT(at("Gruppi.OnBeforeUpdateReference(Passaggi,1,Passaggi)"),
              at("Gruppi.OnUpdateReference(Passaggi,1,-)"));
    // A group not gathering the step hears nothing.
    ASSERT_TRUE(groups->AddRow({"Nome", "G2", "Minuti", 0}));
    def->log.clear();
    steps1->RowFirst();
    ASSERT_TRUE(steps1->DeleteRow());
    EXPECT_EQ(logged("Gruppi.OnUpdateReference(Passaggi,1,-)"), 1);
}

}  // namespace
