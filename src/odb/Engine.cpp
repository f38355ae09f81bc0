// The shared state of one open database: opening, row buffers, operations, guards.
#include "odb/Engine.h"

#include <cmath>
#include <limits>

#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/LibraryError.h"
#include "odb/RowBuffer.h"
#include "odb/SchemaBuilder.h"
#include "odb/SqlStatement.h"
#include "odb/Table.h"

namespace odb {

Engine::Engine(Database& database, std::shared_ptr<itfDefDatabase> definition, const QString& applicationName,
               itfNotifyEvent* notify)
    : database_(database),
      definition_(std::move(definition)),
      applicationName_(applicationName),
      notify_(notify) {}

Engine::~Engine() = default;

Connection& Engine::conn() const {
    if (!connection_ || !connection_->IsOpen()) LibraryError::Raise(odbErrNotOpen);
    return *connection_;
}

Table* Engine::findTable(const QString& name) const {
    return tables_.find(name);
}

Table& Engine::table(const QString& name) const {
    return tables_.Item(name);
}

// ---------------------------------------------------------------------------------------------
// Opening

void Engine::open(std::shared_ptr<Connection> connection, itfProgress* progress) {
    if (!connection || !connection->IsOpen()) LibraryError::Raise(odbErrNotOpen);
    if (!definition_) LibraryError::Raise(odbErrBadDefinition);
    open_ = false;
    pages_.clear();
    lastRows_.clear();
    tables_.clear();
    buffers_.clear();
    translations.clear();
    connection_ = connection;
    SchemaBuilder builder(*this, *connection);
    std::vector<std::shared_ptr<Table>> defined;
    try {
        defined = builder.define(*definition_);
        SchemaBuilder::link(defined);
    } catch (...) {
        connection_.reset();
        throw;
    }
    for (const auto& t : defined)
        tables_.add(t);

    // Reading the versions needs no lock; the write lock is taken only when something must change.
    bool needed = !builder.hasLibraryTables();
    if (!needed)
        for (const auto& p : builder.plan(defined))
            if (p.create || p.upgrade) needed = true;
    if (!needed) {
        open_ = true;
        if (connection->IsReadOnly() && notify_)
            notify_->OnInternalMessage(&database_, LibraryError::Text(odbErrReadOnlyDatabase));
        return;
    }
    if (connection->IsReadOnly()) {
        // Tables to create or upgrade in a file that cannot be written: the opening cannot be done.
        tables_.clear();
        connection_.reset();
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
                if (notify_)
                    notify_->OnEvent(p.create ? odbEvtCreateTable : odbEvtUpgradeTable, &database_,
                                     p.table->Name());
            }
            if (progress) {
                if (!progress->OnProgress(p.create ? odbEvtCreateTable : odbEvtUpgradeTable, total, count,
                                          nullptr, nullptr) ||
                    progress->OnStopped())
                    LibraryError::Raise(odbErrOpenStopped);
            }
        }
        open_ = true;
        ++silent;
        // After every structure exists: default rows of later tables name rows of earlier ones.
        for (auto& p : plans) {
            if (!(p.create || p.upgrade)) continue;
            if (itfSetData* ev = p.table->events()) {
                auto ds = p.table->OpenData();
                ev->OnUpdatedTableStruct(*ds, p.table->Version(), p.create ? 0.0 : p.oldVersion, p.create);
            }
            if (progress && progress->OnStopped()) LibraryError::Raise(odbErrOpenStopped);
        }
        --silent;
        for (auto& p : plans)
            if (p.create || p.upgrade) builder.recordVersion(*p.table);
        connection->endWrite(token, true);
    } catch (...) {
        connection->endWrite(token, false);
        open_ = false;
        silent = 0;
        depth_ = 0;
        pages_.clear();
        lastRows_.clear();
        buffers_.clear();
        guards_.clear();
        tables_.clear();
        if (progress) progress->OnEnd(odbEvtOpenDatabase, total);
        throw;
    }
    if (progress) progress->OnEnd(odbEvtOpenDatabase, total);
}

void Engine::attach(std::shared_ptr<Connection> connection) {
    connection_ = connection;
    translations.clear();
    SchemaBuilder builder(*this, *connection);
    auto tables = builder.readStored();
    SchemaBuilder::link(tables);
    tables_.clear();
    for (const auto& t : tables)
        tables_.add(t);
    open_ = true;
}

