// The database definition walked through the schema objects alone: the rules every table, field,
// reference and index must keep. The tables themselves are in DatabaseOpeningTest.
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

    std::vector<std::unique_ptr<DefinedTable>> tables_;
    std::map<QString, const DefinedTable*> byName_;
};

TEST_F(Definition, EveryTableIsItsOwnEventObject) {
    for (const auto& t : tables_) {
        EXPECT_EQ(t->setData, dynamic_cast<odb::itfSetData*>(t->table.get()))
            << t->table->Name().toStdString();
    }
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

// A padded number is a whole number whose size is its digits (job-order and order numbers aside).
TEST_F(Definition, PaddedNumbersAreWholeNumbers) {
    for (const auto& t : tables_) {
        for (const auto& f : t->fields.items()) {
            if (f->format.isEmpty()) continue;
            const std::string where = (t->table->Name() + "." + f->name).toStdString();
            EXPECT_EQ(f->type, odb::ftLong) << where;
            EXPECT_EQ(f->format, QString(f->format.size(), QLatin1Char('0'))) << where;
            EXPECT_EQ(f->size, f->name == "Progressivo" || f->name == "Numero" ? 0 : f->format.size())
                << where;
        }
    }
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
    for (const auto& t : tables_) {
        for (const auto& r : t->references.items()) {
            const std::string where = (t->table->Name() + "." + r->name).toStdString();
            ASSERT_TRUE(has(r->targetTable)) << where;
            if (r->owned) {
                EXPECT_TRUE(r->collection) << where;
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
}

TEST_F(Definition, NamedIndexesAreUniqueAndColumnsNameWhatTheTableHas) {
    for (const auto& t : tables_) {
        const QString n = t->table->Name();
        const QSet<QString> fields = fieldNames(n), refs = referenceNames(n);
        for (const auto& ix : t->indexes.items()) {
            EXPECT_TRUE(ix->name().isEmpty() || ix->unique())
                << n.toStdString() << " " << ix->name().toStdString();
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

}  // namespace
