// The database definition walked through the schema objects alone: registration order, identities,
// fields, references and indexes, checked against the rules the schema must keep.
#include <gtest/gtest.h>

#include <QSet>
#include <QStringList>

#include <map>
#include <memory>
#include <set>

#include "model/DB.h"
#include "odb/Schema.h"

namespace {

struct DefinedTable {
    std::shared_ptr<odb::itfDefTable> table;
    odb::TableIdentity identity;
    odb::FieldDefs fields;
    odb::IndexDefs indexes;
    odb::ReferenceDefs references;
    odb::itfSetData* setData = nullptr;
};

// What the library does with a definition before it touches storage.
class Definition : public ::testing::Test {
  protected:
    void SetUp() override {
        DB db;
        odb::DatabaseDef def;
        db.Define(def);
        for (const auto& t : def.tables()) {
            auto d = std::make_unique<DefinedTable>();
            d->table = t;
            t->DefineIdentity(d->identity);
            t->DefineStructure(d->fields, d->indexes, d->references);
            t->DefineDefaultData(d->setData);
            byName_[t->Name()] = d.get();
            tables_.push_back(std::move(d));
        }
    }

    const DefinedTable& table(const QString& name) const {
        auto it = byName_.find(name);
        if (it == byName_.end()) throw std::runtime_error(("no table " + name).toStdString());
        return *it->second;
    }
    bool has(const QString& name) const { return byName_.count(name) != 0; }

    // The table and its base tables, nearest first.
    std::vector<const DefinedTable*> chain(const QString& name) const {
        std::vector<const DefinedTable*> out;
        for (QString n = name; !n.isEmpty() && has(n); n = table(n).identity.baseTable())
            out.push_back(&table(n));
        return out;
    }
    QSet<QString> fieldNames(const QString& name) const {
        QSet<QString> out;
        for (const auto* t : chain(name))
            for (const auto& f : t->fields.items())
                out.insert(f->name);
        return out;
    }
    QSet<QString> referenceNames(const QString& name) const {
        QSet<QString> out;
        for (const auto* t : chain(name))
            for (const auto& r : t->references.items())
                out.insert(r->name);
        return out;
    }
    const odb::FieldDef* field(const QString& tableName, const QString& fieldName) const {
        for (const auto& f : table(tableName).fields.items())
            if (f->name == fieldName) return f.get();
        return nullptr;
    }

