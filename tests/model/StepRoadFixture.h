// A database with a task at 30.00 per hour, a worker doing it and helpers to follow work steps
// through the clock of the tests.
#pragma once

#include <QDateTime>

#include <memory>

#include "ModelDatabaseTest.h"
#include "base/Currency.h"
#include "base/DateUtil.h"
#include "base/Variant.h"
#include "odb/DataSet.h"
#include "platform/Clock.h"

class StepRoadFixture : public ModelDatabaseTest {
  protected:
    void SetUp() override {
        ModelDatabaseTest::SetUp();
        open();
        at(7, 0);
        ASSERT_TRUE(rows("DedirIdovuduvIrezadiv")
                        ->AddRow({"Codice", "T1", "Descrizione", "Tornitura", "CostoOrario",
                                  Currency::fromLong(30)}));
        ASSERT_TRUE(rows("Operai")->AddRow({"Codice", "7", "Nominativo", "Rossi", "Manzione", "T1"}));
        notify.clear();
    }
    void TearDown() override {
        Clock::reset();
        ModelDatabaseTest::TearDown();
    }

    // Sets the clock to a time of the test day; returns it as an OLE date.
    double at(int hour, int minute, int second = 0) {
        Clock::setFixed(QDateTime(QDate(2026, 3, 2), QTime(hour, minute, second)));
        return MakeOleDate(2026, 3, 2, hour, minute, second);
    }
    static Variant date(int hour, int minute, int second = 0) {
        return Variant::fromDate(MakeOleDate(2026, 3, 2, hour, minute, second));
    }

    // A bare detail, or a tooling detail carrying a quantity of parts.
    std::shared_ptr<odb::DataSet> addDetail(const QString& number) {
        auto d = rows("DettagliCommesse");
        EXPECT_TRUE(d->AddRow({"NumeroCommessa", number}));
        return rows("DettagliCommesse", "NumeroCommessa='" + number + "'");
    }
    std::shared_ptr<odb::DataSet> addToolingDetail(const QString& number, int quantity) {
        auto d = rows("DettagliAttrezzature");
        EXPECT_TRUE(d->AddRow({"NumeroCommessa", number, "Quantità", quantity}));
        return rows("DettagliCommesse", "NumeroCommessa='" + number + "'");
    }
    // Opens a step of worker 7 on the detail at the clock's time; the data set stands on it.
    std::shared_ptr<odb::DataSet> openStep(odb::DataSet& detail) {
        auto steps = detail.GetReference("Passaggi");
        EXPECT_TRUE(steps->NewRow());
        steps->SetReference("Operaio", "7");
        EXPECT_TRUE(steps->SaveRow());
        return steps;
    }
    // Sets a field and saves the row; false when a rule refused either.
    static bool setAndSave(odb::DataSet& ds, const QString& field, const Variant& value) {
        return ds.SetColValue(field, value) && ds.SaveRow();
    }
    // A step opened at `from` and closed at `to` (whole minutes of the test day).
    std::shared_ptr<odb::DataSet> closedStep(odb::DataSet& detail, int fromMinute, int toMinute) {
        at(fromMinute / 60, fromMinute % 60);
        auto step = openStep(detail);
        at(toMinute / 60, toMinute % 60);
        EXPECT_TRUE(setAndSave(*step, "Chiuso", true));
        return step;
    }
    // Reads a stored row again through a new data set.
    std::shared_ptr<odb::DataSet> detailRow(const QString& number) {
        return rows("DettagliCommesse", "NumeroCommessa='" + number + "'");
    }
    static double money(const odb::DataSet& ds, const QString& field) { return ds.ColNumber(field); }