// ---------------------------------------------------------------------------------------------
// Parameters

bool Engine::readSetting(const QString& key, Variant& out) {
    SchemaBuilder builder(*this, conn());
    if (!builder.hasLibraryTables()) return false;
    auto st = conn().statement(QStringLiteral("SELECT Value FROM \"%1\" WHERE Key=?").arg(kSettingsTable));
    st.bind(1, key);
    if (!st.step()) return false;
    out = st.isNull(0) ? Variant::null() : Variant(st.text(0));
    return true;
}

void Engine::writeSetting(const QString& key, const Variant& value) {
    Connection& c = conn();
    const int token = c.beginWrite();
    try {
        SchemaBuilder(*this, c).ensureLibraryTables();
        auto st = c.statement(
            QStringLiteral("INSERT OR REPLACE INTO \"%1\" (Key, Value) VALUES (?, ?)").arg(kSettingsTable));
        st.bind(1, key);
        if (value.isEmptyOrNull())
            st.bindNull(2);
        else
            st.bind(2, value.toText());
        st.run();
    } catch (...) {
        c.endWrite(token, false);
        throw;
    }
    c.endWrite(token, true);
}

// ---------------------------------------------------------------------------------------------
// Values

Variant Engine::fromStored(const Variant& stored, int32_t type) {
    if (stored.isEmptyOrNull()) return Variant::null();
    switch (type) {
        case ftBoolean:
            return Variant(stored.toDouble() != 0);
        case ftLong: {
            if (stored.type() == VarType::Long || stored.type() == VarType::Integer) return stored;
            // Rounded as a write rounds; a text another program left is read in its own notation.
            const double d = RoundHalfEven(stored.isString()    ? stored.stringValue().toDouble()
                                           : stored.isNumeric() ? stored.toDouble()
                                                                : 0.0);
            if (!(std::fabs(d) < 9.2e18)) return Variant(d);
            return Variant(static_cast<int64_t>(d));
        }
        case ftCurrency:
            return Variant(
                Currency::fromRaw(stored.type() == VarType::Long || stored.type() == VarType::Integer
                                      ? stored.intValue()
                                      : static_cast<int64_t>(std::llround(stored.toDouble()))));
        case ftDate:
        case ftTime:
        case ftDateTime:
            return Variant::fromDate(stored.toDouble());
        case ftDecimal:
        case ftQuantity:
            return Variant(stored.toDouble());
        default:
            return stored.type() == VarType::String ? stored : Variant(stored.toText());
    }
}

int64_t Engine::WholeNumber(const Variant& value) {
    // A field's whole number is VB's Long: halves to even, error 6 outside its range.
    if (value.type() == VarType::Long || value.type() == VarType::Integer || value.type() == VarType::Byte) {
        const int64_t n = value.intValue();
        if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
            RaiseVbError(6);
        return n;
    }
    return value.toLong();
}

Variant Engine::toStored(const Variant& value, int32_t type) {
    if (value.isEmptyOrNull()) return Variant::null();
    switch (type) {
        case ftBoolean:
            return Variant(static_cast<int64_t>(value.toBool() ? 1 : 0));
        case ftLong: {
            // Row identities (links) are whole numbers past a Long's range too.
            if (value.type() == VarType::Long || value.type() == VarType::Integer)
                return Variant(value.intValue());
            const double d = RoundHalfEven(value.toDouble());
            if (!(std::fabs(d) < 9.2e18)) RaiseVbError(6);
            return Variant(static_cast<int64_t>(d));
        }
        case ftCurrency:
            return Variant(static_cast<int64_t>(value.toCurrency().raw()));
        case ftDate:
        case ftTime:
        case ftDateTime:
            return Variant(value.toDate());
        case ftDecimal:
        case ftQuantity:
            return Variant(value.toDouble());
        default:
            return Variant(value.toString().normalized(QString::NormalizationForm_C));
    }
}

