// The record-set face of a data set.
#include "odb/Recordset.h"

#include "odb/DataSetPrivate.h"

namespace odb {

Variant Recordset::Bookmark() const {
    if (ds_->NoCurrentRow()) return Variant::null();
    return ds_->Bookmark();
}

bool Recordset::SetBookmark(const Variant& bookmark) {
    if (ds_->FindBookmark(bookmark)) return true;
    ds_->d_->positionLost_ = true;
    return false;
}

Variant Recordset::Filter() const {
    const QString filter = ds_->Filter();
    if (filter.trimmed().isEmpty()) return Variant(0);
    return Variant(filter);
}

Variant Recordset::Fields(const QString& name) const {
    return ds_->ColValue(name);
}

int32_t Recordset::RecordCount() const {
    return ds_->RowCount();
}

}  // namespace odb