    std::vector<std::unique_ptr<DefinedTable>> tables_;
    std::map<QString, const DefinedTable*> byName_;
};

TEST_F(Definition, RegistersTheTablesInOrderWithTheirIdentity) {
    struct Expected {
        const char* name;
        double version;  // 0: the class sets none
        const char* caption;
        const char* base;
    };
    const Expected expected[] = {
        {"TabStampaEtichette", 1.5, "Stampe di Etichette", ""},
        {"TabProspettiStampa", 1.5, "Prospetti di Stampa", ""},
        {"TipiAssenza", 1.0, "", ""},
        {"TipiCategoria", 1.0, "", ""},
        {"TipiCommessa", 1.1, "Tipi Commessa / Prefisso Codici", ""},
        {"TipiAssistenza", 1.0, "", ""},
        {"DedirIdovuduvIrezadiv", 1.1, "", ""},
        {"Clienti", 1.6, "", ""},
        {"Fornitori", 1.4, "", ""},
        {"Operai", 1.6, "", ""},
        {"Utenti", 1.1, "", ""},
        {"ParticolariAttrezzature", 1.3, "", ""},
        {"PassaggiDettaglioCommesse", 1.3, "", ""},
        {"DettagliCommesse", 1.8, "", ""},
        {"DettagliAttrezzature", 1.8, "", "DettagliCommesse"},
        {"MagazzinoPartCommerciale", 1.7, "Magazzino Particolari Commerciale", ""},
        {"MagazzinoPartProduzione", 1.5, "Magazzino Particolari Produzione", ""},
        {"NecessitaPartCommerciale", 0, "Necessità Particolare Commerciale", "MagazzinoPartCommerciale"},
        {"NecessitaPartProduzione", 0, "Necessità Particolare Produzione", "MagazzinoPartProduzione"},
        {"MagazzinoMacchinari", 1.6, "", ""},
        {"DettagliVenditaMacchinari", 1.3, "", "DettagliCommesse"},
        {"CommesseCliente", 2.4, "", ""},
        {"DettagliProduzione", 1.8, "", "DettagliCommesse"},
        {"CommesseProduzione", 1.7, "", ""},
        {"CommesseAssistenza", 1.4, "", "DettagliCommesse"},
        {"GruppiPassaggi", 0, "", ""},
        {"PeriodiNonLavorativi", 1.3, "Periodi Non Lavorativi", ""},
        {"CommesseContoVisione", 1.1, "", "CommesseCliente"},
        {"OrdinePartCommerciale", 1.2, "Ordine Particolare Commerciale", "MagazzinoPartCommerciale"},
        {"OrdiniCommerciale", 1.6, "Ordini Particolari Commerciale", ""},
        {"OrdiniFornitore", 1.2, "Ordini per Fornitore (Particolari Commerciale)", "OrdiniCommerciale"},
        {"OrdiniInterni", 1.1, "Ordini Interni (Particolari Commerciale)", "OrdiniCommerciale"},
        {"CaricoPartCommerciale", 1.1, "Carico Particolare Commerciale", "MagazzinoPartCommerciale"},
        {"CarichiCommerciale", 1.0, "Carichi Particolari Commerciale", ""},
        {"CarichiCommercialeOrdine", 1.2, "Carichi da Ordini (Particolari Commerciale)",
         "CarichiCommerciale"},
        {"Ingressi", 1.5, "", ""},
        {"ImpostazioniPromemoria", 1.3, "", ""},
        {"Promemoria", 1.1, "", ""},
    };
    ASSERT_EQ(tables_.size(), std::size(expected));
    for (size_t i = 0; i < tables_.size(); ++i) {
        const auto& t = *tables_[i];
        const Expected& e = expected[i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(t.table->Name(), QString::fromUtf8(e.name));
        EXPECT_EQ(t.identity.hasVersion(), e.version != 0);
        if (e.version != 0) {
            EXPECT_DOUBLE_EQ(t.identity.version(), e.version);
        }
        EXPECT_EQ(t.identity.caption(), QString::fromUtf8(e.caption));
        EXPECT_EQ(t.identity.baseTable(), QString::fromUtf8(e.base));
    }
}

TEST_F(Definition, EveryTableIsItsOwnEventObject) {
    for (const auto& t : tables_) {
        EXPECT_EQ(t->setData, dynamic_cast<odb::itfSetData*>(t->table.get()))
            << t->table->Name().toStdString();
    }
    // Each call of Define builds new instances.
    DB db;
    odb::DatabaseDef again;
    db.Define(again);
    EXPECT_NE(again.tables().front().get(), tables_.front()->table.get());
}

TEST_F(Definition, BaseTablesComeFirst) {
    std::set<QString> seen;
    for (const auto& t : tables_) {
        const QString base = t->identity.baseTable();
        if (!base.isEmpty()) {
            EXPECT_TRUE(seen.count(base))
                << t->table->Name().toStdString() << " before " << base.toStdString();
        }
        EXPECT_TRUE(seen.insert(t->table->Name()).second)
            << "registered twice: " << t->table->Name().toStdString();
    }
}

TEST_F(Definition, FlagWordsOfTheIdentities) {
    for (const auto& t : tables_) {
        const QString n = t->table->Name();
        const int f1 = n == "TabStampaEtichette" ? 255 : n == "TabProspettiStampa" ? 15 : 1;
        const int f2 = (n == "DettagliCommesse" || n == "TipiCommessa") ? 15 : 0;
        EXPECT_EQ(t->identity.flags(1), f1) << n.toStdString();
        EXPECT_EQ(t->identity.flags(2), f2) << n.toStdString();
        EXPECT_EQ(t->identity.flags(3), 0) << n.toStdString();
        const bool shared = n == "NecessitaPartCommerciale" || n == "NecessitaPartProduzione" ||
                            n == "OrdinePartCommerciale" || n == "CaricoPartCommerciale";
        EXPECT_EQ(t->identity.baseKind() == odb::BaseKind::SharedBase, shared) << n.toStdString();
    }
}

TEST_F(Definition, FieldTotals) {
    int computed = 0, hidden = 0;
    QStringList flaggedOne;
    for (const auto& t : tables_) {
        for (const auto& f : t->fields.items()) {
            if (f->flags1 == 15) ++computed;
            if (f->flags1 == 1) flaggedOne << t->table->Name() + "." + f->name;
            if (!f->shown) ++hidden;
            EXPECT_EQ(f->arg4, 0);
            EXPECT_EQ(f->arg12, 0);
        }
    }
    EXPECT_EQ(computed, 54);
    EXPECT_EQ(hidden, 37);
    EXPECT_EQ(flaggedOne.size(), 14) << flaggedOne.join(", ").toStdString();
}

TEST_F(Definition, FieldTypesSizesAndFormats) {
    const std::set<int> types = {0, 2, 3, 5, 6, 7, 8, 11, 14, 15, 16, 17, 18, 19, 20};
    const std::set<int> textSizes = {4, 5, 8, 10, 11, 16, 24, 32, 64, 127, 128, 254, 255};
    for (const auto& t : tables_) {
        for (const auto& f : t->fields.items()) {
            const std::string where = (t->table->Name() + "." + f->name).toStdString();
            EXPECT_TRUE(types.count(f->type)) << where;
            if (f->type == odb::ftText || f->type == odb::ftCodeText || f->type == odb::ftMailLink) {
                EXPECT_TRUE(textSizes.count(f->size)) << where << " size " << f->size;
            } else if (!f->format.isEmpty()) {
                // Digits of a padded number are its size, except on the job-order and order numbers.
                EXPECT_EQ(f->size, f->name == "Progressivo" || f->name == "Numero" ? 0 : f->format.size())
                    << where;
            } else {
                EXPECT_EQ(f->size, 0) << where;
            }
            if (f->type == odb::ftMailLink) {
                EXPECT_EQ(f->size, 255) << where;
            }
            if (!f->format.isEmpty()) {
                EXPECT_EQ(f->type, odb::ftLong) << where;
                EXPECT_EQ(f->format, QString(f->format.size(), QLatin1Char('0'))) << where;
            }
        }
    }
    EXPECT_EQ(field("TipiAssenza", "Codice")->format, "00");
    EXPECT_EQ(field("OrdiniCommerciale", "Numero")->format, "000000");
    EXPECT_EQ(field("CommesseAssistenza", "Progressivo")->format, "0000");
    EXPECT_EQ(field("DettagliProduzione", "SottoProgressivo")->format, "000");
}

TEST_F(Definition, ValueLists) {
    std::map<QString, QString> lists;
    for (const auto& t : tables_)
        for (const auto& f : t->fields.items())
            if (!f->valueList.isEmpty()) lists[t->table->Name() + "." + f->name] = f->valueList;
    const std::map<QString, QString> expected = {
        {"TipiCommessa.Tipologia",
         "1|Attrezzature|2|Macchine|3|Produzione|4|Assistenza|9|Prefisso Codice Carta"},
        {"CommesseCliente.StatoNotifica", "1|NON INVIARE|2|DA INVIARE|3|INVIATA"},
        {"CommesseContoVisione.Stato", "1|VENDUTA|2|RESTITUITA"},
        {"Utenti.LivelloAccesso", "-1|Solo Commesse|0|Interrogazione|1|Amministrazione"},
    };
    EXPECT_EQ(lists, expected);
}

TEST_F(Definition, NoNameTwiceAlongATableChain) {
    for (const auto& t : tables_) {
        QStringList names;
        for (const auto* c : chain(t->table->Name())) {
            for (const auto& f : c->fields.items())
                names << f->name;
            for (const auto& r : c->references.items())
                names << r->name;
        }
        EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size())
            << t->table->Name().toStdString() << ": " << names.join(",").toStdString();
    }
}

TEST_F(Definition, ReferencesLeadToRegisteredTablesAndFields) {
    int kindMinusOne = 0;
    for (const auto& t : tables_) {
        for (const auto& r : t->references.items()) {
            const std::string where = (t->table->Name() + "." + r->name).toStdString();
            ASSERT_TRUE(has(r->targetTable)) << where;
            EXPECT_EQ(r->arg12, -1) << where;
            EXPECT_EQ(r->arg13, 0) << where;
            EXPECT_EQ(r->flags2, -100) << where;
            if (r->owned) {
                EXPECT_TRUE(r->collection) << where;
            }
            if (r->kind == -1) {
                ++kindMinusOne;
            } else {
                EXPECT_EQ(r->kind, -2) << where;
            }
            const QSet<QString> targetFields = fieldNames(r->targetTable);
            const QSet<QString> targetRefs = referenceNames(r->targetTable);
            if (!r->keyField.isEmpty()) {
                EXPECT_TRUE(targetFields.contains(r->keyField)) << where;
            }
            for (const QString& d : r->displayFieldList())
                EXPECT_TRUE(targetFields.contains(d) || targetRefs.contains(d))
                    << where << " shows " << d.toStdString();
        }
    }
    EXPECT_EQ(kindMinusOne, 3);
    // The one collection that gathers rows it does not own.
    bool found = false;
    for (const auto& r : table("GruppiPassaggi").references.items()) {
        if (r->name == "Passaggi") {
            found = true;
            EXPECT_TRUE(r->collection);
            EXPECT_FALSE(r->owned);
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(Definition, IndexesAndBrowseColumnsNameWhatTheTableHas) {
    for (const auto& t : tables_) {
        const QString n = t->table->Name();
        const QSet<QString> fields = fieldNames(n), refs = referenceNames(n);
        for (const auto& ix : t->indexes.items()) {
            for (const auto& c : ix->columns()) {
                if (c.kind == odb::IndexColumn::ParentLink) continue;
                EXPECT_TRUE(fields.contains(c.name) || refs.contains(c.name))
                    << n.toStdString() << " " << c.name.toStdString();
            }
        }
        const QString browse = t->indexes.browseColumns();
        if (browse.isEmpty()) continue;
        for (const QString& c : browse.split(','))
            EXPECT_TRUE(fields.contains(c) || refs.contains(c))
                << n.toStdString() << " browses " << c.toStdString();
    }
}

TEST_F(Definition, NamedIndexesAreUniqueWithTheirColumns) {
    using K = odb::IndexColumn::Kind;
    struct Col {
        K kind;
        const char* name;
    };
    struct Expected {
        const char* table;
        const char* index;
        std::vector<Col> columns;
    };
    const std::vector<Expected> expected = {
        {"TabProspettiStampa",
         "Report",
         {{K::Field, "NomeTabellaOrigine"}, {K::Column, "NomeReference"}, {K::Field, "NomeProspetto"}}},
        {"PassaggiDettaglioCommesse",
         "PassaggioCommessa",
         {{K::Field, "NumeroCommessa"}, {K::Column, "Operaio"}, {K::Field, "DataInizio"}}},
        {"DettagliAttrezzature", "DettAttrezzature", {{K::Field, "SottoProgressivo"}, {K::ParentLink, ""}}},
        {"DettagliVenditaMacchinari", "DettVendita", {{K::Field, "SottoProgressivo"}, {K::ParentLink, ""}}},
        {"DettagliProduzione", "DettProduzione", {{K::Field, "SottoProgressivo"}, {K::ParentLink, ""}}},
        {"OrdiniFornitore", "InxOrdiniFornitore", {{K::Field, "Fornitore"}, {K::ParentLink, ""}}},
        {"OrdiniInterni", "InxOrdiniFornitore", {{K::Field, "Fornitore"}, {K::ParentLink, ""}}},
        {"Ingressi", "Ingresso", {{K::Field, "Operaio"}, {K::Field, "Data"}}},
    };
    size_t named = 0;
    for (const auto& t : tables_)
        for (const auto& ix : t->indexes.items())
            if (!ix->name().isEmpty()) ++named;
    EXPECT_EQ(named, expected.size());
    for (const auto& e : expected) {
        SCOPED_TRACE(e.index);
        const odb::IndexDef* found = nullptr;
        for (const auto& ix : table(e.table).indexes.items())
            if (ix->name() == e.index) found = ix.get();
        ASSERT_NE(found, nullptr);
        EXPECT_TRUE(found->unique());
        ASSERT_EQ(found->columns().size(), e.columns.size());
        for (size_t i = 0; i < e.columns.size(); ++i) {
            EXPECT_EQ(found->columns()[i].kind, e.columns[i].kind);
            EXPECT_EQ(found->columns()[i].name, QString::fromUtf8(e.columns[i].name));
        }
    }
}

}  // namespace
