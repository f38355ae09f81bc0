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
        for (auto [name, price] : {std::pair{"Riparazione", 30}, {"Collaudo", 60}})
            ASSERT_TRUE(rows("TipiAssistenza")
                            ->AddRow({"Descrizione", name, "PrezzoOrario", Currency::fromLong(price)}));
    }
    std::shared_ptr<odb::DataSet> addService() {
        auto ds = rows("CommesseAssistenza");
        EXPECT_TRUE(ds->NewRow() && ds->SaveRow()) << notify.messages.join("|").toStdString();
        return ds;
    }
    QString numbers() {
        return storedText(
            "SELECT group_concat(NumeroCommessa) FROM (SELECT NumeroCommessa FROM DettagliCommesse "
            "ORDER BY OID)");
    }
    double cost() { return money(*rows("CommesseAssistenza"), "CostoTotale"); }
};

TEST_F(ServiceJobOrder, CostIsTheNetWorkedTimeAtTheHourlyPrice) {
    auto service = addService();
    at(8, 0);
    auto step = openStep(*service);
    ASSERT_TRUE(setAndSave(*step, "DataSospensione", date(9, 0)));
    ASSERT_TRUE(setAndSave(*step, "DataFineSospensione", date(9, 30)));
    at(10, 0);
    ASSERT_TRUE(setAndSave(*step, "Chiuso", true));
    EXPECT_EQ(storedText("SELECT TempoImpiegato || '/' || TempoSospensione FROM DettagliCommesse"), "90/30");
    // No service type: nothing to charge.
    EXPECT_DOUBLE_EQ(cost(), 0.0);
    // 90 minutes at 30.00 per hour: the 30 suspended are already out of the 90.
    ASSERT_TRUE(service->SetReference("TipoAssistenza", "Riparazione") && service->SaveRow());
    EXPECT_DOUBLE_EQ(cost(), 45.0);
    ASSERT_TRUE(service->SetReference("TipoAssistenza", "Collaudo") && service->SaveRow());
    EXPECT_DOUBLE_EQ(cost(), 90.0);
    // The minutes gone with their step take the cost to 0.
    ASSERT_TRUE(step->DeleteRow());
    EXPECT_DOUBLE_EQ(cost(), 0.0);
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join("|").toStdString();
}

TEST_F(ServiceJobOrder, NumberedWhenStoredAndRenumberedWhenDatedInAnotherYear) {
    auto first = addService();
    auto second = addService();
    EXPECT_EQ(numbers(), "4-0001,4-0002");
    auto step = closedStep(*first, 8 * 60, 9 * 60);
    // A date in this year changes nothing; one of last year gives the next number of the table,
    // which its steps follow: they can still be changed.
    ASSERT_TRUE(setAndSave(*first, "DataInserimento", Variant::fromDate(MakeOleDate(2026, 1, 5))));
    ASSERT_TRUE(setAndSave(*first, "DataInserimento", Variant::fromDate(MakeOleDate(2025, 12, 30))));
    EXPECT_EQ(storedText("SELECT group_concat(NumeroCommessa) FROM PassaggiDettaglioCommesse"), "4-0003");
    step = rows("PassaggiDettaglioCommesse");
    EXPECT_TRUE(setAndSave(*step, "Chiuso", false)) << notify.messages.join("|").toStdString();
    // Without its type row the number is the digits alone.
    ASSERT_TRUE(second->SetReference("Tipo", Variant::null()) && second->SaveRow());
    EXPECT_EQ(numbers(), "4-0003,0002");
    // A number given with the row is kept; one already taken is not, and the stored job order
    // holding it is never offered for deletion as a row left without its job order.
    ASSERT_TRUE(rows("CommesseAssistenza")->AddRow({"Progressivo", 7}));
    ASSERT_TRUE(rows("CommesseAssistenza")->AddRow({"Progressivo", 7}));
    EXPECT_TRUE(notify.questions.isEmpty()) << notify.questions.join("|").toStdString();
    EXPECT_EQ(numbers(), "4-0003,0002,4-0007,4-0008");
}

TEST_F(ServiceJobOrder, TwoComputersStoringNewOrdersGetTwoNumbers) {
    // Another computer on the same file starts its new row before ours is stored.
    RecordingNotify otherNotify;
    auto otherConnection = std::make_shared<odb::Connection>();
    otherConnection->OpenDatabaseFile(databasePath());
    auto otherDatabase =
        odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &otherNotify);
    otherDatabase->Open(otherConnection);
    auto theirs = otherDatabase->Tables().Item("CommesseAssistenza").OpenData();
    auto ours = rows("CommesseAssistenza");
    ASSERT_TRUE(theirs->NewRow() && ours->NewRow() && ours->SaveRow());
    EXPECT_TRUE(theirs->SaveRow()) << otherNotify.messages.join("|").toStdString();
    otherDatabase.reset();
    otherConnection->CloseConnection();
    EXPECT_EQ(numbers(), "4-0001,4-0002");
}

}  // namespace
