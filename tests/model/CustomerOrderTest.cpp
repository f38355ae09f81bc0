// Customer job orders: numbers of orders and details, totals and closed state from the details, the
// closing and shipping dates, the notice state from the customer, and the road of a work step up
// to the order.
#include <gtest/gtest.h>

#include <QFile>

#include "StepRoadFixture.h"
#include "model/DB.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"

namespace {

class CustomerOrder : public StepRoadFixture {
  protected:
    QStringList numbers(odb::DataSet& order, const QString& collection) {
        QStringList out;
        auto details = order.GetReference(collection);
        for (details->RowFirst(); !details->RowInvalid(); details->RowNext())
            out << details->ColText("NumeroCommessa");
        return out;
    }
    QString stored(const QString& sql) { return storedText(sql); }
};

TEST_F(CustomerOrder, DetailsAreNumberedWithinTheirCollectionFromTheOrdersNumber) {
    auto order = orderNumbered(7);
    addToolingPart("Stampo", 100);
    addMachine("M1", 1000);
    // Once a new tooling detail has its part, the user goes on with its quantity.
    auto fresh = order->GetReference("Attrezzature");
    ASSERT_TRUE(fresh->NewRow() && fresh->SetReference("Particolare", "Stampo"));
    EXPECT_EQ(fresh->FocusedField(), "Quantità");
    fresh->CancelRow();
    addToolingDetail(*order, "Stampo", 1);
    addMachineSale(*order, "M1", 1);
    EXPECT_EQ(numbers(*order, "Attrezzature"), QStringList{"1-0007/001"});
    EXPECT_EQ(numbers(*order, "Macchine"), QStringList{"2-0007/001"});

    // The next one is one above the greatest present, whatever was deleted below it.
    addToolingDetail(*order, "", 1);
    auto third = addToolingDetail(*order, "", 1);
    EXPECT_EQ(third->ColText("NumeroCommessa"), "1-0007/003");
    ASSERT_TRUE(third->DeleteRow());
    EXPECT_EQ(addToolingDetail(*order, "", 1)->ColText("NumeroCommessa"), "1-0007/003");
    auto second = order->GetReference("Attrezzature", "SottoProgressivo=2");
    ASSERT_TRUE(second->DeleteRow());
    EXPECT_EQ(addToolingDetail(*order, "", 1)->ColText("NumeroCommessa"), "1-0007/004");
    EXPECT_EQ(numbers(*order, "Attrezzature"), (QStringList{"1-0007/001", "1-0007/003", "1-0007/004"}));
    EXPECT_EQ(numbers(*order, "Macchine"), QStringList{"2-0007/001"});

    // The number follows the type and the sub-number; no type row leaves the prefix out.
    auto detail = order->GetReference("Attrezzature", "SottoProgressivo=1");
    auto step = openStep(*detail);
    ASSERT_TRUE(setAndSave(*detail, "SottoProgressivo", 9));
    EXPECT_EQ(detail->ColText("NumeroCommessa"), "1-0007/009");
    // Its steps follow, and can still be closed.
    ASSERT_TRUE(setAndSave(*step, "Chiuso", true)) << notify.messages.join("|").toStdString();
    EXPECT_EQ(step->ColText("NumeroCommessa"), "1-0007/009");
    ASSERT_TRUE(detail->SetReference("Tipo", Variant::null()));
    ASSERT_TRUE(detail->SaveRow());
    EXPECT_EQ(stored("SELECT NumeroCommessa FROM DettagliCommesse WHERE NumeroCommessa LIKE '%/009'"),
              "0007/009");

    // A detail without a job order has the prefix and its sub-number only.
    auto loose = rows("DettagliAttrezzature");
    ASSERT_TRUE(loose->AddRow({"SottoProgressivo", 5}));
    EXPECT_EQ(loose->ColText("NumeroCommessa"), "1-005");
}

TEST_F(CustomerOrder, ImportedDetailsKeepTheirOwnSubNumbers) {
    auto from = orderNumbered(1);
    for (int i = 0; i < 3; ++i)
        addToolingDetail(*from, "", 1);
    ASSERT_TRUE(from->GetReference("Attrezzature", "SottoProgressivo=2")->DeleteRow());
    auto to = addCustomerOrder();
    auto source = from->GetReference("Attrezzature");
    EXPECT_EQ(source->ImportRows(*to->GetReference("Attrezzature")), 2);
    EXPECT_EQ(numbers(*to, "Attrezzature"), (QStringList{"1-0002/001", "1-0002/003"}));
}

TEST_F(CustomerOrder, ProgressiveNumbersAreUniqueOverOrdersAndItemsOnApproval) {
    auto ordinary = addCustomerOrder();
    auto approval = addCustomerOrder("CommesseContoVisione");
    auto another = addCustomerOrder();
    EXPECT_EQ(ordinary->ColNumber("Progressivo"), 1);
    EXPECT_EQ(approval->ColNumber("Progressivo"), 2);
    EXPECT_EQ(another->ColNumber("Progressivo"), 3);
    EXPECT_EQ(addCustomerOrder("CommesseContoVisione")->ColNumber("Progressivo"), 4);

    // Dated in another year, an order takes the next number, and its details and their steps with
    // it; within the year it keeps its own.
    addMachine("M1", 1000);
    auto step = openStep(*addToolingDetail(*ordinary, "", 1));
    addMachineSale(*ordinary, "M1", 1);
    ASSERT_TRUE(setAndSave(*ordinary, "DataInserimento", Variant::fromDate(MakeOleDate(2025, 12, 30))))
        << notify.messages.join("|").toStdString();
    EXPECT_EQ(ordinary->ColNumber("Progressivo"), 5);
    EXPECT_EQ(numbers(*ordinary, "Attrezzature"), QStringList{"1-0005/001"});
    EXPECT_EQ(numbers(*ordinary, "Macchine"), QStringList{"2-0005/001"});
    ASSERT_TRUE(setAndSave(*step, "Chiuso", true)) << notify.messages.join("|").toStdString();
    EXPECT_EQ(stored("SELECT group_concat(NumeroCommessa) FROM PassaggiDettaglioCommesse"), "1-0005/001");
    ASSERT_TRUE(setAndSave(*ordinary, "DataInserimento", Variant::fromDate(MakeOleDate(2026, 1, 2))));
    EXPECT_EQ(ordinary->ColNumber("Progressivo"), 5);
    EXPECT_EQ(
        stored("SELECT group_concat(Progressivo) FROM (SELECT Progressivo FROM CommesseCliente ORDER BY 1)"),
        "2,3,4,5");
}

TEST_F(CustomerOrder, NumbersStartedWhileAnotherComputerStoresItsOwnAreTakenAgainWhenStored) {
    auto first = addCustomerOrder();
    auto mine = rows("CommesseCliente");
    ASSERT_TRUE(mine->NewRow());
    EXPECT_EQ(mine->ColNumber("Progressivo"), 2);
    auto myDetail = first->GetReference("Attrezzature");
    ASSERT_TRUE(myDetail->NewRow());
    EXPECT_EQ(myDetail->ColText("NumeroCommessa"), "1-0001/001");

    // Another computer, on the same file, stores an order and a detail of the first one meanwhile.
    RecordingNotify otherNotify;
    auto otherConnection = std::make_shared<odb::Connection>();
    otherConnection->OpenDatabaseFile(databasePath());
    auto other = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &otherNotify);
    other->Open(otherConnection);
    auto theirs = other->Tables().Item("CommesseContoVisione").OpenData();
    ASSERT_TRUE(theirs->AddRow({"Descrizione", "Campionatura"}));
    EXPECT_EQ(theirs->ColNumber("Progressivo"), 2);
    auto theirFirst = other->Tables().Item("CommesseCliente").OpenData("Progressivo=1");
    ASSERT_TRUE(theirFirst->GetReference("Attrezzature")->AddRow({}));
    other.reset();
    otherConnection->CloseConnection();

