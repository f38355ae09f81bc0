// Definition to tables, and tables to stored SQL: creation, upgrade, recorded versions.
#include "odb/SchemaBuilder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include "odb/Connection.h"
#include "odb/ConnectionsTable.h"
#include "odb/DataSet.h"
#include "odb/Engine.h"
#include "odb/LibraryError.h"
#include "odb/SqlStatement.h"
#include "odb/StorageSchema.h"
#include "odb/Table.h"
#include "odb/condition/ConditionSql.h"

namespace odb {

QString LinkTableName(const QString& ownerTable, const QString& referenceName) {
    return QStringLiteral("_Link_") + ownerTable + QLatin1Char('_') + referenceName;
}

namespace {

[[noreturn]] void badDefinition(int32_t code, const QString& what) {
    LibraryError::Raise(code, LibraryError::Text(code) + QStringLiteral(": ") + what);
}

// A table read back from the file's own record of its definition (files opened without one).
class StoredTableDef : public itfDefTable {
  public:
    StoredTableDef(QString name, QJsonObject json) : name_(std::move(name)), json_(std::move(json)) {}
    QString Name() const override { return name_; }
    void DefineIdentity(TableIdentity& id) override {
        id.Version(json_.value(QStringLiteral("version")).toDouble(kDefaultTableVersion));
        id.Caption(json_.value(QStringLiteral("caption")).toString());
        id.BaseTable(json_.value(QStringLiteral("base")).toString());
        id.SetBaseKind(json_.value(QStringLiteral("shared")).toBool() ? BaseKind::SharedBase
                                                                      : BaseKind::Exclusive);
    }
    void DefineStructure(FieldDefs& fields, IndexDefs&, ReferenceDefs& refs) override {
        for (const auto& v : json_.value(QStringLiteral("fields")).toArray()) {
            const QJsonObject f = v.toObject();
            fields.AddField(f.value(QStringLiteral("name")).toString(),
                            f.value(QStringLiteral("type")).toInt(), f.value(QStringLiteral("size")).toInt(),
                            0, f.value(QStringLiteral("format")).toString(), -100, -100, -100,
                            f.value(QStringLiteral("shown")).toBool(true),
                            f.value(QStringLiteral("description")).toString(),
                            f.value(QStringLiteral("values")).toString(), 0);
        }
        for (const auto& v : json_.value(QStringLiteral("references")).toArray()) {
            const QJsonObject r = v.toObject();
            refs.AddReference(
                r.value(QStringLiteral("name")).toString(), r.value(QStringLiteral("target")).toString(),
                r.value(QStringLiteral("collection")).toBool(), r.value(QStringLiteral("owned")).toBool(),
                r.value(QStringLiteral("key")).toString(), r.value(QStringLiteral("display")).toString(),
                -100, -100, -100, {}, -2, -1, 0);
        }
    }
    void DefineDefaultData(itfSetData*& setData) override { setData = nullptr; }

