// The values a new row starts with and the refusals, over the tables of production job orders
// and details, purchase orders and their lines, and stock loads.
#include <gtest/gtest.h>

#include <functional>

#include "StepRoadFixture.h"

namespace {

class StockOrderTables : public StepRoadFixture {
  protected:
    void SetUp() override {
        StepRoadFixture::SetUp();
        addSupplier("Viteria Srl");
        addSupplier("Dadi Spa");
        addPart("MagazzinoPartCommerciale", "V1", 2.5, "Viteria Srl");
        addPart("MagazzinoPartProduzione", "P1", 10);
        addPart("MagazzinoPartProduzione", "P2", 10);
        addMachine("M1", 1000);
        addNeed("M1", "ParticolariProduzione", "P1", 2);
        addNeed("M1", "ParticolariProduzione", "P2", 1);
        notify.clear();
    }
    static void ExpectValue(const Variant& actual, const Variant& expected) {
        if (expected.isNull()) {
            EXPECT_TRUE(actual.isNull()) << actual.toText().toStdString();
        } else if (expected.isString()) {
            EXPECT_TRUE(actual.isString()) << (actual.isNull() ? "Null" : actual.toText().toStdString());
            EXPECT_EQ(actual.toText(), expected.toText());
        } else {
            ASSERT_FALSE(actual.isEmptyOrNull());
            EXPECT_DOUBLE_EQ(actual.toDouble(), expected.toDouble());
        }
    }
};

TEST_F(StockOrderTables, NewRowsStartWithTheirValues) {
    addProductionOrder("M1", 1);  // number 1, with two details
    ASSERT_TRUE(rows("OrdiniFornitore")->AddRow({"Fornitore", "Viteria Srl", "Numero", 0}));
    ASSERT_TRUE(setAndSave(*rows("OrdiniCommerciale"), "Numero", 6));
    ASSERT_TRUE(rows("CarichiCommerciale")->AddRow({}));
    at(9, 15);
    const Variant now = Variant::fromDate(MakeOleDate(2026, 3, 2, 9, 15));
    const Variant empty = QString(""), null = Variant::null(), zero = 0, no = false;
    struct Case {
        const char* source;  // a table, or "table.collection" of its first row
        std::vector<std::pair<const char*, Variant>> values;
        bool rowFlag;
    };
    const Case cases[] = {
        {"CommesseProduzione",
         {{"DataInserimento", now},
          {"Progressivo", 2},
          {"Quantità", 1},
          {"CommessaChiusa", no},
          {"CostoNecessità", zero},
          {"CostoEffettivo", zero},
          {"TempoTotale", zero},
          {"CostoTotale", null},
          {"Urgente", no},
          {"Macchinario", null}},
         false},
        {"CommesseProduzione.Dettagli",
         {{"SottoProgressivo", 3},
          {"NumeroCommessa", QString("3-0001/003")},
          {"Quantità", zero},
          {"QuantitàNecessariaTotale", zero},
          {"CostoNecessità", zero},
          {"CostoProduzione", zero},
          {"Chiuso", no},
          {"Particolare", null}},
         false},
        {"OrdiniFornitore",
         {{"Numero", 7},
          {"DataInserimento", now},
          {"ImportoTotale", zero},
          {"OrdineChiuso", no},
          {"Urgente", no},
          {"Note", empty},
          {"Fornitore", null}},
         true},
        {"OrdiniInterni", {{"Numero", 7}, {"ImportoTotale", zero}, {"Note", empty}}, true},
        {"OrdiniCommerciale", {{"Numero", 7}, {"OrdineChiuso", no}}, false},
        {"OrdiniCommerciale.Particolari",
         {{"DataOrdine", now}, {"ImportoOrdine", zero}, {"QuantitàCaricata", zero}, {"QuantitàOrdine", null}},
         false},
        {"CarichiCommerciale", {{"DataInserimento", now}, {"ImportoTotale", zero}, {"Note", empty}}, false},
        {"CarichiCommerciale.Particolari",
         {{"DataCarico", now}, {"ImportoCarico", zero}, {"QuantitàCarico", null}},
         false},
        {"CarichiCommercialeOrdine", {{"ImportoTotale", zero}, {"Note", empty}, {"Ordine", null}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const QStringList source = QString(c.source).split('.');
        auto ds = source.size() == 1 ? rows(source[0]) : rows(source[0])->GetReference(source[1]);
        ASSERT_TRUE(ds->NewRow()) << notify.messages.join("|").toStdString();
        for (const auto& [field, expected] : c.values) {
            SCOPED_TRACE(field);
            ExpectValue(ds->ColValue(field), expected);
        }
        EXPECT_EQ(ds->RowFlag(), c.rowFlag);
        ds->CancelRow();
    }
    // A line of a supplier order starts on the order's supplier.
    auto lines = rows("OrdiniFornitore")->GetReference("Particolari");
    ASSERT_TRUE(lines->NewRow());
    EXPECT_EQ(lines->GetReference("Fornitore")->ColText("RagioneSociale"), "Viteria Srl");
    lines->CancelRow();
    EXPECT_EQ(count("OrdiniCommerciale"), 1);
    EXPECT_EQ(count("CommesseProduzione"), 1);
}

TEST_F(StockOrderTables, RefusalsLeaveTheRowsAsStored) {
    auto production = addProductionOrder("M1", 1);
    auto closed = production->GetReference("Dettagli", "SottoProgressivo=1");
    ASSERT_TRUE(setAndSave(*closed, "Chiuso", true));
    auto bare = production->GetReference("Dettagli");
    ASSERT_TRUE(bare->AddRow({}));
    ASSERT_TRUE(setAndSave(*bare, "Chiuso", true));
    auto noSupplier = rows("OrdiniFornitore");
    ASSERT_TRUE(noSupplier->AddRow({}));
    auto internalNoSupplier = rows("OrdiniInterni");
    ASSERT_TRUE(internalNoSupplier->AddRow({}));
    auto order = rows("OrdiniFornitore");
    ASSERT_TRUE(order->AddRow({"Fornitore", "Viteria Srl"}));
    auto line = order->GetReference("Particolari");
    ASSERT_TRUE(line->AddRow({"OID_MagazzinoPartCommerciale",
                              partRow("MagazzinoPartCommerciale", "V1")->Bookmark(), "QuantitàOrdine", 4}));
    auto internal = rows("OrdiniInterni");
    ASSERT_TRUE(internal->AddRow({"Fornitore", "Viteria Srl"}));
    ASSERT_TRUE(internal->GetReference("Particolari")
                    ->AddRow({"OID_MagazzinoPartCommerciale",
                              partRow("MagazzinoPartCommerciale", "V1")->Bookmark(), "QuantitàOrdine", 1}));
    auto emptyLoad = rows("CarichiCommercialeOrdine");
    ASSERT_TRUE(emptyLoad->AddRow({}));
    auto load = rows("CarichiCommercialeOrdine");
    ASSERT_TRUE(load->AddRow({"Ordine", order->ColValue("Numero")}));
    ASSERT_FALSE(load->GetReference("Particolari")->DataEmpty());
    const Variant otherPart =
        machineRow("M1")->GetReference("ParticolariProduzione", "Codice='P2'")->Bookmark();
    notify.clear();

    struct Case {
        const char* what;
        std::function<bool()> change;
        QString read;  // the rows concerned, as stored
        QString refusal;
    };
    const QString details =
        "SELECT group_concat(d.Chiuso || x.Quantità || x.Particolare) FROM DettagliProduzione x "
        "JOIN DettagliCommesse d ON d.OID=x.OID";
    const QString lines = "SELECT count(*) || group_concat(QuantitàOrdine) FROM OrdinePartCommerciale";
    const QString suppliers =
        "SELECT group_concat(quote(Fornitore)) FROM (SELECT Fornitore FROM OrdiniFornitore "
        "UNION ALL SELECT Fornitore FROM OrdiniInterni UNION ALL SELECT Fornitore FROM "
        "MagazzinoPartCommerciale)";
    const Case cases[] = {
        {"quantity of a closed detail", [&] { return setAndSave(*closed, "Quantità", 9); }, details,
         "Non puoi impostare la quantità della commessa (3-0001/001) dopo la chiusura"},
        {"part of a closed detail",
         [&] { return closed->SetColValue("Particolare", otherPart) && closed->SaveRow(); }, details,
         "Non cambiare il Particolare dopo la chiusura"},
        {"reopening a detail without a part", [&] { return setAndSave(*bare, "Chiuso", false); }, details,
         "Devi prima impostare il Particolare"},
        {"closing date of an open job order",
         [&] { return setAndSave(*rows("CommesseProduzione"), "DataChiusura", date(9, 0)); },
         "SELECT quote(DataChiusura) FROM CommesseProduzione",
         "La data di chiusura può essere modificata solo "
         "quando la commessa è chiusa"},
        {"a line before the supplier",
         [&] {
             return noSupplier->GetReference("Particolari")->AddRow({"QuantitàOrdine", 1});
         },
         lines, "Devi prima selezionare il fornitore"},
        {"an internal line before the supplier",
         [&] {
             return internalNoSupplier->GetReference("Particolari")->AddRow({"QuantitàOrdine", 1});
         },
         lines, "Devi prima selezionare il fornitore"},
        {"another supplier for an order with lines",
         [&] { return order->SetReference("Fornitore", "Dadi Spa"); }, suppliers,
         "Non puoi cambiare il fornitore se l'ordine non è vuoto"},
        {"another supplier for an internal order with lines",
         [&] { return internal->SetReference("Fornitore", "Dadi Spa"); }, suppliers,
         "Non puoi cambiare il fornitore se l'ordine non è vuoto"},
        {"the part's supplier through an order line",
         [&] { return line->SetReference("Fornitore", "Dadi Spa") && line->SaveRow(); }, suppliers,
         "Impossibile modificare il fornitore perché intestatario dell' ordine "},
        {"a load line before the order",
         [&] {
             return emptyLoad->GetReference("Particolari")->AddRow({"QuantitàCarico", 1});
         },
         "SELECT count(*) FROM CaricoPartCommerciale", "Devi prima selezionare l'ordine"},
        {"another order for a load with lines",
         [&] { return load->SetReference("Ordine", noSupplier->ColValue("Numero")); },
         "SELECT group_concat(quote(Ordine)) FROM CarichiCommercialeOrdine",
         "Non puoi cambiare l'ordine se il carico non è vuoto"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString before = storedText(c.read);
        notify.clear();
        EXPECT_FALSE(c.change());
        EXPECT_EQ(notify.messages, QStringList{c.refusal});
        EXPECT_EQ(storedText(c.read), before);
    }
    // The machine of a supplier order is chosen after its supplier.
    notify.clear();
    EXPECT_EQ(noSupplier->SelectReference("RiferimentoMacchinari"), nullptr);
    EXPECT_EQ(notify.messages, QStringList{"Devi prima selezionare il fornitore"});
    EXPECT_EQ(noSupplier->FocusedField(), "Fornitore");
}

}  // namespace