    ASSERT_TRUE(mine->SaveRow());
    EXPECT_EQ(mine->ColNumber("Progressivo"), 3);
    notify.answerCancel = true;  // nothing of the other computer's is to go
    ASSERT_TRUE(myDetail->SaveRow());
    notify.answerCancel = false;
    EXPECT_EQ(myDetail->ColText("NumeroCommessa"), "1-0001/002");
    EXPECT_EQ(stored("SELECT count(DISTINCT Progressivo) FROM CommesseCliente"), "3");
    EXPECT_EQ(stored("SELECT group_concat(NumeroCommessa) FROM DettagliCommesse"), "1-0001/001,1-0001/002");
}

TEST_F(CustomerOrder, ClosesWhenNoDetailIsOpenAndReopensWithAnOpenOne) {
    addMachine("M1", 1000);
    auto order = addCustomerOrder();
    auto tooling = addToolingDetail(*order, "", 1);
    EXPECT_FALSE(order->ColValueBool("CommessaChiusa"));

    at(9, 0);
    ASSERT_TRUE(setAndSave(*tooling, "Chiuso", true));
    EXPECT_TRUE(order->ColValueBool("CommessaChiusa"));
    EXPECT_DOUBLE_EQ(order->ColValue("DataChiusura").toDate(), MakeOleDate(2026, 3, 2, 9, 0));
    EXPECT_EQ(stored("SELECT CommessaChiusa FROM CommesseCliente"), "1");

    // An open machine sale keeps it open whatever the tooling does.
    auto sale = addMachineSale(*order, "M1", 1);
    EXPECT_FALSE(order->ColValueBool("CommessaChiusa"));
    EXPECT_TRUE(order->ColIsNull("DataChiusura"));
    at(9, 30);
    ASSERT_TRUE(setAndSave(*sale, "Chiuso", true));
    EXPECT_TRUE(order->ColValueBool("CommessaChiusa"));

    // Reopening a detail reopens the order; deleting the only open one closes it again.
    ASSERT_TRUE(setAndSave(*tooling, "Chiuso", false));
    EXPECT_FALSE(order->ColValueBool("CommessaChiusa"));
    EXPECT_TRUE(order->ColIsNull("DataChiusura"));
    at(10, 0);
    ASSERT_TRUE(tooling->DeleteRow());
    EXPECT_TRUE(order->ColValueBool("CommessaChiusa"));
    EXPECT_DOUBLE_EQ(order->ColValue("DataChiusura").toDate(), MakeOleDate(2026, 3, 2, 10, 0));

    // With no details at all it counts as closed.
    ASSERT_TRUE(setAndSave(*sale, "Chiuso", false));
    EXPECT_FALSE(order->ColValueBool("CommessaChiusa"));
    ASSERT_TRUE(sale->DeleteRow());
    EXPECT_TRUE(order->ColValueBool("CommessaChiusa"));
    EXPECT_EQ(stored("SELECT CommessaChiusa FROM CommesseCliente"), "1");
}

