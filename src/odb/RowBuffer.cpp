// The shared values of one physical row.
#include "odb/RowBuffer.h"

#include "odb/Table.h"

namespace odb {

RowBuffer::RowBuffer(const Table& t, int64_t id)
    : table(&t),
      oid(id),
      values(t.columns().size(), Variant::null()),
      stored(t.columns().size(), Variant::null()),
      changed(t.columns().size(), false) {}

bool RowBuffer::isDirty() const {
    for (bool c : changed)
        if (c) return true;
    return false;
}

void RowBuffer::clearChanges() {
    std::fill(changed.begin(), changed.end(), false);
    stored = values;
    userEdited = false;
    referenceChanged = false;
}

}  // namespace odb
