// RowBuffer: the values of one stored (or new) row of one physical table. Every data set standing
// on the same stored row shares the same buffer, so that all of them see the same values.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/Variant.h"

namespace odb {

class Table;

class RowBuffer {
  public:
    RowBuffer(const Table& table, int64_t oid);
    // A stored row about to be read: its values and stored values come with the read.
    struct Unread {};
    RowBuffer(const Table& table, int64_t oid, Unread);

    // A copy of the row as stored (its stored values as values, nothing changed), every other
    // member as it is: storedCopy() names them all, as the copy constructor does.
    std::shared_ptr<RowBuffer> storedCopy() const;

    const Table* table;
    uint64_t serial;              // unique in the run (copies aside): names a new row's guards
    int64_t oid = 0;              // 0 while the row is not stored
    std::vector<Variant> values;  // per stored column of the table (Table::columns)
    std::vector<Variant> stored;  // as last read from or written to the file
    std::vector<bool> changed;    // columns written since the row was stored
    bool deleted = false;
    bool userEdited = false;        // a user (not a rule, not the library) edited the row
    bool referenceChanged = false;  // a lookup link changed since the row was stored
    bool rowFlag = false;           // DataSet::SetRowFlag
    bool provisional = false;       // a base row started with a shared-base row, not yet chosen
    bool lostEdits = false;         // edits not yet saved were dropped: another computer changed the row
    int saving = 0;                 // a save of this row is under way
    int deleting = 0;               // a deletion of this row is under way
    int64_t opSerial = -1;          // the operation that last read the row
    int64_t createdIn = -1;         // the operation that started the row (nothing to undo in it)
    int64_t stamp = -1;             // the file state the row was read at
    int64_t heldIn = -1;            // the operation that holds the buffer alive
    int64_t readInCall = -1;        // the library call (outside operations) that last read the row

    bool isNew() const { return oid == 0; }
    bool isDirty() const;
    // The key of the row's guards while it is new.
    QString newRowKey() const;
    void clearChanges();
};

}  // namespace odb