TEST_F(CustomerOrder, EditingADetailOfAClosedOrderKeepsItsClosingDate) {
    auto order = addCustomerOrder();
    auto first = addToolingDetail(*order, "", 1);
    auto second = addToolingDetail(*order, "", 1);
    at(9, 0);
    ASSERT_TRUE(setAndSave(*first, "Chiuso", true));
    at(10, 0);
    ASSERT_TRUE(setAndSave(*second, "Chiuso", true));
    ASSERT_TRUE(order->ColValueBool("CommessaChiusa"));
    at(11, 0);
    ASSERT_TRUE(setAndSave(*first, "Note", "Consegnato al magazzino"));
    ASSERT_TRUE(setAndSave(*second, "Quantità", 2));
    auto again = orderRow(1);
    EXPECT_TRUE(again->ColValueBool("CommessaChiusa"));
    EXPECT_DOUBLE_EQ(again->ColValue("DataChiusura").toDate(), MakeOleDate(2026, 3, 2, 10, 0));
}

TEST_F(CustomerOrder, ShippingStampsItsDateAndTheCustomerSetsTheNoticeState) {
    addCustomer("Rossi Stampi", true);
    addCustomer("Bianchi", false);
    auto order = addCustomerOrder();
    ASSERT_TRUE(order->SetReference("Cliente", "Rossi St"));
    EXPECT_EQ(order->ColNumber("StatoNotifica"), 2);
    ASSERT_TRUE(order->SaveRow());
    ASSERT_TRUE(order->SetReference("Cliente", "Bianchi"));
    EXPECT_EQ(order->ColNumber("StatoNotifica"), 1);
    // A notice already sent starts again with the new customer; no customer sends nothing.
    ASSERT_TRUE(setAndSave(*order, "StatoNotifica", 3));
    ASSERT_TRUE(order->SetReference("Cliente", "Rossi St"));
    EXPECT_EQ(order->ColNumber("StatoNotifica"), 2);
    ASSERT_TRUE(order->SetReference("Cliente", Variant::null()));
    EXPECT_EQ(order->ColNumber("StatoNotifica"), 1);
    ASSERT_TRUE(order->SaveRow());

    // The order has no details: closed once a reference event counts them.
    auto tooling = addToolingDetail(*order, "", 1);
    ASSERT_TRUE(setAndSave(*tooling, "Chiuso", true));
    at(12, 0);
    ASSERT_TRUE(setAndSave(*order, "Spedito", true));
    EXPECT_DOUBLE_EQ(order->ColValue("DataSpedizione").toDate(), MakeOleDate(2026, 3, 2, 12, 0));
    ASSERT_TRUE(setAndSave(*order, "DataChiusura", date(11, 0)));
    ASSERT_TRUE(setAndSave(*order, "Spedito", false));
    EXPECT_TRUE(order->ColIsNull("DataSpedizione"));
    // Clearing the closing date is always accepted.
    ASSERT_TRUE(setAndSave(*tooling, "Chiuso", false));
    ASSERT_TRUE(setAndSave(*order, "DataChiusura", Variant::null()));
}

