// Data sets: work over all the rows at once: deletion, aggregates, import.
#include "odb/DataSetPrivate.h"

namespace odb {

bool DataSet::DeleteRows(itfProgress* progress) {
    requireEditable();
    return d_->engine_.operation().run(this, [&]() {
        // Undone, a failure half way leaves the data set on the row it stood on.
        saveState();
        std::shared_ptr<DataSet> owner;
        const bool collection =
            (d_->scope_.kind == Scope::Owned || d_->scope_.kind == Scope::Linked) && d_->scope_.reference;
        if (collection) {
            const int64_t ownerOid = ownerOidOf(d_->scope_);
            owner = onFullRow(d_->engine_, *d_->scope_.ownerTable, ownerOid);
            if (owner->DataEmpty()) owner.reset();
        }
        const QString name = collection ? d_->scope_.reference->name : QString();
        auto none = emptyOn(d_->engine_, d_->table_);
        if (owner) owner->ownerEvent(false, *none, name, true);
        const int total = static_cast<int>(d_->ids_.size());
        int count = 0;
        {
            ProgressScope progressing(progress, odbEvtDeleteRows, total);
            QuietOwner quiet(d_->engine_, owner ? d_->scope_.reference : nullptr, ownerOidOf(d_->scope_));
            while (!d_->ids_.empty()) {
                d_->pos_ = 0;
                const size_t before = d_->ids_.size();
                if (d_->scope_.kind == Scope::Linked) {
                    const int64_t ownerOid = ownerOidOf(d_->scope_);
                    d_->engine_.conn()
                        .statement(QStringLiteral("DELETE FROM %1 WHERE OwnerOID=? AND TargetOID=?")
                                       .arg(SqlQuote(LinkTableName(d_->scope_.ownerTable->Name(),
                                                                   d_->scope_.reference->name))))
                        .bind(1, ownerOid)
                        .bind(2, d_->ids_.front())
                        .run();
                    eraseId(0);
                    d_->row_.clear();
                } else {
                    deleteCurrent(true);
                }
                if (d_->ids_.size() >= before) break;
                ++count;
                if (progress && !progress->OnProgress(odbEvtDeleteRows, total, count, this, nullptr))
                    LibraryError::Raise(odbErrCancelled);
            }
        }
        if (owner) owner->ownerEvent(true, *none, name, true);
        d_->pos_ = -1;
    });
}

Variant DataSet::Aggregate(const QString& expression, int32_t op, int32_t, int32_t) {
    StorageSchema schema(d_->engine_);
    ConditionSql sql(schema, d_->table_.Name(), kAlias);
    SqlFragment e = sql.Expression(expression);
    if (d_->scope_.kind == Scope::Owned || d_->scope_.kind == Scope::Linked) {
        bool stored = false;
        for (const auto& b : d_->scope_.ownerRow)
            if (b->table == d_->scope_.ownerTable && !b->isNew()) stored = true;
        if (!stored) return e.type == ftCurrency ? Variant(Currency()) : Variant(0);
    }
    const char* fn = op == aggMax ? "MAX" : op == aggMin ? "MIN" : op == aggCount ? "COUNT" : "TOTAL";
    std::vector<SqlValue> values;
    const QString text = selectSql({}, values, false, QStringLiteral("%1(%2)").arg(QLatin1String(fn), e.sql));
    std::vector<SqlValue> all = e.values;
    all.insert(all.end(), values.begin(), values.end());
    auto st = d_->engine_.conn().statement(text);
    bindValues(st, all);
    Variant out;
    if (st.step() && !st.isNull(0)) {
        if (op == aggCount)
            out = Variant(st.int64(0));
        else if (e.type == ftCurrency)
            out = Variant(Currency::fromRaw(std::llround(st.real(0))));
        else if (e.type == ftLong || e.type == ftBoolean)
            out = Variant(static_cast<int64_t>(std::llround(st.real(0))));
        else if (e.type == ftDate || e.type == ftDateTime || e.type == ftTime)
            out = Variant::fromDate(st.real(0));
        else
            out = Variant(st.real(0));
    }
    st.reset();
    if (out.isEmpty()) return e.type == ftCurrency ? Variant(Currency()) : Variant(0);
    return out;
}

// The row being imported as the user knows it: by the first unique index of the destination's
// definition (an attached archive's tables carry no indexes) when the row has its fields.
QString DataSet::importedRowName(DataSet& destination) {
    const QString caption = destination.d_->table_.Caption();
    for (const auto& b : destination.row())
        for (const auto& idx : b->table->OwnIndexes()) {
            if (!idx->unique()) continue;
            QStringList parts;
            for (const IndexColumn& c : idx->columns())
                if (c.kind == IndexColumn::Field && ColExists(c.name))
                    parts << c.name + QStringLiteral(" = ") + ColValue(c.name).toText();
            if (!parts.isEmpty())
                return QStringLiteral("L'elemento di %1 con %2")
                    .arg(caption, parts.join(QStringLiteral(", ")));
        }
    return QStringLiteral("L'elemento n. %1 di %2").arg(d_->pos_ + 1).arg(caption);
}

int32_t DataSet::ImportRows(DataSet& destination, itfProgress* progress) {
    int32_t copied = 0;
    const int total = static_cast<int>(d_->ids_.size());
    Engine& dest = destination.d_->engine_;
    const bool ok = dest.operation().run(&destination, [&]() {
        LibraryFills fills(dest.operation());
        std::shared_ptr<DataSet> owner;
        const auto& sc = destination.d_->scope_;
        const bool collection = (sc.kind == Scope::Owned || sc.kind == Scope::Linked) && sc.reference;
        if (collection) {
            const int64_t ownerOid = ownerOidOf(sc);
            owner = onFullRow(dest, *sc.ownerTable, ownerOid);
        }
        auto none = emptyOn(dest, destination.d_->table_);
        if (owner) owner->ownerEvent(false, *none, sc.reference->name, false);
        std::map<std::pair<const ReferenceDef*, int64_t>, std::optional<Variant>> sourceKeys;
        std::map<std::pair<const ReferenceDef*, QString>, int64_t> destinationRows;
        // Per source table, once: which of its fields the destination has, and the destination's
        // reference for each of its lookups.
        struct Plan {
            std::vector<bool> copied;
            std::vector<const ReferenceDef*> references;
        };
        std::map<const Table*, Plan> plans;
        const auto planOf = [&](const Table& t) -> const Plan& {
            auto it = plans.find(&t);
            if (it != plans.end()) return it->second;
            Plan plan;
            for (const StoredColumn& col : t.columns()) {
                plan.copied.push_back(col.kind == StoredColumn::Field &&
                                      destination.d_->table_.HasField(col.name));
                const ReferenceDef* dref = col.kind == StoredColumn::Lookup
                                               ? destination.d_->table_.FindReference(col.name)
                                               : nullptr;
                plan.references.push_back(dref && !dref->collection ? dref : nullptr);
            }
            return plans.emplace(&t, std::move(plan)).first->second;
        };
        {
            ProgressScope progressing(progress, odbEvtImportRows, total);
            QuietOwner quiet(dest, owner ? sc.reference : nullptr, ownerOidOf(sc));
            for (size_t i = 0; i < d_->ids_.size(); ++i) {
                d_->pos_ = static_cast<int64_t>(i);
                const RowChain& src = row();
                destination.startNewRow();
                for (const auto& b : src) {
                    const Plan& plan = planOf(*b->table);
                    for (size_t c = 0; c < b->table->columns().size(); ++c)
                        if (plan.copied[c] && !b->values[c].isNull())
                            destination.SetColValue(b->table->columns()[c].name, b->values[c]);
                }
                // Lookups travel by the referenced row's key value: read once per referenced row,
                // resolved once per key in the destination.
                for (const auto& b : src)
                    for (size_t c = 0; c < b->table->columns().size(); ++c) {
                        const StoredColumn& col = b->table->columns()[c];
                        const ReferenceDef* dref = planOf(*b->table).references[c];
                        if (!dref || b->values[c].isNull()) continue;
                        const int64_t linked = static_cast<int64_t>(b->values[c].toDouble());
                        auto known = sourceKeys.find(std::make_pair(col.reference, linked));
                        if (known == sourceKeys.end()) {
                            QString keyField = col.reference->keyField;
                            if (keyField.isEmpty() && !col.reference->displayFieldList().isEmpty())
                                keyField = col.reference->displayFieldList().front();
                            std::optional<Variant> key;
                            auto target = GetReference(col.name);
                            if (!target->DataEmpty() && !keyField.isEmpty() && target->ColExists(keyField))
                                key = target->ColValue(keyField);
                            known = sourceKeys.emplace(std::make_pair(col.reference, linked), key).first;
                        }
                        // A row is imported whole or the import fails: a reference is never
                        // dropped on the way.
                        if (!known->second || known->second->isEmptyOrNull())
                            LibraryError::Raise(
                                odbErrUnresolvedReference,
                                importedRowName(destination) +
                                    QStringLiteral(": il riferimento %1 indica un elemento che "
                                                   "non esiste nell'archivio.")
                                        .arg(col.name));
                        const Variant& key = *known->second;
                        auto found = destinationRows.find(std::make_pair(dref, key.toText()));
                        if (found == destinationRows.end()) {
                            int64_t target = 0;
                            try {
                                target = destination.findTarget(*dref, key);
                            } catch (const AppError& e) {
                                if (!LibraryError::Is(e, odbErrBadValue)) throw;
                                LibraryError::Raise(
                                    odbErrUnresolvedReference,
                                    importedRowName(destination) +
                                        QStringLiteral(
                                            ": il riferimento %1 indica \"%2\", che non esiste nel "
                                            "database aperto.")
                                            .arg(col.name, key.toText()));
                            }
                            found = destinationRows.emplace(std::make_pair(dref, key.toText()), target).first;
                        }
                        for (const auto& holder : destination.row())
                            if (holder->table->Name().compare(dref->table, Qt::CaseInsensitive) == 0) {
                                destination.setLookup(*holder, holder->table->columnIndex(dref->name), *dref,
                                                      found->second);
                                break;
                            }
                    }
                // A row whose unique values the destination already holds is not copied again.
                if (destination.collidesOnUniqueIndex()) {
                    destination.CancelRow();
                    continue;
                }
                destination.saveCurrent();
                ++copied;
                if (progress && !progress->OnProgress(odbEvtImportRows, total, copied, this, &destination))
                    LibraryError::Raise(odbErrCancelled);
            }
        }
        if (owner) owner->ownerEvent(true, *none, sc.reference->name, false);
    });
    return ok ? copied : -1;
}

}  // namespace odb
