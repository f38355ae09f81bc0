// DataSetRowsModel: the rows of a data set as a read-only table model: one column per shown field,
// the values as the fields format them. Rows are read as the view asks for them, walking the data
// set from the row it last stood on.
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>

#include <memory>
#include <vector>

#include "odb/ui/PaintReads.h"

namespace odb {

class DataSet;
struct FieldDef;

class DataSetRowsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit DataSetRowsModel(std::shared_ptr<DataSet> dataSet, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The field shown in `section`.
    const FieldDef& field(int section) const { return *fields_[static_cast<size_t>(section)]; }
    // Puts the data set on the row shown at `row` (0-based); false when there is none.
    bool MoveTo(int row) const;
    // The reads of painting: a row that cannot be read shows empty and is read again later.
    PaintReads& reads() const { return reads_; }

  private:
    const QStringList& texts(int row) const;

    std::shared_ptr<DataSet> dataSet_;
    std::vector<const FieldDef*> fields_;
    int rows_ = 0;
    mutable int current_ = -1;  // the row the data set stands on, -1 when unknown
    mutable QHash<int, QStringList> cache_;
    mutable PaintReads reads_;
};

}  // namespace odb
