// The selected rows of a print run.
#include "labels/RowSelection.h"

#include "odb/DataSet.h"
#include "odb/Recordset.h"

RowSelection::RowSelection(const Variant& v) : object_(v.isObject() ? v.objectValue() : nullptr) {
    if (object_) zeroBased_ = object_->className() == QLatin1String("SelBookmarks");
}

RowSelection::RowSelection(const VariantList& gridBookmarks) : list_(&gridBookmarks), zeroBased_(true) {}

int32_t RowSelection::count() const {
    if (list_) return static_cast<int32_t>(list_->size());
    VariantList none;
    return object_->invoke(QStringLiteral("Count"), CallKind::PropertyGet, none).toLong();
}

Variant RowSelection::item(int32_t record) const {
    if (list_) return list_->at(static_cast<size_t>(record));
    VariantList index{Variant(zeroBased_ ? record : record + 1)};
    return object_->invoke(QStringLiteral("Item"), CallKind::PropertyGet, index);
}

bool RowSelection::position(odb::DataSet& ds, int32_t record) const {
    return zeroBased_ ? ds.Recordset().SetBookmark(item(record)) : ds.GotoBookmark(item(record));
}
