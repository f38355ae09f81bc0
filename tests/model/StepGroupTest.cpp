// Step groups: the total of parts of the grouped steps' details, spread to every step so that each
// takes its quantity's share of its minutes; steps joining, leaving and deleted.
#include <gtest/gtest.h>

#include "StepRoadFixture.h"

namespace {

class StepGroup : public StepRoadFixture {
  protected:
    std::shared_ptr<odb::DataSet> newGroup() {
        auto groups = rows("GruppiPassaggi");
        EXPECT_TRUE(groups->AddRow({}));
        EXPECT_EQ(groups->ColNumber("NumeroTotaleParticolari"), 0);
        return groups;
    }
    static void join(odb::DataSet& group, odb::DataSet& step) {
        group.SetReference("Passaggi", step.Bookmark());
    }
    static void leave(odb::DataSet& group, odb::DataSet& step) {
        group.SetReference("Passaggi", step.Bookmark(), true);
    }
    int storedTotal(odb::DataSet& group) {
        return storedText("SELECT NumeroTotaleParticolari FROM GruppiPassaggi WHERE OID=" +
                          group.Bookmark().toText())
            .toInt();
    }
    int worked(const QString& number) {
        return storedText("SELECT TempoImpiegato FROM PassaggiDettaglioCommesse WHERE NumeroCommessa='" +
                          number + "'")
            .toInt();
    }
};

TEST_F(StepGroup, WorkedTimeIsSharedByParts) {
    auto a = addToolingDetail("G001", 4);
    auto b = addToolingDetail("G002", 6);
    auto stepA = closedStep(*a, 8 * 60, 8 * 60 + 100);
    auto stepB = closedStep(*b, 8 * 60, 8 * 60 + 100);
    auto group = newGroup();

    join(*group, *stepA);
    EXPECT_EQ(storedTotal(*group), 4);
    EXPECT_EQ(worked("G001"), 100);
    join(*group, *stepB);
    EXPECT_EQ(storedTotal(*group), 10);
    EXPECT_EQ(worked("G001"), 40);
    EXPECT_EQ(worked("G002"), 60);
    for (const char* n : {"G001", "G002"})
        EXPECT_EQ(storedText(QString("SELECT TotaleParticolariGruppo FROM PassaggiDettaglioCommesse WHERE "
                                     "NumeroCommessa='") +
                             n + "'"),
                  "10")
            << n;
    // The details' totals and costs follow their steps.
    EXPECT_EQ(detailRow("G001")->ColNumber("TempoImpiegato"), 40);
    EXPECT_DOUBLE_EQ(detailRow("G001")->ColNumber("CostoEffettivoPassaggi"), 20.0);
    EXPECT_EQ(detailRow("G002")->ColNumber("TempoImpiegato"), 60);
    EXPECT_DOUBLE_EQ(detailRow("G002")->ColNumber("CostoEffettivoPassaggi"), 30.0);
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join("|").toStdString();
}

TEST_F(StepGroup, SharesRoundHalfToEven) {
    struct Case {
        int quantity, rawMinutes, share;
    };
    // A total of 10 parts: 5 x 5 / 10 = 2.5 goes to 2, 5 x 7 / 10 = 3.5 to 4, 5 x 9 / 10 = 4.5 to 4.
    const Case cases[] = {{5, 5, 2}, {5, 7, 4}, {5, 9, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rawMinutes);
        const QString a = QString("H%1A").arg(c.rawMinutes), b = QString("H%1B").arg(c.rawMinutes);
        auto stepA = closedStep(*addToolingDetail(a, c.quantity), 8 * 60, 8 * 60 + c.rawMinutes);
        auto stepB = closedStep(*addToolingDetail(b, 10 - c.quantity), 8 * 60, 8 * 60 + 20);
        auto group = newGroup();
        join(*group, *stepA);
        join(*group, *stepB);
        EXPECT_EQ(worked(a), c.share);
        EXPECT_EQ(detailRow(a)->ColNumber("TempoImpiegato"), c.share);
    }
}

TEST_F(StepGroup, ADetailWithoutQuantityCountsAsOnePart) {
    auto tooling = addToolingDetail("G010", 4);
    auto bare = addDetail("G011");
    auto stepT = closedStep(*tooling, 8 * 60, 8 * 60 + 100);
    auto stepB = closedStep(*bare, 8 * 60, 8 * 60 + 100);
    auto group = newGroup();
    join(*group, *stepT);
    join(*group, *stepB);
    EXPECT_EQ(storedTotal(*group), 5);
    EXPECT_EQ(worked("G010"), 80);
    EXPECT_EQ(worked("G011"), 20);
    EXPECT_EQ(detailRow("G011")->ColNumber("TempoImpiegato"), 20);
}

TEST_F(StepGroup, AStepLeavingTheGroupCountsItsOwnMinutesAgain) {
    auto stepA = closedStep(*addToolingDetail("G020", 4), 8 * 60, 8 * 60 + 100);
    auto stepB = closedStep(*addToolingDetail("G021", 6), 8 * 60, 8 * 60 + 100);
    auto group = newGroup();
    join(*group, *stepA);
    join(*group, *stepB);
    leave(*group, *stepB);
    EXPECT_EQ(storedTotal(*group), 4);
    EXPECT_EQ(worked("G020"), 100);
    EXPECT_EQ(worked("G021"), 100);
    EXPECT_EQ(detailRow("G021")->ColNumber("TempoImpiegato"), 100);
    EXPECT_EQ(group->GetReference("Passaggi")->RowCount(), 1);
}

TEST_F(StepGroup, JoiningTwiceChangesNothing) {
    auto stepA = closedStep(*addToolingDetail("G030", 3), 8 * 60, 8 * 60 + 90);
    auto stepB = closedStep(*addToolingDetail("G031", 6), 8 * 60, 8 * 60 + 90);
    auto group = newGroup();
    join(*group, *stepA);
    join(*group, *stepB);
    join(*group, *stepA);
    EXPECT_EQ(storedTotal(*group), 9);
    EXPECT_EQ(worked("G030"), 30);
    EXPECT_EQ(worked("G031"), 60);
}

TEST_F(StepGroup, ADeletedStepLeavesItsGroupsWithANotice) {
    auto a = addToolingDetail("G040", 4);
    auto b = addToolingDetail("G041", 6);
    auto stepA = closedStep(*a, 8 * 60, 8 * 60 + 100);
    auto stepB = closedStep(*b, 8 * 60, 8 * 60 + 100);
    auto group = newGroup();
    auto second = newGroup();
    join(*group, *stepA);
    join(*group, *stepB);
    join(*second, *stepB);
    notify.clear();

    auto doomed = b->GetReference("Passaggi");
    ASSERT_TRUE(doomed->DeleteRow()) << notify.messages.join("|").toStdString();
    ASSERT_EQ(notify.messages.size(), 1);
    EXPECT_EQ(notify.messages.front(),
              "INFORMAZIONE: Il Passaggio eliminato < G041 > faceva parte di un Gruppo di "
              "Commesse (OID: " +
                  group->Bookmark().toText() + ") con la suddivisione dei tempi...");
    EXPECT_TRUE(group->GetReference("Passaggi")->RowCount() == 1);
    EXPECT_TRUE(second->GetReference("Passaggi")->DataEmpty());
    EXPECT_EQ(storedTotal(*group), 4);
    EXPECT_EQ(storedTotal(*second), 0);
    EXPECT_EQ(worked("G040"), 100);
    auto d = detailRow("G041");
    EXPECT_EQ(d->ColNumber("TempoImpiegato"), 0);
    EXPECT_EQ(d->ColNumber("CostoEffettivoPassaggi"), 0);
    EXPECT_EQ(detailRow("G040")->ColNumber("TempoImpiegato"), 100);
}

TEST_F(StepGroup, ADeletedDetailTakesItsStepsOutOfTheirGroups) {
    auto a = addToolingDetail("G070", 4);
    auto b = addToolingDetail("G071", 6);
    auto stepA = closedStep(*a, 8 * 60, 8 * 60 + 100);
    auto stepB = closedStep(*b, 8 * 60, 8 * 60 + 100);
    auto group = newGroup();
    join(*group, *stepA);
    join(*group, *stepB);
    notify.clear();
    auto tooling = rows("DettagliAttrezzature", "NumeroCommessa='G071'");
    ASSERT_TRUE(tooling->DeleteRow()) << notify.messages.join("|").toStdString();
    EXPECT_EQ(notify.messages.size(), 1);
    EXPECT_EQ(storedText("SELECT count(*) FROM PassaggiDettaglioCommesse WHERE NumeroCommessa='G071'"), "0");
    EXPECT_EQ(storedTotal(*group), 4);
    EXPECT_EQ(worked("G070"), 100);
    EXPECT_EQ(detailRow("G070")->ColNumber("TempoImpiegato"), 100);
}

TEST_F(StepGroup, AStepWithoutItsDetailIsReportedAndBringsNoParts) {
    auto stepA = closedStep(*addToolingDetail("G050", 4), 8 * 60, 8 * 60 + 100);
    // A step that lost its detail (written outside the rules).
    const QString oid = stepA->Bookmark().toText();
    close();
    rawSql("UPDATE PassaggiDettaglioCommesse SET _OwnerOID=NULL, _Owner=NULL WHERE OID=" + oid);
    open();
    notify.clear();
    auto orphan = rows("PassaggiDettaglioCommesse", "OID=" + oid);
    auto group = newGroup();
    join(*group, *orphan);
    EXPECT_EQ(notify.questions, QStringList{});
    ASSERT_EQ(notify.messages.size(), 1);
    EXPECT_EQ(notify.messages.front(),
              "I dati della commessa (in DettagliCommesse) non sono stati trovati per il "
              "passaggio (in PassaggiDettaglioCommesse) con OID = " +
                  oid + ", contattare il supporto.");
    EXPECT_EQ(storedTotal(*group), 0);
    EXPECT_EQ(group->GetReference("Passaggi")->RowCount(), 1);
}

TEST_F(StepGroup, ReplacingTheWholeSetCountsTheRemainingSteps) {
    auto stepA = closedStep(*addToolingDetail("G060", 4), 8 * 60, 8 * 60 + 100);
    auto group = newGroup();
    join(*group, *stepA);
    ASSERT_TRUE(group->GetReference("Passaggi")->DeleteRows());
    EXPECT_EQ(storedTotal(*group), 0);
    EXPECT_TRUE(group->GetReference("Passaggi")->DataEmpty());
}

}  // namespace