TEST_F(CustomerOrder, ListPriceTotalsFollowQuantitiesPartsAndMachines) {
    addToolingPart("Stampo", 100);
    addToolingPart("Matrice", 40);
    addMachine("M1", 1000);
    auto order = addCustomerOrder();
    auto tooling = addToolingDetail(*order, "Stampo", 3);
    EXPECT_DOUBLE_EQ(money(*order, "CostoTotaleListinoAttrezzature"), 300);
    ASSERT_TRUE(setAndSave(*tooling, "Quantità", 2));
    EXPECT_DOUBLE_EQ(money(*order, "CostoTotaleListinoAttrezzature"), 200);
    ASSERT_TRUE(tooling->SetReference("Particolare", "Matrice"));
    ASSERT_TRUE(tooling->SaveRow());
    EXPECT_DOUBLE_EQ(money(*order, "CostoTotaleListinoAttrezzature"), 80);
    auto sale = addMachineSale(*order, "M1", 2);
    EXPECT_DOUBLE_EQ(money(*order, "CostoTotaleListinoMacchine"), 2000);
    ASSERT_TRUE(tooling->DeleteRow());
    EXPECT_DOUBLE_EQ(money(*order, "CostoTotaleListinoAttrezzature"), 0);

    // A collection replaced whole is summed again.
    addToolingDetail(*order, "Stampo", 1);
    addToolingDetail(*order, "Matrice", 2);
    addMachineSale(*order, "M1", 1);
    EXPECT_DOUBLE_EQ(money(*order, "CostoTotaleListinoAttrezzature"), 180);
    EXPECT_DOUBLE_EQ(money(*order, "CostoTotaleListinoMacchine"), 3000);
    ASSERT_TRUE(order->GetReference("Macchine")->DeleteRows());
    EXPECT_DOUBLE_EQ(money(*order, "CostoTotaleListinoMacchine"), 0);
    ASSERT_TRUE(order->GetReference("Attrezzature", "Quantità=1")->DeleteRows());
    EXPECT_DOUBLE_EQ(money(*order, "CostoTotaleListinoAttrezzature"), 80);
    EXPECT_EQ(stored("SELECT CostoTotaleListinoAttrezzature FROM CommesseCliente"), "800000");
}

