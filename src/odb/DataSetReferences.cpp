// Data sets: references (lookups, collections, base rows) and the rows related to the current one.
#include "odb/DataSetPrivate.h"

namespace odb {

std::shared_ptr<DataSet> DataSet::targetSet(const ReferenceDef& ref, int64_t oid) {
    const Table& target = d_->engine_.table(ref.targetTable);
    return oid > 0 ? onRow(d_->engine_, target, oid) : emptyOn(d_->engine_, target);
}

int64_t DataSet::findTarget(const ReferenceDef& ref, const Variant& value) {
    const Table& target = d_->engine_.table(ref.targetTable);
    QString field = ref.keyField;
    if (field.isEmpty()) {
        const QStringList display = ref.displayFieldList();
        if (!display.isEmpty()) field = display.front();
    }
    const FieldDef* f = field.isEmpty() ? nullptr : target.FieldByName(field);
    if (!f) {
        if (value.isNumeric()) return static_cast<int64_t>(value.toDouble());
        LibraryError::Raise(odbErrBadValue);
    }
    StorageSchema schema(d_->engine_);
    ConditionAliases aliases;
    auto resolved = schema.ResolveField(target.Name(), kAlias, QStringList{f->name}, aliases);
    const SqlValue stored = schema.StoredValue(value, f->type);
    auto st = d_->engine_.conn().statement(QStringLiteral("SELECT r.\"OID\" FROM ") + target.sqlName() +
                                           QStringLiteral(" r WHERE ") + resolved->sql +
                                           QStringLiteral(" = ? ORDER BY r.\"OID\" LIMIT 1"));
    bindValues(st, {stored});
    int64_t found = 0;
    if (st.step()) found = st.int64(0);
    st.reset();
    if (found == 0)
        LibraryError::Raise(odbErrBadValue, LibraryError::Text(odbErrBadValue) + QStringLiteral(": ") +
                                                ref.name + QStringLiteral(" = ") + value.toText() +
                                                QStringLiteral(" (elemento non trovato)"));
    return found;
}

void DataSet::setLookup(RowBuffer& b, int column, const ReferenceDef& ref, int64_t target) {
    row();
    const Variant old = b.values[static_cast<size_t>(column)];
    const int64_t oldOid = old.isNull() ? 0 : static_cast<int64_t>(old.toDouble());
    if (oldOid == target) return;
    const bool user = d_->engine_.operation().depth() == 1 && d_->engine_.operation().silent() == 0;
    auto oldSet = targetSet(ref, oldOid);
    d_->engine_.operation().beforeWrite(b);
    if (!b.isNew()) b.referenceChanged = true;
    raise([&](itfSetData& ev) { ev.OnBeforeUpdateReference(*this, *oldSet, ref.name, false, true); });
    b.values[static_cast<size_t>(column)] = target > 0 ? Variant(target) : Variant::null();
    b.changed[static_cast<size_t>(column)] = true;
    if (user) b.userEdited = true;
    auto newSet = targetSet(ref, target);
    raise([&](itfSetData& ev) { ev.OnUpdateReference(*this, *newSet, ref.name, false, true); });
}

void DataSet::setBaseLink(const Variant& value) {
    // A shared-base row leaves its provisional base row for the chosen stored one.
    row();
    const Table* base = d_->table_.BaseTable();
    const int64_t oid = value.isEmptyOrNull() ? 0 : static_cast<int64_t>(value.toDouble());
    RowBuffer* own = nullptr;
    for (const auto& b : d_->row_)
        if (b->table == &d_->table_) own = b.get();
    if (!own || !base) LibraryError::Raise(odbErrNoCurrentRow);
    auto chosen = oid > 0 ? d_->engine_.rows().rowChain(*base, oid) : RowChain();
    if (oid > 0 && chosen.empty())
        LibraryError::Raise(odbErrBadValue, LibraryError::Text(odbErrBadValue) + QStringLiteral(": ") +
                                                d_->table_.BaseLinkField() + QStringLiteral(" = ") +
                                                value.toText());
    const int ci = d_->table_.columnIndex(d_->table_.BaseLinkField());
    const QString name = d_->table_.BaseLinkField();
    raise([&](itfSetData& ev) { ev.OnBeforeUpdateField(*this, name); });
    saveState();
    d_->engine_.operation().beforeWrite(*own);
    own->values[static_cast<size_t>(ci)] = oid > 0 ? Variant(oid) : Variant::null();
    own->changed[static_cast<size_t>(ci)] = true;
    // The chain becomes: the chosen base row's chain, then this row and what extends it.
    RowChain next;
    if (oid > 0) {
        for (const auto& b : chosen) {
            next.push_back(b);
            if (b->table == base) break;
        }
    } else {
        for (const Table* t : base->chain()) {
            auto nb = std::make_shared<RowBuffer>(*t, 0);
            nb->provisional = true;
            next.push_back(nb);
        }
    }
    bool below = false;
    for (const auto& b : d_->row_) {
        if (b->table == &d_->table_) below = true;
        if (below) next.push_back(b);
    }
    d_->row_ = next;
    raise([&](itfSetData& ev) { ev.OnUpdateField(*this, name); });
}

bool DataSet::SetReference(const QString& referenceName, const Variant& value, bool remove) {
    requireEditable();
    if (refusedAsGone()) return false;
    requireRow();
    const ReferenceDef& ref = GetReferenceDef(referenceName);
    RowBuffer* holder = nullptr;
    for (const auto& b : row())
        if (b->table->Name().compare(ref.table, Qt::CaseInsensitive) == 0) holder = b.get();
    if (!holder) LibraryError::Raise(odbErrUnknownReference);
    if (!ref.collection) {
        const int ci = holder->table->columnIndex(ref.name);
        return d_->engine_.operation().run(this, [&]() {
            currentOrRefuse();
            const int64_t target = value.isEmptyOrNull() ? 0 : findTarget(ref, value);
            setLookup(*holder, ci, ref, target);
        });
    }
    if (ref.owned)
        LibraryError::Raise(odbErrUnknownReference,
                            LibraryError::Text(odbErrUnknownReference) + QStringLiteral(": ") + ref.name);
    return d_->engine_.operation().run(this, [&]() {
        currentOrRefuse();
        if (holder->isNew()) LibraryError::Raise(odbErrNoCurrentRow);
        int64_t target = 0;
        const Table& t = d_->engine_.table(ref.targetTable);
        if (value.isNumeric() && d_->engine_.rows().buffer(t, static_cast<int64_t>(value.toDouble())))
            target = static_cast<int64_t>(value.toDouble());
        else
            target = findTarget(ref, value);
        auto targetDs = onRow(d_->engine_, t, target);
        raise([&](itfSetData& ev) { ev.OnBeforeUpdateReference(*this, *targetDs, ref.name, remove, false); });
        const QString link = SqlQuote(LinkTableName(ref.table, ref.name));
        if (remove)
            d_->engine_.conn()
                .statement(QStringLiteral("DELETE FROM %1 WHERE OwnerOID=? AND TargetOID=?").arg(link))
                .bind(1, holder->oid)
                .bind(2, target)
                .run();
        else
            d_->engine_.conn()
                .statement(
                    QStringLiteral("INSERT OR IGNORE INTO %1 (OwnerOID, TargetOID) VALUES (?, ?)").arg(link))
                .bind(1, holder->oid)
                .bind(2, target)
                .run();
        raise([&](itfSetData& ev) { ev.OnUpdateReference(*this, *targetDs, ref.name, remove, false); });
    });
}

std::shared_ptr<DataSet> DataSet::GetReference(const QString& referenceName, const QString& where,
                                               const QString& asTable) {
    return referenceSet(referenceName, where, asTable, true);
}

namespace {
int64_t ExceptId(const Variant& except) {
    return except.isMissing() || except.isEmptyOrNull() ? 0 : static_cast<int64_t>(except.toDouble());
}
}  // namespace

bool DataSet::ReferenceHasRows(const QString& referenceName, const QString& where, const Variant& except) {
    return referenceSet(referenceName, where, {}, false)->anyRows({}, ExceptId(except)).front();
}

std::vector<bool> DataSet::ReferenceHasRowsEach(const QString& referenceName, const QStringList& wheres,
                                                const Variant& except) {
    if (wheres.isEmpty()) return {};
    return referenceSet(referenceName, {}, {}, false)->anyRows(wheres, ExceptId(except));
}

std::shared_ptr<DataSet> DataSet::referenceSet(const QString& referenceName, const QString& where,
                                               const QString& asTable, bool readRows) {
    requireRow();
    const ReferenceDef* ref = &GetReferenceDef(referenceName);
    Table& target = asTable.isEmpty() ? d_->engine_.table(ref->targetTable) : d_->engine_.table(asTable);
    const Table& declaring = d_->engine_.table(ref->table);
    auto ds = make(d_->engine_, target);
    Scope scope;
    scope.reference = ref;
    scope.ownerTable = &declaring;
    scope.ownerRow = row();
    if (!ref->collection) {
        scope.kind = Scope::Lookup;
        for (const auto& b : row())
            if (b->table == &declaring) {
                const Variant& v = b->values[static_cast<size_t>(declaring.columnIndex(ref->name))];
                if (!v.isNull()) scope.rows.push_back(static_cast<int64_t>(v.toDouble()));
            }
    } else {
        scope.kind = ref->owned ? Scope::Owned : Scope::Linked;
    }
    ds->open(where, {}, {}, std::move(scope), readRows);
    return ds;
}

std::shared_ptr<DataSet> DataSet::SelectReference(const QString& referenceName, bool baseRow) {
    requireRow();
    const ReferenceDef& ref = GetReferenceDef(referenceName);
    Table& target = d_->engine_.table(ref.targetTable);
    std::shared_ptr<DataSet> offered;
    QString eventName = ref.name;
    if (!ref.collection) {
        offered = target.OpenData();
    } else if (baseRow && target.HasBaseTable() && target.GetBaseKind() == BaseKind::SharedBase) {
        offered = target.BaseTable()->OpenData();
        eventName += QLatin1Char('.') + target.BaseTable()->Name();
    } else {
        offered = GetReference(ref.name);
    }
    const bool ok = d_->engine_.operation().run(
        this, [&]() { raise([&](itfSetData& ev) { ev.OnSelectReference(*this, *offered, eventName); }); });
    return ok ? offered : nullptr;
}

bool DataSet::ReferenceEmpty(const QString& referenceName) const {
    auto* self = const_cast<DataSet*>(this);
    const ReferenceDef* ref = &GetReferenceDef(referenceName);
    if (ref->collection) return !self->ReferenceHasRows(referenceName);
    const Variant key = ReferenceKey(referenceName);
    if (key.isNull()) return true;
    return !d_->engine_.rows().buffer(d_->engine_.table(ref->targetTable),
                                      static_cast<int64_t>(key.toDouble()));
}

Variant DataSet::ReferenceKey(const QString& referenceName, int32_t) const {
    Located l = locateOrRaise(referenceName);
    return l.buffer->values[static_cast<size_t>(l.column)];
}

const ReferenceDef* DataSet::FindReferenceDef(const QString& referenceName) const {
    // The row's tables as rowTables() lists them, without the list: asked at every check of a rule.
    const RowChain& chain = row();
    if (chain.empty()) {
        for (const Table* t : d_->table_.chain())
            if (const ReferenceDef* r = t->FindReference(referenceName)) return r;
    } else {
        for (const auto& b : chain)
            if (const ReferenceDef* r = b->table->FindReference(referenceName)) return r;
    }
    return d_->table_.FindReference(referenceName);
}

const ReferenceDef& DataSet::GetReferenceDef(const QString& referenceName) const {
    if (const ReferenceDef* r = FindReferenceDef(referenceName)) return *r;
    return d_->table_.Reference(referenceName);  // raises the unknown-reference error
}

std::shared_ptr<DataSet> DataSet::onRow(Engine& engine, const Table& table, int64_t oid) {
    auto ds = make(engine, const_cast<Table&>(table));
    Scope scope;
    scope.kind = Scope::Rows;
    scope.rows = {oid};
    ds->d_->scope_ = scope;
    ds->d_->ids_ = {oid};
    ds->d_->pos_ = 0;
    // The chain read here is the data set's row: not read again for its first use.
    ds->d_->row_ = engine.rows().rowChain(table, oid);
    if (ds->d_->row_.empty()) {
        ds->d_->ids_.clear();
        ds->d_->pos_ = -1;
    }
    return ds;
}

std::shared_ptr<DataSet> DataSet::onFullRow(Engine& engine, const Table& table, int64_t oid) {
    // The row as its most derived table sees it, so that the data set names the row's own kind.
    RowChain chain = engine.rows().rowChain(table, oid);
    if (chain.empty() || chain.back()->table == &table) {
        auto ds = make(engine, const_cast<Table&>(table));
        ds->d_->scope_.kind = Scope::Rows;
        ds->d_->scope_.rows = {oid};
        if (!chain.empty()) {
            ds->d_->ids_ = {oid};
            ds->d_->pos_ = 0;
            ds->d_->row_ = std::move(chain);
        }
        return ds;
    }
    return onRow(engine, *chain.back()->table, oid);
}

std::shared_ptr<DataSet> DataSet::emptyOn(Engine& engine, const Table& table) {
    auto ds = make(engine, const_cast<Table&>(table));
    ds->d_->scope_.kind = Scope::Empty;
    return ds;
}

std::shared_ptr<DataSet> DataSet::storedCopy() {
    auto ds = make(d_->engine_, d_->table_);
    ds->d_->detached_ = true;
    ds->d_->scope_.kind = Scope::Rows;
    for (const auto& b : row())
        ds->d_->row_.push_back(b->storedCopy());
    ds->d_->ids_ = {Bookmark().isNull() ? 0 : static_cast<int64_t>(Bookmark().toDouble())};
    ds->d_->scope_.rows = ds->d_->ids_;
    ds->d_->pos_ = 0;
    return ds;
}

std::shared_ptr<DataSet> DataSet::ParentRow() {
    requireRow();
    for (const auto& o : owners())
        return onFullRow(d_->engine_, *o.ownerTable, o.oid);
    return emptyOn(d_->engine_, d_->table_);
}

std::shared_ptr<DataSet> DataSet::OpenRelated(const QString& tableName, const QString& where) {
    requireRow();
    Table& other = d_->engine_.table(tableName);
    std::vector<int64_t> found;
    auto collect = [&](const QString& sql, int64_t id, const QString& label = {}) {
        auto st = d_->engine_.conn().statement(sql);
        st.bind(1, id);
        if (!label.isEmpty()) st.bind(2, label);
        while (st.step())
            found.push_back(st.int64(0));
    };
    auto inOther = [&](const QString& inner) {
        return QStringLiteral("SELECT r.\"OID\" FROM ") + other.sqlName() +
               QStringLiteral(" r WHERE r.\"OID\" IN (") + inner + QLatin1Char(')');
    };
    StorageSchema schema(d_->engine_);
    for (const auto& b : row()) {
        if (b->isNew()) continue;
        const QString me = b->table->Name();
        const int64_t id = b->oid;
        // Rows of `other` whose lookups lead to this row.
        for (const Table* t : other.chain())
            for (const auto& r : t->OwnReferences()) {
                if (r->collection || r->targetTable.compare(me, Qt::CaseInsensitive) != 0) continue;
                ConditionAliases aliases;
                auto link = schema.ResolveField(other.Name(), QStringLiteral("r"),
                                                QStringList{r->name, kOidColumn}, aliases);
                if (link)
                    collect(QStringLiteral("SELECT r.\"OID\" FROM ") + other.sqlName() +
                                QStringLiteral(" r WHERE ") + link->sql + QStringLiteral(" = ?"),
                            id);
            }
        // The owner of this row, when it is a row of `other` or of its chain.
        const Variant owner = b->values[static_cast<size_t>(b->table->columnIndex(kOwnerColumn))];
        const Variant ownerOid = b->values[static_cast<size_t>(b->table->columnIndex(kOwnerOidColumn))];
        if (!owner.isNull() && !ownerOid.isNull()) {
            const QString ownerTable = owner.toText().section(QLatin1Char('.'), 0, 0);
            for (const Table* t = &other; t; t = t->BaseTable())
                if (t->Name().compare(ownerTable, Qt::CaseInsensitive) == 0)
                    collect(inOther(QStringLiteral("?")), static_cast<int64_t>(ownerOid.toDouble()));
        }
        // Rows owned by this row or gathered by it.
        for (const auto& r : b->table->OwnReferences()) {
            if (!r->collection) continue;
            const Table* target = d_->engine_.findTable(r->targetTable);
            bool fits = false;
            for (const Table* t = &other; t; t = t->BaseTable())
                if (t == target) fits = true;
            if (!fits) continue;
            if (r->owned)
                collect(
                    inOther(QStringLiteral("SELECT \"OID\" FROM %1 WHERE \"_OwnerOID\"=? AND \"_Owner\"=?")
                                .arg(target->sqlName())),
                    id, me + QLatin1Char('.') + r->name);
            else
                collect(inOther(QStringLiteral("SELECT TargetOID FROM %1 WHERE OwnerOID=?")
                                    .arg(SqlQuote(LinkTableName(me, r->name)))),
                        id);
        }
        // Collections of `other` that gather this row without owning it.
        for (const Table* t : other.chain())
            for (const auto& r : t->OwnReferences())
                if (r->collection && !r->owned && r->targetTable.compare(me, Qt::CaseInsensitive) == 0)
                    collect(inOther(QStringLiteral("SELECT OwnerOID FROM %1 WHERE TargetOID=?")
                                        .arg(SqlQuote(LinkTableName(t->Name(), r->name)))),
                            id);
        // The same row in a table of its chain.
        for (const Table* t = &other; t; t = t->BaseTable())
            if (t == b->table) collect(inOther(QStringLiteral("?")), id);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    auto ds = make(d_->engine_, other);
    Scope scope;
    scope.kind = Scope::Rows;
    scope.rows = found;
    ds->open(where, {}, {}, scope);
    const Variant from = Bookmark();
    if (!from.isNull()) {
        ds->d_->relatedFromTable_ = &d_->table_;
        ds->d_->relatedFromOid_ = static_cast<int64_t>(from.toDouble());
    }
    return ds;
}

std::shared_ptr<DataSet> DataSet::OpenRelatedEx(const QString& tableName) {
    requireRow();
    const auto& chain = row();
    const RowBuffer* last = chain.back().get();
    if (!tableName.isEmpty()) {
        const Table& t = d_->engine_.table(tableName);
        for (const auto& b : chain)
            if (b->table == &t) return onRow(d_->engine_, t, b->oid);
        return OpenRelated(tableName);
    }
    return last->isNew() ? emptyOn(d_->engine_, *last->table) : onRow(d_->engine_, *last->table, last->oid);
}

std::shared_ptr<DataSet> DataSet::OpenTable(const QString& tableName, const QString& where,
                                            const QString& order) {
    Table& t = tableName.isEmpty() ? d_->table_ : d_->engine_.table(tableName);
    return t.OpenData(where, order);
}

std::shared_ptr<DataSet> DataSet::GetRelatedData(const QString& tableName) {
    requireRow();
    const auto& chain = row();
    if (tableName.isEmpty()) {
        // The base row of a derived row (the row itself without a base).
        const RowBuffer* base = chain.front().get();
        if (d_->table_.HasBaseTable()) {
            for (size_t i = 0; i < chain.size(); ++i)
                if (chain[i]->table == &d_->table_ && i > 0) base = chain[i - 1].get();
        }
        return base->isNew() ? emptyOn(d_->engine_, *base->table)
                             : onRow(d_->engine_, *base->table, base->oid);
    }
    const Table& t = d_->engine_.table(tableName);
    for (const auto& b : chain)
        if (b->table == &t) return b->isNew() ? emptyOn(d_->engine_, t) : onRow(d_->engine_, t, b->oid);
    return OpenRelated(tableName);
}

void DataSet::AttachData(const std::shared_ptr<DataSet>&) {
    // Rows are shared by buffer: both data sets already see the same values.
}

Variant DataSet::BaseKey() const {
    requireRow();
    const auto& chain = row();
    for (size_t i = 0; i < chain.size(); ++i)
        if (chain[i]->table == &d_->table_) {
            if (i == 0) return chain[i]->isNew() ? Variant::null() : Variant(chain[i]->oid);
            return chain[i - 1]->isNew() ? Variant::null() : Variant(chain[i - 1]->oid);
        }
    return Variant::null();
}

}  // namespace odb
