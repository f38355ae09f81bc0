// The grid's model: pages of rows read through the data set, formatted once per page.
#include "odb/ui/DataGridModel.h"

#include <algorithm>

#include "odb/DataSet.h"
#include "odb/FieldValueText.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "odb/ViewColumns.h"

namespace odb {

namespace {
constexpr size_t kPagesKept = 12;

bool IsNumeric(const FieldDef& f) {
    if (!f.valueList.isEmpty()) return false;
    switch (f.type) {
        case ftLong:
        case ftDecimal:
        case ftQuantity:
        case ftCurrency:
            return true;
        default:
            return false;
    }
}
}  // namespace

DataGridModel::DataGridModel(std::shared_ptr<DataSet> dataSet, const QStringList& columns, QObject* parent)
    : QAbstractTableModel(parent), dataSet_(std::move(dataSet)), reads_(*dataSet_) {
    for (const QString& name : columns) {
        std::shared_ptr<const FieldDef> def;
        if (const FieldDef* f = dataSet_->Field(name)) {
            // A view column lives as long as the data set's field list; the model keeps the data set.
            def = std::shared_ptr<const FieldDef>(dataSet_, f);
        } else {
            def = ViewColumnDef(dataSet_->GetTable(), name);
        }
        if (!def) continue;  // a column the table no longer has
        columns_ << def->name;
        numeric_.push_back(IsNumeric(*def));
        defs_.push_back(std::move(def));
    }
    rows_ = dataSet_->RowCount();
    const EventSource* events = &dataSet_->EventSource();
    connect(events, &EventSource::OnRefreshRecordset, this, [this](DataSet&) { reset(); });
    connect(events, &EventSource::RowRemoved, this, &DataGridModel::rowRemoved);
    connect(events, &EventSource::RowAppended, this, &DataGridModel::rowAppended);
    connect(events, &EventSource::RowsChanged, this, &DataGridModel::reset);
}

int DataGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int DataGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

bool DataGridModel::kept(int row) const {
    const int first = row - row % kPageRows;
    return std::any_of(pages_.begin(), pages_.end(), [&](const Page& p) { return p.first == first; });
}

const DataGridModel::Page& DataGridModel::page(int row) const {
    const int first = row - row % kPageRows;
    for (auto it = pages_.begin(); it != pages_.end(); ++it)
        if (it->first == first) {
            if (it != pages_.begin()) pages_.splice(pages_.begin(), pages_, it);
            return pages_.front();
        }
    Page p;
    p.first = first;
    p.values = dataSet_->ReadRows(first, kPageRows, columns_);
    ++pagesRead_;
    p.texts.reserve(p.values.size());
    for (const VariantList& row : p.values) {
        QStringList texts;
        texts.reserve(columns_.size());
        for (size_t c = 0; c < row.size(); ++c) {
            const FieldDef& f = *defs_[c];
            // A password is never shown, not even scrambled.
            if (f.Secret())
                texts << (row[c].toText().isEmpty() ? QString() : QStringLiteral("********"));
            else
                texts << FieldValueText(f, row[c]);
        }
        p.texts.push_back(std::move(texts));
    }
    pages_.push_front(std::move(p));
    if (pages_.size() > kPagesKept) pages_.pop_back();
    return pages_.front();
}

QString DataGridModel::text(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_.size()) return {};
    const Page& p = page(row);
    const size_t r = static_cast<size_t>(row - p.first);
    return r < p.texts.size() ? p.texts[r].value(column) : QString();
}

Variant DataGridModel::value(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_.size()) return Variant::null();
    const Page& p = page(row);
    const size_t r = static_cast<size_t>(row - p.first);
    return r < p.values.size() ? p.values[r][static_cast<size_t>(column)] : Variant::null();
}

QString DataGridModel::shownText(int row, int column) const {
    // Rows kept are shown whatever the lock; only a page not read yet goes through the reads.
    if (kept(row)) return text(row, column);
    QString shown;
    reads_.Read([&] { shown = text(row, column); });
    return shown;
}

QVariant DataGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return shownText(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return numeric_[static_cast<size_t>(index.column())] ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                                 : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size()) return {};
    const FieldDef& f = *defs_[static_cast<size_t>(section)];
    if (role == Qt::DisplayRole) return f.lookup ? NameWords(f.name) : f.Caption();
    if (role == Qt::ToolTipRole) return f.description.isEmpty() ? f.name : f.description;
    return {};
}

void DataGridModel::forgetPages() {
    pages_.clear();
}

void DataGridModel::beginBatch() {
    if (batch_) return;
    beginResetModel();
    batch_ = true;
}

void DataGridModel::endBatch() {
    if (!batch_) return;
    batch_ = false;
    pages_.clear();
    rows_ = dataSet_->RowCount();
    endResetModel();
}

void DataGridModel::reset() {
    if (batch_) return;  // done once by endBatch
    beginResetModel();
    pages_.clear();
    rows_ = dataSet_->RowCount();
    endResetModel();
}

void DataGridModel::rowRemoved(int position) {
    if (batch_) return;
    if (position < 0 || position >= rows_) return reset();
    beginRemoveRows({}, position, position);
    // The pages from the removed row on hold rows that moved up.
    pages_.remove_if([&](const Page& p) { return p.first + kPageRows > position; });
    rows_ = dataSet_->RowCount();
    endRemoveRows();
}

void DataGridModel::rowAppended() {
    if (batch_) return;
    const int count = dataSet_->RowCount();
    if (count != rows_ + 1) return reset();
    beginInsertRows({}, rows_, rows_);
    pages_.remove_if([&](const Page& p) { return p.first + kPageRows > rows_; });
    rows_ = count;
    endInsertRows();
}

}  // namespace odb