int64_t Engine::stamp() {
    if (!connection_ || !connection_->IsOpen()) return stamp_;
    const int64_t lv = connection_->localVersion();
    if (depth_ > 0) {
        // Inside an operation the file is ours: only our own rollbacks and statements move it.
        if (lv != lastLocalVersion_) {
            lastLocalVersion_ = lv;
            ++stamp_;
        }
        return stamp_;
    }
    const int64_t dv = connection_->dataVersion();
    if (dv != lastDataVersion_ || lv != lastLocalVersion_) {
        lastDataVersion_ = dv;
        lastLocalVersion_ = lv;
        ++stamp_;
    }
    return stamp_;
}

// ---------------------------------------------------------------------------------------------
// Row buffers

namespace {
QString selectSql(const Table& t) {
    QStringList cols;
    for (const auto& c : t.columns())
        cols << SqlQuote(c.name);
    return QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
           t.sqlName() + QStringLiteral(" WHERE \"OID\"=?");
}
}  // namespace

void Engine::reload(RowBuffer& b) {
    if (b.isNew()) return;
    QString& sql = b.table->cachedSql(Table::Select);
    if (sql.isEmpty()) sql = selectSql(*b.table);
    auto st = conn().statement(sql);
    st.bind(1, b.oid);
    const auto& cols = b.table->columns();
    if (!st.step()) {
        b.deleted = true;
    } else {
        b.deleted = false;
        std::vector<Variant> fresh(cols.size());
        for (size_t i = 0; i < cols.size(); ++i)
            fresh[i] = fromStored(st.stored(static_cast<int>(i)), cols[i].type);
        takeStored(b, std::move(fresh));
    }
    st.reset();
    b.stamp = stamp_;
    b.readInCall = callSerial_;
    if (depth_ > 0) b.opSerial = opSerial_;
}

void Engine::takeStored(RowBuffer& b, std::vector<Variant> fresh) {
    // Edits pending on a row that another computer changed meanwhile were made, and their rules
    // derived values, from a row that no longer is: they go, and the row's next write or save says so.
    if (b.isDirty()) {
        const auto& cols = b.table->columns();
        for (size_t i = 0; i < cols.size(); ++i)
            if (!sameStored(b.stored[i], fresh[i], cols[i].type)) {
                std::fill(b.changed.begin(), b.changed.end(), false);
                b.userEdited = false;
                b.referenceChanged = false;
                b.lostEdits = true;
                break;
            }
    }
    b.stored = std::move(fresh);
    for (size_t i = 0; i < b.stored.size(); ++i)
        if (!b.changed[i]) b.values[i] = b.stored[i];
}

bool Engine::sameStored(const Variant& a, const Variant& b, int32_t type) {
    if (a.isEmptyOrNull() || b.isEmptyOrNull()) return a.isEmptyOrNull() && b.isEmptyOrNull();
    if (a.isString() || b.isString())
        return a.isString() && b.isString() && a.stringValue() == b.stringValue();
    const Variant x = toStored(a, type), y = toStored(b, type);
    if (x.isNull() || y.isNull()) return x.isNull() && y.isNull();
    if (x.type() != y.type()) return false;
    if (x.isString()) return x.stringValue() == y.stringValue();
    if (x.type() == VarType::Long || x.type() == VarType::Integer) return x.intValue() == y.intValue();
    return x.toDouble() == y.toDouble();
}

void Engine::hold(const std::shared_ptr<RowBuffer>& b) {
    if (depth_ == 0 || b->heldIn == opSerial_) return;
    b->heldIn = opSerial_;
    held_.push_back(b);
}

int64_t Engine::heldStamp() {
    if (depth_ == 0 && checkPending_) {
        checkPending_ = false;
        stamp();
    }
    return stamp_;
}

void Engine::ensureFresh(RowBuffer& b) {
    if (b.isNew()) return;
    if (depth_ > 0) {
        // Once per operation; a row read since the file last moved is as the file holds it.
        if (b.opSerial == opSerial_) return;
        if (b.stamp != stamp())
            reload(b);
        else
            b.opSerial = opSerial_;
    } else if (b.readInCall != callSerial_ && b.stamp != heldStamp()) {
        // Read before this call began and the file moved since.
        reload(b);
    }
}

