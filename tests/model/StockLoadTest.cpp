// Stock loads: lines raising their part's stock with their amounts and the load's total; loads
// against a purchase order, filled from what is still to come and carried into the order's lines.
#include <gtest/gtest.h>

#include "StepRoadFixture.h"

namespace {

class StockLoad : public StepRoadFixture {
  protected:
    void SetUp() override {
        StepRoadFixture::SetUp();
        addSupplier("Viteria Srl");
        addPart("MagazzinoPartCommerciale", "V1", 2.5, "Viteria Srl");
        addPart("MagazzinoPartCommerciale", "V2", 0, "Viteria Srl");
        addPart("MagazzinoPartCommerciale", "V3", 1, "Viteria Srl");
        notify.clear();
    }
    VariantList lineOf(const QString& part, int quantity) {
        return {"OID_MagazzinoPartCommerciale", partRow("MagazzinoPartCommerciale", part)->Bookmark(),
                "QuantitàCarico", quantity};
    }
    double stock(const QString& part) {
        return partRow("MagazzinoPartCommerciale", part)->ColNumber("QuantitàMagazzino");
    }
    double available(const QString& part) {
        return partRow("MagazzinoPartCommerciale", part)->ColNumber("DisponibilitàFinale");
    }
    // A supplier order with lines of (part, ordered, loaded already).
    std::shared_ptr<odb::DataSet> addOrder(const std::vector<std::tuple<QString, int, int>>& wanted) {
        auto order = rows("OrdiniFornitore");
        EXPECT_TRUE(order->AddRow({"Fornitore", "Viteria Srl"}));
        auto lines = order->GetReference("Particolari");
        for (const auto& [part, ordered, loaded] : wanted) {
            EXPECT_TRUE(lines->AddRow({"OID_MagazzinoPartCommerciale",
                                       partRow("MagazzinoPartCommerciale", part)->Bookmark(),
                                       "QuantitàOrdine", ordered}));
            if (loaded) {
                EXPECT_TRUE(setAndSave(*lines, "QuantitàCaricata", loaded));
            }
        }
        return order;
    }
    // The order line of `part`: ordered and loaded.
    std::pair<double, double> orderLine(odb::DataSet& order, const QString& part) {
        auto l = order.GetReference("Particolari", "Codice='" + part + "'");
        return {l->ColNumber("QuantitàOrdine"), l->ColNumber("QuantitàCaricata")};
    }
};

TEST_F(StockLoad, LinesRaiseTheStockAndTheTotal) {
    auto load = rows("CarichiCommerciale");
    ASSERT_TRUE(load->AddRow({}));
    auto lines = load->GetReference("Particolari");
    ASSERT_TRUE(lines->AddRow(lineOf("V1", 10)));
    EXPECT_DOUBLE_EQ(money(*lines, "ImportoCarico"), 25);
    EXPECT_EQ(stock("V1"), 10);
    EXPECT_EQ(available("V1"), 10);
    EXPECT_DOUBLE_EQ(money(*load, "ImportoTotale"), 25);
    ASSERT_TRUE(setAndSave(*lines, "QuantitàCarico", 4));
    EXPECT_EQ(stock("V1"), 4);
    EXPECT_DOUBLE_EQ(money(*lines, "ImportoCarico"), 10);
    EXPECT_DOUBLE_EQ(money(*load, "ImportoTotale"), 10);
    // No price, no amount.
    ASSERT_TRUE(lines->AddRow(lineOf("V2", 3)));
    EXPECT_DOUBLE_EQ(money(*lines, "ImportoCarico"), 0);
    EXPECT_EQ(stock("V2"), 3);
    // A line goes with its pieces.
    ASSERT_TRUE(lines->DeleteRow());
    EXPECT_EQ(stock("V2"), 0);
    ASSERT_TRUE(load->DeleteRow());
    EXPECT_EQ(stock("V1"), 0);
    EXPECT_EQ(count("CaricoPartCommerciale"), 0);
    // The parts offered for a line come scarcest first.
    ASSERT_TRUE(setAndSave(*partRow("MagazzinoPartCommerciale", "V2"), "QuantitàMagazzino", -1));
    auto other = rows("CarichiCommerciale");
    ASSERT_TRUE(other->AddRow({}));
    auto offered = other->SelectReference("Particolari", true);
    ASSERT_TRUE(offered);
    ASSERT_TRUE(offered->RowFirst());
    EXPECT_EQ(offered->ColText("Codice"), "V2");
}

TEST_F(StockLoad, ALoadAgainstAnOrderIsFilledAndCarriedIntoTheOrder) {
    auto order = addOrder({{"V1", 10, 4}, {"V3", 5, 5}});
    ASSERT_EQ(order->ColValueBool("OrdineChiuso"), false);
    auto load = rows("CarichiCommercialeOrdine");
    ASSERT_TRUE(load->NewRow());
    notify.clear();
    // Only open orders are offered.
    auto closedOrder = addOrder({{"V2", 1, 1}});
    auto offeredOrders = load->SelectReference("Ordine");
    ASSERT_TRUE(offeredOrders);
    EXPECT_EQ(offeredOrders->RowCount(), 1);
    EXPECT_EQ(offeredOrders->ColNumber("Numero"), order->ColNumber("Numero"));

    ASSERT_TRUE(load->SetReference("Ordine", order->ColValue("Numero")));
    EXPECT_EQ(notify.questions, QStringList{"Caricare tutte le quantità rimaste in ordine?"});
    auto lines = load->GetReference("Particolari");
    ASSERT_EQ(lines->RowCount(), 1);
    EXPECT_EQ(lines->ColNumber("QuantitàCarico"), 6);
    EXPECT_EQ(lines->GetReference("Fornitore")->ColText("RagioneSociale"), "Viteria Srl");
    // The pieces went into the chosen part's stock and into its order line, which is complete.
    EXPECT_EQ(stock("V1"), 6);
    EXPECT_EQ(orderLine(*order, "V1"), std::make_pair(10.0, 10.0));
    EXPECT_EQ(available("V1"), 6);
    EXPECT_TRUE(
        rows("OrdiniCommerciale", "Numero=" + order->ColText("Numero"))->ColValueBool("OrdineChiuso"));
    // Counted once in the load's total.
    EXPECT_DOUBLE_EQ(money(*load, "ImportoTotale"), 15);

    // Fewer pieces arrived: the order line follows, the order opens again.
    ASSERT_TRUE(setAndSave(*lines, "QuantitàCarico", 2));
    EXPECT_EQ(orderLine(*order, "V1"), std::make_pair(10.0, 6.0));
    EXPECT_EQ(stock("V1"), 2);
    EXPECT_FALSE(
        rows("OrdiniCommerciale", "Numero=" + order->ColText("Numero"))->ColValueBool("OrdineChiuso"));
    // A part not on the order goes into stock and carries nothing.
    ASSERT_TRUE(lines->AddRow(lineOf("V2", 3)));
    EXPECT_EQ(stock("V2"), 3);
    EXPECT_EQ(orderLine(*closedOrder, "V2"), std::make_pair(1.0, 1.0));
    // The parts offered for a line are those of the order.
    auto offered = load->SelectReference("Particolari", true);
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->RowCount(), 2);
    // With lines the order stays.
    notify.clear();
    EXPECT_FALSE(load->SetReference("Ordine", closedOrder->ColValue("Numero")));
    EXPECT_EQ(notify.messages, QStringList{"Non puoi cambiare l'ordine se il carico non è vuoto"});
    // A deleted load line takes its pieces back out of the order line.
    ASSERT_TRUE(lines->FindRow("Codice='V1'"));
    ASSERT_TRUE(lines->DeleteRow());
    EXPECT_EQ(orderLine(*order, "V1"), std::make_pair(10.0, 4.0));
    EXPECT_EQ(stock("V1"), 0);
}

TEST_F(StockLoad, AnOrderWithNothingToComeFillsNothing) {
    auto order = addOrder({{"V1", 2, 2}});
    auto load = rows("CarichiCommercialeOrdine");
    ASSERT_TRUE(load->AddRow({}));
    notify.clear();
    ASSERT_TRUE(load->SetReference("Ordine", order->ColValue("Numero")));
    EXPECT_EQ(notify.messages, QStringList{"L'ordine non contiene Perticolari da caricare"});
    EXPECT_TRUE(load->GetReference("Particolari")->DataEmpty());
    // Answered No, nothing is asked for: the load stays empty.
    auto open = addOrder({{"V1", 3, 0}});
    auto other = rows("CarichiCommercialeOrdine");
    ASSERT_TRUE(other->AddRow({}));
    notify.answerCancel = true;
    ASSERT_TRUE(other->SetReference("Ordine", open->ColValue("Numero")));
    notify.answerCancel = false;
    EXPECT_TRUE(other->GetReference("Particolari")->DataEmpty());
    EXPECT_EQ(stock("V1"), 0);
}

}  // namespace
