// The read-only table model over a data set.
#include "odb/ui/DataSetRowsModel.h"

#include "odb/DataSet.h"
#include "odb/Schema.h"

namespace odb {

DataSetRowsModel::DataSetRowsModel(std::shared_ptr<DataSet> dataSet, QObject* parent)
    : QAbstractTableModel(parent), dataSet_(std::move(dataSet)), reads_(*dataSet_) {
    for (int32_t i = 1; i <= dataSet_->FieldCount(); ++i)
        if (const FieldDef* f = dataSet_->Field(i); f && f->shown) fields_.push_back(f);
    rows_ = dataSet_->RowCount();
}

int DataSetRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int DataSetRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(fields_.size());
}

bool DataSetRowsModel::MoveTo(int row) const {
    if (row < 0 || row >= rows_) return false;
    // From the first row when that is nearer than the current one.
    if (current_ < 0 || row < current_ - row) {
        if (!dataSet_->RowFirst()) return false;
        current_ = 0;
    }
    while (current_ < row && dataSet_->RowNext())
        ++current_;
    while (current_ > row && dataSet_->RowPrevious())
        --current_;
    if (current_ != row || dataSet_->RowInvalid()) {
        current_ = -1;  // the rows changed under the model
        return false;
    }
    return true;
}

const QStringList& DataSetRowsModel::texts(int row) const {
    auto it = cache_.find(row);
    if (it != cache_.end()) return *it;
    QStringList values;
    const bool read = reads_.Read([&] {
        if (MoveTo(row))
            for (const FieldDef* f : fields_)
                values << dataSet_->FormattedColValue(f->name);
    });
    if (!read) {
        current_ = -1;  // the walk may have stopped anywhere
        static const QStringList none;
        return none;  // read again at the next retry
    }
    return *cache_.insert(row, values);
}

QVariant DataSetRowsModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return texts(index.row()).value(index.column());
}

QVariant DataSetRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal &&
        section < static_cast<int>(fields_.size()))
        return fields_[static_cast<size_t>(section)]->description;
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= static_cast<int>(fields_.size())) return {};
    return fields_[static_cast<size_t>(section)]->name;
}

}  // namespace odb
