// Data sets: the life of a row: new, saved, deleted, with the row, field and owner events
// around it; guards and messages of the rules.
#include "odb/DataSetPrivate.h"

namespace odb {

bool DataSet::ownerGone() {
    if (DataEmpty()) return true;
    for (const auto& b : row())
        if (b->deleting > 0) return true;
    return false;
}

bool DataSet::LockGuard(const QString& name) {
    const QString key = rowKey();
    if (!d_->engine_.operation().lockGuard(name, key)) return false;
    const auto& b = d_->row_[identityIndex(d_->row_)];
    if (b->isNew()) d_->engine_.operation().noteNewRowGuard(b);
    return true;
}

bool DataSet::IsGuardLocked(const QString& name) const {
    return d_->engine_.operation().isGuardLocked(name, rowKey());
}

void DataSet::UnlockGuard(const QString& name) {
    d_->engine_.operation().unlockGuard(name, rowKey());
}

void DataSet::RejectChange(const QString& text, int32_t) {
    throw AppError(vbObjectError + odbErrRefused, d_->table_.Name(), text);
}

bool DataSet::AskQuestion(int32_t kind, const QString& text, bool defaultCancel, bool readAnswer) {
    bool cancel = defaultCancel;
    d_->engine_.operation().beforeShowing();
    if (itfNotifyEvent* n = d_->engine_.notify()) n->OnQueryMessage(this, kind, text, cancel);
    if (readAnswer) return !cancel;
    if (cancel && (kind == 0 || kind == 2))
        throw AppError(vbObjectError + odbErrCancelled, d_->table_.Name(),
                       LibraryError::Text(odbErrCancelled));
    return !cancel;
}

void DataSet::ShowMessage(const QString& text) {
    d_->engine_.operation().showMessage(this, text);
}

bool DataSet::IsSilent() const {
    return d_->engine_.operation().silent() > 0;
}

std::vector<DataSet::OwnerLink> DataSet::owners() {
    std::vector<OwnerLink> out;
    for (const auto& b : row()) {
        const Variant& owner = b->values[static_cast<size_t>(b->table->ownerColumn())];
        const Variant& oid = b->values[static_cast<size_t>(b->table->ownerOidColumn())];
        if (owner.isNull() || oid.isNull()) continue;
        // "Table.Reference", split at its first dot: asked at every save of an owned row, and
        // found again among the labels met (the tables do not change while open).
        const QString label = owner.toText();
        auto& known = d_->engine_.ownerLabels();
        auto it = std::find_if(known.begin(), known.end(), [&](const auto& k) { return k.label == label; });
        if (it == known.end()) {
            const qsizetype dot = label.indexOf(QLatin1Char('.'));
            const Table* t = d_->engine_.findTable(dot < 0 ? label : label.left(dot));
            const ReferenceDef* r = t ? t->FindReference(dot < 0 ? QString() : label.mid(dot + 1)) : nullptr;
            if (!r) continue;
            // Labels written by hand or by scripts are not kept forever.
            if (known.size() >= 64) known.clear();
            known.push_back({label, t, r});
            it = known.end() - 1;
        }
        out.push_back({it->table, it->reference, static_cast<int64_t>(oid.toDouble())});
    }
    return out;
}

void DataSet::startNewRow() {
    saveState();
    d_->row_ = d_->engine_.rows().newChain(d_->table_);
    d_->isNew_ = true;
    if (d_->scope_.kind == Scope::Owned || d_->scope_.kind == Scope::Linked) {
        const int64_t ownerOid = ownerOidOf(d_->scope_);
        if (ownerOid == 0)
            LibraryError::Raise(odbErrNoCurrentRow, LibraryError::Text(odbErrNoCurrentRow) +
                                                        QStringLiteral(": ") + d_->scope_.ownerTable->Name());
        if (d_->scope_.kind == Scope::Owned) {
            const Table* target = d_->engine_.findTable(d_->scope_.reference->targetTable);
            for (const auto& b : d_->row_)
                if (b->table == target) {
                    b->values[static_cast<size_t>(target->columnIndex(kOwnerColumn))] = Variant(
                        d_->scope_.ownerTable->Name() + QLatin1Char('.') + d_->scope_.reference->name);
                    b->values[static_cast<size_t>(target->columnIndex(kOwnerOidColumn))] = Variant(ownerOid);
                }
        }
    }
    raise([&](itfSetData& ev) { ev.OnNewRow(*this); });
    if (d_->scope_.kind == Scope::Owned || d_->scope_.kind == Scope::Linked) {
        const int64_t ownerOid = ownerOidOf(d_->scope_);
        auto owner = onFullRow(d_->engine_, *d_->scope_.ownerTable, ownerOid);
        const QString name = d_->scope_.reference->name;
        owner->raise([&](itfSetData& ev) { ev.OnNewReference(*owner, *this, name); });
    }
}

void DataSet::applyPair(const QString& name, const Variant& value) {
    if (d_->table_.HasBaseTable() && d_->table_.GetBaseKind() == BaseKind::SharedBase &&
        name.compare(d_->table_.BaseLinkField(), Qt::CaseInsensitive) == 0) {
        setBaseLink(value);
        return;
    }
    for (const Table* t : rowTables())
        for (const auto& r : t->OwnReferences())
            if (r->name.compare(name.normalized(QString::NormalizationForm_C), Qt::CaseInsensitive) == 0) {
                SetReference(r->name, value);
                return;
            }
    SetColValue(name, value);
}

bool DataSet::AddRow(const VariantList& pairs) {
    requireEditable();
    if (pairs.size() % 2 != 0)
        LibraryError::Raise(odbErrBadValue, LibraryError::Text(odbErrBadValue) +
                                                QStringLiteral(": coppie nome/valore incomplete"));
    for (size_t i = 0; i < pairs.size(); i += 2)
        if (!pairs[i].isString())
            LibraryError::Raise(odbErrBadValue, LibraryError::Text(odbErrBadValue) +
                                                    QStringLiteral(": nome di campo atteso"));
    return d_->engine_.operation().run(this, [&]() {
        startNewRow();
        const QString link = d_->table_.HasBaseTable() && d_->table_.GetBaseKind() == BaseKind::SharedBase
                                 ? d_->table_.BaseLinkField()
                                 : QString();
        // The base row first, so that the other values land on the chosen row.
        for (size_t i = 0; i < pairs.size(); i += 2)
            if (!link.isEmpty() && pairs[i].stringValue().compare(link, Qt::CaseInsensitive) == 0)
                applyPair(pairs[i].stringValue(), pairs[i + 1]);
        for (size_t i = 0; i < pairs.size(); i += 2)
            if (link.isEmpty() || pairs[i].stringValue().compare(link, Qt::CaseInsensitive) != 0)
                applyPair(pairs[i].stringValue(), pairs[i + 1]);
        saveCurrent();
    });
}

void DataSet::AddEmptyRow() {
    requireEditable();
    saveState();
    d_->row_ = d_->engine_.rows().newChain(d_->table_);
    d_->isNew_ = true;
}

bool DataSet::NewRow() {
    requireEditable();
    return d_->engine_.operation().run(this, [&]() { startNewRow(); });
}

void DataSet::CancelRow() {
    if (d_->isNew_) {
        if (!d_->row_.empty())
            d_->engine_.operation().releaseGuards(d_->row_[identityIndex(d_->row_)]->newRowKey());
        saveState();
        d_->isNew_ = false;
        d_->row_.clear();
        return;
    }
    for (const auto& b : row()) {
        if (!b->isDirty() && !b->referenceChanged) continue;
        d_->engine_.operation().beforeWrite(*b);
        b->values = b->stored;
        std::fill(b->changed.begin(), b->changed.end(), false);
        b->userEdited = false;
        b->referenceChanged = false;
    }
}

bool DataSet::beingSaved(const RowChain& chain) const {
    // The row itself: a shared base row under the save of another row on it is no reason to skip.
    if (chain.empty()) return false;
    for (size_t i = identityIndex(chain); i < chain.size(); ++i)
        if (chain[i]->saving > 0) return true;
    return false;
}

bool DataSet::SaveRow() {
    if (refusedAsGone()) return false;
    if (beingSaved(d_->row_)) return true;  // already being saved higher up
    return d_->engine_.operation().run(this, [&]() {
        currentOrRefuse();
        saveCurrent();
    });
}

void DataSet::saveCurrent() {
    requireRow();
    const RowChain chain = row();
    if (beingSaved(chain)) return;
    const bool wasNew = d_->isNew_;
    bool dirty = wasNew;
    for (const auto& b : chain)
        if (b->isNew() || b->isDirty()) dirty = true;
    if (!dirty) return;
    const ChainMark saving(chain, &RowBuffer::saving);

    // The row's own tables always; a shared base row only when it is stored with it, and not
    // again while the save of another row on it is under way (its changes are written either way).
    const size_t own = identityIndex(chain);
    for (size_t i = 0; i < chain.size(); ++i)
        if (i >= own || ((chain[i]->isNew() || chain[i]->isDirty()) && chain[i]->saving == 1))
            if (itfSetData* ev = chain[i]->table->events()) ev->OnUpdateRow(*this);

    // Owners whose bulk change raises their events itself hear nothing of the single row.
    std::vector<OwnerLink> links;
    for (const auto& o : owners())
        if (!d_->engine_.operation().isQuietOwner(o.reference, o.oid)) links.push_back(o);
    std::vector<std::shared_ptr<DataSet>> ownerSets;
    for (const auto& o : links) {
        auto ownerDs = onFullRow(d_->engine_, *o.ownerTable, o.oid);
        ownerSets.push_back(ownerDs);
    }
    if (!wasNew && !links.empty()) {
        auto before = storedCopy();
        for (size_t i = 0; i < links.size(); ++i) {
            auto& ownerDs = ownerSets[i];
            if (ownerDs->ownerGone()) continue;
            const QString name = links[i].reference->name;
            ownerDs->ownerEvent(false, *before, name, false);
        }
    }

    if (wasNew) {
        for (size_t i = 1; i < chain.size(); ++i)
            if (chain[i]->isNew() && chain[i]->table->BaseTable() == chain[i - 1]->table &&
                chain[i]->table->GetBaseKind() == BaseKind::Exclusive) {
                RowBuffer& base = *chain[i - 1];
                const int di = base.table->columnIndex(kDerivedColumn);
                d_->engine_.operation().beforeWrite(base);
                base.values[static_cast<size_t>(di)] = Variant(chain[i]->table->Name());
                base.changed[static_cast<size_t>(di)] = true;
            }
        for (size_t i = 0; i < chain.size(); ++i) {
            const auto& b = chain[i];
            if (!b->isNew()) {
                d_->engine_.rows().updateRow(*b);
                continue;
            }
            if (i > 0 && b->table->BaseTable() == chain[i - 1]->table) {
                if (b->table->GetBaseKind() == BaseKind::Exclusive) {
                    d_->engine_.operation().beforeWrite(*b);
                    b->oid = chain[i - 1]->oid;
                } else {
                    const int li = b->table->columnIndex(b->table->BaseLinkField());
                    b->values[static_cast<size_t>(li)] = Variant(chain[i - 1]->oid);
                }
            }
            d_->engine_.rows().insertRow(b);
        }
        saveState();
        d_->isNew_ = false;
        d_->rowWasAdded_ = true;
        for (const auto& b : chain)
            if (b->table == &d_->table_) {
                d_->ids_.push_back(b->oid);
                d_->pos_ = static_cast<int64_t>(d_->ids_.size()) - 1;
                if (d_->eventSource_) emit d_->eventSource_->RowAppended();
            }
        d_->row_ = chain;
    } else {
        for (const auto& b : chain)
            d_->engine_.rows().updateRow(*b);
        d_->rowWasAdded_ = false;
    }

    for (size_t i = 0; i < links.size(); ++i) {
        auto& ownerDs = ownerSets[i];
        if (ownerDs->ownerGone()) continue;
        const QString name = links[i].reference->name;
        ownerDs->ownerEvent(true, *this, name, false);
    }
}

void DataSet::ownerEvent(bool after, DataSet& row, const QString& reference, bool remove) {
    if (!after) {
        raise([&](itfSetData& ev) { ev.OnBeforeUpdateReference(*this, row, reference, remove, false); });
        return;
    }
    raise([&](itfSetData& ev) { ev.OnUpdateReference(*this, row, reference, remove, false); });
    // The owner changed by its events is stored now, so totals climb.
    saveCurrent();
}

bool DataSet::DeleteRow(bool loginRows) {
    requireEditable();
    if (d_->isNew_) {
        CancelRow();
        return true;
    }
    if (refusedAsGone()) return false;
    return d_->engine_.operation().run(this, [&]() {
        currentOrRefuse(false);
        refuseLoginDeletion(loginRows);
        deleteCurrent(true);
    });
}

void DataSet::deleteCurrent(bool ownerEvents) {
    requireRow();
    if (d_->isNew_) {
        CancelRow();
        return;
    }
    const RowChain chain = row();
    // The stored row the data set stands on: an exclusive chain goes whole, a shared base stays
    // (and hears nothing of the deletion, nor counts as going: other rows on it are still theirs).
    const size_t first = identityIndex(chain);
    const RowChain own(chain.begin() + static_cast<std::ptrdiff_t>(first), chain.end());
    for (const auto& b : own)
        if (b->deleting > 0) return;
    const ChainMark deleting(own, &RowBuffer::deleting);

    for (size_t i = first; i < chain.size(); ++i)
        if (itfSetData* ev = chain[i]->table->events()) ev->OnDeleteRow(*this);

    for (size_t i = first; i < chain.size(); ++i) {
        const auto& b = chain[i];
        for (const auto& r : b->table->OwnReferences()) {
            if (!r->collection || !r->owned) continue;
            Table& target = d_->engine_.table(r->targetTable);
            auto children = make(d_->engine_, target);
            Scope scope;
            scope.kind = Scope::Owned;
            scope.reference = r.get();
            scope.ownerTable = b->table;
            scope.ownerRow = chain;
            children->open({}, {}, {}, scope);
            while (!children->d_->ids_.empty()) {
                children->d_->pos_ = 0;
                const size_t before = children->d_->ids_.size();
                children->deleteCurrent(true);
                if (children->d_->ids_.size() >= before) break;
            }
        }
    }

    std::vector<OwnerLink> links;
    if (ownerEvents)
        for (const auto& o : owners())
            if (!d_->engine_.operation().isQuietOwner(o.reference, o.oid)) links.push_back(o);
    // Rows of collections that gather this row without owning it lose it with it: their owners
    // hear it as the owner of an owned child does.
    const size_t owningLinks = links.size();
    for (size_t i = first; i < chain.size(); ++i)
        for (const auto& l : linkOwners(*chain[i]))
            if (!d_->engine_.operation().isQuietOwner(l.reference, l.oid)) links.push_back(l);
    std::vector<std::shared_ptr<DataSet>> ownerSets;
    for (const auto& o : links) {
        auto ownerDs = onFullRow(d_->engine_, *o.ownerTable, o.oid);
        ownerSets.push_back(ownerDs->ownerGone() ? nullptr : ownerDs);
    }
    for (size_t i = 0; i < links.size(); ++i) {
        auto ownerDs = ownerSets[i];
        if (!ownerDs) continue;
        const QString name = links[i].reference->name;
        ownerDs->ownerEvent(false, *this, name, true);
    }

    for (size_t i = chain.size(); i-- > first;)
        d_->engine_.rows().deleteRow(*chain[i]);
    saveState();
    const int64_t id = [&]() {
        for (const auto& b : chain)
            if (b->table == &d_->table_) return b->oid;
        return int64_t{0};
    }();
    auto it = std::find(d_->ids_.begin(), d_->ids_.end(), id);
    if (it != d_->ids_.end()) eraseId(static_cast<size_t>(it - d_->ids_.begin()));
    d_->row_.clear();

    for (size_t i = 0; i < links.size(); ++i) {
        auto ownerDs = ownerSets[i];
        if (!ownerDs) continue;
        const QString name = links[i].reference->name;
        auto none = emptyOn(
            d_->engine_, i < owningLinks ? d_->table_ : d_->engine_.table(links[i].reference->targetTable));
        ownerDs->ownerEvent(true, *none, name, true);
    }
}

std::vector<DataSet::OwnerLink> DataSet::linkOwners(const RowBuffer& b) {
    std::vector<OwnerLink> out;
    if (b.isNew()) return out;
    for (const auto& other : d_->engine_.tables().items())
        for (const auto& r : other->OwnReferences()) {
            if (!r->collection || r->owned ||
                r->targetTable.compare(b.table->Name(), Qt::CaseInsensitive) != 0)
                continue;
            auto st = d_->engine_.conn().statement(
                QStringLiteral("SELECT OwnerOID FROM %1 WHERE TargetOID=? ORDER BY OwnerOID")
                    .arg(SqlQuote(LinkTableName(other->Name(), r->name))));
            st.bind(1, b.oid);
            while (st.step())
                out.push_back({other.get(), r.get(), st.int64(0)});
            st.reset();
        }
    return out;
}

}  // namespace odb