// Every save of a step moves its detail's list value out of the order and back in: a detail with a
// part gives it back whole, one without gives nothing, and a part another computer chose meanwhile
// counts as it chose it, on the order's total as that computer stored it.
TEST_F(CustomerOrder, ClosedStepsKeepTheListTotalOfTheirDetailsParts) {
    addToolingPart("Stampo", 100);
    addToolingPart("Matrice", 40);
    auto order = addCustomerOrder();
    auto withPart = addToolingDetail(*order, "Stampo", 3);
    auto without = addToolingDetail(*order, "", 2);
    closedStep(*withPart, 8 * 60, 9 * 60);
    at(9, 0);
    auto open = openStep(*without);
    EXPECT_DOUBLE_EQ(money(*orderRow(1), "CostoTotaleListinoAttrezzature"), 300);
    EXPECT_EQ(orderRow(1)->ColNumber("TempoTotaleAttrezzature"), 60);

    RecordingNotify otherNotify;
    auto other = std::make_shared<odb::Connection>();
    other->OpenDatabaseFile(databasePath());
    auto otherDatabase =
        odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &otherNotify);
    otherDatabase->Open(other);
    auto detailThere =
        otherDatabase->Tables().Item("DettagliAttrezzature").OpenData("OID=" + without->Bookmark().toText());
    ASSERT_TRUE(detailThere->SetReference("Particolare", "Matrice"));
    ASSERT_TRUE(detailThere->SaveRow());
    detailThere.reset();
    otherDatabase.reset();
    other->CloseConnection();
    EXPECT_EQ(stored("SELECT CostoTotaleListinoAttrezzature FROM CommesseCliente"), "3800000");

    at(9, 30);
    ASSERT_TRUE(setAndSave(*open, "Chiuso", true));
    EXPECT_DOUBLE_EQ(money(*orderRow(1), "CostoTotaleListinoAttrezzature"), 380);
    EXPECT_EQ(orderRow(1)->ColNumber("TempoTotaleAttrezzature"), 90);
    EXPECT_EQ(stored("SELECT CostoTotaleListinoAttrezzature FROM CommesseCliente"), "3800000");
    closedStep(*withPart, 10 * 60, 10 * 60 + 15);
    EXPECT_EQ(stored("SELECT CostoTotaleListinoAttrezzature FROM CommesseCliente"), "3800000");
    EXPECT_EQ(stored("SELECT TempoTotaleAttrezzature FROM CommesseCliente"), "105");
}

TEST_F(CustomerOrder, AClosedStepMovesTheDetailAndTheOrder) {
    addMachine("M1", 1000);
    auto order = addCustomerOrder();
    auto tooling = addToolingDetail(*order, "", 1);
    auto sale = addMachineSale(*order, "M1", 1);
    closedStep(*tooling, 8 * 60, 9 * 60 + 30);
    auto open = openStep(*tooling);
    closedStep(*sale, 8 * 60, 8 * 60 + 20);
    auto stored = orderRow(1);
    EXPECT_EQ(stored->ColNumber("TempoTotaleAttrezzature"), 90);
    EXPECT_DOUBLE_EQ(money(*stored, "CostoEffettivoAttrezzature"), 45);
    EXPECT_EQ(stored->ColNumber("TempoTotaleMacchine"), 20);
    EXPECT_FALSE(stored->ColValueBool("CommessaChiusa"));

    // Closing the tooling detail closes its open step; the order stays open for the machine.
    at(11, 0);
    ASSERT_TRUE(setAndSave(*tooling, "Chiuso", true));
    EXPECT_EQ(tooling->ColNumber("TempoImpiegato"), 90 + 90);
    EXPECT_EQ(orderRow(1)->ColNumber("TempoTotaleAttrezzature"), 180);
    EXPECT_DOUBLE_EQ(money(*orderRow(1), "CostoEffettivoAttrezzature"), 90);
    EXPECT_FALSE(orderRow(1)->ColValueBool("CommessaChiusa"));
    ASSERT_TRUE(setAndSave(*sale, "Chiuso", true));
    EXPECT_TRUE(orderRow(1)->ColValueBool("CommessaChiusa"));
    // A step reopened on a closed detail reopens the detail and the order.
    ASSERT_TRUE(setAndSave(*open, "Chiuso", false));
    EXPECT_FALSE(orderRow(1)->ColValueBool("CommessaChiusa"));
    EXPECT_EQ(orderRow(1)->ColNumber("TempoTotaleAttrezzature"), 90);
}

}  // namespace
