// Production job orders and their details: details made from the machine's produced parts, the
// produced parts booked, closed and reopened, the machine's purchased parts booked, built machines
// counted into stock, totals and closed state.
#include <gtest/gtest.h>

#include "StepRoadFixture.h"

namespace {

class ProductionOrder : public StepRoadFixture {
  protected:
    void SetUp() override {
        StepRoadFixture::SetUp();
        addMachine("M1", 5000);
        addPart("MagazzinoPartProduzione", "P1", 10);
        addPart("MagazzinoPartProduzione", "P2", 4);
        addPart("MagazzinoPartProduzione", "P3", 1);
        addPart("MagazzinoPartCommerciale", "C1", 2);
        addPart("MagazzinoPartCommerciale", "C2", 0.5);
        addNeed("M1", "ParticolariProduzione", "P1", 2);
        addNeed("M1", "ParticolariProduzione", "P2", 1);
        addNeed("M1", "ParticolariProduzione", "P3", 4);
        addNeed("M1", "ParticolariCommerciale", "C1", 3);
        addNeed("M1", "ParticolariCommerciale", "C2", 10);
        notify.clear();
    }
    struct Stock {
        double stock, inProduction, available;
    };
    Stock produced(const QString& code) {
        auto p = partRow("MagazzinoPartProduzione", code);
        return {p->ColNumber("QuantitàMagazzino"), p->ColNumber("QuantitàInProduzione"),
                p->ColNumber("DisponibilitàFinale")};
    }
    void expectProduced(const QString& code, Stock e, const char* when) {
        SCOPED_TRACE(std::string(when) + " " + code.toStdString());
        const Stock s = produced(code);
        EXPECT_EQ(s.stock, e.stock);
        EXPECT_EQ(s.inProduction, e.inProduction);
        EXPECT_EQ(s.available, e.available);
    }
    double available(const QString& code) {
        return partRow("MagazzinoPartCommerciale", code)->ColNumber("DisponibilitàFinale");
    }
    std::shared_ptr<odb::DataSet> detailOf(odb::DataSet& order, const QString& part) {
        auto details = order.GetReference("Dettagli");
        for (details->RowFirst(); !details->RowInvalid(); details->RowNext())
            if (details->GetReference("Particolare")->ColText("Codice") == part) return details;
        ADD_FAILURE() << "no detail of " << part.toStdString();
        return details;
    }
};

TEST_F(ProductionOrder, AMachineGivesItsDetailsAndBooksItsParts) {
    auto order = addProductionOrder("M1", 2);
    auto details = order->GetReference("Dettagli");
    ASSERT_EQ(details->RowCount(), 3);
    struct Expected {
        const char* part;
        int needed;
        double needCost;
    };
    const Expected expected[] = {{"P1", 4, 40}, {"P2", 2, 8}, {"P3", 8, 8}};
    for (const Expected& e : expected) {
        auto d = detailOf(*order, e.part);
        EXPECT_EQ(d->ColNumber("QuantitàNecessariaTotale"), e.needed) << e.part;
        EXPECT_EQ(d->ColNumber("Quantità"), e.needed) << e.part;
        EXPECT_DOUBLE_EQ(money(*d, "CostoNecessità"), e.needCost) << e.part;
        EXPECT_DOUBLE_EQ(money(*d, "CostoProduzione"), e.needCost) << e.part;
        // Made as many as needed: the availability does not move, the pieces are in production.
        expectProduced(e.part, {0, double(e.needed), 0}, "created");
    }
    EXPECT_EQ(detailOf(*order, "P3")->ColText("NumeroCommessa"), "3-0001/003");
    // Purchased parts: 3 and 10 pieces a machine.
    EXPECT_EQ(available("C1"), -6);
    EXPECT_EQ(available("C2"), -20);
    EXPECT_DOUBLE_EQ(money(*order, "CostoNecessità"), 56);
    EXPECT_DOUBLE_EQ(money(*order, "CostoTotale"), 56 + 11);  // the machine's purchased parts: 6 + 5

    // Another machine with details already there: no detail added, a notice, parts rebooked.
    addMachine("M2", 100);
    addNeed("M2", "ParticolariCommerciale", "C1", 1);
    ASSERT_TRUE(order->SetReference("Macchinario", "M2"));
    ASSERT_TRUE(order->SaveRow());
    EXPECT_EQ(order->GetReference("Dettagli")->RowCount(), 3);
    EXPECT_EQ(notify.messages,
              QStringList{"La modifica al Macchinario non comporta l'impostazione automatica dei dettagli.\r"
                          "I particolari commerciali necessari alla macchina vengono invece automaticamente "
                          "reimpostati."});
    EXPECT_EQ(available("C1"), -2);
    EXPECT_EQ(available("C2"), 0);
    EXPECT_DOUBLE_EQ(money(*order, "CostoTotale"), 56 + 2);

    // Deleting the job order gives everything back.
    ASSERT_TRUE(order->DeleteRow());
    EXPECT_EQ(available("C1"), 0);
    for (const char* part : {"P1", "P2", "P3"})
        expectProduced(part, {0, 0, 0}, "deleted");
    EXPECT_EQ(count("DettagliProduzione"), 0);
}

TEST_F(ProductionOrder, BuiltMachinesEnterTheStockWhileTheOrderIsClosed) {
    auto order = addProductionOrder("M1", 2);
    auto details = order->GetReference("Dettagli");
    at(9, 0);
    for (details->RowFirst(); !details->RowInvalid(); details->RowNext())
        ASSERT_TRUE(setAndSave(*details, "Chiuso", true)) << notify.messages.join("|").toStdString();
    auto machine = machineRow("M1");
    EXPECT_TRUE(order->ColValueBool("CommessaChiusa"));
    EXPECT_DOUBLE_EQ(order->ColValue("DataChiusura").toDate(), MakeOleDate(2026, 3, 2, 9, 0));
    EXPECT_EQ(machine->ColNumber("QuantitàGiacenza"), 2);
    // The produced pieces went from production into stock, less the pieces the machines need.
    expectProduced("P1", {0, 0, 0}, "closed");

    // Two more machines: the closed details keep what they made, the stock follows the need.
    ASSERT_TRUE(setAndSave(*order, "Quantità", 3));
    EXPECT_EQ(machineRow("M1")->ColNumber("QuantitàGiacenza"), 3);
    auto p1 = detailOf(*order, "P1");
    EXPECT_EQ(p1->ColNumber("QuantitàNecessariaTotale"), 6);
    EXPECT_EQ(p1->ColNumber("Quantità"), 4);
    expectProduced("P1", {-2, 0, -2}, "three machines");
    EXPECT_EQ(available("C1"), -9);

    // Reopening one detail reopens the order and takes the machines out again.
    ASSERT_TRUE(setAndSave(*p1, "Chiuso", false));
    EXPECT_FALSE(order->ColValueBool("CommessaChiusa"));
    EXPECT_TRUE(order->ColIsNull("DataChiusura"));
    EXPECT_EQ(machineRow("M1")->ColNumber("QuantitàGiacenza"), 0);
    expectProduced("P1", {0, 4, -2}, "reopened");
    // Open again, the detail makes what is needed.
    ASSERT_TRUE(setAndSave(*order, "Quantità", 3));
    ASSERT_TRUE(setAndSave(*p1, "QuantitàNecessariaTotale", 6));
    EXPECT_EQ(p1->ColNumber("Quantità"), 6);
    expectProduced("P1", {0, 6, 0}, "made as needed");

    // A job order whose details are all gone is open.
    ASSERT_TRUE(order->GetReference("Dettagli")->DeleteRows());
    EXPECT_FALSE(order->ColValueBool("CommessaChiusa"));
    EXPECT_DOUBLE_EQ(money(*order, "CostoTotale"), 11);  // the machine's purchased parts remain
    for (const char* part : {"P1", "P2", "P3"})
        EXPECT_EQ(produced(part).inProduction, 0) << part;
}

TEST_F(ProductionOrder, ADetailBooksWhatItMakesAndWhatIsNeeded) {
    auto order = addProductionOrder("", 1);
    auto details = order->GetReference("Dettagli");
    auto need = machineRow("M1")->GetReference("ParticolariProduzione", "Codice='P1'");
    ASSERT_TRUE(details->NewRow());
    ASSERT_TRUE(details->SetColValue("Particolare", need->Bookmark()));
    EXPECT_EQ(details->ColNumber("QuantitàNecessariaTotale"), 2);
    ASSERT_TRUE(details->SetColValue("QuantitàNecessariaTotale", 4));
    ASSERT_TRUE(details->SaveRow());
    EXPECT_EQ(details->ColText("NumeroCommessa"), "3-0001/001");
    expectProduced("P1", {0, 4, 0}, "4 of 4");
    ASSERT_TRUE(setAndSave(*details, "Quantità", 6));
    expectProduced("P1", {0, 6, 2}, "6 of 4");
    EXPECT_DOUBLE_EQ(money(*details, "CostoProduzione"), 60);
    ASSERT_TRUE(setAndSave(*details, "QuantitàNecessariaTotale", 3));
    EXPECT_EQ(details->ColNumber("Quantità"), 6);
    expectProduced("P1", {0, 6, 3}, "6 of 3");
    ASSERT_TRUE(setAndSave(*details, "QuantitàNecessariaTotale", 4));

    // Closing moves the made pieces into stock less the needed ones; the availability stays.
    ASSERT_TRUE(setAndSave(*details, "Chiuso", true));
    expectProduced("P1", {2, 0, 2}, "closed");
    ASSERT_TRUE(setAndSave(*details, "Chiuso", false));
    expectProduced("P1", {0, 6, 2}, "reopened");

    // Another part: the old one gets everything back.
    auto other = machineRow("M1")->GetReference("ParticolariProduzione", "Codice='P2'");
    ASSERT_TRUE(details->SetColValue("Particolare", other->Bookmark()));
    ASSERT_TRUE(details->SaveRow());
    expectProduced("P1", {0, 0, 0}, "left");
    expectProduced("P2", {0, 1, 0}, "chosen");
    ASSERT_TRUE(details->DeleteRow());
    expectProduced("P2", {0, 0, 0}, "deleted");
}

TEST_F(ProductionOrder, AClosedDetailWithoutAPartCanBeDeleted) {
    auto order = addProductionOrder("", 1);
    auto details = order->GetReference("Dettagli");
    ASSERT_TRUE(details->AddRow({}));
    ASSERT_TRUE(setAndSave(*details, "Chiuso", true));
    EXPECT_TRUE(order->ColValueBool("CommessaChiusa"));
    ASSERT_TRUE(order->DeleteRow()) << notify.messages.join("|").toStdString();
    EXPECT_EQ(count("DettagliProduzione"), 0);
}

TEST_F(ProductionOrder, NumbersRunOverAllProductionOrders) {
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(addProductionOrder("", 1)->ColNumber("Progressivo"), i);
    auto first = rows("CommesseProduzione", "Progressivo=1");
    ASSERT_TRUE(first->SetReference("Macchinario", "M1") && first->SaveRow());
    auto step = openStep(*detailOf(*first, "P2"));
    // Another year: the next number, which the details and their steps take.
    ASSERT_TRUE(setAndSave(*first, "DataInserimento", Variant::fromDate(MakeOleDate(2025, 6, 1))))
        << notify.messages.join("|").toStdString();
    EXPECT_EQ(first->ColNumber("Progressivo"), 4);
    EXPECT_EQ(storedText("SELECT group_concat(NumeroCommessa) FROM (SELECT NumeroCommessa FROM "
                         "DettagliCommesse ORDER BY 1)"),
              "3-0004/001,3-0004/002,3-0004/003");
    ASSERT_TRUE(setAndSave(*step, "Chiuso", true)) << notify.messages.join("|").toStdString();
    EXPECT_EQ(step->ColText("NumeroCommessa"), "3-0004/002");
}

}  // namespace
