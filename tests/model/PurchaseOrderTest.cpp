// Purchase orders: numbers over every order, lines keeping their part's quantity on order, amounts
// and totals, the closed flag, the supplier first and fixed, the parts offered, and the lines
// filled from a machine's purchased-part shortfall.
#include <gtest/gtest.h>

#include "StepRoadFixture.h"

namespace {

class PurchaseOrder : public StepRoadFixture {
  protected:
    void SetUp() override {
        StepRoadFixture::SetUp();
        addSupplier("Viteria Srl");
        addSupplier("Dadi Spa");
        addPart("MagazzinoPartCommerciale", "V1", 2.5, "Viteria Srl");
        addPart("MagazzinoPartCommerciale", "V2", 0, "Viteria Srl");
        addPart("MagazzinoPartCommerciale", "V3", 1, "Viteria Srl", true);
        addPart("MagazzinoPartCommerciale", "D1", 1, "Dadi Spa");
        notify.clear();
    }
    // A supplier order (stored); the data set stands on it.
    std::shared_ptr<odb::DataSet> addOrder(const QString& supplier,
                                           const QString& table = "OrdiniFornitore") {
        auto order = rows(table);
        EXPECT_TRUE(order->AddRow({"Fornitore", supplier})) << notify.messages.join("|").toStdString();
        return order;
    }
    std::shared_ptr<odb::DataSet> addLine(odb::DataSet& order, const QString& part, double quantity) {
        auto lines = order.GetReference("Particolari");
        EXPECT_TRUE(lines->AddRow({"OID_MagazzinoPartCommerciale",
                                   partRow("MagazzinoPartCommerciale", part)->Bookmark(), "QuantitàOrdine",
                                   quantity}))
            << notify.messages.join("|").toStdString();
        return lines;
    }
    double onOrder(const QString& part) {
        return partRow("MagazzinoPartCommerciale", part)->ColNumber("QuantitàInOrdine");
    }
    double available(const QString& part) {
        return partRow("MagazzinoPartCommerciale", part)->ColNumber("DisponibilitàFinale");
    }
};

TEST_F(PurchaseOrder, NumbersRunOverEveryOrderAndAreTakenAgainWhenStored) {
    auto first = addOrder("Viteria Srl");
    ASSERT_TRUE(setAndSave(*first, "Numero", 41));
    auto internal = rows("OrdiniInterni");
    ASSERT_TRUE(internal->NewRow());
    EXPECT_EQ(internal->FormattedColValue("Numero"), "000042");
    // Meanwhile a supplier order is stored: the internal one takes the next number when stored.
    auto other = addOrder("Dadi Spa");
    EXPECT_EQ(other->ColNumber("Numero"), 42);
    ASSERT_TRUE(internal->SetReference("Fornitore", "Viteria Srl"));
    ASSERT_TRUE(internal->SaveRow());
    EXPECT_EQ(internal->ColNumber("Numero"), 43);
    // A data set filtered to some orders still numbers over all of them.
    auto filtered = rows("OrdiniFornitore", "Numero<42");
    ASSERT_TRUE(filtered->AddRow({"Fornitore", "Dadi Spa"}));
    EXPECT_EQ(filtered->ColNumber("Numero"), 44);
}

TEST_F(PurchaseOrder, LinesKeepTheQuantityOnOrderAndTheAmounts) {
    auto order = addOrder("Viteria Srl");
    auto line = addLine(*order, "V1", 10);
    EXPECT_DOUBLE_EQ(money(*line, "ImportoOrdine"), 25);
    EXPECT_EQ(onOrder("V1"), 10);
    EXPECT_EQ(available("V1"), 10);
    EXPECT_DOUBLE_EQ(money(*order, "ImportoTotale"), 25);
    ASSERT_TRUE(setAndSave(*line, "QuantitàOrdine", 4));
    EXPECT_EQ(onOrder("V1"), 4);
    EXPECT_DOUBLE_EQ(money(*order, "ImportoTotale"), 10);
    // A part without a price keeps the line's amount.
    auto free = addLine(*order, "V2", 3);
    ASSERT_TRUE(setAndSave(*free, "ImportoOrdine", Currency::fromLong(7)));
    ASSERT_TRUE(setAndSave(*free, "QuantitàOrdine", 5));
    EXPECT_DOUBLE_EQ(money(*free, "ImportoOrdine"), 7);
    EXPECT_DOUBLE_EQ(money(*order, "ImportoTotale"), 17);

    // Loaded in part, a deleted line gives back only what did not arrive.
    ASSERT_TRUE(setAndSave(*line, "QuantitàCaricata", 1));
    ASSERT_TRUE(setAndSave(*partRow("MagazzinoPartCommerciale", "V1"), "QuantitàMagazzino", 1));
    EXPECT_EQ(onOrder("V1"), 3);
    EXPECT_EQ(available("V1"), 4);
    ASSERT_TRUE(line->DeleteRow());
    EXPECT_EQ(onOrder("V1"), 0);
    EXPECT_EQ(available("V1"), 1);
    EXPECT_DOUBLE_EQ(money(*order, "ImportoTotale"), 7);
    // Lowered to nothing after its loads, a deleted line takes the loads off too.
    auto over = addLine(*order, "V3", 3);
    ASSERT_TRUE(setAndSave(*over, "QuantitàCaricata", 3));
    ASSERT_TRUE(setAndSave(*over, "QuantitàOrdine", 0));
    EXPECT_EQ(onOrder("V3"), -3);
    ASSERT_TRUE(over->DeleteRow());
    EXPECT_EQ(onOrder("V3"), 0);
    // The line set replaced whole is summed again.
    ASSERT_TRUE(order->GetReference("Particolari")->DeleteRows());
    EXPECT_DOUBLE_EQ(money(*order, "ImportoTotale"), 0);
    EXPECT_EQ(onOrder("V2"), 0);
}

TEST_F(PurchaseOrder, ClosedWhenEveryLineHasArrived) {
    auto order = addOrder("Viteria Srl");
    auto a = addLine(*order, "V1", 5);
    auto b = addLine(*order, "V3", 2);
    struct Step {
        std::shared_ptr<odb::DataSet> line;
        const char* field;
        int value;
        bool closed;
    };
    const Step steps[] = {
        {a, "QuantitàCaricata", 5, false},  // one line still waits
        {b, "QuantitàCaricata", 2, true},   // all arrived: the changed line judged by its new values
        {a, "QuantitàOrdine", 6, false},    // more ordered reopens it
        {a, "QuantitàCaricata", 6, true},
        {b, "QuantitàOrdine", 0, false},  // a line of no quantity keeps it open
    };
    for (const Step& s : steps) {
        ASSERT_TRUE(setAndSave(*s.line, s.field, s.value));
        EXPECT_EQ(order->ColValueBool("OrdineChiuso"), s.closed) << s.field << " " << s.value;
    }
    ASSERT_TRUE(b->DeleteRow());
    EXPECT_TRUE(order->ColValueBool("OrdineChiuso"));
    EXPECT_EQ(storedText("SELECT OrdineChiuso FROM OrdiniCommerciale"), "1");
}

TEST_F(PurchaseOrder, PartsOfTheSupplierAreOffered) {
    auto order = addOrder("Viteria Srl");
    // Only the supplier's parts are offered for a line; to an internal order only its internal ones.
    auto offered = order->SelectReference("Particolari", true);
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->RowCount(), 3);
    auto internal = addOrder("Viteria Srl", "OrdiniInterni");
    auto internalOffered = internal->SelectReference("Particolari", true);
    ASSERT_TRUE(internalOffered);
    ASSERT_EQ(internalOffered->RowCount(), 1);
    EXPECT_EQ(internalOffered->ColText("Codice"), "V3");