std::shared_ptr<RowBuffer> Engine::buffer(const Table& t, int64_t oid) {
    if (oid <= 0) return nullptr;
    const auto key = std::make_pair(&t, oid);
    auto it = buffers_.find(key);
    if (it != buffers_.end()) {
        if (auto b = it->second.lock()) {
            if (b->oid == oid) {
                ensureFresh(*b);
                hold(b);
                return b->deleted ? nullptr : b;
            }
        }
        buffers_.erase(it);
    }
    auto b = std::make_shared<RowBuffer>(t, oid);
    reload(*b);
    if (b->deleted) return nullptr;
    buffers_[key] = b;
    hold(b);
    lastRows_[&t] = b;
    sweep();
    return b;
}

void Engine::prefetch(const Table& t, const std::vector<int64_t>& oids) {
    const auto held = [&](int64_t oid) -> std::shared_ptr<RowBuffer> {
        auto it = buffers_.find(std::make_pair(&t, oid));
        if (it == buffers_.end()) return nullptr;
        auto b = it->second.lock();
        if (b && b->oid == oid &&
            (depth_ > 0 ? b->opSerial == opSerial_ || b->stamp == stamp()
                        : b->readInCall == callSerial_ || b->stamp == heldStamp()))
            return b;
        return nullptr;
    };
    // The first row is the one wanted now: while it is held, the page was read already and the
    // rest is read when the walk gets there.
    if (oids.empty() || held(oids.front())) return;
    std::vector<int64_t> missing;
    // The page keeps every row of it alive, those still fresh included: a page that held only the
    // rows it read would let the others go and read them again at the next step.
    std::vector<std::shared_ptr<RowBuffer>> made;
    for (int64_t oid : oids) {
        if (auto b = held(oid))
            made.push_back(std::move(b));
        else
            missing.push_back(oid);
    }
    if (missing.size() < 2) return;  // one row alone is read as it comes
    QStringList cols;
    for (const auto& c : t.columns())
        cols << SqlQuote(c.name);
    // The list is bound as one value, so that the statement is prepared once for every page.
    auto st = conn().statement(QStringLiteral("SELECT \"OID\", ") + cols.join(QStringLiteral(", ")) +
                               QStringLiteral(" FROM ") + t.sqlName() + QStringLiteral(" WHERE \"OID\" IN ") +
                               SqlStatement::IdListSql());
    st.bind(1, SqlStatement::IdListValue(missing));
    // New buffers are made here.
    while (st.step()) {
        const int64_t oid = st.int64(0);
        std::shared_ptr<RowBuffer> b;
        auto it = buffers_.find(std::make_pair(&t, oid));
        if (it != buffers_.end()) b = it->second.lock();
        if (!b || b->oid != oid) {
            b = std::make_shared<RowBuffer>(t, oid);
            buffers_[std::make_pair(&t, oid)] = b;
            sweep();
        }
        const auto& cols2 = t.columns();
        std::vector<Variant> fresh(cols2.size());
        for (size_t i = 0; i < cols2.size(); ++i)
            fresh[i] = fromStored(st.stored(static_cast<int>(i) + 1), cols2[i].type);
        takeStored(*b, std::move(fresh));
        b->deleted = false;
        b->stamp = stamp_;
        b->readInCall = callSerial_;
        if (depth_ > 0) b->opSerial = opSerial_;
        hold(b);
        made.push_back(b);
    }
    st.reset();
    pages_[&t] = std::move(made);
}

void Engine::remember(const std::shared_ptr<RowBuffer>& b) {
    buffers_[std::make_pair(b->table, b->oid)] = b;
    hold(b);
    sweep();
}

void Engine::sweep() {
    // Rows no data set holds any more leave the registry now and then.
    if (++sinceSweep_ < 4096) return;
    sinceSweep_ = 0;
    for (auto it = buffers_.begin(); it != buffers_.end();)
        it = it->second.expired() ? buffers_.erase(it) : std::next(it);
}

void Engine::forget(const Table& t, int64_t oid) {
    buffers_.erase(std::make_pair(&t, oid));
}

