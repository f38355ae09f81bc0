// RowSelection: the selected rows a print run walks: a grid's selection (its list of bookmarks, or an
// object of type "SelBookmarks"), counted from 0, or another collection of bookmarks with Count and
// Item, counted from 1.
#pragma once

#include "base/Variant.h"

namespace odb {
class DataSet;
}

class RowSelection {
  public:
    // A missing or non-object value is no selection.
    explicit RowSelection(const Variant& v);
    explicit RowSelection(const VariantList& gridBookmarks);

    bool present() const { return object_ != nullptr || list_ != nullptr; }
    bool gridSelection() const { return zeroBased_; }
    int32_t count() const;
    // The bookmark of record i (0-based whatever the collection counts from).
    Variant item(int32_t record) const;
    // Makes record i the data set's current row: a grid's through its record set, others through
    // GotoBookmark. False when its row is no longer there.
    bool position(odb::DataSet& ds, int32_t record) const;

  private:
    ObjectRef object_;
    const VariantList* list_ = nullptr;
    bool zeroBased_ = false;
};
