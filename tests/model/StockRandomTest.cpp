// A seeded random sequence of production, purchase, load and machine-sale operations, refused ones
// included, after which the whole database still keeps what the rules keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "ModelInvariants.h"
#include "StepRoadFixture.h"
#include "support/SlowCount.h"

#ifndef ZL_RANDOM_OPERATIONS
#define ZL_RANDOM_OPERATIONS 300
#endif

namespace {

class StockRandom : public StepRoadFixture {
  protected:
    void SetUp() override {
        StepRoadFixture::SetUp();
        addSupplier("Viteria Srl");
        addSupplier("Dadi Spa");
        const char* suppliers[] = {"Viteria Srl", "Dadi Spa"};
        for (int i = 0; i < 4; ++i)
            addPart("MagazzinoPartCommerciale", QString("C%1").arg(i), 1 + i, suppliers[i % 2], i == 3);
        for (int i = 0; i < 3; ++i)
            addPart("MagazzinoPartProduzione", QString("P%1").arg(i), 2 + i);
        for (const char* m : {"M0", "M1"})
            addMachine(m, 1000);
        addNeed("M0", "ParticolariProduzione", "P0", 2);
        addNeed("M0", "ParticolariProduzione", "P1", 1);
        addNeed("M0", "ParticolariCommerciale", "C0", 3);
        addNeed("M0", "ParticolariCommerciale", "C1", 1);
        addNeed("M1", "ParticolariProduzione", "P1", 4);
        addNeed("M1", "ParticolariProduzione", "P2", 1);
        addNeed("M1", "ParticolariCommerciale", "C0", 1);
        addNeed("M1", "ParticolariCommerciale", "C2", 2);
        notify.clear();
    }

    int pick(int n) { return n <= 0 ? 0 : static_cast<int>(random_() % static_cast<unsigned>(n)); }
    // A data set standing on a random row of `table` (under `where`), or nullptr when none.
    std::shared_ptr<odb::DataSet> anyRow(const QString& table, const QString& where = {}) {
        auto ds = rows(table, where);
        if (ds->DataEmpty()) return nullptr;
        ds->RowFirst();
        for (int k = pick(ds->RowCount()); k > 0; --k)
            ds->RowNext();
        return ds;
    }
    QString machine() { return pick(4) == 0 ? QString() : QString("M%1").arg(pick(2)); }
    QString supplier() { return pick(2) ? "Viteria Srl" : "Dadi Spa"; }
    Variant part(const char* store, int count) {
        return partRow(store, QString(store).endsWith("Produzione") ? QString("P%1").arg(pick(count))
                                                                    : QString("C%1").arg(pick(count)))
            ->Bookmark();
    }

