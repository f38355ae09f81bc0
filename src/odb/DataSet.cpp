// Data sets: rows under a where-text and an order, values through the shared row buffers, and the
// row, field and reference events raised around every change.
#include "odb/DataSet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "base/Format.h"
#include "base/VariantOps.h"
#include "odb/Connection.h"
#include "odb/DataSetObject.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/LibraryError.h"
#include "odb/ProgressScope.h"
#include "odb/RowBuffer.h"
#include "odb/SchemaBuilder.h"
#include "odb/SqlStatement.h"
#include "odb/StorageSchema.h"
#include "odb/Table.h"
#include "odb/WhereLiteral.h"
#include "odb/condition/ConditionSql.h"

namespace odb {

namespace {

// Marks every row of a chain as being saved or deleted for as long as it lives, so that a nested
// save or deletion of the same row is recognised (and the mark goes also when a rule fails).
class ChainMark {
  public:
    ChainMark(RowChain chain, int RowBuffer::*counter) : chain_(std::move(chain)), counter_(counter) {
        for (const auto& b : chain_)
            ++((*b).*counter_);
    }
    ~ChainMark() {
        for (const auto& b : chain_)
            --((*b).*counter_);
    }
    ChainMark(const ChainMark&) = delete;
    ChainMark& operator=(const ChainMark&) = delete;

