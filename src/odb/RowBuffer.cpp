// The shared values of one physical row.
#include "odb/RowBuffer.h"

#include <atomic>

#include "odb/Table.h"

namespace odb {

namespace {
std::atomic<uint64_t> nextSerial{1};
}  // namespace

RowBuffer::RowBuffer(const Table& t, int64_t id)
    : table(&t),
      serial(nextSerial++),
      oid(id),
      values(t.columns().size(), Variant::null()),
      stored(t.columns().size(), Variant::null()),
      changed(t.columns().size(), false) {}

QString RowBuffer::newRowKey() const {
    return QStringLiteral("new:") + QString::number(serial);
}

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
