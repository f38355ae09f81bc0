// The row buffers of one open database: reading, re-reading, physical writes.
#include "odb/RowStore.h"

#include <cmath>
#include <limits>

#include "base/AppError.h"
#include "odb/Connection.h"
#include "odb/Engine.h"
#include "odb/RowBuffer.h"
#include "odb/SchemaBuilder.h"
#include "odb/SqlStatement.h"
#include "odb/Table.h"

namespace odb {

void RowStore::clear() {
    pages_.clear();
    lastRows_.clear();
    buffers_.clear();
    updateTexts_.clear();
}

bool RowStore::inOperation() const {
    return engine_.operation().inOperation();
}

int64_t RowStore::opSerial() const {
    return engine_.operation().serial();
}

Connection& RowStore::conn() const {
    return engine_.conn();
}

void RowStore::callStarts() {
    if (inOperation()) return;
    checkPending_ = true;
    ++callSerial_;
}

bool RowStore::fileAskedUnder(const Connection& c) const {
    // Inside BeginTrans the file cannot move under us: our lock (or, on a file opened for reading, our
    // read) keeps other computers' commits out until the transaction ends.
    return c.TransLevel() > 0 && c.lockSerial() == checkedLock_;
}

void RowStore::operationStarts(Connection& c, bool lockAsked) {
    if (lockAsked) {
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
}

void RowStore::operationEnds() {
    held_.clear();
}

Variant RowStore::fromStored(const Variant& stored, int32_t type) {
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

int64_t RowStore::WholeNumber(const Variant& value) {
    // A field's whole number is VB's Long: halves to even, error 6 outside its range.
    if (value.type() == VarType::Long || value.type() == VarType::Integer || value.type() == VarType::Byte) {
        const int64_t n = value.intValue();
        if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
            RaiseVbError(6);
        return n;
    }
    return value.toLong();
}

Variant RowStore::toStored(const Variant& value, int32_t type) {
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

int64_t RowStore::stamp() {
    const auto c = engine_.connection();
    if (!c || !c->IsOpen()) return stamp_;
    const int64_t lv = c->localVersion();
    if (inOperation()) {
        // Inside an operation the file is ours: only our own rollbacks and statements move it.
        if (lv != lastLocalVersion_) {
            lastLocalVersion_ = lv;
            ++stamp_;
        }
        return stamp_;
    }
    const int64_t dv = c->dataVersion();
    if (dv != lastDataVersion_ || lv != lastLocalVersion_) {
        lastDataVersion_ = dv;
        lastLocalVersion_ = lv;
        ++stamp_;
    }
    return stamp_;
}

namespace {
QString selectSql(const Table& t) {
    QStringList cols;
    for (const auto& c : t.columns())
        cols << SqlQuote(c.name);
    return QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
           t.sqlName() + QStringLiteral(" WHERE \"OID\"=?");
}
}  // namespace

void RowStore::reload(RowBuffer& b) {
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
        if (b.values.empty()) {
            // Its first read: the values are those read.
            b.stored = std::move(fresh);
            b.values = b.stored;
        } else {
            takeStored(b, std::move(fresh));
        }
    }
    st.reset();
    b.stamp = stamp_;
    b.readInCall = callSerial_;
    if (inOperation()) b.opSerial = opSerial();
}

void RowStore::takeStored(RowBuffer& b, std::vector<Variant> fresh) {
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

bool RowStore::sameStored(const Variant& a, const Variant& b, int32_t type) {
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

void RowStore::hold(const std::shared_ptr<RowBuffer>& b) {
    if (!inOperation() || b->heldIn == opSerial()) return;
    b->heldIn = opSerial();
    held_.push_back(b);
}

int64_t RowStore::heldStamp() {
    if (!inOperation() && checkPending_) {
        checkPending_ = false;
        stamp();
    }
    return stamp_;
}

void RowStore::ensureFresh(RowBuffer& b) {
    if (b.isNew()) return;
    if (inOperation()) {
        // Once per operation; a row read since the file last moved is as the file holds it.
        if (b.opSerial == opSerial()) return;
        if (b.stamp != stamp())
            reload(b);
        else
            b.opSerial = opSerial();
    } else if (b.readInCall != callSerial_ && b.stamp != heldStamp()) {
        // Read before this call began and the file moved since.
        reload(b);
    }
}

std::shared_ptr<RowBuffer> RowStore::buffer(const Table& t, int64_t oid) {
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
    auto b = std::make_shared<RowBuffer>(t, oid, RowBuffer::Unread{});
    reload(*b);
    if (b->deleted) return nullptr;
    buffers_[key] = b;
    hold(b);
    lastRows_[&t] = b;
    sweep();
    return b;
}

std::shared_ptr<RowBuffer> RowStore::heldFresh(const Table& t, int64_t oid) {
    auto it = buffers_.find(std::make_pair(&t, oid));
    if (it == buffers_.end()) return nullptr;
    auto b = it->second.lock();
    if (b && b->oid == oid &&
        (inOperation() ? b->opSerial == opSerial() || b->stamp == stamp()
                       : b->readInCall == callSerial_ || b->stamp == heldStamp()))
        return b;
    return nullptr;
}

void RowStore::prefetch(const Table& t, const std::vector<int64_t>& oids) {
    const auto held = [&](int64_t oid) { return heldFresh(t, oid); };
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
        if (inOperation()) b->opSerial = opSerial();
        hold(b);
        made.push_back(b);
    }
    st.reset();
    pages_[&t] = std::move(made);
}

void RowStore::remember(const std::shared_ptr<RowBuffer>& b) {
    buffers_[std::make_pair(b->table, b->oid)] = b;
    hold(b);
    sweep();
}

void RowStore::sweep() {
    // Rows no data set holds any more leave the registry now and then: once it has grown by as
    // many rows as it holds, so that a long run of new rows does not walk it again and again.
    if (++sinceSweep_ < 4096 || sinceSweep_ < static_cast<int>(buffers_.size())) return;
    sinceSweep_ = 0;
    for (auto it = buffers_.begin(); it != buffers_.end();)
        it = it->second.expired() ? buffers_.erase(it) : std::next(it);
}

void RowStore::forget(const Table& t, int64_t oid) {
    buffers_.erase(std::make_pair(&t, oid));
}

RowChain RowStore::rowChain(const Table& t, int64_t oid) {
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
        const Table* ext = engine_.findTable(d.toText());
        if (!ext || ext->BaseTable() != cur || ext->GetBaseKind() != BaseKind::Exclusive) break;
        auto eb = buffer(*ext, curBuf->oid);
        if (!eb) break;
        chain.push_back(eb);
        cur = ext;
        curBuf = eb;
    }
    return chain;
}

RowChain RowStore::newChain(const Table& t) {
    RowChain chain;
    for (const Table* c : t.chain()) {
        auto b = std::make_shared<RowBuffer>(*c, 0);
        b->createdIn = inOperation() ? opSerial() : -1;
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

void RowStore::insertRow(const std::shared_ptr<RowBuffer>& b) {
    engine_.operation().beforeWrite(*b);
    const Table& t = *b->table;
    const bool withOid = b->oid > 0;
    QString& sql = withOid ? t.cachedSql(Table::InsertWithOid) : t.cachedSql(Table::Insert);
    if (sql.isEmpty()) sql = buildInsertSql(t, withOid);
    // Numbered by the file: a rollback can take the row back out, so it needs no savepoint of its own.
    auto st = conn().statement(sql, !withOid);
    int i = 1;
    if (withOid) st.bind(i++, b->oid);
    for (size_t c = 0; c < t.columns().size(); ++c)
        st.bindStored(i++, toStored(b->values[c], t.columns()[c].type));
    st.run();
    if (!withOid) {
        b->oid = conn().lastInsertRowId();
        conn().rowAdded(t.Name(), b->oid);
    }
    // Guards taken on the row while it was new stay with it now that it is stored.
    if (engine_.operation().anyGuards())
        engine_.operation().moveGuards(b->newRowKey(), t.Name() + QLatin1Char('#') + QString::number(b->oid));
    // What was written is what a reader gets back (texts in NFC, numbers rounded).
    for (size_t c = 0; c < t.columns().size(); ++c)
        b->values[c] = fromStored(toStored(b->values[c], t.columns()[c].type), t.columns()[c].type);
    b->clearChanges();
    b->deleted = false;
    b->provisional = false;
    b->stamp = stamp_;
    b->opSerial = opSerial();
    remember(b);
    if (inOperation() && b->createdIn == opSerial()) {
        // Not saved by beforeWrite: a failed operation makes the row new again, and its identity,
        // which the file may give out again, leaves the registry.
        std::weak_ptr<RowBuffer> weak = b;
        const Table* table = b->table;
        const int64_t oid = b->oid;
        engine_.operation().addUndo(nullptr, [this, weak, table, oid]() {
            forget(*table, oid);
            if (auto p = weak.lock()) {
                p->oid = 0;
                p->deleted = false;
            }
        });
    }
}

void RowStore::updateRow(RowBuffer& b) {
    if (!b.isDirty()) return;
    engine_.operation().beforeWrite(b);
    const Table& t = *b.table;
    std::vector<size_t> idx;
    std::string changed(t.columns().size(), '0');
    for (size_t c = 0; c < t.columns().size(); ++c) {
        if (!b.changed[c]) continue;
        changed[c] = '1';
        idx.push_back(c);
    }
    QString& sql = updateTexts_[std::make_pair(&t, std::move(changed))];
    if (sql.isEmpty()) {
        QStringList sets;
        for (size_t c : idx)
            sets << SqlQuote(t.columns()[c].name) + QStringLiteral("=?");
        sql = QStringLiteral("UPDATE ") + t.sqlName() + QStringLiteral(" SET ") +
              sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE \"OID\"=?");
    }
    auto st = conn().statement(sql);
    int i = 1;
    for (size_t c : idx)
        st.bindStored(i++, toStored(b.values[c], t.columns()[c].type));
    st.bind(i, b.oid);
    const int64_t before = conn().totalChanges();
    st.run();
    lastUpdate_ = {&t, b.oid, before, conn().totalChanges()};
    for (size_t c : idx)
        b.values[c] = fromStored(toStored(b.values[c], t.columns()[c].type), t.columns()[c].type);
    b.clearChanges();
}

void RowStore::deleteRow(RowBuffer& b) {
    if (b.isNew()) return;
    engine_.operation().beforeWrite(b);
    const Table& t = *b.table;
    conn()
        .statement(QStringLiteral("DELETE FROM ") + t.sqlName() + QStringLiteral(" WHERE \"OID\"=?"))
        .bind(1, b.oid)
        .run();
    // Links of collections that gather this row without owning it.
    for (const auto& other : engine_.tables().items())
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

}  // namespace odb