  private:
    QString name_;
    QJsonObject json_;
};

QString describe(const Table& t) {
    QJsonObject o;
    o.insert(QStringLiteral("version"), t.Version());
    o.insert(QStringLiteral("caption"), t.Identity().caption());
    o.insert(QStringLiteral("base"), t.BaseTableName());
    o.insert(QStringLiteral("shared"), t.HasBaseTable() && t.GetBaseKind() == BaseKind::SharedBase);
    QJsonArray fields;
    for (const auto& f : t.OwnFields()) {
        QJsonObject j;
        j.insert(QStringLiteral("name"), f->name);
        j.insert(QStringLiteral("type"), f->type);
        j.insert(QStringLiteral("size"), f->size);
        j.insert(QStringLiteral("format"), f->format);
        j.insert(QStringLiteral("shown"), f->shown);
        j.insert(QStringLiteral("description"), f->description);
        j.insert(QStringLiteral("values"), f->valueList);
        fields.append(j);
    }
    o.insert(QStringLiteral("fields"), fields);
    QJsonArray refs;
    for (const auto& r : t.OwnReferences()) {
        QJsonObject j;
        j.insert(QStringLiteral("name"), r->name);
        j.insert(QStringLiteral("target"), r->targetTable);
        j.insert(QStringLiteral("collection"), r->collection);
        j.insert(QStringLiteral("owned"), r->owned);
        j.insert(QStringLiteral("key"), r->keyField);
        j.insert(QStringLiteral("display"), r->displayFields);
        refs.append(j);
    }
    o.insert(QStringLiteral("references"), refs);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

}  // namespace

std::vector<std::shared_ptr<Table>> SchemaBuilder::define(itfDefDatabase& definition) {
    DatabaseDef def;
    definition.Define(def);
    std::vector<std::shared_ptr<Table>> tables;
    QSet<QString> names;
    for (const auto& d : def.tables()) {
        if (!d) badDefinition(odbErrBadDefinition, QStringLiteral("tabella mancante"));
        auto t = std::make_shared<Table>(engine_, d);
        t->name_ = d->Name().normalized(QString::NormalizationForm_C);
        if (t->name_.isEmpty()) badDefinition(odbErrBadDefinition, QStringLiteral("tabella senza nome"));
        if (t->name_.startsWith(QLatin1Char('_'))) badDefinition(odbErrBadDefinition, t->name_);
        if (names.contains(t->name_.toLower())) badDefinition(odbErrDuplicateTable, t->name_);
        names.insert(t->name_.toLower());
        d->DefineIdentity(t->identity_);
        d->DefineStructure(t->fields_, t->indexes_, t->references_);
        itfSetData* events = nullptr;
        d->DefineDefaultData(events);
        t->events_ = events;
        tables.push_back(t);
    }
    // The library's own table of logged-in users comes last.
    auto conns = std::make_shared<ConnectionsTable>();
    if (names.contains(conns->Name().toLower())) badDefinition(odbErrDuplicateTable, conns->Name());
    auto t = std::make_shared<Table>(engine_, conns);
    t->name_ = conns->Name();
    conns->DefineIdentity(t->identity_);
    conns->DefineStructure(t->fields_, t->indexes_, t->references_);
    tables.push_back(t);
    return tables;
}

std::vector<std::shared_ptr<Table>> SchemaBuilder::readStored() {
    std::vector<std::shared_ptr<Table>> tables;
    if (!hasLibraryTables()) return tables;
    auto st = conn_.statement(
        QStringLiteral("SELECT Name, Definition FROM \"%1\" ORDER BY rowid").arg(kVersionsTable));
    std::vector<std::pair<QString, QString>> rows;
    while (st.step())
        rows.emplace_back(st.text(0), st.text(1));
    st.reset();
    for (const auto& [name, json] : rows) {
        auto d = std::make_shared<StoredTableDef>(name, QJsonDocument::fromJson(json.toUtf8()).object());
        auto t = std::make_shared<Table>(engine_, d);
        t->name_ = name;
        d->DefineIdentity(t->identity_);
        d->DefineStructure(t->fields_, t->indexes_, t->references_);
        tables.push_back(t);
    }
    return tables;
}

void SchemaBuilder::layout(Table& t) {
    std::vector<StoredColumn> columns;
    for (const auto& f : t.fields_.items()) {
        f->table = t.name_;
        columns.push_back({StoredColumn::Field, f->name, f->type, f.get(), nullptr});
    }
    for (const auto& r : t.references_.items()) {
        r->table = t.name_;
        if (!r->collection) columns.push_back({StoredColumn::Lookup, r->name, ftLong, nullptr, r.get()});
    }
    t.baseLinkDef_.reset();
    if (t.base_ && t.identity_.baseKind() == BaseKind::SharedBase) {
        auto link = std::make_shared<FieldDef>();
        link->name = t.BaseLinkField();
        link->type = ftLong;
        link->shown = false;
        link->table = t.name_;
        t.baseLinkDef_ = link;
        columns.push_back({StoredColumn::BaseLink, link->name, ftLong, link.get(), nullptr});
    }
    columns.push_back({StoredColumn::Owner, kOwnerColumn, ftText, nullptr, nullptr});
    columns.push_back({StoredColumn::OwnerOID, kOwnerOidColumn, ftLong, nullptr, nullptr});
    columns.push_back({StoredColumn::Derived, kDerivedColumn, ftText, nullptr, nullptr});
    t.setColumns(std::move(columns));
}

QString SchemaBuilder::sqlType(int32_t type) {
    switch (type) {
        case ftLong:
        case ftBoolean:
        case ftCurrency:
            return QStringLiteral("INTEGER");
        case ftDecimal:
        case ftQuantity:
        case ftDate:
        case ftTime:
        case ftDateTime:
            return QStringLiteral("REAL");
        default:
            return QStringLiteral("TEXT");
    }
}

QString SchemaBuilder::indexName(const Table& t, const QString& name, const QStringList& columns) {
    // Two tables may declare the same index name: the physical name carries the table's.
    return t.Name() + QLatin1Char('_') + (name.isEmpty() ? columns.join(QLatin1Char('_')) : name);
}

bool SchemaBuilder::hasLibraryTables() {
    auto st =
        conn_.statement(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?"));
    st.bind(1, kVersionsTable);
    st.step();
    return st.int64(0) > 0;
}

std::map<QString, double> SchemaBuilder::storedVersions() {
    std::map<QString, double> out;
    if (!hasLibraryTables()) return out;
    auto st = conn_.statement(QStringLiteral("SELECT Name, Version FROM \"%1\"").arg(kVersionsTable));
    while (st.step())
        out[st.text(0).toLower()] = st.real(1);
    return out;
}

QStringList SchemaBuilder::storedColumns(const QString& table) {
    QStringList out;
    auto st = conn_.statement(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
    st.bind(1, table);
    while (st.step())
        out << st.text(0).toLower();
    return out;
}

QStringList SchemaBuilder::storedIndexes(const QString& table) {
    QStringList out;
    auto st =
        conn_.statement(QStringLiteral("SELECT name FROM sqlite_master WHERE type='index' AND tbl_name=?"));
    st.bind(1, table);
    while (st.step())
        out << st.text(0).toLower();
    return out;
}

std::vector<SchemaBuilder::Plan> SchemaBuilder::plan(const std::vector<std::shared_ptr<Table>>& tables) {
    const auto versions = storedVersions();
    std::vector<Plan> out;
    for (const auto& t : tables) {
        Plan p;
        p.table = t.get();
        auto it = versions.find(t->Name().toLower());
        if (it == versions.end()) {
            p.create = true;
        } else if (it->second < t->Version()) {
            p.upgrade = true;
            p.oldVersion = it->second;
        } else {
            p.oldVersion = it->second;
        }
        out.push_back(p);
    }
    return out;
}

void SchemaBuilder::ensureLibraryTables() {
    // A file made before the mark, or empty, takes it with its first change.
    auto mark = conn_.statement(QStringLiteral("PRAGMA application_id"));
    const bool marked = mark.step() && mark.int64(0) == Connection::kApplicationId;
    mark.reset();
    if (!marked) conn_.exec(QStringLiteral("PRAGMA application_id=%1").arg(Connection::kApplicationId));
    conn_.exec(
        QStringLiteral("CREATE TABLE IF NOT EXISTS \"%1\" (Name TEXT PRIMARY KEY NOT NULL, Version REAL NOT "
                       "NULL, Definition TEXT)")
            .arg(kVersionsTable));
    conn_.exec(
        QStringLiteral("CREATE TABLE IF NOT EXISTS \"%1\" (Key TEXT PRIMARY KEY NOT NULL COLLATE NOCASE, "
                       "Value TEXT)")
            .arg(kSettingsTable));
}

bool SchemaBuilder::tableExists(const QString& name) {
    auto st =
        conn_.statement(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?"));
    st.bind(1, name);
    st.step();
    return st.int64(0) > 0;
}

void SchemaBuilder::link(const std::vector<std::shared_ptr<Table>>& tables) {
    auto find = [&](const QString& name) -> Table* {
        for (const auto& t : tables)
            if (t->name_.compare(name, Qt::CaseInsensitive) == 0) return t.get();
        return nullptr;
    };
    for (const auto& t : tables) {
        t->base_ = nullptr;
        t->derived_.clear();
        t->ownedTarget_ = false;
    }
    for (const auto& t : tables) {
        if (t->identity_.baseTable().isEmpty()) continue;
        Table* base = find(t->identity_.baseTable().normalized(QString::NormalizationForm_C));
        if (!base || base == t.get())
            badDefinition(odbErrUnknownTable, t->name_ + QStringLiteral(" -> ") + t->identity_.baseTable());
        t->base_ = base;
        base->derived_.push_back(t.get());
    }
    for (const auto& t : tables) {
        int steps = 0;
        for (const Table* b = t->base_; b; b = b->base_)
            if (++steps > static_cast<int>(tables.size())) badDefinition(odbErrBadDefinition, t->name_);
    }
    for (const auto& t : tables) {
        for (const auto& r : t->references_.items()) {
            Table* target = find(r->targetTable);
            if (!target)
                badDefinition(odbErrUnknownTable, t->name_ + QLatin1Char('.') + r->name +
                                                      QStringLiteral(" -> ") + r->targetTable);
            if (r->collection && r->owned) target->ownedTarget_ = true;
            r->ownerTable_ = t.get();
            r->refTable_ = target;
        }
    }
    for (const auto& t : tables) {
        // Field and reference names are unique along the chain, so derived rows read base fields
        // by their plain names.
        QSet<QString> seen;
        for (const Table* c = t.get(); c; c = c->base_) {
            for (const auto& f : c->fields_.items()) {
                const QString k = f->name.toLower();
                if (f->name.isEmpty() || f->name.startsWith(QLatin1Char('_')) || k == kOidColumn.toLower())
                    badDefinition(odbErrBadDefinition, c->name_ + QLatin1Char('.') + f->name);
                if (seen.contains(k))
                    badDefinition(odbErrDuplicateField, t->name_ + QLatin1Char('.') + f->name);
                seen.insert(k);
            }
            for (const auto& r : c->references_.items()) {
                const QString k = r->name.toLower();
                if (r->name.isEmpty() || r->name.startsWith(QLatin1Char('_')) || k == kOidColumn.toLower())
                    badDefinition(odbErrBadDefinition, c->name_ + QLatin1Char('.') + r->name);
                if (seen.contains(k))
                    badDefinition(odbErrDuplicateField, t->name_ + QLatin1Char('.') + r->name);
                seen.insert(k);
            }
        }
    }
    for (const auto& t : tables)
        layout(*t);
}

void SchemaBuilder::createTable(Table& t) {
    QStringList cols;
    const bool ownIdentity = !t.base_ || t.identity_.baseKind() == BaseKind::SharedBase;
    cols << (ownIdentity ? QStringLiteral("\"OID\" INTEGER PRIMARY KEY AUTOINCREMENT")
                         : QStringLiteral("\"OID\" INTEGER PRIMARY KEY"));
    for (const auto& c : t.columns_)
        cols << SqlQuote(c.name) + QLatin1Char(' ') + sqlType(c.type);
    conn_.exec(QStringLiteral("CREATE TABLE ") + t.sqlName() + QStringLiteral(" (") +
               cols.join(QStringLiteral(", ")) + QStringLiteral(")"));
    createIndexes(t, false);
    ensureLinkTables(t);
}

void SchemaBuilder::upgradeTable(Table& t) {
    const QStringList have = storedColumns(t.Name());
    if (have.isEmpty()) {
        createTable(t);
        return;
    }
    // Columns are only ever added: a column that holds data is never dropped.
    for (const auto& c : t.columns_)
        if (!have.contains(c.name.toLower()))
            conn_.exec(QStringLiteral("ALTER TABLE ") + t.sqlName() + QStringLiteral(" ADD COLUMN ") +
                       SqlQuote(c.name) + QLatin1Char(' ') + sqlType(c.type));
    createIndexes(t, true);
    ensureLinkTables(t);
}

void SchemaBuilder::createIndexes(Table& t, bool onlyMissing) {
    const QStringList have = onlyMissing ? storedIndexes(t.Name()) : QStringList();
    // Rows are found by their owner and by their base row. Made first: where a declared index
    // serves a query as well as these (an index of some rows only), SQLite takes the later one.
    conn_.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (\"_OwnerOID\", \"_Owner\")")
                   .arg(SqlQuote(t.Name() + QStringLiteral("__Owner")), t.sqlName()));
    if (t.baseLinkDef_)
        conn_.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                       .arg(SqlQuote(t.Name() + QStringLiteral("__Base")), t.sqlName(),
                            SqlQuote(t.BaseLinkField())));
    for (const auto& idx : t.indexes_.items()) {
        QStringList cols;
        bool physical = true;
        for (const auto& c : idx->columns()) {
            if (c.kind == IndexColumn::ParentLink) {
                cols << kOwnerColumn << kOwnerOidColumn;
                continue;
            }
            if (t.columnIndex(c.name) >= 0) {
                cols << t.columns_[static_cast<size_t>(t.columnIndex(c.name))].name;
            } else if (t.FieldByName(c.name) || t.FindReference(c.name)) {
                physical = false;  // a base table's field: no single SQL table holds both
            } else {
                badDefinition(odbErrBadDefinition, t.Name() + QStringLiteral(": indice su ") + c.name);
            }
        }
        if (!physical || cols.isEmpty()) continue;
        QStringList named;
        for (const auto& c : idx->columns())
            if (c.kind != IndexColumn::ParentLink) named << c.name;
        QStringList naming = named.isEmpty() ? cols : named;
        // Indexes of some rows over the same columns differ by their condition.
        if (idx->name().isEmpty() && !idx->condition().trimmed().isEmpty())
            naming << idx->condition().trimmed();
        const QString name = indexName(t, idx->name(), naming);
        if (onlyMissing && have.contains(name.toLower())) continue;
        QStringList quoted;
        for (const auto& c : cols)
            quoted << SqlQuote(c);
        conn_.exec(QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2 ON %3 (%4)%5")
                       .arg(idx->unique() ? QStringLiteral("UNIQUE ") : QString(), SqlQuote(name),
                            t.sqlName(), quoted.join(QStringLiteral(", ")), indexCondition(t, *idx)));
    }
}

QString SchemaBuilder::indexCondition(const Table& t, const IndexDef& idx) {
    if (idx.condition().trimmed().isEmpty()) return {};
    // Translated as queries translate it, so that SQLite sees the query's condition in the index's.
    StorageSchema schema(engine_);
    const SqlFragment f = ConditionSql(schema, t.Name(), t.sqlName()).Where(idx.condition());
    if (!f.values.empty() || f.sql.contains(QStringLiteral("SELECT"), Qt::CaseInsensitive))
        badDefinition(odbErrBadDefinition,
                      t.Name() + QStringLiteral(": condizione dell'indice ") + idx.condition());
    return QStringLiteral(" WHERE ") + f.sql;
}

void SchemaBuilder::ensureLinkTables(Table& t) {
    for (const auto& r : t.references_.items()) {
        if (!r->collection || r->owned) continue;
        const QString link = LinkTableName(t.Name(), r->name);
        conn_.exec(
            QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (OwnerOID INTEGER NOT NULL, TargetOID INTEGER NOT "
                           "NULL, PRIMARY KEY (OwnerOID, TargetOID))")
                .arg(SqlQuote(link)));
        conn_.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (TargetOID)")
                       .arg(SqlQuote(link + QStringLiteral("_Target")), SqlQuote(link)));
    }
}

void SchemaBuilder::recordVersion(const Table& t) {
    conn_
        .statement(
            QStringLiteral("INSERT OR REPLACE INTO \"%1\" (Name, Version, Definition) VALUES (?, ?, ?)")
                .arg(kVersionsTable))
        .bind(1, t.Name())
        .bind(2, t.Version())
        .bind(3, describe(t))
        .run();
}

void SchemaBuilder::open(Engine& engine, std::shared_ptr<Connection> connection, itfProgress* progress) {
    if (!connection || !connection->IsOpen()) LibraryError::Raise(odbErrNotOpen);
    if (!engine.definition()) LibraryError::Raise(odbErrBadDefinition);
    engine.reset(connection);
    SchemaBuilder builder(engine, *connection);
    std::vector<std::shared_ptr<Table>> defined;
    try {
        defined = builder.define(*engine.definition());
        SchemaBuilder::link(defined);
    } catch (...) {
        engine.reset(nullptr);
        throw;
    }
    engine.addTables(defined);

    // Reading the versions needs no lock; the write lock is taken only when something must change.
    bool needed = !builder.hasLibraryTables();
    if (!needed)
        for (const auto& p : builder.plan(defined))
            if (p.create || p.upgrade) needed = true;
    if (!needed) {
        engine.setOpen(true);
        if (connection->IsReadOnly() && engine.notify())
            engine.notify()->OnInternalMessage(&engine.database(),
                                               LibraryError::Text(odbErrReadOnlyDatabase));
        return;
    }
    if (connection->IsReadOnly()) {
        // Tables to create or upgrade in a file that cannot be written: the opening cannot be done.
        engine.reset(nullptr);
        LibraryError::Raise(odbErrReadOnlyDatabase);
    }

    const int total = static_cast<int>(defined.size());
    if (progress) progress->OnStart(odbEvtOpenDatabase, total);
    const int token = connection->beginWrite();
    try {
        builder.ensureLibraryTables();
        // Read again under the lock: another computer may have upgraded the file meanwhile.
        auto plans = builder.plan(defined);
        int count = 0;
        for (auto& p : plans) {
            ++count;
            if (p.create) {
                if (builder.tableExists(p.table->Name())) {
                    // Stored without a record of its version: keep its rows, add what is missing.
                    builder.upgradeTable(*p.table);
                    p.create = false;
                    p.upgrade = true;
                    p.oldVersion = 0;
                } else {
                    builder.createTable(*p.table);
                }
            } else if (p.upgrade) {
                builder.upgradeTable(*p.table);
            }
            if (p.create || p.upgrade) {
                if (itfNotifyEvent* notify = engine.notify())
                    notify->OnEvent(p.create ? odbEvtCreateTable : odbEvtUpgradeTable, &engine.database(),
                                    p.table->Name());
            }
            if (progress) {
                if (!progress->OnProgress(p.create ? odbEvtCreateTable : odbEvtUpgradeTable, total, count,
                                          nullptr, nullptr) ||
                    progress->OnStopped())
                    LibraryError::Raise(odbErrOpenStopped);
            }
        }
        engine.setOpen(true);
        engine.operation().setSilent(true);
        // After every structure exists: default rows of later tables name rows of earlier ones.
        for (auto& p : plans) {
            if (!(p.create || p.upgrade)) continue;
            if (itfSetData* ev = p.table->events()) {
                auto ds = p.table->OpenData();
                ev->OnUpdatedTableStruct(*ds, p.table->Version(), p.create ? 0.0 : p.oldVersion, p.create);
            }
            if (progress && progress->OnStopped()) LibraryError::Raise(odbErrOpenStopped);
        }
        engine.operation().setSilent(false);
        for (auto& p : plans)
            if (p.create || p.upgrade) builder.recordVersion(*p.table);
        connection->endWrite(token, true);
    } catch (...) {
        connection->endWrite(token, false);
        engine.reset(connection);
        engine.operation().reset();
        if (progress) progress->OnEnd(odbEvtOpenDatabase, total);
        throw;
    }
    if (progress) progress->OnEnd(odbEvtOpenDatabase, total);
}

void SchemaBuilder::attach(Engine& engine, std::shared_ptr<Connection> connection) {
    engine.reset(connection);
    SchemaBuilder builder(engine, *connection);
    auto tables = builder.readStored();
    SchemaBuilder::link(tables);
    engine.addTables(tables);
    engine.setOpen(true);
}

}  // namespace odb
