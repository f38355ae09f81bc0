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

RowBuffer::RowBuffer(const Table& t, int64_t id, Unread)
    : table(&t), serial(nextSerial++), oid(id), changed(t.columns().size(), false) {}

std::shared_ptr<RowBuffer> RowBuffer::storedCopy() const {
    // The values are copied once, from the stored ones (a whole copy would copy them twice).
    auto c = std::make_shared<RowBuffer>(*table, oid, Unread{});
    c->serial = serial;
    c->values = stored;
    c->stored = stored;
    c->deleted = deleted;
    c->userEdited = userEdited;
    c->referenceChanged = referenceChanged;
    c->rowFlag = rowFlag;
    c->provisional = provisional;
    c->lostEdits = lostEdits;
    c->saving = saving;
    c->deleting = deleting;
    c->opSerial = opSerial;
    c->createdIn = createdIn;
    c->stamp = stamp;
    c->heldIn = heldIn;
    c->readInCall = readInCall;
    return c;
}

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