    // One operation; false when a rule refused it (its data set is then set back).
    bool operation() {
        switch (pick(22)) {
            case 0:
                return rows("CommesseProduzione")->AddRow(pairsWithMachine({"Quantità", 1 + pick(3)}));
            case 1:
                if (auto o = anyRow("CommesseProduzione")) return setAndSave(*o, "Quantità", pick(4));
                break;
            case 2:
                if (auto o = anyRow("CommesseProduzione")) {
                    const QString m = machine();
                    return o->SetReference("Macchinario", m.isEmpty() ? Variant::null() : Variant(m)) &&
                           o->SaveRow();
                }
                break;
            case 3:
                if (auto o = anyRow("CommesseProduzione"); o && pick(3) == 0) return o->DeleteRow();
                break;
            case 4:
            case 5:
                if (auto d = anyRow("DettagliProduzione"))
                    return setAndSave(*d, "Chiuso", !d->ColValueBool("Chiuso"));
                break;
            case 6:
                if (auto d = anyRow("DettagliProduzione"))
                    return setAndSave(*d, pick(2) ? "Quantità" : "QuantitàNecessariaTotale", pick(7));
                break;
            case 7:
                if (auto o = anyRow("CommesseProduzione")) {
                    auto details = o->GetReference("Dettagli");
                    auto need = anyRow("NecessitaPartProduzione");
                    if (!details->NewRow()) return false;
                    if (pick(5) && need && !details->SetColValue("Particolare", need->Bookmark()))
                        return false;
                    return details->SaveRow();
                }
                break;
            case 8:
                if (auto d = anyRow("DettagliProduzione"); d && pick(2) == 0) return d->DeleteRow();
                break;
            case 9:
                return rows(pick(3) ? "OrdiniFornitore" : "OrdiniInterni")
                    ->AddRow(pick(5) ? VariantList{"Fornitore", supplier()} : VariantList{});
            case 10:
                if (auto o = anyRow("OrdiniFornitore")) {
                    const QString m = machine();
                    return o->SetReference("RiferimentoMacchinari",
                                           m.isEmpty() ? Variant::null() : Variant(m)) &&
                           o->SaveRow();
                }
                break;
            case 11:
                if (auto o = anyRow("OrdiniCommerciale")) {
                    auto lines = o->GetReference("Particolari");
                    return lines->AddRow({"OID_MagazzinoPartCommerciale", part("MagazzinoPartCommerciale", 4),
                                          "QuantitàOrdine", pick(6)});
                }
                break;
            case 12:
                if (auto l = anyRow("OrdinePartCommerciale"))
                    return setAndSave(*l, "QuantitàOrdine", pick(8));
                break;
            case 13:
                if (auto l = anyRow(pick(2) ? "OrdinePartCommerciale" : "OrdiniCommerciale"))
                    return l->DeleteRow();
                break;
            case 14:
                if (auto o = anyRow("OrdiniCommerciale", "Not OrdineChiuso")) {
                    auto load = rows("CarichiCommercialeOrdine");
                    notify.answerCancel = pick(4) == 0;
                    return load->AddRow({"Ordine", o->ColValue("Numero")});
                }
                break;
            case 15:
                if (auto c = anyRow(pick(2) ? "CarichiCommerciale" : "CarichiCommercialeOrdine")) {
                    auto lines = c->GetReference("Particolari");
                    return lines->AddRow({"OID_MagazzinoPartCommerciale", part("MagazzinoPartCommerciale", 4),
                                          "QuantitàCarico", pick(6)});
                }
                return rows("CarichiCommerciale")->AddRow({});
            case 16:
                if (auto l = anyRow("CaricoPartCommerciale"))
                    return setAndSave(*l, "QuantitàCarico", pick(6));
                break;
            case 17:
                if (auto l = anyRow(pick(2) ? "CaricoPartCommerciale" : "CarichiCommerciale"))
                    return l->DeleteRow();
                break;
            case 18:
                if (auto o = anyRow("CommesseCliente")) {
                    auto sales = o->GetReference("Macchine");
                    if (sales->DataEmpty() || pick(3) == 0)
                        return sales->AddRow(
                            {"Macchinario", QString("M%1").arg(pick(2)), "Quantità", pick(3)});
                    return setAndSave(*sales, "Chiuso", !sales->ColValueBool("Chiuso"));
                }
                return rows("CommesseCliente")->AddRow({});
            case 19:
                if (auto p = anyRow(pick(2) ? "MagazzinoPartCommerciale" : "MagazzinoPartProduzione"))
                    return setAndSave(*p, "QuantitàMagazzino", pick(10));
                break;
            case 20:
                // Dated in another year or in this one: numbers move or stay, the details' follow.
                if (auto o = anyRow(pick(2) ? "CommesseCliente" : "CommesseProduzione"))
                    return setAndSave(*o, "DataInserimento",
                                      Variant::fromDate(MakeOleDate(2025 + pick(2), 1 + pick(12), 1)));
                break;
            case 21:
                if (auto d = anyRow("DettagliCommesse")) {
                    auto steps = d->GetReference("Passaggi");
                    if (pick(2) && !steps->DataEmpty())
                        return setAndSave(*steps, "Chiuso", !steps->ColValueBool("Chiuso"));
                    return steps->NewRow() && steps->SetReference("Operaio", "7") && steps->SaveRow();
                }
                break;
        }
        return true;
    }
    VariantList pairsWithMachine(VariantList pairs) {
        const QString m = machine();
        if (!m.isEmpty()) pairs.insert(pairs.end(), {"Macchinario", m});
        return pairs;
    }

    std::mt19937 random_{20260302};
};

TEST_F(StockRandom, TheRulesHoldOverARandomSequence) {
    int refused = 0;
    // The slow run's thousands, fewer in CI; the normal run's few hundred either way.
    const int operations = SlowCount(ZL_RANDOM_OPERATIONS, std::min(ZL_RANDOM_OPERATIONS, 600));
    for (int i = 0; i < operations; ++i) {
        notify.answerCancel = false;
        at(8 + i / 3600, i / 60 % 60, i % 60);  // a second apart: two steps never start together
        if (!operation()) ++refused;
        if (i % 50 == 49) {
            const QStringList broken = ModelInvariantViolations(databasePath());
            ASSERT_TRUE(broken.isEmpty()) << "after " << i + 1 << " operations:\n"
                                          << broken.join("\n").toStdString();
        }
    }
    notify.answerCancel = false;
    EXPECT_GT(refused, 0);
    // The sequence left work of every kind behind.
    for (const char* table : {"DettagliProduzione", "OrdinePartCommerciale", "CaricoPartCommerciale",
                              "CarichiCommercialeOrdine", "DettagliVenditaMacchinari"})
        EXPECT_GT(count(table), 0) << table;
    const QStringList broken = ModelInvariantViolations(databasePath());
    EXPECT_TRUE(broken.isEmpty()) << broken.join("\n").toStdString();
}

}  // namespace