    // ---- customer job orders ----
    void addCustomer(const QString& name, bool automaticMail) {
        ASSERT_TRUE(rows("Clienti")->AddRow(
            {"Descrizione", name, "Codice", name.left(8), "InvioAutomaticoEMail", automaticMail}));
    }
    void addToolingPart(const QString& name, double listPrice) {
        ASSERT_TRUE(rows("ParticolariAttrezzature")
                        ->AddRow({"Descrizione", name, "PrezzoListino", Currency::fromDouble(listPrice)}));
    }
    void addMachine(const QString& code, double listPrice) {
        ASSERT_TRUE(rows("MagazzinoMacchinari")
                        ->AddRow({"Codice", code, "Descrizione", "Macchina " + code, "PrezzoListino",
                                  Currency::fromDouble(listPrice)}));
    }
    // A new customer job order, stored; the data set stands on it.
    std::shared_ptr<odb::DataSet> addCustomerOrder(const QString& table = "CommesseCliente") {
        auto order = rows(table);
        EXPECT_TRUE(order->AddRow({})) << notify.messages.join("|").toStdString();
        return order;
    }
    // Orders numbered 1 to n; the data set stands on the last.
    std::shared_ptr<odb::DataSet> orderNumbered(int n) {
        std::shared_ptr<odb::DataSet> order;
        for (int i = 0; i < n; ++i)
            order = addCustomerOrder();
        EXPECT_EQ(order->ColNumber("Progressivo"), n);
        return order;
    }
    // A tooling detail of `order` on the tooling part `part` (none: ""); the data set stands on it.
    std::shared_ptr<odb::DataSet> addToolingDetail(odb::DataSet& order, const QString& part, int quantity) {
        auto details = order.GetReference("Attrezzature");
        VariantList pairs{"Quantità", quantity};
        if (!part.isEmpty()) pairs.insert(pairs.begin(), {"Particolare", part});
        EXPECT_TRUE(details->AddRow(pairs)) << notify.messages.join("|").toStdString();
        return details;
    }
    std::shared_ptr<odb::DataSet> addMachineSale(odb::DataSet& order, const QString& machine,
                                                 double quantity) {
        auto details = order.GetReference("Macchine");
        EXPECT_TRUE(details->AddRow({"Macchinario", machine, "Quantità", quantity}))
            << notify.messages.join("|").toStdString();
        return details;
    }
    std::shared_ptr<odb::DataSet> machineRow(const QString& code) {
        return rows("MagazzinoMacchinari", "Codice='" + code + "'");
    }
    std::shared_ptr<odb::DataSet> orderRow(int progressive) {
        return rows("CommesseCliente", "Progressivo=" + QString::number(progressive));
    }

    // ---- stock, production and purchases ----
    void addSupplier(const QString& name) {
        ASSERT_TRUE(rows("Fornitori")->AddRow({"RagioneSociale", name}));
    }
    // A part of the store `table` (MagazzinoPartProduzione or MagazzinoPartCommerciale).
    void addPart(const QString& table, const QString& code, double price, const QString& supplier = {},
                 bool internalUse = false) {
        const bool produced = table == "MagazzinoPartProduzione";
        VariantList pairs{"Codice",
                          code,
                          "Descrizione",
                          "Particolare " + code,
                          produced ? "PrezzoIndicativo" : "PrezzoUnitario",
                          Currency::fromDouble(price)};
        if (!supplier.isEmpty()) pairs.insert(pairs.end(), {"Fornitore", supplier});
        if (internalUse) pairs.insert(pairs.end(), {"UsoInterno", true});
        ASSERT_TRUE(rows(table)->AddRow(pairs)) << notify.messages.join("|").toStdString();
    }
    std::shared_ptr<odb::DataSet> partRow(const QString& table, const QString& code) {
        return rows(table, "Codice='" + code + "'");
    }
    // The machine `machine` needs `quantity` pieces of the part `code` (a need of `collection`:
    // ParticolariProduzione or ParticolariCommerciale).
    void addNeed(const QString& machine, const QString& collection, const QString& code, int quantity) {
        const bool produced = collection == "ParticolariProduzione";
        const QString store = produced ? "MagazzinoPartProduzione" : "MagazzinoPartCommerciale";
        auto needs = machineRow(machine)->GetReference(collection);
        ASSERT_TRUE(
            needs->AddRow({"OID_" + store, partRow(store, code)->Bookmark(), "QuantitàNecessaria", quantity}))
            << notify.messages.join("|").toStdString();
    }
    // A new production job order of `machines` machines of `machine` (none: "").
    std::shared_ptr<odb::DataSet> addProductionOrder(const QString& machine, double machines) {
        auto order = rows("CommesseProduzione");
        VariantList pairs{"Quantità", machines};
        if (!machine.isEmpty()) pairs.insert(pairs.end(), {"Macchinario", machine});
        EXPECT_TRUE(order->AddRow(pairs)) << notify.messages.join("|").toStdString();
        return order;
    }
};