RowChain Engine::rowChain(const Table& t, int64_t oid) {
    RowChain chain;
    auto own = buffer(t, oid);
    if (!own) return chain;
    chain.push_back(own);
    // Up to the base-most row.
    const Table* cur = &t;
    std::shared_ptr<RowBuffer> curBuf = own;
    while (cur->BaseTable()) {
        const Table* base = cur->BaseTable();
        int64_t baseOid = curBuf->oid;
        if (cur->GetBaseKind() == BaseKind::SharedBase) {
            const int li = cur->columnIndex(cur->BaseLinkField());
            const Variant& link = curBuf->values[static_cast<size_t>(li)];
            baseOid = link.isNull() ? 0 : static_cast<int64_t>(link.toDouble());
        }
        auto bb = buffer(*base, baseOid);
        if (!bb) {
            // A shared-base row whose part is gone still reads its own fields.
            bb = std::make_shared<RowBuffer>(*base, 0);
            bb->provisional = true;
        }
        chain.insert(chain.begin(), bb);
        cur = base;
        curBuf = bb;
    }
    // Down through the exclusive extensions of the row.
    cur = &t;
    curBuf = own;
    for (int guard = 0; guard < 16; ++guard) {
        const int di = cur->columnIndex(kDerivedColumn);
        const Variant& d = curBuf->values[static_cast<size_t>(di)];
        if (d.isNull() || d.toText().isEmpty()) break;
        const Table* ext = findTable(d.toText());
        if (!ext || ext->BaseTable() != cur || ext->GetBaseKind() != BaseKind::Exclusive) break;
        auto eb = buffer(*ext, curBuf->oid);
        if (!eb) break;
        chain.push_back(eb);
        cur = ext;
        curBuf = eb;
    }
    return chain;
}

RowChain Engine::newChain(const Table& t) {
    RowChain chain;
    for (const Table* c : t.chain()) {
        auto b = std::make_shared<RowBuffer>(*c, 0);
        b->createdIn = depth_ > 0 ? opSerial_ : -1;
        if (c != &t && t.GetBaseKind() == BaseKind::SharedBase && c == t.BaseTable()) b->provisional = true;
        chain.push_back(b);
    }
    return chain;
}

namespace {
QString buildInsertSql(const Table& t, bool withOid) {
    QStringList cols, marks;
    if (withOid) {
        cols << SqlQuote(kOidColumn);
        marks << QStringLiteral("?");
    }
    for (const auto& c : t.columns()) {
        cols << SqlQuote(c.name);
        marks << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO ") + t.sqlName() + QStringLiteral(" (") +
           cols.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) +
           QStringLiteral(")");
}
}  // namespace

void Engine::insertRow(const std::shared_ptr<RowBuffer>& b) {
    beforeWrite(*b);
    const Table& t = *b->table;
    const bool withOid = b->oid > 0;
    QString& sql = withOid ? t.cachedSql(Table::InsertWithOid) : t.cachedSql(Table::Insert);
    if (sql.isEmpty()) sql = buildInsertSql(t, withOid);
    auto st = conn().statement(sql);
    int i = 1;
    if (withOid) st.bind(i++, b->oid);
    for (size_t c = 0; c < t.columns().size(); ++c)
        st.bindStored(i++, toStored(b->values[c], t.columns()[c].type));
    st.run();
    if (!withOid) b->oid = conn().lastInsertRowId();
    // Guards taken on the row while it was new stay with it now that it is stored.
    const QString newKey = QLatin1Char('@') + b->newRowKey();
    const QString storedKey = QLatin1Char('@') + t.Name() + QLatin1Char('#') + QString::number(b->oid);
    for (const QString& key : guards_.keys())
        if (key.endsWith(newKey)) {
            guards_.remove(key);
            guards_.insert(key.left(key.size() - newKey.size()) + storedKey, 1);
        }
    // What was written is what a reader gets back (texts in NFC, numbers rounded).
    for (size_t c = 0; c < t.columns().size(); ++c)
        b->values[c] = fromStored(toStored(b->values[c], t.columns()[c].type), t.columns()[c].type);
    b->clearChanges();
    b->deleted = false;
    b->provisional = false;
    b->stamp = stamp_;
    b->opSerial = opSerial_;
    remember(b);
    if (depth_ > 0 && b->createdIn == opSerial_) {
        // Not saved by beforeWrite: a failed operation makes the row new again, and its identity,
        // which the file may give out again, leaves the registry.
        std::weak_ptr<RowBuffer> weak = b;
        const Table* table = b->table;
        const int64_t oid = b->oid;
        addUndo(nullptr, [this, weak, table, oid]() {
            forget(*table, oid);
            if (auto p = weak.lock()) {
                p->oid = 0;
                p->deleted = false;
            }
        });
    }
}

void Engine::updateRow(RowBuffer& b) {
    if (!b.isDirty()) return;
    beforeWrite(b);
    const Table& t = *b.table;
    QStringList sets;
    std::vector<size_t> idx;
    for (size_t c = 0; c < t.columns().size(); ++c) {
        if (!b.changed[c]) continue;
        sets << SqlQuote(t.columns()[c].name) + QStringLiteral("=?");
        idx.push_back(c);
    }
    auto st = conn().statement(QStringLiteral("UPDATE ") + t.sqlName() + QStringLiteral(" SET ") +
                               sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE \"OID\"=?"));
    int i = 1;
    for (size_t c : idx)
        st.bindStored(i++, toStored(b.values[c], t.columns()[c].type));
    st.bind(i, b.oid);
    st.run();
    for (size_t c : idx)
        b.values[c] = fromStored(toStored(b.values[c], t.columns()[c].type), t.columns()[c].type);
    b.clearChanges();
}

