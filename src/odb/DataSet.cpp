// Data sets: the view: opening under a where-text, an order and a scope, its SQL, the row
// identities read in one statement, the row values in pages, navigation and the view settings.
#include "odb/DataSetPrivate.h"

namespace odb {

namespace {
// Rows read at once: a few screens of a grid, a few pages of a report.
constexpr int64_t kFirstRows = 1024;
}  // namespace

DataSet::DataSet(Engine& engine, Table& table) : d_(std::make_unique<DataSetPrivate>(engine, table)) {}

DataSet::~DataSet() = default;

std::shared_ptr<DataSet> DataSet::make(Engine& engine, Table& table) {
    struct Made : DataSet {
        Made(Engine& e, Table& t) : DataSet(e, t) {}
    };
    return std::make_shared<Made>(engine, table);
}

void DataSet::open(const QString& where, const QString& order, const QString& fields) {
    open(where, order, fields, Scope{});
}

void DataSet::open(const QString& where, const QString& order, const QString& fields, Scope scope,
                   bool readRows) {
    d_->where_ = where;
    d_->order_ = order;
    d_->fields_ = fields;
    d_->scope_ = std::move(scope);
    parseFields();
    if (d_->table_.events()) {
        // An order or filter set by OnSelect is read with the rows below, once.
        CountUp opening(d_->opening_);
        d_->table_.events()->OnSelect(*this);
    }
    if (readRows) load();
}

void DataSet::parseFields() {
    d_->computed_.clear();
    d_->shownFields_.clear();
    if (d_->fields_.trimmed().isEmpty()) return;
    StorageSchema schema(d_->engine_);
    ConditionSql sql(schema, d_->table_.Name(), kAlias);
    for (auto& f : sql.Fields(d_->fields_)) {
        if (f.all) {
            for (const FieldDef* d : d_->table_.Fields())
                d_->shownFields_.push_back(d);
            continue;
        }
        if (f.name.isEmpty()) continue;
        if (const FieldDef* d = d_->table_.FieldByName(f.name)) d_->shownFields_.push_back(d);
        // A plain field of the table reads from the row itself.
        if (d_->table_.FieldByName(f.name) && !f.expr.sql.contains(QLatin1Char('('))) continue;
        d_->computed_.push_back(
            {f.name.normalized(QString::NormalizationForm_C), f.expr.sql, f.expr.values, f.expr.type});
    }
}

const DataSet::Computed* DataSet::computed(const QString& name) const {
    if (d_->computed_.empty()) return nullptr;
    const QString n = name.normalized(QString::NormalizationForm_C);
    for (const auto& c : d_->computed_)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

SqlFragment DataSet::translate(bool order, const QString& text) const {
    return *translated(order, text);
}

std::shared_ptr<const SqlFragment> DataSet::translated(bool order, const QString& text) const {
    Engine& engine = d_->engine_;
    auto& recent = engine.recentTranslations();
    const QString& fields = order ? d_->fields_ : QString();
    for (const auto& r : recent)
        if (r.table == &d_->table_ && r.order == order && r.text == text && r.fields == fields)
            return r.fragment;
    auto f = translatedByKey(order, text);
    size_t& next = engine.nextRecentTranslation();
    recent[next] = {&d_->table_, order, fields, text, f};
    next = (next + 1) % recent.size();
    return f;
}

std::shared_ptr<const SqlFragment> DataSet::translatedByKey(bool order, const QString& text) const {
    // Kept by table and text (bounded: texts with literals vary); the schema is fixed while open.
    // Built in one piece: rules set orders on every data set they open.
    const QString& name = d_->table_.Name();
    QString key;
    key.reserve(name.size() + 2 + (order ? d_->fields_.size() : 0) + text.size());
    key.append(name).append(QChar(order ? 2 : 1));
    if (order) key.append(d_->fields_).append(QChar(3));
    key.append(text);
    auto it = d_->engine_.translations().constFind(key);
    if (it != d_->engine_.translations().constEnd()) return it.value();
    StorageSchema schema(d_->engine_);
    ConditionSql sql(schema, d_->table_.Name(), kAlias);
    SqlFragment f;
    if (order) {
        std::vector<SelectedField> selected;
        if (!d_->fields_.trimmed().isEmpty()) selected = sql.Fields(d_->fields_);
        f = sql.Order(text, selected);
    } else {
        f = sql.Where(text);
    }
    if (d_->engine_.translations().size() >= 512) d_->engine_.translations().clear();
    auto kept = std::make_shared<const SqlFragment>(std::move(f));
    d_->engine_.translations().insert(key, kept);
    return kept;
}

void DataSet::scopeCondition(QStringList& conds, std::vector<SqlValue>& binds) const {
    auto oid = [](const QString& a) { return a + QStringLiteral(".\"OID\""); };
    switch (d_->scope_.kind) {
        case Scope::All:
            break;
        case Scope::Empty:
            conds << QStringLiteral("0");
            break;
        case Scope::Lookup:
        case Scope::Rows:
            // Bound as one value: lists of every length share one statement.
            conds << oid(kAlias) + QStringLiteral(" IN ") + SqlStatement::IdListSql();
            binds.push_back(SqlStatement::IdListValue(d_->scope_.rows));
            break;
        case Scope::Owned:
        case Scope::Linked: {
            const int64_t ownerOid = ownerOidOf(d_->scope_);
            const Table* target = d_->engine_.findTable(d_->scope_.reference->targetTable);
            // The owner is bound, so that one statement serves every owner.
            QString inner;
            if (d_->scope_.kind == Scope::Owned) {
                inner = QStringLiteral("SELECT \"OID\" FROM %1 WHERE \"_OwnerOID\"=? AND \"_Owner\"=?")
                            .arg(target->sqlName());
                binds.push_back(ownerOid);
                binds.push_back(ownerLink());
            } else {
                inner = QStringLiteral("SELECT TargetOID FROM %1 WHERE OwnerOID=?")
                            .arg(SqlQuote(
                                LinkTableName(d_->scope_.ownerTable->Name(), d_->scope_.reference->name)));
                binds.push_back(ownerOid);
            }
            if (target == &d_->table_ && d_->scope_.kind == Scope::Owned) {
                // The owner's columns are in the row itself: their index serves the condition directly.
                conds << QStringLiteral("%1.\"_OwnerOID\"=? AND %1.\"_Owner\"=?").arg(kAlias);
            } else if (target == &d_->table_) {
                conds << oid(kAlias) + QStringLiteral(" IN (") + inner + QLatin1Char(')');
            } else {
                // Opened as a table derived from the target: the derived rows of those base rows.
                QString link = oid(kAlias);
                const Table* cur = &d_->table_;
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
}

QString DataSet::ownerLink() const {
    return d_->scope_.ownerTable->Name() + QLatin1Char('.') + d_->scope_.reference->name;
}

void DataSet::viewConditions(const QString& extraWhere, QStringList& conds,
                             std::vector<SqlValue>& binds) const {
    for (const QString& text : {d_->where_, d_->filter_, extraWhere}) {
        if (text.trimmed().isEmpty()) continue;
        const SqlFragment f = translate(false, text);
        if (f.sql.isEmpty()) continue;
        conds << QLatin1Char('(') + f.sql + QLatin1Char(')');
        binds.insert(binds.end(), f.values.begin(), f.values.end());
    }
}

QString DataSet::selectSql(const QString& extraWhere, std::vector<SqlValue>& values, bool withOrder,
                           const QString& selectList, int64_t except) const {
    QStringList conds;
    std::vector<SqlValue> binds;
    scopeCondition(conds, binds);
    viewConditions(extraWhere, conds, binds);
    if (except > 0) {
        conds << kAlias + QStringLiteral(".\"OID\"<>?");
        binds.push_back(except);
    }
    SqlFragment order;
    if (withOrder && !d_->order_.trimmed().isEmpty()) order = translate(true, d_->order_);
    QString text = QStringLiteral("SELECT ") +
                   (selectList.isEmpty() ? kAlias + QStringLiteral(".\"OID\"") : selectList) +
                   QStringLiteral(" FROM ") + d_->table_.sqlName() + QLatin1Char(' ') + kAlias;
    // The order's lookups join before the conditions; they bind nothing, so the values keep their order.
    if (!order.sql.isEmpty()) text += order.joins;
    if (!conds.isEmpty()) text += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
    if (withOrder) {
        QString orderSql;
        if (!order.sql.isEmpty()) {
            orderSql = order.sql + QStringLiteral(", ");
            binds.insert(binds.end(), order.values.begin(), order.values.end());
        }
        text += QStringLiteral(" ORDER BY ") + orderSql + kAlias + QStringLiteral(".\"OID\"");
    }
    values = std::move(binds);
    return text;
}

bool DataSet::ownerStored() const {
    if (d_->scope_.kind != Scope::Owned && d_->scope_.kind != Scope::Linked) return true;
    for (const auto& b : d_->scope_.ownerRow)
        if (b->table == d_->scope_.ownerTable && !b->isNew()) return true;
    return false;
}

std::vector<bool> DataSet::anyRows(const QStringList& conditions, int64_t except) {
    if (d_->scope_.kind == Scope::Lookup || d_->scope_.kind == Scope::Rows) {
        std::vector<bool> found;
        if (conditions.isEmpty()) {
            // A lookup's one row, or rows named by identity: read as a list is.
            load();
            found.push_back(
                std::any_of(d_->ids_.begin(), d_->ids_.end(), [&](int64_t id) { return id != except; }));
            return found;
        }
        for (const QString& c : conditions) {
            std::vector<SqlValue> values;
            auto st = d_->engine_.conn().statement(selectSql(c, values, false, QStringLiteral("1"), except) +
                                                   QStringLiteral(" LIMIT 1"));
            bindValues(st, values);
            found.push_back(st.step());
            st.reset();
        }
        return found;
    }
    d_->engine_.rows().callStarts();
    const size_t parts = std::max<qsizetype>(conditions.size(), 1);
    if (!ownerStored()) return std::vector<bool>(parts, false);
    const ProbeShape& shape = probeShape(conditions, except > 0);
    // Inside an operation an owner asks the same question before and after one of its rows is
    // stored: answered again while the file is as the probe saw it.
    Engine& engine = d_->engine_;
    const bool kept = engine.operation().inOperation();
    const int64_t owner = ownerOidOf(d_->scope_);
    ProbeMoment now;
    if (kept) {
        now = {engine.operation().serial(), engine.conn().localVersion(), engine.conn().totalChanges()};
        if (const std::vector<bool>* known =
                engine.probes().answer(shape, owner, except, now, engine.rows().lastUpdate()))
            return *known;
    }
    auto st = d_->engine_.conn().statement(shape.sql);
    int i = 1;
    for (const auto& values : shape.partValues) {
        if (d_->scope_.kind == Scope::Owned || d_->scope_.kind == Scope::Linked) st.bind(i++, owner);
        if (d_->scope_.kind == Scope::Owned) st.bind(i++, shape.ownerLink);
        bindValues(st, values, i);
        i += static_cast<int>(values.size());
        if (except > 0) st.bind(i++, except);
    }
    std::vector<bool> found;
    if (conditions.isEmpty()) {
        found.push_back(st.step());
    } else {
        const bool row = st.step();
        for (size_t c = 0; c < parts; ++c)
            found.push_back(row && st.int64(static_cast<int>(c)) != 0);
    }
    st.reset();
    if (kept) engine.probes().keep(shape, owner, except, now, found);
    return found;
}

const ProbeShape& DataSet::probeShape(const QStringList& conditions, bool except) const {
    ProbeCache& cache = d_->engine_.probes();
    if (const ProbeShape* known = cache.find(&d_->table_, d_->scope_.kind, d_->scope_.reference, d_->where_,
                                             d_->filter_, conditions, except))
        return *known;
    ProbeShape shape;
    shape.table = &d_->table_;
    shape.scopeKind = d_->scope_.kind;
    shape.reference = d_->scope_.reference;
    shape.where = d_->where_;
    shape.filter = d_->filter_;
    shape.conditions = conditions;
    shape.except = except;
    if (d_->scope_.kind == Scope::Owned) shape.ownerLink = ownerLink();
    // The scope's own binds are the owner's, bound anew at each probe; the rest is the shape's.
    QStringList scope;
    std::vector<SqlValue> ownerBinds;
    scopeCondition(scope, ownerBinds);
    auto part = [&](const QString& condition) {
        QStringList conds = scope;
        std::vector<SqlValue> values;
        viewConditions(condition, conds, values);
        if (except) conds << kAlias + QStringLiteral(".\"OID\"<>?");
        shape.partValues.push_back(std::move(values));
        QString text = QStringLiteral("SELECT 1 FROM ") + d_->table_.sqlName() + QLatin1Char(' ') + kAlias;
        if (!conds.isEmpty()) text += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
        return text;
    };
    if (conditions.isEmpty()) {
        shape.sql = part({}) + QStringLiteral(" LIMIT 1");
    } else {
        QStringList each;
        for (const QString& c : conditions)
            each << QStringLiteral("EXISTS(") + part(c) + QLatin1Char(')');
        shape.sql = QStringLiteral("SELECT ") + each.join(QStringLiteral(", "));
    }
    // No sub-select or join beyond the parts' own: every part reads the probed rows alone.
    const qsizetype selects = conditions.isEmpty() ? 1 : conditions.size() + 1;
    shape.rowLocal = shape.sql.count(QStringLiteral("SELECT"), Qt::CaseInsensitive) == selects &&
                     !shape.sql.contains(QStringLiteral("JOIN"), Qt::CaseInsensitive);
    return cache.add(std::move(shape));
}

void DataSet::load() {
    d_->engine_.rows().callStarts();
    if (d_->scope_.kind == Scope::Owned || d_->scope_.kind == Scope::Linked) {
        if (!ownerStored()) {
            d_->ids_.clear();
            d_->pos_ = -1;
            d_->row_.clear();
            d_->isNew_ = false;
            return;
        }
    }
    // One row named by its identity (a lookup's target, or a where-text "OID=n"): reading it
    // tells whether it is there.
    std::optional<int64_t> single;
    if ((d_->scope_.kind == Scope::Lookup || d_->scope_.kind == Scope::Rows) && d_->scope_.rows.size() <= 1 &&
        d_->where_.trimmed().isEmpty() && d_->filter_.trimmed().isEmpty())
        single = d_->scope_.rows.empty() ? 0 : d_->scope_.rows.front();
    else if (d_->scope_.kind == Scope::All && d_->filter_.trimmed().isEmpty())
        single = identityWhere(d_->where_);
    if (single) {
        // Read first: a read that fails leaves the data set as it was.
        RowChain row;
        if (*single > 0) row = d_->engine_.rows().rowChain(d_->table_, *single);
        d_->ids_.clear();
        d_->isNew_ = false;
        d_->row_ = std::move(row);
        if (!d_->row_.empty()) d_->ids_.push_back(*single);
        d_->pos_ = d_->ids_.empty() ? -1 : 0;
        return;
    }
    // SQLite orders and limits: a page needs only the first rows, not every row sorted. The count
    // (a grid asks it for its scroll bar) has no order: counting the ordered statement sorts every
    // row.
    std::vector<SqlValue> values;
    const QString sql = selectSql({}, values, true);
    std::vector<SqlValue> countValues;
    const QString countSql = selectSql({}, countValues, false, QStringLiteral("count(*)"));
    Engine& engine = d_->engine_;
    auto reader = [&engine, sql, values](int64_t limit) {
        auto st = engine.conn().statement(limit < 0 ? sql : sql + QStringLiteral(" LIMIT ?"));
        bindValues(st, values);
        if (limit >= 0) st.bind(static_cast<int>(values.size()) + 1, limit);
        std::vector<int64_t> ids;
        while (st.step())
            ids.push_back(st.int64(0));
        st.reset();
        return ids;
    };
    // Rows named by identity are at most their list: a short one is read whole, unlimited.
    const bool named = d_->scope_.kind == Scope::Lookup || d_->scope_.kind == Scope::Rows;
    if (named && static_cast<int64_t>(d_->scope_.rows.size()) <= kFirstRows) {
        d_->ids_ = reader(-1);
    } else {
        d_->ids_.read(
            kFirstRows, std::move(reader),
            [&engine, countSql, countValues]() {
                auto st = engine.conn().statement(countSql);
                bindValues(st, countValues);
                const int64_t n = st.step() ? st.int64(0) : 0;
                st.reset();
                return n;
            },
            rowLocator());
    }
    d_->isNew_ = false;
    d_->row_.clear();
    d_->pos_ = d_->ids_.none() ? -1 : 0;
}

void DataSet::loadKeepingRow() {
    const Variant bm = (!d_->isNew_ && d_->pos_ >= 0 && !d_->ids_.beyond(d_->pos_))
                           ? Variant(d_->ids_.at(d_->pos_))
                           : Variant();
    load();
    if (!bm.isEmpty()) {
        const int64_t at = d_->ids_.find(static_cast<int64_t>(bm.toDouble()));
        if (at >= 0) d_->pos_ = at;
    }
}

const RowChain& DataSet::row() const {
    if (d_->isNew_) return d_->row_;
    if (d_->pos_ < 0 || d_->ids_.beyond(d_->pos_)) {
        d_->row_.clear();
        return d_->row_;
    }
    const int64_t id = d_->ids_.at(d_->pos_);
    const Table& own = physicalTable();
    bool valid = false;
    for (const auto& b : d_->row_)
        if (b->table == &own && b->oid == id && !b->deleted) valid = true;
    if (valid && !d_->detached_) {
        // A row read in this operation is as the file holds it: asked without the call.
        const Operation& op = d_->engine_.operation();
        const bool inOperation = op.inOperation();
        const int64_t serial = op.serial();
        for (const auto& b : d_->row_) {
            if (!inOperation || b->opSerial != serial) d_->engine_.rows().ensureFresh(*b);
            if (b->table == &own && b->deleted) valid = false;
        }
    }
    if (!valid && !d_->detached_) {
        prefetch();
        d_->row_ = d_->engine_.rows().rowChain(own, id);
    }
    return d_->row_;
}

void DataSet::prefetch() const {
    // Row values are read a page at a time, in one short statement per table of the chain.
    constexpr int64_t kPage = 64;
    std::vector<int64_t> page;
    const int64_t wanted = d_->ids_.at(d_->pos_);
    for (const Table* t = &d_->table_; t; t = t->BaseTable()) {
        // A walk finds most rows in the page read before: the page is listed only when it is not.
        if (!d_->engine_.rows().holdsFresh(*t, wanted)) {
            if (page.empty())
                for (int64_t i = d_->pos_; d_->ids_.known(i) && i < d_->pos_ + kPage; ++i)
                    page.push_back(d_->ids_.at(i));
            d_->engine_.rows().prefetch(*t, page);
        }
        if (t->GetBaseKind() != BaseKind::Exclusive) break;  // other identities above
    }
}

const Table& DataSet::physicalTable() const {
    return d_->table_;
}

void DataSet::saveState() {
    if (!d_->engine_.operation().inOperation()) return;
    // Rows only ever get appended or erased (erase records its own undo): the size is enough.
    std::weak_ptr<DataSet> self = weak_from_this();
    const size_t count = d_->ids_.size();
    auto pos = d_->pos_;
    auto row = d_->row_;
    auto isNew = d_->isNew_;
    d_->engine_.operation().addUndo(this, [self, count, pos, row, isNew]() {
        if (auto ds = self.lock()) {
            const bool fewer = ds->d_->ids_.size() > count;
            if (fewer) ds->d_->ids_.resize(count);
            ds->d_->pos_ = pos;
            ds->d_->row_ = row;
            ds->d_->isNew_ = isNew;
            if (fewer && ds->d_->eventSource_) emit ds->d_->eventSource_->RowsChanged();
        }
    });
}

void DataSet::eraseId(size_t index) {
    saveState();
    const int64_t id = d_->ids_[index];
    d_->ids_.erase(d_->ids_.begin() + static_cast<std::ptrdiff_t>(index));
    if (static_cast<int64_t>(index) == d_->pos_) d_->positionLost_ = true;
    std::weak_ptr<DataSet> self = weak_from_this();
    d_->engine_.operation().addUndo(nullptr, [self, index, id]() {
        if (auto ds = self.lock())
            if (index <= ds->d_->ids_.size()) {
                ds->d_->ids_.insert(ds->d_->ids_.begin() + static_cast<std::ptrdiff_t>(index), id);
                if (ds->d_->eventSource_) emit ds->d_->eventSource_->RowsChanged();
            }
    });
    if (d_->eventSource_) emit d_->eventSource_->RowRemoved(static_cast<int>(index));
}

std::vector<const Table*> DataSet::rowTables() const {
    std::vector<const Table*> out;
    for (const auto& b : row())
        out.push_back(b->table);
    if (out.empty())
        for (const Table* t : d_->table_.chain())
            out.push_back(t);
    return out;
}

void DataSet::currentOrRefuse(bool editsMatter) {
    const RowChain& chain = row();
    if (onGoneRow()) LibraryError::Raise(odbErrRowDeleted);
    // Said once, by the first write or save of the row from the top; a deletion needs no edits.
    if (d_->engine_.operation().depth() != 1) return;
    bool lost = false;
    for (const auto& b : chain) {
        lost = lost || b->lostEdits;
        b->lostEdits = false;
    }
    if (lost && editsMatter) LibraryError::Raise(odbErrRowChanged);
}

const RowChain& DataSet::requireRow() const {
    if (d_->closed_) LibraryError::Raise(odbErrNoCurrentRow);
    const RowChain& chain = row();
    if (chain.empty()) LibraryError::Raise(onGoneRow() ? odbErrRowDeleted : odbErrNoCurrentRow);
    return chain;
}

bool DataSet::onGoneRow() const {
    return !d_->isNew_ && !d_->closed_ && d_->pos_ >= 0 && !d_->ids_.beyond(d_->pos_) && row().empty();
}

bool DataSet::refusedAsGone() {
    // Found before the operation starts: refused as a rule's refusal is, shown once.
    if (d_->engine_.operation().inOperation() || !onGoneRow()) return false;
    d_->engine_.operation().showMessage(this, LibraryError::Text(odbErrRowDeleted));
    return true;
}

void DataSet::requireEditable() const {
    if (d_->detached_ || !d_->editEnabled_) LibraryError::Raise(odbErrReadOnly);
}

QString DataSet::SelWhere() const {
    return d_->where_;
}

void DataSet::SetSelWhere(const QString& where) {
    replaceViewSetting(d_->where_, where, [this] { loadKeepingRow(); });
}

QString DataSet::SelFields() const {
    return d_->fields_;
}

void DataSet::SetSelFields(const QString& fields) {
    replaceViewSetting(d_->fields_, fields, [this] {
        parseFields();
        loadKeepingRow();
    });
}

QString DataSet::SortOrder() const {
    return d_->order_;
}

void DataSet::SetSortOrder(const QString& order) {
    replaceViewSetting(d_->order_, order, [this] { loadKeepingRow(); });
}

void DataSet::SortBy(const QString& field, bool descending) {
    SetSortOrder(descending ? field + QStringLiteral(" DESC") : field);
}

QString DataSet::Filter() const {
    return d_->filter_;
}

void DataSet::SetFilter(const QString& filter) {
    replaceViewSetting(d_->filter_, filter, [this] { loadKeepingRow(); });
}

// A where-text, field list, order or filter that fails to translate or to run leaves the view as it was.
void DataSet::replaceViewSetting(QString& setting, const QString& value,
                                 const std::function<void()>& reload) {
    const QString previous = setting;
    setting = value;
    try {
        if (d_->opening_ > 0) {
            // Only translated now (a text that fails leaves the view as it was); read by open().
            if (&setting == &d_->fields_) {
                parseFields();
                if (!d_->order_.trimmed().isEmpty()) translated(true, d_->order_);
            } else if (!value.trimmed().isEmpty()) {
                translated(&setting == &d_->order_, value);
            }
        } else {
            if (d_->eventSource_) emit d_->eventSource_->AboutToRefreshRecordset(*this);
            reload();
            if (d_->eventSource_) emit d_->eventSource_->OnRefreshRecordset(*this);
        }
    } catch (...) {
        setting = previous;
        if (&setting == &d_->fields_) parseFields();
        throw;
    }
}

void DataSet::Requery() {
    if (d_->isNew_) return;
    if (d_->eventSource_) emit d_->eventSource_->AboutToRefreshRecordset(*this);
    loadKeepingRow();
    if (d_->eventSource_) emit d_->eventSource_->OnRefreshRecordset(*this);
}

bool DataSet::RowFirst() {
    if (d_->isNew_) CancelRow();
    d_->engine_.rows().callStarts();
    d_->pos_ = d_->ids_.none() ? -1 : 0;
    moved();
    return !RowInvalid();
}

bool DataSet::RowNext() {
    if (d_->isNew_) CancelRow();
    d_->engine_.rows().callStarts();
    if (!d_->ids_.beyond(d_->pos_)) ++d_->pos_;
    moved();
    return !RowInvalid();
}

bool DataSet::RowPrevious() {
    if (d_->isNew_) CancelRow();
    d_->engine_.rows().callStarts();
    if (d_->pos_ >= 0) --d_->pos_;
    moved();
    return !RowInvalid();
}

bool DataSet::RowLast() {
    if (d_->isNew_) CancelRow();
    d_->engine_.rows().callStarts();
    d_->pos_ = static_cast<int64_t>(d_->ids_.size()) - 1;
    moved();
    return !RowInvalid();
}

bool DataSet::StepToLastRow() {
    if (!d_->ids_.none() && d_->ids_.beyond(d_->pos_)) d_->pos_ = static_cast<int64_t>(d_->ids_.size()) - 1;
    moved();
    return !RowInvalid();
}

bool DataSet::RowUnavailable() const {
    return row().empty();
}

bool DataSet::RowInvalid() const {
    if (d_->isNew_) return false;
    return d_->pos_ < 0 || d_->ids_.beyond(d_->pos_);
}

bool DataSet::RowBeforeFirst() const {
    return !d_->isNew_ && d_->pos_ < 0;
}

bool DataSet::DataEmpty() const {
    return d_->ids_.none() && !d_->isNew_;
}

bool DataSet::NoCurrentRow() const {
    return row().empty();
}

int32_t DataSet::RowCount() const {
    return static_cast<int32_t>(d_->ids_.count());
}

bool DataSet::FindRow(const QString& condition, bool fromNext) {
    if (d_->isNew_) CancelRow();
    std::vector<SqlValue> values;
    const QString sql = selectSql(condition, values, false);
    auto st = d_->engine_.conn().statement(sql);
    bindValues(st, values);
    std::unordered_set<int64_t> match;
    while (st.step())
        match.insert(st.int64(0));
    st.reset();
    const int64_t start = fromNext ? d_->pos_ + 1 : 0;
    for (int64_t i = std::max<int64_t>(start, 0); i < static_cast<int64_t>(d_->ids_.size()); ++i)
        if (match.count(d_->ids_[static_cast<size_t>(i)])) {
            d_->pos_ = i;
            moved();
            return true;
        }
    d_->pos_ = static_cast<int64_t>(d_->ids_.size());
    moved();
    return false;
}

Variant DataSet::Bookmark(int32_t) const {
    requireRow();
    for (const auto& b : row())
        if (b->table == &d_->table_) return b->isNew() ? Variant::null() : Variant(b->oid);
    return Variant::null();
}

bool DataSet::GotoBookmark(const Variant& bookmark) {
    return FindBookmark(bookmark);
}

bool DataSet::FindBookmark(const Variant& bookmark, int32_t) {
    if (bookmark.isEmptyOrNull()) return false;
    if (d_->isNew_) CancelRow();
    const int64_t at = d_->ids_.find(static_cast<int64_t>(bookmark.toDouble()));
    if (at < 0) return false;
    d_->pos_ = at;
    moved();
    return true;
}

Table& DataSet::GetTable() const {
    return d_->table_;
}

Database& DataSet::GetDatabase() const {
    return d_->engine_.database();
}

std::shared_ptr<Connection> DataSet::GetConnection() const {
    return d_->engine_.connection();
}

size_t DataSet::identityIndex(const RowChain& chain) const {
    // The first buffer of the row the data set stands on: an exclusive chain is one row, a
    // shared-base row is its own.
    size_t i = chain.size() - 1;
    for (size_t k = 0; k < chain.size(); ++k)
        if (chain[k]->table == &d_->table_) i = k;
    while (i > 0 && chain[i]->table->GetBaseKind() == BaseKind::Exclusive &&
           chain[i]->table->BaseTable() == chain[i - 1]->table)
        --i;
    return i;
}

QString DataSet::rowKey() const {
    requireRow();
    const auto& chain = row();
    const RowBuffer* b = chain[identityIndex(chain)].get();
    if (b->isNew()) return b->newRowKey();
    return b->table->Name() + QLatin1Char('#') + QString::number(b->oid);
}

void DataSet::FocusField(const QString& field) {
    d_->focus_ = field;
}

const QString& DataSet::FocusedField() const {
    return d_->focus_;
}

const odb::EventSource& DataSet::EventSource() const {
    if (!d_->eventSource_) d_->eventSource_ = std::make_unique<odb::EventSource>();
    d_->eventSource_->skipNumbering_ = d_->engine_.operation().skipNumbering();
    return *d_->eventSource_;
}

ObjectRef DataSet::AsObject() {
    return std::make_shared<DataSetObject>(shared_from_this());
}

void DataSet::CloseData() {
    d_->closed_ = true;
    d_->ids_.clear();
    d_->row_.clear();
    d_->isNew_ = false;
    d_->pos_ = -1;
}

bool DataSet::RowWasAdded() const {
    return d_->rowWasAdded_;
}
const ReferenceDef* DataSet::SourceReferenceDef() const {
    return d_->scope_.reference;
}
QString DataSet::SavedSelWhere() const {
    return d_->savedWhere_;
}
void DataSet::SetSavedSelWhere(const QString& where) {
    d_->savedWhere_ = where;
}
bool DataSet::SelectionHeld() const {
    return d_->selectionHeld_ > 0;
}
void DataSet::SetSelectionHeld(bool held) {
    d_->selectionHeld_ += held ? 1 : -1;
}

}  // namespace odb
