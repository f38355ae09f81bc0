// Data sets: reading and writing the values of the current row, file links, row states.
#include "odb/DataSetPrivate.h"

namespace odb {

namespace {

bool IsValueColumn(const Table& t, int column) {
    const auto kind = t.columns()[static_cast<size_t>(column)].kind;
    return kind == StoredColumn::Field || kind == StoredColumn::Lookup || kind == StoredColumn::BaseLink;
}

}  // namespace

DataSet::Located DataSet::locate(const QString& name) const {
    for (const auto& b : row()) {
        const int ci = b->table->columnIndex(name);
        if (ci >= 0 && IsValueColumn(*b->table, ci)) return {b.get(), ci};
    }
    return {};
}

DataSet::Located DataSet::locate(const char* name) const {
    for (const auto& b : row()) {
        const int ci = b->table->column(name).column;
        if (ci >= 0 && IsValueColumn(*b->table, ci)) return {b.get(), ci};
    }
    return {};
}

[[noreturn]] void DataSet::raiseUnknownField(const QString& name) const {
    LibraryError::Raise(odbErrUnknownField, LibraryError::Text(odbErrUnknownField) + QStringLiteral(": ") +
                                                d_->table_.Name() + QLatin1Char('.') + name);
}

// The row is looked at once: it is checked against the file each time it is asked for.
DataSet::Located DataSet::locateOrRaise(const QString& name) const {
    for (const auto& b : requireRow()) {
        const int ci = b->table->columnIndex(name);
        if (ci >= 0 && IsValueColumn(*b->table, ci)) return {b.get(), ci};
    }
    raiseUnknownField(name);
}

DataSet::Located DataSet::locateOrRaise(const char* name) const {
    for (const auto& b : requireRow()) {
        const int ci = b->table->column(name).column;
        if (ci >= 0 && IsValueColumn(*b->table, ci)) return {b.get(), ci};
    }
    raiseUnknownField(QString::fromUtf8(name));
}

bool DataSet::plainName(const char* name) const {
    // The row identity and computed columns take the way of names given as strings. "OID" in any
    // letter case, told apart without a call: every field read by constant name asks.
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    const bool oid =
        name && lower(name[0]) == 'o' && lower(name[1]) == 'i' && lower(name[2]) == 'd' && name[3] == '\0';
    return d_->computed_.empty() && !oid;
}

Variant DataSet::ColValue(const QString& name) const {
    if (name.compare(kOidColumn, Qt::CaseInsensitive) == 0) return Bookmark();
    if (const Computed* c = computed(name)) {
        const Variant id = Bookmark();
        if (id.isNull()) return Variant::null();
        auto st = d_->engine_.conn().statement(
            QStringLiteral("SELECT ") + c->sql + QStringLiteral(" FROM ") + d_->table_.sqlName() +
            QLatin1Char(' ') + kAlias + QStringLiteral(" WHERE ") + kAlias + QStringLiteral(".\"OID\"=?"));
        bindValues(st, c->values);
        st.bind(static_cast<int>(c->values.size()) + 1, static_cast<int64_t>(id.toDouble()));
        Variant out = Variant::null();
        if (st.step()) out = c->type >= 0 ? RowStore::fromStored(st.stored(0), c->type) : st.stored(0);
        st.reset();
        return out;
    }
    Located l = locateOrRaise(name);
    return l.buffer->values[static_cast<size_t>(l.column)];
}

double DataSet::ColNumber(const QString& name) const {
    const Variant v = ColValue(name);
    return v.isEmptyOrNull() ? 0.0 : v.toDouble();
}

bool DataSet::ColValueBool(const QString& name) const {
    const Variant v = ColValue(name);
    return v.isEmptyOrNull() ? false : v.toBool();
}

bool DataSet::ColIsNull(const QString& name) const {
    return ColValue(name).isNull();
}

QString DataSet::ColText(const QString& name) const {
    return ColValue(name).toText();
}

Variant DataSet::ColDate(const QString& name) const {
    const Variant v = ColValue(name);
    if (v.isEmptyOrNull()) return Variant::null();
    return Variant::fromDate(v.toDate());
}

Variant DataSet::ColValue(const char* name) const {
    if (!plainName(name)) return ColValue(QString::fromUtf8(name));
    Located l = locateOrRaise(name);
    return l.buffer->values[static_cast<size_t>(l.column)];
}

double DataSet::ColNumber(const char* name) const {
    const Variant v = ColValue(name);
    return v.isEmptyOrNull() ? 0.0 : v.toDouble();
}

bool DataSet::ColValueBool(const char* name) const {
    const Variant v = ColValue(name);
    return v.isEmptyOrNull() ? false : v.toBool();
}

bool DataSet::ColIsNull(const char* name) const {
    return ColValue(name).isNull();
}

QString DataSet::ColText(const char* name) const {
    return ColValue(name).toText();
}

Variant DataSet::ColDate(const char* name) const {
    const Variant v = ColValue(name);
    if (v.isEmptyOrNull()) return Variant::null();
    return Variant::fromDate(v.toDate());
}

QString DataSet::FormattedColValue(const QString& name) const {
    const Variant v = ColValue(name);
    if (v.isEmptyOrNull()) return {};
    const FieldDef* f = d_->table_.FieldByName(name);
    if (!f) {
        Located l = locate(name);
        if (l.buffer) f = l.buffer->table->columns()[static_cast<size_t>(l.column)].field;
    }
    if (f && !f->format.isEmpty()) return VbFormat(v, f->format);
    if (f && !f->valueList.isEmpty()) {
        const QStringList parts = f->valueList.split(QLatin1Char('|'));
        for (int i = 0; i + 1 < parts.size(); i += 2)
            if (parts[i].trimmed() == v.toText()) return parts[i + 1];
    }
    if (f) return d_->engine_.database().FormatValue(v, f->type);
    return v.toText();
}

bool DataSet::ColExists(const QString& name) const {
    if (name.compare(kOidColumn, Qt::CaseInsensitive) == 0 || computed(name)) return true;
    for (const Table* t : rowTables())
        if (t->columnIndex(name.normalized(QString::NormalizationForm_C)) >= 0) {
            const auto kind = t->columns()[static_cast<size_t>(
                                               t->columnIndex(name.normalized(QString::NormalizationForm_C)))]
                                  .kind;
            if (kind == StoredColumn::Field || kind == StoredColumn::Lookup || kind == StoredColumn::BaseLink)
                return true;
        }
    return false;
}

QString DataSet::ColFilePath(const QString& name) const {
    const QString file = ColText(name);
    if (file.isEmpty()) return {};
    if (QFileInfo(file).isAbsolute()) return file;
    const QString folder = DbmsGlobal::DocumentFolder(d_->engine_.applicationName());
    return folder.isEmpty() ? file : QDir(folder).filePath(file);
}

bool DataSet::SetColFilePath(const QString& name, const QString& path) {
    QString value = path;
    const QString folder = DbmsGlobal::DocumentFolder(d_->engine_.applicationName());
    if (!folder.isEmpty() && !path.isEmpty()) {
        const QString rel = QDir(folder).relativeFilePath(path);
        if (!rel.startsWith(QStringLiteral(".."))) value = rel;
    }
    return SetColValue(name, value);
}

void DataSet::writeField(RowBuffer& b, int column, const QString& name, const Variant& value) {
    const StoredColumn& c = b.table->columns()[static_cast<size_t>(column)];
    const Variant typed = RowStore::fromStored(
        RowStore::toStored(
            c.type == ftLong && !value.isEmptyOrNull() ? Variant(RowStore::WholeNumber(value)) : value,
            c.type),
        c.type);
    if (c.field && c.field->size > 0 && typed.isString() &&
        (c.type == ftText || c.type == ftCodeText || c.type == ftMailLink) &&
        typed.stringValue().size() > c.field->size)
        LibraryError::Raise(odbErrBadValue, LibraryError::Text(odbErrBadValue) + QStringLiteral(": ") +
                                                c.name +
                                                QStringLiteral(" (massimo %1 caratteri)").arg(c.field->size));
    const bool user = d_->engine_.operation().depth() == 1 && d_->engine_.operation().silent() == 0;
    raise([&](itfSetData& ev) { ev.OnBeforeUpdateField(*this, name); });
    // The same value again is no change: the events run, the row is not to be stored for it.
    if (!RowStore::sameStored(b.values[static_cast<size_t>(column)], typed, c.type)) {
        d_->engine_.operation().beforeWrite(b);
        b.values[static_cast<size_t>(column)] = typed;
        b.changed[static_cast<size_t>(column)] = true;
        if (user) b.userEdited = true;
    }
    raise([&](itfSetData& ev) { ev.OnUpdateField(*this, name); });
}

bool DataSet::SetColValue(const QString& name, const Variant& value) {
    requireEditable();
    if (refusedAsGone()) return false;
    return setColumn(locateOrRaise(name), value);
}

bool DataSet::SetColValue(const char* name, const Variant& value) {
    if (!plainName(name)) return SetColValue(QString::fromUtf8(name), value);
    requireEditable();
    if (refusedAsGone()) return false;
    return setColumn(locateOrRaise(name), value);
}

bool DataSet::setColumn(const Located& l, const Variant& value) {
    const StoredColumn& c = l.buffer->table->columns()[static_cast<size_t>(l.column)];
    if (c.kind == StoredColumn::Lookup) {
        const ReferenceDef& ref = *c.reference;
        const int64_t target = value.isEmptyOrNull() ? 0 : static_cast<int64_t>(value.toDouble());
        RowBuffer* b = l.buffer;
        const int column = l.column;
        return d_->engine_.operation().run(this, [&]() {
            currentOrRefuse();
            setLookup(*b, column, ref, target);
        });
    }
    if (c.kind == StoredColumn::BaseLink) {
        return d_->engine_.operation().run(this, [&]() {
            currentOrRefuse();
            setBaseLink(value);
        });
    }
    RowBuffer* b = l.buffer;
    const int column = l.column;
    const QString field = c.name;
    // A field write changes the row in memory: it takes the write lock only if its events write,
    // reading first, unless another computer holds the lock: then it waits, and may say busy, as
    // every write does. A write of the value the row already holds reads first even then.
    bool readFirst = false;
    if (!d_->engine_.operation().inOperation()) {
        try {
            const Variant typed = RowStore::fromStored(RowStore::toStored(value, c.type), c.type);
            readFirst = RowStore::sameStored(b->values[static_cast<size_t>(column)], typed, c.type);
        } catch (const AppError&) {
            // A value the field cannot take is refused by the write itself.
        }
        if (!readFirst) readFirst = !d_->engine_.conn().othersHoldWriteLock();
    }
    const auto write = [&]() {
        // Read again at the start of the operation; the buffer is the same object.
        currentOrRefuse();
        writeField(*b, column, field, value);
    };
    // By reference: a field write is frequent, and the body held by value would be allocated.
    return d_->engine_.operation().run(this, std::ref(write), readFirst);
}

bool DataSet::AddToCol(const QString& name, const Variant& amount) {
    const Variant cur = ColValue(name);
    return SetColValue(
        name, VbAdd(cur.isEmptyOrNull() ? Variant(0) : cur, amount.isEmptyOrNull() ? Variant(0) : amount));
}

bool DataSet::SubtractFromCol(const QString& name, const Variant& amount) {
    const Variant cur = ColValue(name);
    return SetColValue(
        name, VbSub(cur.isEmptyOrNull() ? Variant(0) : cur, amount.isEmptyOrNull() ? Variant(0) : amount));
}

bool DataSet::AddToCol(const char* name, const Variant& amount) {
    const Variant cur = ColValue(name);
    return SetColValue(
        name, VbAdd(cur.isEmptyOrNull() ? Variant(0) : cur, amount.isEmptyOrNull() ? Variant(0) : amount));
}

bool DataSet::SubtractFromCol(const char* name, const Variant& amount) {
    const Variant cur = ColValue(name);
    return SetColValue(
        name, VbSub(cur.isEmptyOrNull() ? Variant(0) : cur, amount.isEmptyOrNull() ? Variant(0) : amount));
}

bool DataSet::IsNewRow() const {
    return d_->isNew_;
}

bool DataSet::IsChangedRow(int32_t, int32_t) const {
    for (const auto& b : row())
        if (!b->isNew() && b->referenceChanged) return true;
    return false;
}

bool DataSet::RowStateFlag(int32_t, int32_t) const {
    for (const auto& b : row())
        if (b->userEdited) return true;
    return false;
}

void DataSet::SetRowFlag(bool value) {
    requireRow();
    for (const auto& b : d_->row_) {
        d_->engine_.operation().beforeWrite(*b);
        b->rowFlag = value;
    }
}

bool DataSet::RowFlag() const {
    for (const auto& b : row())
        if (b->rowFlag) return true;
    return false;
}

void DataSet::EnableEdit(bool enable) {
    d_->editEnabled_ = enable;
}

bool DataSet::EditEnabled() const {
    return d_->editEnabled_ && !d_->detached_;
}

}  // namespace odb
