// Data sets as grids and windows read them: the view's columns, the current position, rows read a
// page at a time for display, options the program keeps, copies, and the selection sets.
#include <QHash>

#include <algorithm>
#include <unordered_map>

#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/DataSetPrivate.h"
#include "odb/Database.h"
#include "odb/Recordset.h"
#include "odb/SelectionSet.h"
#include "odb/SqlStatement.h"
#include "odb/StorageSchema.h"
#include "odb/Table.h"
#include "odb/ViewColumns.h"
#include "odb/condition/ConditionSql.h"

namespace odb {

namespace {

// Rows are read by identity in chunks of a fixed size, so that one prepared statement serves all.
constexpr int kChunk = 64;

}  // namespace

// ---------------------------------------------------------------------------------------------
// The view's columns

void DataSet::buildView() const {
    if (d_->viewBuilt_ && d_->viewFor_ == d_->fields_) return;
    std::vector<std::shared_ptr<const FieldDef>> view;
    QHash<QString, bool> seen;
    auto add = [&](std::shared_ptr<const FieldDef> d) {
        if (!d) return;
        const QString key = d->name.toLower();
        if (seen.contains(key)) return;
        seen.insert(key, true);
        view.push_back(std::move(d));
    };
    auto addDefaults = [&] {
        for (const QString& name : DefaultColumns(d_->table_))
            add(ViewColumnDef(d_->table_, name));
    };
    if (d_->fields_.trimmed().isEmpty()) {
        addDefaults();
    } else {
        StorageSchema schema(d_->engine_);
        ConditionSql sql(schema, d_->table_.Name(), QStringLiteral("r"));
        for (const SelectedField& f : sql.Fields(d_->fields_)) {
            if (f.all) {
                addDefaults();
                continue;
            }
            auto d = ViewColumnDef(d_->table_, f.name);
            if (!d) {
                // An "As" name: known to this view only.
                auto own = std::make_shared<FieldDef>();
                own->name = f.name;
                own->type = f.expr.type >= 0 ? f.expr.type : ftText;
                own->computed = true;
                own->asName = true;
                own->flags1 = 15;
                own->table = d_->table_.Name();
                d = own;
            }
            add(d);
        }
    }
    d_->view_ = std::move(view);
    d_->viewFor_ = d_->fields_;
    d_->viewBuilt_ = true;
}

int32_t DataSet::FieldCount() const {
    buildView();
    return static_cast<int32_t>(d_->view_.size());
}

const FieldDef* DataSet::Field(int32_t position) const {
    buildView();
    if (position < 1 || position > static_cast<int32_t>(d_->view_.size())) return nullptr;
    return d_->view_[static_cast<size_t>(position - 1)].get();
}

const FieldDef* DataSet::Field(const QString& name) const {
    if (const FieldDef* f = d_->table_.FieldByName(name)) return f;
    buildView();
    for (const auto& d : d_->view_)
        if (d->name.compare(name.normalized(QString::NormalizationForm_C), Qt::CaseInsensitive) == 0)
            return d.get();
    return nullptr;
}

QStringList DataSet::ColumnNames() const {
    buildView();
    QStringList out;
    for (const auto& d : d_->view_)
        out << d->name;
    return out;
}

// ---------------------------------------------------------------------------------------------
// Position

void DataSet::moved() {
    d_->positionLost_ = false;
    if (d_->eventSource_) emit d_->eventSource_->RowMoved();
}

int32_t DataSet::AbsolutePosition() const {
    if (d_->isNew_ || d_->pos_ < 0 || d_->ids_.beyond(d_->pos_)) return -1;
    return static_cast<int32_t>(d_->pos_);
}

bool DataSet::MoveToPosition(int32_t position) {
    if (position < 0 || d_->ids_.beyond(position)) return false;
    if (d_->isNew_) CancelRow();
    d_->engine_.rows().callStarts();
    if (d_->pos_ == position && !d_->positionLost_) return true;
    d_->pos_ = position;
    moved();
    return true;
}

Variant DataSet::BookmarkAt(int32_t position) const {
    if (position < 0 || d_->ids_.beyond(position)) return Variant::null();
    return Variant(d_->ids_.at(position));
}

bool DataSet::RowPositionLost() const {
    return d_->positionLost_ || RowInvalid() || RowUnavailable();
}

QString DataSet::RowIdentity(bool) const {
    if (NoCurrentRow()) return {};
    const Variant id = Bookmark();
    return id.isNull() ? QString() : QString::number(static_cast<int64_t>(id.toDouble()));
}

odb::Recordset DataSet::Recordset() {
    return odb::Recordset(*this);
}

// ---------------------------------------------------------------------------------------------
// Rows for display

std::vector<VariantList> DataSet::ReadRows(int32_t first, int32_t count, const QStringList& columns) {
    std::vector<VariantList> out;
    first = std::max(first, 0);
    const int64_t last = std::min<int64_t>(d_->ids_.count(), int64_t{first} + count);
    if (first >= last) return out;
    if (columns != d_->pageColumns_ || d_->pageSql_.isEmpty()) {
        // Translated once for a column list: every chunk runs the same prepared statement.
        StorageSchema schema(d_->engine_);
        ConditionSql sql(schema, d_->table_.Name(), QStringLiteral("r"));
        QStringList select{QStringLiteral("r.\"OID\"")};
        std::vector<SqlValue> values;
        std::vector<int32_t> types;
        for (const QString& c : columns) {
            if (c.compare(kOidColumn, Qt::CaseInsensitive) == 0) {
                select << QStringLiteral("r.\"OID\"");
                types.push_back(ftLong);
            } else if (const Computed* comp = computed(c)) {
                select << comp->sql;
                values.insert(values.end(), comp->values.begin(), comp->values.end());
                types.push_back(comp->type);
            } else {
                const SqlFragment e = sql.Expression(c);
                select << e.sql;
                values.insert(values.end(), e.values.begin(), e.values.end());
                types.push_back(e.type);
            }
        }
        QStringList marks;
        for (int i = 0; i < kChunk; ++i)
            marks << QStringLiteral("?");
        d_->pageSql_ = QStringLiteral("SELECT ") + select.join(QStringLiteral(", ")) +
                       QStringLiteral(" FROM ") + d_->table_.sqlName() +
                       QStringLiteral(" r WHERE r.\"OID\" IN (") + marks.join(QLatin1Char(',')) +
                       QLatin1Char(')');
        d_->pageValues_ = std::move(values);
        d_->pageTypes_ = std::move(types);
        d_->pageColumns_ = columns;
    }
    const size_t width = static_cast<size_t>(columns.size());
    out.assign(static_cast<size_t>(last - first), VariantList(width, Variant::null()));
    for (int64_t from = first; from < last; from += kChunk) {
        const int64_t to = std::min<int64_t>(last, from + kChunk);
        std::unordered_map<int64_t, size_t> where;
        auto st = d_->engine_.conn().statement(d_->pageSql_);
        bindValues(st, d_->pageValues_);
        int mark = static_cast<int>(d_->pageValues_.size()) + 1;
        for (int64_t i = from; i < from + kChunk; ++i, ++mark) {
            if (i < to) {
                const int64_t id = d_->ids_.at(i);
                where[id] = static_cast<size_t>(i - first);
                st.bind(mark, id);
            } else {
                st.bind(mark, int64_t{0});  // no row has identity 0
            }
        }
        while (st.step()) {
            const auto it = where.find(st.int64(0));
            if (it == where.end()) continue;
            VariantList& row = out[it->second];
            for (size_t c = 0; c < width; ++c) {
                const Variant stored = st.stored(static_cast<int>(c) + 1);
                const int32_t type = d_->pageTypes_[c];
                row[c] = type >= 0 ? RowStore::fromStored(stored, type) : stored;
            }
        }
        st.reset();
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Options, rights, copies, selection sets

QString DataSet::GetOption(const QString& name) const {
    return d_->options_.value(name.toLower());
}

void DataSet::SetOption(const QString& name, const QString& value) {
    d_->options_.insert(name.toLower(), value);
}

bool DataSet::DeleteAllowed() const {
    return EditEnabled() && d_->engine_.userLevel() >= 1;
}

std::shared_ptr<DataSet> DataSet::CloneData(int32_t) {
    auto ds = make(d_->engine_, d_->table_);
    ds->d_->scope_ = d_->scope_;
    ds->d_->where_ = d_->where_;
    ds->d_->order_ = d_->order_;
    ds->d_->filter_ = d_->filter_;
    ds->d_->fields_ = d_->fields_;
    ds->d_->computed_ = d_->computed_;
    ds->d_->shownFields_ = d_->shownFields_;
    ds->d_->ids_ = d_->ids_;
    ds->d_->pos_ = d_->isNew_ ? -1 : d_->pos_;
    ds->d_->editEnabled_ = d_->editEnabled_;
    ds->d_->detached_ = d_->detached_;
    if (d_->detached_) ds->d_->row_ = d_->row_;
    ds->d_->savedWhere_ = d_->savedWhere_;
    ds->d_->options_ = d_->options_;
    return ds;
}

std::shared_ptr<SelectionSet> DataSet::NewSelectionSet() {
    return d_->table_.NewSelectionSet(SelectionSet::Selection);
}

std::shared_ptr<SelectionSet> DataSet::NewFilterSet() {
    return d_->table_.NewSelectionSet(SelectionSet::Filter);
}

}  // namespace odb
