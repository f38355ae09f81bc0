// Recordset: the record-set face of a data set as the program reads it: the current row's
// Bookmark (set to move to a row), the Filter (0 when none) and the current row's Fields.
#pragma once

#include <QString>

#include "base/Variant.h"

namespace odb {

class DataSet;

class Recordset {
  public:
    explicit Recordset(DataSet& dataSet) : ds_(&dataSet) {}

    // The current row's bookmark; Null when there is no current row.
    Variant Bookmark() const;
    // Moves to the row of `bookmark`; false when no row of the view has it: the data set then
    // reports its position lost (DataSet::RowPositionLost) and stays where it was.
    bool SetBookmark(const Variant& bookmark);
    // 0 when the data set has no filter, else the filter's text.
    Variant Filter() const;
    // A value of the current row (a field, a lookup's link, a computed column, "OID").
    Variant Fields(const QString& name) const;
    int32_t RecordCount() const;

  private:
    DataSet* ds_;
};

}  // namespace odb
