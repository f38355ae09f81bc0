// Service job orders: their number, given when stored and again when dated in another year, and
// their cost from the worked minutes and the hourly price of the service type.
#include <gtest/gtest.h>

#include "StepRoadFixture.h"
#include "model/DB.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"

namespace {

class ServiceJobOrder : public StepRoadFixture {
  protected:
    void SetUp() override {
        StepRoadFixture::SetUp();
        ASSERT_TRUE(rows("TipiAssistenza")
                        ->AddRow({"Descrizione", "Riparazione", "PrezzoOrario", Currency::fromLong(30)}));
        ASSERT_TRUE(rows("TipiAssistenza")
                        ->AddRow({"Descrizione", "Collaudo", "PrezzoOrario", Currency::fromLong(60)}));
        notify.clear();
    }
    // A stored service job order, the data set standing on it.
    std::shared_ptr<odb::DataSet> addService(const QString& serviceType = {}) {
        auto ds = rows("CommesseAssistenza");
        EXPECT_TRUE(ds->NewRow());
        if (!serviceType.isEmpty()) EXPECT_TRUE(ds->SetReference("TipoAssistenza", serviceType));
        EXPECT_TRUE(ds->SaveRow()) << notify.messages.join("|").toStdString();
        return ds;
    }
    QString storedNumber(const QString& oid) {
        return storedText("SELECT NumeroCommessa FROM DettagliCommesse WHERE OID=" + oid);
    }
};

TEST_F(ServiceJobOrder, CostIsTheNetWorkedTimeAtTheHourlyPrice) {
    auto service = addService("Riparazione");
    at(8, 0);
    auto step = openStep(*service);
    ASSERT_TRUE(setAndSave(*step, "DataSospensione", date(9, 0)));
    ASSERT_TRUE(setAndSave(*step, "DataFineSospensione", date(9, 30)));
    at(10, 0);
    ASSERT_TRUE(setAndSave(*step, "Chiuso", true));
    auto stored = rows("CommesseAssistenza");
    EXPECT_EQ(stored->ColNumber("TempoImpiegato"), 90);
    EXPECT_EQ(stored->ColNumber("TempoSospensione"), 30);
    // 90 minutes at 30.00 per hour: the suspension is already out of the 90 minutes.
    EXPECT_DOUBLE_EQ(money(*stored, "CostoTotale"), 45.0);
    EXPECT_EQ(storedText("SELECT CostoTotale FROM CommesseAssistenza"), "450000");

    // Another service type prices the same minutes at its own rate; none prices them at 0.
    ASSERT_TRUE(stored->SetReference("TipoAssistenza", "Collaudo"));
    ASSERT_TRUE(stored->SaveRow());
    EXPECT_DOUBLE_EQ(money(*rows("CommesseAssistenza"), "CostoTotale"), 90.0);
    ASSERT_TRUE(stored->SetReference("TipoAssistenza", Variant::null()));
    ASSERT_TRUE(stored->SaveRow());
    EXPECT_DOUBLE_EQ(money(*rows("CommesseAssistenza"), "CostoTotale"), 0.0);
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join("|").toStdString();
}

TEST_F(ServiceJobOrder, WithoutServiceTypeOrWorkedTimeTheCostIsZero) {
    auto bare = addService();
    at(8, 0);
    auto step = openStep(*bare);
    at(9, 0);
    ASSERT_TRUE(setAndSave(*step, "Chiuso", true));
    auto stored = rows("CommesseAssistenza");
    EXPECT_EQ(stored->ColNumber("TempoImpiegato"), 60);
    EXPECT_DOUBLE_EQ(money(*stored, "CostoTotale"), 0.0);
    // Choosing the type afterwards prices the minutes already worked.
    ASSERT_TRUE(stored->SetReference("TipoAssistenza", "Riparazione"));
    ASSERT_TRUE(stored->SaveRow());
    EXPECT_DOUBLE_EQ(money(*rows("CommesseAssistenza"), "CostoTotale"), 30.0);
    // A step closed on its start adds no minutes and the cost stays.
    auto other = closedStep(*stored, 11 * 60, 11 * 60);
    EXPECT_EQ(other->ColNumber("TempoImpiegato"), 0);
    EXPECT_DOUBLE_EQ(money(*rows("CommesseAssistenza"), "CostoTotale"), 30.0);
    // Deleting the worked step takes the minutes, and so the cost, back to 0.
    ASSERT_TRUE(rows("PassaggiDettaglioCommesse", "TempoImpiegato=60")->DeleteRow());
    EXPECT_DOUBLE_EQ(money(*rows("CommesseAssistenza"), "CostoTotale"), 0.0);
}

TEST_F(ServiceJobOrder, NumberedWhenStoredAndRenumberedWhenDatedInAnotherYear) {
    auto first = addService();
    auto second = addService();
    EXPECT_EQ(first->ColNumber("Progressivo"), 1);
    EXPECT_EQ(storedNumber(first->Bookmark().toText()), "4-0001");
    EXPECT_EQ(storedNumber(second->Bookmark().toText()), "4-0002");
    EXPECT_EQ(second->FormattedColValue("Progressivo"), "0002");

    // A date in this year changes nothing; one of last year gives the next number of the table.
    ASSERT_TRUE(setAndSave(*first, "DataInserimento", Variant::fromDate(MakeOleDate(2026, 1, 5))));
    EXPECT_EQ(storedNumber(first->Bookmark().toText()), "4-0001");
    ASSERT_TRUE(setAndSave(*first, "DataInserimento", Variant::fromDate(MakeOleDate(2025, 12, 30))));
    EXPECT_EQ(first->ColNumber("Progressivo"), 3);
    EXPECT_EQ(storedNumber(first->Bookmark().toText()), "4-0003");

    // Without its type row the number is the digits alone.
    ASSERT_TRUE(second->SetReference("Tipo", Variant::null()));
    ASSERT_TRUE(second->SaveRow());
    EXPECT_EQ(storedNumber(second->Bookmark().toText()), "0002");
    // A number given with the row is kept; one already taken is not, and the stored job order that
    // holds it is never taken for a row left without its job order.
    notify.clear();
    ASSERT_TRUE(rows("CommesseAssistenza")->AddRow({"Progressivo", 7}));
    ASSERT_TRUE(rows("CommesseAssistenza")->AddRow({"Progressivo", 7}));
    EXPECT_TRUE(notify.questions.isEmpty()) << notify.questions.join("|").toStdString();
    EXPECT_EQ(
        storedText("SELECT group_concat(NumeroCommessa) FROM (SELECT NumeroCommessa FROM DettagliCommesse "
                   "ORDER BY NumeroCommessa)"),
        "0002,4-0003,4-0007,4-0008");
}

TEST_F(ServiceJobOrder, TwoComputersStoringNewOrdersGetTwoNumbers) {
    // A second computer on the same file, its new row started before ours was stored.
    RecordingNotify otherNotify;
    auto otherConnection = std::make_shared<odb::Connection>();
    otherConnection->OpenDatabaseFile(databasePath());
    auto otherDatabase =
        odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &otherNotify);
    otherDatabase->Open(otherConnection);
    auto theirs = otherDatabase->Tables().Item("CommesseAssistenza").OpenData();
    auto ours = rows("CommesseAssistenza");
    ASSERT_TRUE(theirs->NewRow());
    ASSERT_TRUE(ours->NewRow());
    ASSERT_TRUE(ours->SaveRow());
    ASSERT_TRUE(theirs->SaveRow()) << otherNotify.messages.join("|").toStdString();
    EXPECT_EQ(ours->ColNumber("Progressivo"), 1);
    EXPECT_EQ(theirs->ColNumber("Progressivo"), 2);
    otherDatabase.reset();
    otherConnection->CloseConnection();
    EXPECT_EQ(storedText("SELECT group_concat(NumeroCommessa) FROM DettagliCommesse ORDER BY NumeroCommessa"),
              "4-0001,4-0002");
}

}  // namespace