void Engine::deleteRow(RowBuffer& b) {
    if (b.isNew()) return;
    beforeWrite(b);
    const Table& t = *b.table;
    conn()
        .statement(QStringLiteral("DELETE FROM ") + t.sqlName() + QStringLiteral(" WHERE \"OID\"=?"))
        .bind(1, b.oid)
        .run();
    // Links of collections that gather this row without owning it.
    for (const auto& other : tables_.items())
        for (const auto& r : other->OwnReferences())
            if (r->collection && !r->owned && r->targetTable.compare(t.Name(), Qt::CaseInsensitive) == 0)
                conn()
                    .statement(QStringLiteral("DELETE FROM %1 WHERE TargetOID=?")
                                   .arg(SqlQuote(LinkTableName(other->Name(), r->name))))
                    .bind(1, b.oid)
                    .run();
    for (const auto& r : t.OwnReferences())
        if (r->collection && !r->owned)
            conn()
                .statement(QStringLiteral("DELETE FROM %1 WHERE OwnerOID=?")
                               .arg(SqlQuote(LinkTableName(t.Name(), r->name))))
                .bind(1, b.oid)
                .run();
    b.deleted = true;
}

// ---------------------------------------------------------------------------------------------
// Operations

void Engine::beforeWrite(RowBuffer& b) {
    if (depth_ == 0 || b.createdIn == opSerial_ || undoKeys_.count(&b)) return;
    undoKeys_.insert(&b);
    RowBuffer copy = b;
    RowBuffer* target = &b;
    const Table* table = b.table;
    const int64_t oid = b.oid;
    undo_.push_back([this, copy, target, table, oid]() {
        // A row inserted in the failed operation is forgotten (its identity may come back).
        if (oid == 0 && target->oid != 0) forget(*table, target->oid);
        // Saves and deletions under way have unwound by now; their counts are not state.
        const int saving = target->saving, deleting = target->deleting;
        *target = copy;
        target->saving = saving;
        target->deleting = deleting;
    });
}

void Engine::addUndo(const void* key, std::function<void()> undo) {
    if (depth_ == 0) return;
    if (key) {
        if (undoKeys_.count(key)) return;
        undoKeys_.insert(key);
    }
    undo_.push_back(std::move(undo));
}

void Engine::rollbackOperation() {
    for (auto it = undo_.rbegin(); it != undo_.rend(); ++it)
        (*it)();
    undo_.clear();
    undoKeys_.clear();
    held_.clear();
}

bool Engine::isQuietOwner(const ReferenceDef* reference, int64_t oid) const {
    for (const auto& q : quietOwners)
        if (q.first == reference && q.second == oid) return true;
    return false;
}