    // A new line of a new part comes with the order's supplier.
    auto lines = order->GetReference("Particolari");
    ASSERT_TRUE(lines->AddRow({"Codice", "V9", "Descrizione", "Vite nuova", "QuantitàOrdine", 1}));
    EXPECT_EQ(partRow("MagazzinoPartCommerciale", "V9")->GetReference("Fornitore")->ColText("RagioneSociale"),
              "Viteria Srl");
}

TEST_F(PurchaseOrder, AMachinesShortfallBecomesOrderLines) {
    addMachine("M1", 5000);
    addNeed("M1", "ParticolariCommerciale", "V1", 3);
    addNeed("M1", "ParticolariCommerciale", "V2", 1);
    addNeed("M1", "ParticolariCommerciale", "D1", 2);
    // A production order of one machine books the parts: V1 is short of 3, V2 of 1.
    addProductionOrder("M1", 1);
    ASSERT_TRUE(setAndSave(*partRow("MagazzinoPartCommerciale", "V2"), "QuantitàMagazzino", 1));
    ASSERT_EQ(available("V1"), -3);
    ASSERT_EQ(available("V2"), 0);

    auto order = rows("OrdiniFornitore");
    ASSERT_TRUE(order->AddRow({"Fornitore", "Viteria Srl", "RiferimentoMacchinari", "M1"}));
    auto lines = order->GetReference("Particolari");
    ASSERT_EQ(lines->RowCount(), 2);  // the other supplier's part is not ordered here
    ASSERT_TRUE(lines->FindRow("Codice='V1'"));
    EXPECT_EQ(lines->ColNumber("QuantitàOrdine"), 3);
    EXPECT_EQ(onOrder("V1"), 3);
    EXPECT_EQ(available("V1"), 0);
    ASSERT_TRUE(lines->FindRow("Codice='V2'"));
    EXPECT_EQ(lines->ColNumber("QuantitàOrdine"), 0);

    // The machine taken off: its lines lose what is still to come and go when nothing arrived.
    ASSERT_TRUE(order->SetReference("RiferimentoMacchinari", Variant::null()));
    ASSERT_TRUE(order->SaveRow());
    EXPECT_TRUE(order->GetReference("Particolari")->DataEmpty());
    EXPECT_EQ(onOrder("V1"), 0);
    EXPECT_EQ(available("V1"), -3);

    // Partly loaded, a line keeps what arrived.
    ASSERT_TRUE(order->SetReference("RiferimentoMacchinari", "M1"));
    ASSERT_TRUE(order->SaveRow());
    lines = order->GetReference("Particolari", "Codice='V1'");
    ASSERT_TRUE(setAndSave(*lines, "QuantitàCaricata", 1));
    ASSERT_TRUE(order->SetReference("RiferimentoMacchinari", Variant::null()));
    ASSERT_TRUE(order->SaveRow());
    lines = order->GetReference("Particolari");
    ASSERT_EQ(lines->RowCount(), 1);
    EXPECT_EQ(lines->ColNumber("QuantitàOrdine"), 1);
    EXPECT_EQ(onOrder("V1"), 0);
}

}  // namespace