  private:
    RowChain chain_;
    int RowBuffer::*counter_;
};

const QString kAlias = QStringLiteral("r");

void bindValues(SqlStatement& st, const std::vector<SqlValue>& values, int first = 1) {
    int i = first;
    for (const auto& v : values) {
        if (std::holds_alternative<std::monostate>(v))
            st.bindNull(i);
        else if (const auto* n = std::get_if<int64_t>(&v))
            st.bind(i, *n);
        else if (const auto* d = std::get_if<double>(&v))
            st.bind(i, *d);
        else
            st.bind(i, std::get<QString>(v));
        ++i;
    }
}

// Marks an owner whose bulk change raises its events once itself, for the life of a scope.
struct QuietOwner {
    QuietOwner(Engine& e, const ReferenceDef* reference, int64_t oid) : engine(e), on(reference != nullptr) {
        if (on) engine.operation().pushQuietOwner(reference, oid);
    }
    ~QuietOwner() {
        if (on) engine.operation().popQuietOwner();
    }
    Engine& engine;
    bool on;
};

// The library fills the rows itself, numbers included, for the life of a scope (an import).
struct LibraryFills {
    explicit LibraryFills(Operation& o) : operation(o) {
        operation.setSilent(true);
        operation.setSkipNumbering(true);
    }
    ~LibraryFills() {
        operation.setSkipNumbering(false);
        operation.setSilent(false);
    }
    Operation& operation;
};

int64_t ownerOidOf(const DataSetScope& scope) {
    for (const auto& b : scope.ownerRow)
        if (b->table == scope.ownerTable) return b->oid;
    return 0;
}

// The identity named by a where-text of the form "OID=n", if it is one.
std::optional<int64_t> identityWhere(const QString& where) {
    static const QRegularExpression re(QStringLiteral("^\\s*OID\\s*=\\s*(\\d{1,18})\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(where);
    if (!m.hasMatch()) return std::nullopt;
    return m.captured(1).toLongLong();
}

// Keeps a count raised for the life of a scope.
struct CountUp {
    explicit CountUp(int& c) : count(c) { ++count; }
    ~CountUp() { --count; }
    int& count;
};

}  // namespace

DataSet::DataSet(Engine& engine, Table& table) : engine_(engine), table_(table) {}

DataSet::~DataSet() = default;

// ---------------------------------------------------------------------------------------------
// Rows of the data set

void DataSet::open(const QString& where, const QString& order, const QString& fields, const Scope& scope) {
    where_ = where;
    order_ = order;
    fields_ = fields;
    scope_ = scope;
    parseFields();
    if (table_.events()) {
        // An order or filter set by OnSelect is read with the rows below, once.
        CountUp opening(opening_);
        table_.events()->OnSelect(*this);
    }
    load();
}

void DataSet::parseFields() {
    computed_.clear();
    shownFields_.clear();
    if (fields_.trimmed().isEmpty()) return;
    StorageSchema schema(engine_);
    ConditionSql sql(schema, table_.Name(), kAlias);
    for (auto& f : sql.Fields(fields_)) {
        if (f.all) {
            for (const FieldDef* d : table_.Fields())
                shownFields_.push_back(d);
            continue;
        }
        if (f.name.isEmpty()) continue;
        if (const FieldDef* d = table_.FieldByName(f.name)) shownFields_.push_back(d);
        // A plain field of the table reads from the row itself.
        if (table_.FieldByName(f.name) && !f.expr.sql.contains(QLatin1Char('('))) continue;
        computed_.push_back(
            {f.name.normalized(QString::NormalizationForm_C), f.expr.sql, f.expr.values, f.expr.type});
    }
}

const DataSet::Computed* DataSet::computed(const QString& name) const {
    for (const auto& c : computed_)
        if (c.name.compare(name.normalized(QString::NormalizationForm_C), Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

SqlFragment DataSet::translate(bool order, const QString& text) const {
    // Kept by table and text (bounded: texts with literals vary); the schema is fixed while open.
    const QString key =
        table_.Name() + QChar(order ? 2 : 1) + (order ? fields_ + QChar(3) : QString()) + text;
    auto it = engine_.translations().constFind(key);
    if (it != engine_.translations().constEnd()) return *it.value();
    StorageSchema schema(engine_);
    ConditionSql sql(schema, table_.Name(), kAlias);
    SqlFragment f;
    if (order) {
        std::vector<SelectedField> selected;
        if (!fields_.trimmed().isEmpty()) selected = sql.Fields(fields_);
        f = sql.Order(text, selected);
    } else {
        f = sql.Where(text);
    }
    if (engine_.translations().size() >= 512) engine_.translations().clear();
    engine_.translations().insert(key, std::make_shared<const SqlFragment>(f));
    return f;
}

QString DataSet::selectSql(const QString& extraWhere, std::vector<SqlValue>& values, bool withOrder,
                           const QString& selectList) const {
    std::vector<SqlValue> scopeBinds;
    QStringList conds;
    auto oid = [](const QString& a) { return a + QStringLiteral(".\"OID\""); };
    switch (scope_.kind) {
        case Scope::All:
            break;
        case Scope::Empty:
            conds << QStringLiteral("0");
            break;
        case Scope::Lookup:
        case Scope::Rows:
            // Bound as one value: lists of every length share one statement.
            conds << oid(kAlias) + QStringLiteral(" IN ") + SqlStatement::IdListSql();
            scopeBinds.push_back(SqlStatement::IdListValue(scope_.rows));
            break;
        case Scope::Owned:
        case Scope::Linked: {
            int64_t ownerOid = 0;
            for (const auto& b : scope_.ownerRow)
                if (b->table == scope_.ownerTable) ownerOid = b->oid;
            const Table* target = engine_.findTable(scope_.reference->targetTable);
            // The owner is bound, so that one statement serves every owner.
            QString inner;
            if (scope_.kind == Scope::Owned) {
                inner = QStringLiteral("SELECT \"OID\" FROM %1 WHERE \"_OwnerOID\"=? AND \"_Owner\"=?")
                            .arg(target->sqlName());
                scopeBinds.push_back(ownerOid);
                scopeBinds.push_back(scope_.ownerTable->Name() + QLatin1Char('.') + scope_.reference->name);
            } else {
                inner = QStringLiteral("SELECT TargetOID FROM %1 WHERE OwnerOID=?")
                            .arg(SqlQuote(LinkTableName(scope_.ownerTable->Name(), scope_.reference->name)));
                scopeBinds.push_back(ownerOid);
            }
            if (target == &table_ && scope_.kind == Scope::Owned) {
                // The owner's columns are in the row itself: their index serves the condition directly.
                conds << QStringLiteral("%1.\"_OwnerOID\"=? AND %1.\"_Owner\"=?").arg(kAlias);
            } else if (target == &table_) {
                conds << oid(kAlias) + QStringLiteral(" IN (") + inner + QLatin1Char(')');
            } else {
                // Opened as a table derived from the target: the derived rows of those base rows.
                QString link = oid(kAlias);
                const Table* cur = &table_;
                while (cur && cur != target) {
                    if (cur->GetBaseKind() == BaseKind::SharedBase)
                        link = kAlias + QLatin1Char('.') + SqlQuote(cur->BaseLinkField());
                    cur = cur->BaseTable();
                }
                conds << link + QStringLiteral(" IN (") + inner + QLatin1Char(')');
            }
            break;
        }
    }
    std::vector<SqlValue> binds = std::move(scopeBinds);
    for (const QString& text : {where_, filter_, extraWhere}) {
        if (text.trimmed().isEmpty()) continue;
        const SqlFragment f = translate(false, text);
        if (f.sql.isEmpty()) continue;
        conds << QLatin1Char('(') + f.sql + QLatin1Char(')');
        binds.insert(binds.end(), f.values.begin(), f.values.end());
    }
    QString text = QStringLiteral("SELECT ") + (selectList.isEmpty() ? oid(kAlias) : selectList) +
                   QStringLiteral(" FROM ") + table_.sqlName() + QLatin1Char(' ') + kAlias;
    if (!conds.isEmpty()) text += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
    if (withOrder) {
        QString orderSql;
        if (!order_.trimmed().isEmpty()) {
            const SqlFragment o = translate(true, order_);
            if (!o.sql.isEmpty()) {
                orderSql = o.sql + QStringLiteral(", ");
                binds.insert(binds.end(), o.values.begin(), o.values.end());
            }
        }
        text += QStringLiteral(" ORDER BY ") + orderSql + oid(kAlias);
    }
    values = std::move(binds);
    return text;
}

void DataSet::load() {
    engine_.rows().callStarts();
    std::vector<int64_t> ids;
    if (scope_.kind == Scope::Owned || scope_.kind == Scope::Linked) {
        bool ownerStored = false;
        for (const auto& b : scope_.ownerRow)
            if (b->table == scope_.ownerTable && !b->isNew()) ownerStored = true;
        if (!ownerStored) {
            ids_.clear();
            pos_ = -1;
            row_.clear();
            isNew_ = false;
            return;
        }
    }
    // One row named by its identity (a lookup's target, or a where-text "OID=n"): reading it
    // tells whether it is there.
    std::optional<int64_t> single;
    if ((scope_.kind == Scope::Lookup || scope_.kind == Scope::Rows) && scope_.rows.size() <= 1 &&
        where_.trimmed().isEmpty() && filter_.trimmed().isEmpty())
        single = scope_.rows.empty() ? 0 : scope_.rows.front();
    else if (scope_.kind == Scope::All && filter_.trimmed().isEmpty())
        single = identityWhere(where_);
    if (single) {
        ids_.clear();
        isNew_ = false;
        row_.clear();
        if (*single > 0) {
            row_ = engine_.rows().rowChain(table_, *single);
            if (!row_.empty()) ids_.push_back(*single);
        }
        pos_ = ids_.empty() ? -1 : 0;
        return;
    }
    std::vector<SqlValue> values;
    const QString sql = selectSql({}, values, true);
    auto st = engine_.conn().statement(sql);
    bindValues(st, values);
    while (st.step())
        ids.push_back(st.int64(0));
    st.reset();
    ids_ = std::move(ids);
    isNew_ = false;
    row_.clear();
    pos_ = ids_.empty() ? -1 : 0;
}

void DataSet::loadKeepingRow() {
    const Variant bm =
        (!isNew_ && pos_ >= 0 && pos_ < static_cast<int64_t>(ids_.size())) ? Variant(ids_[pos_]) : Variant();
    load();
    if (!bm.isEmpty()) {
        auto it = std::find(ids_.begin(), ids_.end(), static_cast<int64_t>(bm.toDouble()));
        if (it != ids_.end()) pos_ = it - ids_.begin();
    }
}

const RowChain& DataSet::row() {
    if (isNew_) return row_;
    if (pos_ < 0 || pos_ >= static_cast<int64_t>(ids_.size())) {
        row_.clear();
        return row_;
    }
    const int64_t id = ids_[static_cast<size_t>(pos_)];
    const Table& own = physicalTable();
    bool valid = false;
    for (const auto& b : row_)
        if (b->table == &own && b->oid == id && !b->deleted) valid = true;
    if (valid && !detached_) {
        for (const auto& b : row_)
            engine_.rows().ensureFresh(*b);
        valid = std::none_of(row_.begin(), row_.end(),
                             [&](const auto& b) { return b->table == &own && b->deleted; });
    }
    if (!valid && !detached_) {
        prefetch();
        row_ = engine_.rows().rowChain(own, id);
    }
    return row_;
}

void DataSet::prefetch() {
    // Row values are read a page at a time, in one short statement per table of the chain.
    constexpr int64_t kPage = 64;
    std::vector<int64_t> page;
    for (int64_t i = pos_; i < static_cast<int64_t>(ids_.size()) && i < pos_ + kPage; ++i)
        page.push_back(ids_[static_cast<size_t>(i)]);
    for (const Table* t = &table_; t; t = t->BaseTable()) {
        engine_.rows().prefetch(*t, page);
        if (t->GetBaseKind() != BaseKind::Exclusive) break;  // other identities above
    }
}

const Table& DataSet::physicalTable() const {
    return table_;
}

void DataSet::saveState() {
    if (!engine_.operation().inOperation()) return;
    // Rows only ever get appended or erased (erase records its own undo): the size is enough.
    std::weak_ptr<DataSet> self = weak_from_this();
    const size_t count = ids_.size();
    auto pos = pos_;
    auto row = row_;
    auto isNew = isNew_;
    engine_.operation().addUndo(this, [self, count, pos, row, isNew]() {
        if (auto ds = self.lock()) {
            const bool fewer = ds->ids_.size() > count;
            if (fewer) ds->ids_.resize(count);
            ds->pos_ = pos;
            ds->row_ = row;
            ds->isNew_ = isNew;
            if (fewer) emit ds->eventSource_.RowsChanged();
        }
    });
}

void DataSet::eraseId(size_t index) {
    saveState();
    const int64_t id = ids_[index];
    ids_.erase(ids_.begin() + static_cast<std::ptrdiff_t>(index));
    if (static_cast<int64_t>(index) == pos_) positionLost_ = true;
    std::weak_ptr<DataSet> self = weak_from_this();
    engine_.operation().addUndo(nullptr, [self, index, id]() {
        if (auto ds = self.lock())
            if (index <= ds->ids_.size()) {
                ds->ids_.insert(ds->ids_.begin() + static_cast<std::ptrdiff_t>(index), id);
                emit ds->eventSource_.RowsChanged();
            }
    });
    emit eventSource_.RowRemoved(static_cast<int>(index));
}

std::vector<const Table*> DataSet::rowTables() {
    std::vector<const Table*> out;
    for (const auto& b : row())
        out.push_back(b->table);
    if (out.empty())
        for (const Table* t : table_.chain())
            out.push_back(t);
    return out;
}

template <class F>
void DataSet::raise(F&& f) {
    // The row may change under the events (a rule choosing another base row): walk a copy.
    const RowChain chain = row();
    if (chain.empty()) {
        for (const Table* t : table_.chain())
            if (itfSetData* ev = t->events()) f(*ev);
        return;
    }
    for (const auto& b : chain)
        if (itfSetData* ev = b->table->events()) f(*ev);
}

void DataSet::currentOrRefuse(bool editsMatter) {
    const RowChain& chain = row();
    if (onGoneRow()) LibraryError::Raise(odbErrRowDeleted);
    // Said once, by the first write or save of the row from the top; a deletion needs no edits.
    if (engine_.operation().depth() != 1) return;
    bool lost = false;
    for (const auto& b : chain) {
        lost = lost || b->lostEdits;
        b->lostEdits = false;
    }
    if (lost && editsMatter) LibraryError::Raise(odbErrRowChanged);
}

void DataSet::requireRow() {
    if (closed_) LibraryError::Raise(odbErrNoCurrentRow);
    if (row().empty()) LibraryError::Raise(onGoneRow() ? odbErrRowDeleted : odbErrNoCurrentRow);
}

bool DataSet::onGoneRow() {
    return !isNew_ && !closed_ && pos_ >= 0 && pos_ < static_cast<int64_t>(ids_.size()) && row().empty();
}

bool DataSet::refusedAsGone() {
    // Found before the operation starts: refused as a rule's refusal is, shown once.
    if (engine_.operation().inOperation() || !onGoneRow()) return false;
    engine_.operation().showMessage(this, LibraryError::Text(odbErrRowDeleted));
    return true;
}

void DataSet::requireEditable() const {
    if (detached_ || !editEnabled_) LibraryError::Raise(odbErrReadOnly);
}

DataSet::Located DataSet::locate(const QString& name) {
    const QString n = name.normalized(QString::NormalizationForm_C);
    for (const auto& b : row()) {
        const int ci = b->table->columnIndex(n);
        if (ci < 0) continue;
        const auto kind = b->table->columns()[static_cast<size_t>(ci)].kind;
        if (kind == StoredColumn::Field || kind == StoredColumn::Lookup || kind == StoredColumn::BaseLink)
            return {b.get(), ci};
    }
    return {};
}

DataSet::Located DataSet::locateOrRaise(const QString& name) {
    requireRow();
    Located l = locate(name);
    if (!l.buffer)
        LibraryError::Raise(odbErrUnknownField, LibraryError::Text(odbErrUnknownField) +
                                                    QStringLiteral(": ") + table_.Name() + QLatin1Char('.') +
                                                    name);
    return l;
}

// ---------------------------------------------------------------------------------------------
// Values

Variant DataSet::ColValue(const QString& name) const {
    auto* self = const_cast<DataSet*>(this);
    if (name.compare(kOidColumn, Qt::CaseInsensitive) == 0) return self->Bookmark();
    if (const Computed* c = computed(name)) {
        const Variant id = self->Bookmark();
        if (id.isNull()) return Variant::null();
        auto st = engine_.conn().statement(QStringLiteral("SELECT ") + c->sql + QStringLiteral(" FROM ") +
                                           table_.sqlName() + QLatin1Char(' ') + kAlias +
                                           QStringLiteral(" WHERE ") + kAlias + QStringLiteral(".\"OID\"=?"));
        bindValues(st, c->values);
        st.bind(static_cast<int>(c->values.size()) + 1, static_cast<int64_t>(id.toDouble()));
        Variant out = Variant::null();
        if (st.step()) out = c->type >= 0 ? RowStore::fromStored(st.stored(0), c->type) : st.stored(0);
        st.reset();
        return out;
    }
    Located l = self->locateOrRaise(name);
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

QString DataSet::FormattedColValue(const QString& name) const {
    const Variant v = ColValue(name);
    if (v.isEmptyOrNull()) return {};
    const FieldDef* f = table_.FieldByName(name);
    if (!f) {
        auto* self = const_cast<DataSet*>(this);
        Located l = self->locate(name);
        if (l.buffer) f = l.buffer->table->columns()[static_cast<size_t>(l.column)].field;
    }
    if (f && !f->format.isEmpty()) return VbFormat(v, f->format);
    if (f && !f->valueList.isEmpty()) {
        const QStringList parts = f->valueList.split(QLatin1Char('|'));
        for (int i = 0; i + 1 < parts.size(); i += 2)
            if (parts[i].trimmed() == v.toText()) return parts[i + 1];
    }
    if (f) return engine_.database().FormatValue(v, f->type);
    return v.toText();
}

bool DataSet::ColExists(const QString& name) const {
    if (name.compare(kOidColumn, Qt::CaseInsensitive) == 0 || computed(name)) return true;
    for (const Table* t : const_cast<DataSet*>(this)->rowTables())
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
    const QString folder = DbmsGlobal::DocumentFolder(engine_.applicationName());
    return folder.isEmpty() ? file : QDir(folder).filePath(file);
}

bool DataSet::SetColFilePath(const QString& name, const QString& path) {
    QString value = path;
    const QString folder = DbmsGlobal::DocumentFolder(engine_.applicationName());
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
    const bool user = engine_.operation().depth() == 1 && engine_.operation().silent() == 0;
    raise([&](itfSetData& ev) { ev.OnBeforeUpdateField(*this, name); });
    // The same value again is no change: the events run, the row is not to be stored for it.
    if (!RowStore::sameStored(b.values[static_cast<size_t>(column)], typed, c.type)) {
        engine_.operation().beforeWrite(b);
        b.values[static_cast<size_t>(column)] = typed;
        b.changed[static_cast<size_t>(column)] = true;
        if (user) b.userEdited = true;
    }
    raise([&](itfSetData& ev) { ev.OnUpdateField(*this, name); });
}

bool DataSet::SetColValue(const QString& name, const Variant& value) {
    requireEditable();
    if (refusedAsGone()) return false;
    Located l = locateOrRaise(name);
    const StoredColumn& c = l.buffer->table->columns()[static_cast<size_t>(l.column)];
    if (c.kind == StoredColumn::Lookup) {
        const ReferenceDef& ref = *c.reference;
        const int64_t target = value.isEmptyOrNull() ? 0 : static_cast<int64_t>(value.toDouble());
        RowBuffer* b = l.buffer;
        const int column = l.column;
        return engine_.operation().run(this, [&]() {
            currentOrRefuse();
            setLookup(*b, column, ref, target);
        });
    }
    if (c.kind == StoredColumn::BaseLink) {
        return engine_.operation().run(this, [&]() {
            currentOrRefuse();
            setBaseLink(value);
        });
    }
    RowBuffer* b = l.buffer;
    const int column = l.column;
    const QString field = c.name;
    // A write of the value the row already holds takes the write lock only if its events write.
    bool same = false;
    if (!engine_.operation().inOperation()) {
        try {
            const Variant typed = RowStore::fromStored(RowStore::toStored(value, c.type), c.type);
            same = RowStore::sameStored(b->values[static_cast<size_t>(column)], typed, c.type);
        } catch (const AppError&) {
            // A value the field cannot take is refused by the write itself.
        }
    }
    return engine_.operation().run(
        this,
        [&]() {
            // Read again at the start of the operation; the buffer is the same object.
            currentOrRefuse();
            writeField(*b, column, field, value);
        },
        same);
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

// ---------------------------------------------------------------------------------------------
// References

std::shared_ptr<DataSet> DataSet::targetSet(const ReferenceDef& ref, int64_t oid) {
    const Table& target = engine_.table(ref.targetTable);
    return oid > 0 ? onRow(engine_, target, oid) : emptyOn(engine_, target);
}

int64_t DataSet::findTarget(const ReferenceDef& ref, const Variant& value) {
    const Table& target = engine_.table(ref.targetTable);
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
    StorageSchema schema(engine_);
    ConditionAliases aliases;
    auto resolved = schema.ResolveField(target.Name(), kAlias, QStringList{f->name}, aliases);
    const SqlValue stored = schema.StoredValue(value, f->type);
    auto st = engine_.conn().statement(QStringLiteral("SELECT r.\"OID\" FROM ") + target.sqlName() +
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
    const bool user = engine_.operation().depth() == 1 && engine_.operation().silent() == 0;
    auto oldSet = targetSet(ref, oldOid);
    engine_.operation().beforeWrite(b);
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
    const Table* base = table_.BaseTable();
    const int64_t oid = value.isEmptyOrNull() ? 0 : static_cast<int64_t>(value.toDouble());
    RowBuffer* own = nullptr;
    for (const auto& b : row_)
        if (b->table == &table_) own = b.get();
    if (!own || !base) LibraryError::Raise(odbErrNoCurrentRow);
    auto chosen = oid > 0 ? engine_.rows().rowChain(*base, oid) : RowChain();
    if (oid > 0 && chosen.empty())
        LibraryError::Raise(odbErrBadValue, LibraryError::Text(odbErrBadValue) + QStringLiteral(": ") +
                                                table_.BaseLinkField() + QStringLiteral(" = ") +
                                                value.toText());
    const int ci = table_.columnIndex(table_.BaseLinkField());
    const QString name = table_.BaseLinkField();
    raise([&](itfSetData& ev) { ev.OnBeforeUpdateField(*this, name); });
    saveState();
    engine_.operation().beforeWrite(*own);
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
    for (const auto& b : row_) {
        if (b->table == &table_) below = true;
        if (below) next.push_back(b);
    }
    row_ = next;
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
        return engine_.operation().run(this, [&]() {
            currentOrRefuse();
            const int64_t target = value.isEmptyOrNull() ? 0 : findTarget(ref, value);
            setLookup(*holder, ci, ref, target);
        });
    }
    if (ref.owned)
        LibraryError::Raise(odbErrUnknownReference,
                            LibraryError::Text(odbErrUnknownReference) + QStringLiteral(": ") + ref.name);
    return engine_.operation().run(this, [&]() {
        currentOrRefuse();
        if (holder->isNew()) LibraryError::Raise(odbErrNoCurrentRow);
        int64_t target = 0;
        const Table& t = engine_.table(ref.targetTable);
        if (value.isNumeric() && engine_.rows().buffer(t, static_cast<int64_t>(value.toDouble())))
            target = static_cast<int64_t>(value.toDouble());
        else
            target = findTarget(ref, value);
        auto targetDs = onRow(engine_, t, target);
        raise([&](itfSetData& ev) { ev.OnBeforeUpdateReference(*this, *targetDs, ref.name, remove, false); });
        const QString link = SqlQuote(LinkTableName(ref.table, ref.name));
        if (remove)
            engine_.conn()
                .statement(QStringLiteral("DELETE FROM %1 WHERE OwnerOID=? AND TargetOID=?").arg(link))
                .bind(1, holder->oid)
                .bind(2, target)
                .run();
        else
            engine_.conn()
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
    requireRow();
    const ReferenceDef* ref = &GetReferenceDef(referenceName);
    Table& target = asTable.isEmpty() ? engine_.table(ref->targetTable) : engine_.table(asTable);
    const Table& declaring = engine_.table(ref->table);
    auto ds = std::shared_ptr<DataSet>(new DataSet(engine_, target));
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
    ds->open(where, {}, {}, scope);
    return ds;
}

std::shared_ptr<DataSet> DataSet::SelectReference(const QString& referenceName, bool baseRow) {
    requireRow();
    const ReferenceDef& ref = GetReferenceDef(referenceName);
    Table& target = engine_.table(ref.targetTable);
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
    const bool ok = engine_.operation().run(
        this, [&]() { raise([&](itfSetData& ev) { ev.OnSelectReference(*this, *offered, eventName); }); });
    return ok ? offered : nullptr;
}

bool DataSet::ReferenceEmpty(const QString& referenceName) const {
    auto* self = const_cast<DataSet*>(this);
    const ReferenceDef* ref = &GetReferenceDef(referenceName);
    if (ref->collection) return self->GetReference(referenceName)->DataEmpty();
    const Variant key = ReferenceKey(referenceName);
    if (key.isNull()) return true;
    return !engine_.rows().buffer(engine_.table(ref->targetTable), static_cast<int64_t>(key.toDouble()));
}

Variant DataSet::ReferenceKey(const QString& referenceName, int32_t) const {
    auto* self = const_cast<DataSet*>(this);
    Located l = self->locateOrRaise(referenceName);
    return l.buffer->values[static_cast<size_t>(l.column)];
}

const ReferenceDef* DataSet::FindReferenceDef(const QString& referenceName) const {
    for (const Table* t : const_cast<DataSet*>(this)->rowTables())
        if (const ReferenceDef* r = t->FindReference(referenceName)) return r;
    return table_.FindReference(referenceName);
}

const ReferenceDef& DataSet::GetReferenceDef(const QString& referenceName) const {
    if (const ReferenceDef* r = FindReferenceDef(referenceName)) return *r;
    return table_.Reference(referenceName);  // raises the unknown-reference error
}

QString DataSet::ReferenceCondition(const QString& referenceName, bool equal, const Variant& key,
                                    int32_t) const {
    const ReferenceDef& ref = GetReferenceDef(referenceName);
    const QString path = ref.name + QStringLiteral(".OID");
    if (key.isEmptyOrNull())
        return (equal ? QStringLiteral("ISNULL(") : QStringLiteral("NOT ISNULL(")) + path + QLatin1Char(')');
    return path + (equal ? QStringLiteral("=") : QStringLiteral("<>")) +
           WhereLiteral::value(Variant(key.toDouble()));
}

QString DataSet::RowCondition(int32_t mode, const Variant& bookmark, int32_t exclude) const {
    auto* self = const_cast<DataSet*>(this);
    const QString op = exclude ? QStringLiteral("<>") : QStringLiteral("=");
    if (!bookmark.isMissing() && !bookmark.isEmptyOrNull())
        return kOidColumn + op + WhereLiteral::value(Variant(bookmark.toDouble()));
    (void)mode;
    self->requireRow();
    // The row by its base row: a shared-base row by the part it stands on.
    if (table_.HasBaseTable() && table_.GetBaseKind() == BaseKind::SharedBase) {
        const Variant base = BaseKey();
        if (!base.isNull())
            return table_.BaseLinkField() + op + WhereLiteral::value(Variant(base.toDouble()));
    }
    return kOidColumn + op + WhereLiteral::value(Bookmark());
}

QString DataSet::RowsCondition(int32_t, const Variant&) const {
    if (ids_.empty()) return QStringLiteral("OID IN (0)");
    QStringList parts;
    for (int64_t id : ids_)
        parts << QString::number(id);
    return QStringLiteral("OID IN (") + parts.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString DataSet::MakeCondition(const QString& column, int32_t, const Variant& value, int32_t op,
                               const Variant&, const QString&, int32_t) const {
    const bool differ = op == 1;
    if (value.isEmptyOrNull())
        return (differ ? QStringLiteral("NOT ISNULL(") : QStringLiteral("ISNULL(")) + column +
               QLatin1Char(')');
    const FieldDef* f = table_.FieldByName(column);
    // The value is compared as it stands: "*", "%", "?" and quotes in it are part of it.
    const QString literal = f ? f->ValueLiteral(value) : WhereLiteral::value(value);
    return column + (differ ? QStringLiteral("<>") : QStringLiteral("=")) + literal;
}

QString DataSet::ValueLiteral(const QString& column, int32_t, const Variant& value) const {
    if (const FieldDef* f = table_.FieldByName(column)) return f->ValueLiteral(value);
    return WhereLiteral::value(value);
}

QString DataSet::SelWhere() const {
    return where_;
}

void DataSet::SetSelWhere(const QString& where) {
    replaceViewSetting(where_, where, [this] { loadKeepingRow(); });
}

QString DataSet::SelFields() const {
    return fields_;
}

void DataSet::SetSelFields(const QString& fields) {
    replaceViewSetting(fields_, fields, [this] {
        parseFields();
        loadKeepingRow();
    });
}

QString DataSet::SortOrder() const {
    return order_;
}

void DataSet::SetSortOrder(const QString& order) {
    replaceViewSetting(order_, order, [this] { loadKeepingRow(); });
}

void DataSet::SortBy(const QString& field, bool descending) {
    SetSortOrder(descending ? field + QStringLiteral(" DESC") : field);
}

QString DataSet::Filter() const {
    return filter_;
}

void DataSet::SetFilter(const QString& filter) {
    replaceViewSetting(filter_, filter, [this] { loadKeepingRow(); });
}

// A where-text, field list, order or filter that fails to translate or to run leaves the view as it was.
void DataSet::replaceViewSetting(QString& setting, const QString& value,
                                 const std::function<void()>& reload) {
    const QString previous = setting;
    setting = value;
    try {
        if (opening_ > 0) {
            // Only translated now (a text that fails leaves the view as it was); read by open().
            if (&setting == &fields_) {
                parseFields();
                if (!order_.trimmed().isEmpty()) translate(true, order_);
            } else if (!value.trimmed().isEmpty()) {
                translate(&setting == &order_, value);
            }
        } else {
            reload();
            emit eventSource_.OnRefreshRecordset(*this);
        }
    } catch (...) {
        setting = previous;
        if (&setting == &fields_) parseFields();
        throw;
    }
}

void DataSet::Requery() {
    if (isNew_) return;
    loadKeepingRow();
    emit eventSource_.OnRefreshRecordset(*this);
}

// ---------------------------------------------------------------------------------------------
// Navigation

bool DataSet::RowFirst() {
    if (isNew_) CancelRow();
    engine_.rows().callStarts();
    pos_ = ids_.empty() ? -1 : 0;
    moved();
    return !RowInvalid();
}

bool DataSet::RowNext() {
    if (isNew_) CancelRow();
    engine_.rows().callStarts();
    if (pos_ < static_cast<int64_t>(ids_.size())) ++pos_;
    moved();
    return !RowInvalid();
}

bool DataSet::RowPrevious() {
    if (isNew_) CancelRow();
    engine_.rows().callStarts();
    if (pos_ >= 0) --pos_;
    moved();
    return !RowInvalid();
}

bool DataSet::RowLast() {
    if (isNew_) CancelRow();
    engine_.rows().callStarts();
    pos_ = static_cast<int64_t>(ids_.size()) - 1;
    moved();
    return !RowInvalid();
}

bool DataSet::StepToLastRow() {
    if (!ids_.empty() && pos_ >= static_cast<int64_t>(ids_.size()))
        pos_ = static_cast<int64_t>(ids_.size()) - 1;
    moved();
    return !RowInvalid();
}

bool DataSet::RowUnavailable() const {
    return const_cast<DataSet*>(this)->row().empty();
}

bool DataSet::RowInvalid() const {
    if (isNew_) return false;
    return pos_ < 0 || pos_ >= static_cast<int64_t>(ids_.size());
}

bool DataSet::RowBeforeFirst() const {
    return !isNew_ && pos_ < 0;
}

bool DataSet::DataEmpty() const {
    return ids_.empty() && !isNew_;
}

bool DataSet::NoCurrentRow() const {
    return const_cast<DataSet*>(this)->row().empty();
}

int32_t DataSet::RowCount() const {
    return static_cast<int32_t>(ids_.size());
}

bool DataSet::FindRow(const QString& condition, bool fromNext) {
    if (isNew_) CancelRow();
    std::vector<SqlValue> values;
    const QString sql = selectSql(condition, values, false);
    auto st = engine_.conn().statement(sql);
    bindValues(st, values);
    std::unordered_set<int64_t> match;
    while (st.step())
        match.insert(st.int64(0));
    st.reset();
    const int64_t start = fromNext ? pos_ + 1 : 0;
    for (int64_t i = std::max<int64_t>(start, 0); i < static_cast<int64_t>(ids_.size()); ++i)
        if (match.count(ids_[static_cast<size_t>(i)])) {
            pos_ = i;
            moved();
            return true;
        }
    pos_ = static_cast<int64_t>(ids_.size());
    moved();
    return false;
}

Variant DataSet::Bookmark(int32_t) const {
    auto* self = const_cast<DataSet*>(this);
    self->requireRow();
    for (const auto& b : self->row())
        if (b->table == &table_) return b->isNew() ? Variant::null() : Variant(b->oid);
    return Variant::null();
}

bool DataSet::GotoBookmark(const Variant& bookmark) {
    return FindBookmark(bookmark);
}

bool DataSet::FindBookmark(const Variant& bookmark, int32_t) {
    if (bookmark.isEmptyOrNull()) return false;
    if (isNew_) CancelRow();
    const auto id = static_cast<int64_t>(bookmark.toDouble());
    auto it = std::find(ids_.begin(), ids_.end(), id);
    if (it == ids_.end()) return false;
    pos_ = it - ids_.begin();
    moved();
    return true;
}

bool DataSet::IsNewRow() const {
    return isNew_;
}

bool DataSet::IsChangedRow(int32_t, int32_t) const {
    for (const auto& b : const_cast<DataSet*>(this)->row())
        if (!b->isNew() && b->referenceChanged) return true;
    return false;
}

bool DataSet::RowStateFlag(int32_t, int32_t) const {
    for (const auto& b : const_cast<DataSet*>(this)->row())
        if (b->userEdited) return true;
    return false;
}

void DataSet::SetRowFlag(bool value) {
    requireRow();
    for (const auto& b : row_) {
        engine_.operation().beforeWrite(*b);
        b->rowFlag = value;
    }
}

bool DataSet::RowFlag() const {
    for (const auto& b : const_cast<DataSet*>(this)->row())
        if (b->rowFlag) return true;
    return false;
}

void DataSet::EnableEdit(bool enable) {
    editEnabled_ = enable;
}

bool DataSet::EditEnabled() const {
    return editEnabled_ && !detached_;
}

// The condition matching a row's values on one unique index: False when a value is Null (Null never
// collides) or a column lies in another table of the chain. The parent link counts when asked.
bool DataSet::uniqueIndexMatch(const Table& t, const RowBuffer& b, const IndexDef& idx, bool withParentLink,
                               QStringList& conds, std::vector<Variant>& vals) {
    for (const auto& c : idx.columns()) {
        QStringList names;
        if (c.kind != IndexColumn::ParentLink)
            names << c.name;
        else if (withParentLink)
            names << kOwnerColumn << kOwnerOidColumn;
        for (const QString& n : names) {
            const int ci = t.columnIndex(n);
            if (ci < 0 || b.values[static_cast<size_t>(ci)].isNull()) return false;
            const StoredColumn& col = t.columns()[static_cast<size_t>(ci)];
            conds << SqlQuote(col.name) + QStringLiteral("=?");
            vals.push_back(RowStore::toStored(b.values[static_cast<size_t>(ci)], col.type));
        }
    }
    return !conds.isEmpty();
}

bool DataSet::collidesOnUniqueIndex() {
    for (const auto& b : row()) {
        const Table& t = *b->table;
        for (const auto& idx : t.OwnIndexes()) {
            QStringList conds;
            std::vector<Variant> vals;
            if (!idx->unique() || !uniqueIndexMatch(t, *b, *idx, true, conds, vals)) continue;
            auto st = engine_.conn().statement(
                QStringLiteral("SELECT count(*) FROM ") + t.sqlName() + QStringLiteral(" WHERE ") +
                conds.join(QStringLiteral(" AND ")) + QStringLiteral(" AND \"OID\"<>?"));
            int i = 1;
            for (const auto& v : vals)
                st.bindStored(i++, v);
            st.bind(i, b->oid);
            st.step();
            const bool found = st.int64(0) > 0;
            st.reset();
            if (found) return true;
        }
    }
    return false;
}

std::shared_ptr<DataSet> DataSet::EquivalentRows(const QString& where, int32_t, int32_t) {
    // Stored rows without an owner that collide with the new row on a unique index.
    requireRow();
    std::vector<int64_t> found;
    for (const auto& b : row()) {
        const Table& t = *b->table;
        for (const auto& idx : t.OwnIndexes()) {
            QStringList conds;
            std::vector<Variant> vals;
            if (!idx->unique() || !uniqueIndexMatch(t, *b, *idx, false, conds, vals)) continue;
            auto st =
                engine_.conn().statement(QStringLiteral("SELECT \"OID\" FROM ") + t.sqlName() +
                                         QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND ")) +
                                         QStringLiteral(" AND \"_OwnerOID\" IS NULL AND \"OID\"<>?"));
            int i = 1;
            for (const auto& v : vals)
                st.bindStored(i++, v);
            st.bind(i, b->oid);
            while (st.step())
                found.push_back(st.int64(0));
            st.reset();
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    auto ds = std::shared_ptr<DataSet>(new DataSet(engine_, table_));
    Scope scope;
    scope.kind = Scope::Rows;
    scope.rows = found;
    ds->open(where, {}, {}, scope);
    return ds;
}

// ---------------------------------------------------------------------------------------------
// Related rows

std::shared_ptr<DataSet> DataSet::onRow(Engine& engine, const Table& table, int64_t oid) {
    auto ds = std::shared_ptr<DataSet>(new DataSet(engine, const_cast<Table&>(table)));
    Scope scope;
    scope.kind = Scope::Rows;
    scope.rows = {oid};
    ds->scope_ = scope;
    ds->ids_ = {oid};
    ds->pos_ = 0;
    // The chain read here is the data set's row: not read again for its first use.
    ds->row_ = engine.rows().rowChain(table, oid);
    if (ds->row_.empty()) {
        ds->ids_.clear();
        ds->pos_ = -1;
    }
    return ds;
}

std::shared_ptr<DataSet> DataSet::onFullRow(Engine& engine, const Table& table, int64_t oid) {
    // The row as its most derived table sees it, so that the data set names the row's own kind.
    RowChain chain = engine.rows().rowChain(table, oid);
    if (chain.empty() || chain.back()->table == &table) {
        auto ds = std::shared_ptr<DataSet>(new DataSet(engine, const_cast<Table&>(table)));
        ds->scope_.kind = Scope::Rows;
        ds->scope_.rows = {oid};
        if (!chain.empty()) {
            ds->ids_ = {oid};
            ds->pos_ = 0;
            ds->row_ = std::move(chain);
        }
        return ds;
    }
    return onRow(engine, *chain.back()->table, oid);
}

std::shared_ptr<DataSet> DataSet::emptyOn(Engine& engine, const Table& table) {
    auto ds = std::shared_ptr<DataSet>(new DataSet(engine, const_cast<Table&>(table)));
    ds->scope_.kind = Scope::Empty;
    return ds;
}

std::shared_ptr<DataSet> DataSet::storedCopy() {
    auto ds = std::shared_ptr<DataSet>(new DataSet(engine_, table_));
    ds->detached_ = true;
    ds->scope_.kind = Scope::Rows;
    for (const auto& b : row()) {
        auto copy = std::make_shared<RowBuffer>(*b);
        copy->values = copy->stored;
        std::fill(copy->changed.begin(), copy->changed.end(), false);
        ds->row_.push_back(copy);
    }
    ds->ids_ = {Bookmark().isNull() ? 0 : static_cast<int64_t>(Bookmark().toDouble())};
    ds->scope_.rows = ds->ids_;
    ds->pos_ = 0;
    return ds;
}

std::shared_ptr<DataSet> DataSet::ParentRow() {
    requireRow();
    for (const auto& o : owners())
        return onFullRow(engine_, *o.ownerTable, o.oid);
    return emptyOn(engine_, table_);
}

std::shared_ptr<DataSet> DataSet::OpenRelated(const QString& tableName, const QString& where) {
    requireRow();
    Table& other = engine_.table(tableName);
    std::vector<int64_t> found;
    auto collect = [&](const QString& sql, int64_t id, const QString& label = {}) {
        auto st = engine_.conn().statement(sql);
        st.bind(1, id);
        if (!label.isEmpty()) st.bind(2, label);
        while (st.step())
            found.push_back(st.int64(0));
    };
    auto inOther = [&](const QString& inner) {
        return QStringLiteral("SELECT r.\"OID\" FROM ") + other.sqlName() +
               QStringLiteral(" r WHERE r.\"OID\" IN (") + inner + QLatin1Char(')');
    };
    StorageSchema schema(engine_);
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
            const Table* target = engine_.findTable(r->targetTable);
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
    auto ds = std::shared_ptr<DataSet>(new DataSet(engine_, other));
    Scope scope;
    scope.kind = Scope::Rows;
    scope.rows = found;
    ds->open(where, {}, {}, scope);
    const Variant from = Bookmark();
    if (!from.isNull()) {
        ds->relatedFromTable_ = &table_;
        ds->relatedFromOid_ = static_cast<int64_t>(from.toDouble());
    }
    return ds;
}

std::shared_ptr<DataSet> DataSet::OpenRelatedEx(const QString& tableName) {
    requireRow();
    const auto& chain = row();
    const RowBuffer* last = chain.back().get();
    if (!tableName.isEmpty()) {
        const Table& t = engine_.table(tableName);
        for (const auto& b : chain)
            if (b->table == &t) return onRow(engine_, t, b->oid);
        return OpenRelated(tableName);
    }
    return last->isNew() ? emptyOn(engine_, *last->table) : onRow(engine_, *last->table, last->oid);
}

std::shared_ptr<DataSet> DataSet::OpenTable(const QString& tableName, const QString& where,
                                            const QString& order) {
    Table& t = tableName.isEmpty() ? table_ : engine_.table(tableName);
    return t.OpenData(where, order);
}

std::shared_ptr<DataSet> DataSet::GetRelatedData(const QString& tableName) {
    requireRow();
    const auto& chain = row();
    if (tableName.isEmpty()) {
        // The base row of a derived row (the row itself without a base).
        const RowBuffer* base = chain.front().get();
        if (table_.HasBaseTable()) {
            for (size_t i = 0; i < chain.size(); ++i)
                if (chain[i]->table == &table_ && i > 0) base = chain[i - 1].get();
        }
        return base->isNew() ? emptyOn(engine_, *base->table) : onRow(engine_, *base->table, base->oid);
    }
    const Table& t = engine_.table(tableName);
    for (const auto& b : chain)
        if (b->table == &t) return b->isNew() ? emptyOn(engine_, t) : onRow(engine_, t, b->oid);
    return OpenRelated(tableName);
}

void DataSet::AttachData(const std::shared_ptr<DataSet>&) {
    // Rows are shared by buffer: both data sets already see the same values.
}

Variant DataSet::BaseKey() const {
    auto* self = const_cast<DataSet*>(this);
    self->requireRow();
    const auto& chain = self->row();
    for (size_t i = 0; i < chain.size(); ++i)
        if (chain[i]->table == &table_) {
            if (i == 0) return chain[i]->isNew() ? Variant::null() : Variant(chain[i]->oid);
            return chain[i - 1]->isNew() ? Variant::null() : Variant(chain[i - 1]->oid);
        }
    return Variant::null();
}

Table& DataSet::GetTable() const {
    return table_;
}

Database& DataSet::GetDatabase() const {
    return engine_.database();
}

std::shared_ptr<Connection> DataSet::GetConnection() const {
    return engine_.connection();
}

// ---------------------------------------------------------------------------------------------
// Guards, questions, messages

size_t DataSet::identityIndex(const RowChain& chain) const {
    // The first buffer of the row the data set stands on: an exclusive chain is one row, a
    // shared-base row is its own.
    size_t i = chain.size() - 1;
    for (size_t k = 0; k < chain.size(); ++k)
        if (chain[k]->table == &table_) i = k;
    while (i > 0 && chain[i]->table->GetBaseKind() == BaseKind::Exclusive &&
           chain[i]->table->BaseTable() == chain[i - 1]->table)
        --i;
    return i;
}

QString DataSet::rowKey() {
    requireRow();
    const auto& chain = row();
    const RowBuffer* b = chain[identityIndex(chain)].get();
    if (b->isNew()) return b->newRowKey();
    return b->table->Name() + QLatin1Char('#') + QString::number(b->oid);
}

bool DataSet::LockGuard(const QString& name) {
    const QString key = rowKey();
    if (!engine_.operation().lockGuard(name, key)) return false;
    const auto& b = row_[identityIndex(row_)];
    if (b->isNew()) engine_.operation().noteNewRowGuard(b);
    return true;
}

bool DataSet::IsGuardLocked(const QString& name) const {
    return engine_.operation().isGuardLocked(name, const_cast<DataSet*>(this)->rowKey());
}

void DataSet::UnlockGuard(const QString& name) {
    engine_.operation().unlockGuard(name, rowKey());
}

void DataSet::RejectChange(const QString& text, int32_t) {
    throw AppError(vbObjectError + odbErrRefused, table_.Name(), text);
}

bool DataSet::AskQuestion(int32_t kind, const QString& text, bool defaultCancel, bool readAnswer) {
    bool cancel = defaultCancel;
    engine_.operation().beforeShowing();
    if (itfNotifyEvent* n = engine_.notify()) n->OnQueryMessage(this, kind, text, cancel);
    if (readAnswer) return !cancel;
    if (cancel && (kind == 0 || kind == 2))
        throw AppError(vbObjectError + odbErrCancelled, table_.Name(), LibraryError::Text(odbErrCancelled));
    return !cancel;
}

void DataSet::ShowMessage(const QString& text) {
    engine_.operation().showMessage(this, text);
}

void DataSet::FocusField(const QString& field) {
    focus_ = field;
}

const QString& DataSet::FocusedField() const {
    return focus_;
}

bool DataSet::IsSilent() const {
    return engine_.operation().silent() > 0;
}

const odb::EventSource& DataSet::EventSource() const {
    const_cast<DataSet*>(this)->eventSource_.skipNumbering_ = engine_.operation().skipNumbering();
    return eventSource_;
}

// ---------------------------------------------------------------------------------------------
// New rows, saves and deletions

std::vector<DataSet::OwnerLink> DataSet::owners() {
    std::vector<OwnerLink> out;
    for (const auto& b : row()) {
        const Variant& owner = b->values[static_cast<size_t>(b->table->columnIndex(kOwnerColumn))];
        const Variant& oid = b->values[static_cast<size_t>(b->table->columnIndex(kOwnerOidColumn))];
        if (owner.isNull() || oid.isNull()) continue;
        const QString label = owner.toText();
        const Table* t = engine_.findTable(label.section(QLatin1Char('.'), 0, 0));
        if (!t) continue;
        const ReferenceDef* r = t->FindReference(label.section(QLatin1Char('.'), 1));
        if (!r) continue;
        out.push_back({t, r, static_cast<int64_t>(oid.toDouble())});
    }
    return out;
}

void DataSet::startNewRow() {
    saveState();
    row_ = engine_.rows().newChain(table_);
    isNew_ = true;
    if (scope_.kind == Scope::Owned || scope_.kind == Scope::Linked) {
        int64_t ownerOid = 0;
        for (const auto& b : scope_.ownerRow)
            if (b->table == scope_.ownerTable) ownerOid = b->oid;
        if (ownerOid == 0)
            LibraryError::Raise(odbErrNoCurrentRow, LibraryError::Text(odbErrNoCurrentRow) +
                                                        QStringLiteral(": ") + scope_.ownerTable->Name());
        if (scope_.kind == Scope::Owned) {
            const Table* target = engine_.findTable(scope_.reference->targetTable);
            for (const auto& b : row_)
                if (b->table == target) {
                    b->values[static_cast<size_t>(target->columnIndex(kOwnerColumn))] =
                        Variant(scope_.ownerTable->Name() + QLatin1Char('.') + scope_.reference->name);
                    b->values[static_cast<size_t>(target->columnIndex(kOwnerOidColumn))] = Variant(ownerOid);
                }
        }
    }
    raise([&](itfSetData& ev) { ev.OnNewRow(*this); });
    if (scope_.kind == Scope::Owned || scope_.kind == Scope::Linked) {
        int64_t ownerOid = 0;
        for (const auto& b : scope_.ownerRow)
            if (b->table == scope_.ownerTable) ownerOid = b->oid;
        auto owner = onFullRow(engine_, *scope_.ownerTable, ownerOid);
        const QString name = scope_.reference->name;
        owner->raise([&](itfSetData& ev) { ev.OnNewReference(*owner, *this, name); });
    }
}

void DataSet::applyPair(const QString& name, const Variant& value) {
    if (table_.HasBaseTable() && table_.GetBaseKind() == BaseKind::SharedBase &&
        name.compare(table_.BaseLinkField(), Qt::CaseInsensitive) == 0) {
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
    return engine_.operation().run(this, [&]() {
        startNewRow();
        const QString link = table_.HasBaseTable() && table_.GetBaseKind() == BaseKind::SharedBase
                                 ? table_.BaseLinkField()
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
    row_ = engine_.rows().newChain(table_);
    isNew_ = true;
}

bool DataSet::NewRow() {
    requireEditable();
    return engine_.operation().run(this, [&]() { startNewRow(); });
}

void DataSet::CancelRow() {
    if (isNew_) {
        if (!row_.empty()) engine_.operation().releaseGuards(row_[identityIndex(row_)]->newRowKey());
        saveState();
        isNew_ = false;
        row_.clear();
        return;
    }
    for (const auto& b : row()) {
        if (!b->isDirty() && !b->referenceChanged) continue;
        engine_.operation().beforeWrite(*b);
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
    if (beingSaved(row_)) return true;  // already being saved higher up
    return engine_.operation().run(this, [&]() {
        currentOrRefuse();
        saveCurrent();
    });
}

void DataSet::saveCurrent() {
    requireRow();
    const RowChain chain = row();
    if (beingSaved(chain)) return;
    const bool wasNew = isNew_;
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
        if (!engine_.operation().isQuietOwner(o.reference, o.oid)) links.push_back(o);
    std::vector<std::shared_ptr<DataSet>> ownerSets;
    for (const auto& o : links) {
        auto ownerDs = onFullRow(engine_, *o.ownerTable, o.oid);
        ownerSets.push_back(ownerDs);
    }
    if (!wasNew && !links.empty()) {
        auto before = storedCopy();
        for (size_t i = 0; i < links.size(); ++i) {
            auto& ownerDs = ownerSets[i];
            if (ownerDs->DataEmpty()) continue;
            bool ownerGone = false;
            for (const auto& ob : ownerDs->row())
                ownerGone = ownerGone || ob->deleting > 0;
            if (ownerGone) continue;
            const QString name = links[i].reference->name;
            ownerDs->raise(
                [&](itfSetData& ev) { ev.OnBeforeUpdateReference(*ownerDs, *before, name, false, false); });
        }
    }

    if (wasNew) {
        for (size_t i = 1; i < chain.size(); ++i)
            if (chain[i]->isNew() && chain[i]->table->BaseTable() == chain[i - 1]->table &&
                chain[i]->table->GetBaseKind() == BaseKind::Exclusive) {
                RowBuffer& base = *chain[i - 1];
                const int di = base.table->columnIndex(kDerivedColumn);
                engine_.operation().beforeWrite(base);
                base.values[static_cast<size_t>(di)] = Variant(chain[i]->table->Name());
                base.changed[static_cast<size_t>(di)] = true;
            }
        for (size_t i = 0; i < chain.size(); ++i) {
            const auto& b = chain[i];
            if (!b->isNew()) {
                engine_.rows().updateRow(*b);
                continue;
            }
            if (i > 0 && b->table->BaseTable() == chain[i - 1]->table) {
                if (b->table->GetBaseKind() == BaseKind::Exclusive) {
                    engine_.operation().beforeWrite(*b);
                    b->oid = chain[i - 1]->oid;
                } else {
                    const int li = b->table->columnIndex(b->table->BaseLinkField());
                    b->values[static_cast<size_t>(li)] = Variant(chain[i - 1]->oid);
                }
            }
            engine_.rows().insertRow(b);
        }
        saveState();
        isNew_ = false;
        rowWasAdded_ = true;
        for (const auto& b : chain)
            if (b->table == &table_) {
                ids_.push_back(b->oid);
                pos_ = static_cast<int64_t>(ids_.size()) - 1;
                emit eventSource_.RowAppended();
            }
        row_ = chain;
    } else {
        for (const auto& b : chain)
            engine_.rows().updateRow(*b);
        rowWasAdded_ = false;
    }

    for (size_t i = 0; i < links.size(); ++i) {
        auto& ownerDs = ownerSets[i];
        if (ownerDs->DataEmpty()) continue;
        bool ownerGone = false;
        for (const auto& ob : ownerDs->row())
            ownerGone = ownerGone || ob->deleting > 0;
        if (ownerGone) continue;
        const QString name = links[i].reference->name;
        ownerDs->raise([&](itfSetData& ev) { ev.OnUpdateReference(*ownerDs, *this, name, false, false); });
        // The owner changed by its events is stored now, so totals climb.
        ownerDs->saveCurrent();
    }
}

bool DataSet::DeleteRow(bool loginRows) {
    requireEditable();
    if (isNew_) {
        CancelRow();
        return true;
    }
    if (refusedAsGone()) return false;
    return engine_.operation().run(this, [&]() {
        currentOrRefuse(false);
        refuseLoginDeletion(loginRows);
        deleteCurrent(true);
    });
}

void DataSet::deleteCurrent(bool ownerEvents) {
    requireRow();
    if (isNew_) {
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
            Table& target = engine_.table(r->targetTable);
            auto children = std::shared_ptr<DataSet>(new DataSet(engine_, target));
            Scope scope;
            scope.kind = Scope::Owned;
            scope.reference = r.get();
            scope.ownerTable = b->table;
            scope.ownerRow = chain;
            children->open({}, {}, {}, scope);
            while (!children->ids_.empty()) {
                children->pos_ = 0;
                const size_t before = children->ids_.size();
                children->deleteCurrent(true);
                if (children->ids_.size() >= before) break;
            }
        }
    }

    std::vector<OwnerLink> links;
    if (ownerEvents)
        for (const auto& o : owners())
            if (!engine_.operation().isQuietOwner(o.reference, o.oid)) links.push_back(o);
    // Rows of collections that gather this row without owning it lose it with it: their owners
    // hear it as the owner of an owned child does.
    const size_t owningLinks = links.size();
    for (size_t i = first; i < chain.size(); ++i)
        for (const auto& l : linkOwners(*chain[i]))
            if (!engine_.operation().isQuietOwner(l.reference, l.oid)) links.push_back(l);
    std::vector<std::shared_ptr<DataSet>> ownerSets;
    for (const auto& o : links) {
        auto ownerDs = onFullRow(engine_, *o.ownerTable, o.oid);
        bool gone = ownerDs->DataEmpty();
        if (!gone)
            for (const auto& ob : ownerDs->row())
                gone = gone || ob->deleting > 0;
        ownerSets.push_back(gone ? nullptr : ownerDs);
    }
    for (size_t i = 0; i < links.size(); ++i) {
        auto ownerDs = ownerSets[i];
        if (!ownerDs) continue;
        const QString name = links[i].reference->name;
        ownerDs->raise(
            [&](itfSetData& ev) { ev.OnBeforeUpdateReference(*ownerDs, *this, name, true, false); });
    }

    for (size_t i = chain.size(); i-- > first;)
        engine_.rows().deleteRow(*chain[i]);
    saveState();
    const int64_t id = [&]() {
        for (const auto& b : chain)
            if (b->table == &table_) return b->oid;
        return int64_t{0};
    }();
    auto it = std::find(ids_.begin(), ids_.end(), id);
    if (it != ids_.end()) eraseId(static_cast<size_t>(it - ids_.begin()));
    row_.clear();

    for (size_t i = 0; i < links.size(); ++i) {
        auto ownerDs = ownerSets[i];
        if (!ownerDs) continue;
        const QString name = links[i].reference->name;
        auto none =
            emptyOn(engine_, i < owningLinks ? table_ : engine_.table(links[i].reference->targetTable));
        ownerDs->raise([&](itfSetData& ev) { ev.OnUpdateReference(*ownerDs, *none, name, true, false); });
        ownerDs->saveCurrent();
    }
}

std::vector<DataSet::OwnerLink> DataSet::linkOwners(const RowBuffer& b) {
    std::vector<OwnerLink> out;
    if (b.isNew()) return out;
    for (const auto& other : engine_.tables().items())
        for (const auto& r : other->OwnReferences()) {
            if (!r->collection || r->owned ||
                r->targetTable.compare(b.table->Name(), Qt::CaseInsensitive) != 0)
                continue;
            auto st = engine_.conn().statement(
                QStringLiteral("SELECT OwnerOID FROM %1 WHERE TargetOID=? ORDER BY OwnerOID")
                    .arg(SqlQuote(LinkTableName(other->Name(), r->name))));
            st.bind(1, b.oid);
            while (st.step())
                out.push_back({other.get(), r.get(), st.int64(0)});
            st.reset();
        }
    return out;
}

bool DataSet::DeleteRows(itfProgress* progress) {
    requireEditable();
    return engine_.operation().run(this, [&]() {
        // Undone, a failure half way leaves the data set on the row it stood on.
        saveState();
        std::shared_ptr<DataSet> owner;
        const bool collection =
            (scope_.kind == Scope::Owned || scope_.kind == Scope::Linked) && scope_.reference;
        if (collection) {
            int64_t ownerOid = 0;
            for (const auto& b : scope_.ownerRow)
                if (b->table == scope_.ownerTable) ownerOid = b->oid;
            owner = onFullRow(engine_, *scope_.ownerTable, ownerOid);
            if (owner->DataEmpty()) owner.reset();
        }
        const QString name = collection ? scope_.reference->name : QString();
        auto none = emptyOn(engine_, table_);
        if (owner)
            owner->raise(
                [&](itfSetData& ev) { ev.OnBeforeUpdateReference(*owner, *none, name, true, false); });
        const int total = static_cast<int>(ids_.size());
        int count = 0;
        {
            ProgressScope progressing(progress, odbEvtDeleteRows, total);
            QuietOwner quiet(engine_, owner ? scope_.reference : nullptr, ownerOidOf(scope_));
            while (!ids_.empty()) {
                pos_ = 0;
                const size_t before = ids_.size();
                if (scope_.kind == Scope::Linked) {
                    int64_t ownerOid = 0;
                    for (const auto& b : scope_.ownerRow)
                        if (b->table == scope_.ownerTable) ownerOid = b->oid;
                    engine_.conn()
                        .statement(QStringLiteral("DELETE FROM %1 WHERE OwnerOID=? AND TargetOID=?")
                                       .arg(SqlQuote(
                                           LinkTableName(scope_.ownerTable->Name(), scope_.reference->name))))
                        .bind(1, ownerOid)
                        .bind(2, ids_.front())
                        .run();
                    eraseId(0);
                    row_.clear();
                } else {
                    deleteCurrent(true);
                }
                if (ids_.size() >= before) break;
                ++count;
                if (progress && !progress->OnProgress(odbEvtDeleteRows, total, count, this, nullptr))
                    LibraryError::Raise(odbErrCancelled);
            }
        }
        if (owner) {
            owner->raise([&](itfSetData& ev) { ev.OnUpdateReference(*owner, *none, name, true, false); });
            owner->saveCurrent();
        }
        pos_ = -1;
    });
}

// ---------------------------------------------------------------------------------------------
// Aggregates, import, export

Variant DataSet::Aggregate(const QString& expression, int32_t op, int32_t, int32_t) {
    StorageSchema schema(engine_);
    ConditionSql sql(schema, table_.Name(), kAlias);
    SqlFragment e = sql.Expression(expression);
    if (scope_.kind == Scope::Owned || scope_.kind == Scope::Linked) {
        bool stored = false;
        for (const auto& b : scope_.ownerRow)
            if (b->table == scope_.ownerTable && !b->isNew()) stored = true;
        if (!stored) return e.type == ftCurrency ? Variant(Currency()) : Variant(0);
    }
    const char* fn = op == aggMax ? "MAX" : op == aggMin ? "MIN" : op == aggCount ? "COUNT" : "TOTAL";
    std::vector<SqlValue> values;
    const QString text = selectSql({}, values, false, QStringLiteral("%1(%2)").arg(QLatin1String(fn), e.sql));
    std::vector<SqlValue> all = e.values;
    all.insert(all.end(), values.begin(), values.end());
    auto st = engine_.conn().statement(text);
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

int32_t DataSet::ImportRows(DataSet& destination, itfProgress* progress) {
    int32_t copied = 0;
    const int total = static_cast<int>(ids_.size());
    Engine& dest = destination.engine_;
    const bool ok = dest.operation().run(&destination, [&]() {
        LibraryFills fills(dest.operation());
        std::shared_ptr<DataSet> owner;
        const auto& sc = destination.scope_;
        const bool collection = (sc.kind == Scope::Owned || sc.kind == Scope::Linked) && sc.reference;
        if (collection) {
            int64_t ownerOid = 0;
            for (const auto& b : sc.ownerRow)
                if (b->table == sc.ownerTable) ownerOid = b->oid;
            owner = onFullRow(dest, *sc.ownerTable, ownerOid);
        }
        auto none = emptyOn(dest, destination.table_);
        if (owner)
            owner->raise([&](itfSetData& ev) {
                ev.OnBeforeUpdateReference(*owner, *none, sc.reference->name, false, false);
            });
        std::map<std::pair<const ReferenceDef*, int64_t>, std::optional<Variant>> sourceKeys;
        std::map<std::pair<const ReferenceDef*, QString>, int64_t> destinationRows;
        {
            ProgressScope progressing(progress, odbEvtImportRows, total);
            QuietOwner quiet(dest, owner ? sc.reference : nullptr, ownerOidOf(sc));
            for (size_t i = 0; i < ids_.size(); ++i) {
                pos_ = static_cast<int64_t>(i);
                const RowChain& src = row();
                destination.startNewRow();
                for (const auto& b : src)
                    for (size_t c = 0; c < b->table->columns().size(); ++c) {
                        const StoredColumn& col = b->table->columns()[c];
                        if (col.kind != StoredColumn::Field || b->values[c].isNull()) continue;
                        if (!destination.table_.HasField(col.name)) continue;
                        destination.SetColValue(col.name, b->values[c]);
                    }
                // Lookups travel by the referenced row's key value: read once per referenced row,
                // resolved once per key in the destination.
                for (const auto& b : src)
                    for (size_t c = 0; c < b->table->columns().size(); ++c) {
                        const StoredColumn& col = b->table->columns()[c];
                        if (col.kind != StoredColumn::Lookup || b->values[c].isNull()) continue;
                        const ReferenceDef* dref = destination.table_.FindReference(col.name);
                        if (!dref || dref->collection) continue;
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
                        if (!known->second) continue;
                        const Variant& key = *known->second;
                        if (key.isEmptyOrNull()) {
                            destination.SetReference(col.name, key);
                            continue;
                        }
                        auto found = destinationRows.find(std::make_pair(dref, key.toText()));
                        if (found == destinationRows.end())
                            found = destinationRows
                                        .emplace(std::make_pair(dref, key.toText()),
                                                 destination.findTarget(*dref, key))
                                        .first;
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
        if (owner) {
            owner->raise([&](itfSetData& ev) {
                ev.OnUpdateReference(*owner, *none, sc.reference->name, false, false);
            });
            owner->saveCurrent();
        }
    });
    return ok ? copied : -1;
}

void DataSet::ExportHtml(int32_t, const QString& file, itfProgress* progress, const QString& fields) {
    QStringList names;
    if (!fields.trimmed().isEmpty()) {
        for (const QString& f : fields.split(QLatin1Char(','), Qt::SkipEmptyParts))
            names << f.trimmed();
    } else {
        for (const FieldDef* f : table_.Fields())
            if (f->shown) names << f->name;
    }
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        LibraryError::Raise(odbErrCannotOpen, LibraryError::Text(odbErrCannotOpen) + QStringLiteral(" (") +
                                                  file + QLatin1Char(')'));
    QTextStream s(&out);
    s.setEncoding(QStringConverter::Utf8);
    s << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" << table_.Caption().toHtmlEscaped()
      << "</title></head>\n<body>\n<table border=\"1\">\n<tr>";
    for (const QString& n : names)
        s << "<th>" << n.toHtmlEscaped() << "</th>";
    s << "</tr>\n";
    const int total = RowCount();
    ProgressScope progressing(progress, odbEvtExportHtml, total);
    const int64_t keep = pos_;
    try {
        int count = 0;
        for (size_t i = 0; i < ids_.size(); ++i) {
            pos_ = static_cast<int64_t>(i);
            s << "<tr>";
            for (const QString& n : names) {
                QString v;
                if (ColExists(n)) v = FormattedColValue(n);
                s << "<td>" << v.toHtmlEscaped() << "</td>";
            }
            s << "</tr>\n";
            ++count;
            if (progress && !progress->OnProgress(odbEvtExportHtml, total, count, this, nullptr)) break;
        }
    } catch (...) {
        pos_ = keep;
        throw;
    }
    pos_ = keep;
    s << "</table>\n</body></html>\n";
}

ObjectRef DataSet::AsObject() {
    return std::make_shared<DataSetObject>(shared_from_this());
}

void DataSet::CloseData() {
    closed_ = true;
    ids_.clear();
    row_.clear();
    isNew_ = false;
    pos_ = -1;
}

}  // namespace odb