bool Engine::run(DataSet* source, const std::function<void()>& body, bool readFirst) {
    if (depth_ > 0) {
        ++depth_;
        try {
            body();
        } catch (...) {
            --depth_;
            throw;
        }
        --depth_;
        return true;
    }
    Connection& c = conn();
    const auto guardsBefore = guards_;
    const auto quietBefore = quietOwners;
    // Inside BeginTrans the write lock is held throughout: the file is asked once, by the first
    // operation; later ones only heed our own rollbacks.
    const bool lockHeld = c.TransLevel() > 0 && !readFirst && c.lockSerial() == checkedLock_;
    const int token = c.beginWrite(readFirst);
    // Once per operation, under the lock: rows kept from before are read again if the file moved.
    try {
        if (lockHeld) {
            const int64_t lv = c.localVersion();
            if (lv != lastLocalVersion_) {
                lastLocalVersion_ = lv;
                ++stamp_;
            }
        } else {
            stamp();
            checkedLock_ = c.lockSerial();
        }
        checkPending_ = false;
    } catch (...) {
        c.endWrite(token, false);
        throw;
    }
    depth_ = 1;
    ++opSerial_;
    undo_.clear();
    undoKeys_.clear();
    claimBeforeShowing_ = readFirst && !c.IsReadOnly();
    shown_ = false;
    try {
        body();
        c.endWrite(token, true);
    } catch (const AppError& e) {
        c.endWrite(token, false);
        depth_ = 0;
        rollbackOperation();
        guards_ = guardsBefore;
        quietOwners = quietBefore;
        // A plain BEGIN cannot wait for another computer's write lock once it has read: SQLite
        // answers busy at once. Everything is undone, so run it again under BEGIN IMMEDIATE, which waits.
        // Never when the user has seen something of it: a question would be asked twice.
        if (readFirst && !shown_ && LibraryError::Is(e, odbErrBusy)) return run(source, body, false);
        if (LibraryError::Is(e, odbErrRefused) || LibraryError::Is(e, odbErrRowChanged) ||
            LibraryError::Is(e, odbErrRowDeleted)) {
            showMessage(source, e.description());
            return false;
        }
        if (LibraryError::Is(e, odbErrCancelled)) return false;
        throw;
    } catch (...) {
        c.endWrite(token, false);
        depth_ = 0;
        rollbackOperation();
        guards_ = guardsBefore;
        quietOwners = quietBefore;
        throw;
    }
    depth_ = 0;
    undo_.clear();
    undoKeys_.clear();
    held_.clear();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Guards and messages

bool Engine::lockGuard(const QString& name, const QString& rowKey) {
    const QString key = name.toLower() + QLatin1Char('@') + rowKey;
    if (guards_.contains(key)) return false;
    guards_.insert(key, 1);
    return true;
}

bool Engine::isGuardLocked(const QString& name, const QString& rowKey) const {
    return guards_.contains(name.toLower() + QLatin1Char('@') + rowKey);
}

void Engine::unlockGuard(const QString& name, const QString& rowKey) {
    guards_.remove(name.toLower() + QLatin1Char('@') + rowKey);
}

void Engine::releaseGuards(const QString& rowKey) {
    const QString suffix = QLatin1Char('@') + rowKey;
    for (auto it = guards_.begin(); it != guards_.end();)
        it = it.key().endsWith(suffix) ? guards_.erase(it) : std::next(it);
}

void Engine::noteNewRowGuard(const std::shared_ptr<RowBuffer>& b) {
    // The guards of new rows that went without being stored or cancelled go with them.
    for (auto it = newRowGuards_.begin(); it != newRowGuards_.end();) {
        if (it->first.expired()) {
            releaseGuards(it->second);
            it = newRowGuards_.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& [weak, key] : newRowGuards_)
        if (key == b->newRowKey()) return;
    newRowGuards_.emplace_back(b, b->newRowKey());
}

void Engine::showMessage(void* source, const QString& text) {
    beforeShowing();
    if (notify_) notify_->OnInternalMessage(source, text);
}

void Engine::beforeShowing() {
    if (depth_ == 0) return;
    // An operation that read first takes the write lock before the user sees anything of it: if
    // another computer holds it, the operation runs again from the start, nothing shown twice.
    if (claimBeforeShowing_) {
        conn().statement(QStringLiteral("UPDATE \"%1\" SET Name=Name WHERE 0").arg(kVersionsTable)).run();
        claimBeforeShowing_ = false;
    }
    shown_ = true;
}

}  // namespace odb
