// RowStore: the row buffers of one open database (one per stored row), their reading, re-reading
// when the file moved, and their physical writes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/Variant.h"
#include "odb/ProbeCache.h"

namespace odb {

class Connection;
class Engine;
class RowBuffer;
class Table;

// The full row behind a data set's current position: one buffer per physical table, base-most
// first, down to the most derived table that extends the row.
using RowChain = std::vector<std::shared_ptr<RowBuffer>>;

class RowStore {
  public:
    explicit RowStore(Engine& engine) : engine_(engine) {}

    // Every buffer let go (a new opening, or a failed one).
    void clear();

    // The shared buffer of a stored row (read from the file when not held), nullptr when the row
    // does not exist.
    std::shared_ptr<RowBuffer> buffer(const Table& table, int64_t oid);
    // The whole chain of the row `oid` of `table`: its base rows and the tables that extend it.
    RowChain rowChain(const Table& table, int64_t oid);
    // Chain of a new row of `table` (and of its exclusive extensions up to `table`).
    RowChain newChain(const Table& table);
    // Reads the row again when another operation or computer may have changed it (pending edits
    // stay on top).
    void ensureFresh(RowBuffer& b);
    void reload(RowBuffer& b);
    void forget(const Table& table, int64_t oid);
    // Reads the rows `oids` of `table` that are not held yet, in one statement, when the first of
    // them (the row wanted now) is one of those; the page keeps every row of it alive.
    void prefetch(const Table& table, const std::vector<int64_t>& oids);
    // The row is held and as fresh as a read now would make it: its page needs no reading.
    bool holdsFresh(const Table& table, int64_t oid) { return heldFresh(table, oid) != nullptr; }
    void remember(const std::shared_ptr<RowBuffer>& b);
    // Physical writes of one buffer.
    void insertRow(const std::shared_ptr<RowBuffer>& b);
    void updateRow(RowBuffer& b);
    void deleteRow(RowBuffer& b);
    // The last updateRow: which row, and the connection's change count before and after it.
    const RowWrite& lastUpdate() const { return lastUpdate_; }
    // Read a stored value into the Variant of its type code, and back.
    static Variant fromStored(const Variant& stored, int32_t type);
    static Variant toStored(const Variant& value, int32_t type);
    // True when `a` and `b` are stored alike in a column of type `type`; texts compare as they
    // come (values of a row buffer are in their stored form already).
    static bool sameStored(const Variant& a, const Variant& b, int32_t type);
    // A value written to a whole-number field: rounded half to even, error 6 out of range.
    static int64_t WholeNumber(const Variant& value);
    // The file state the buffers compare with (other computers' commits, our rollbacks).
    int64_t stamp();
    // A library call outside operations begins: the file is asked once, when a row held from
    // before is first used in it (rows read afresh need no asking).
    void callStarts();

    // ---- what an operation asks of the store ----
    // True when the write lock is held throughout (inside BeginTrans) and the file was asked under
    // it already: only our own rollbacks move it then.
    bool fileAskedUnder(const Connection& c) const;
    // Once per operation, under the lock: rows kept from before are read again if the file moved.
    void operationStarts(Connection& c, bool lockAsked);
    // The rows the operation read are let go (it ended, or was rolled back).
    void operationEnds();

  private:
    // stamp_, asking the file first when a call started since.
    int64_t heldStamp();
    // Rows read in the running operation stay held until it ends: read once, and their undo
    // records never outlive them.
    void hold(const std::shared_ptr<RowBuffer>& b);
    std::shared_ptr<RowBuffer> heldFresh(const Table& table, int64_t oid);
    // The values just read from the file become the row's stored values.
    void takeStored(RowBuffer& b, std::vector<Variant> fresh);
    void sweep();
    bool inOperation() const;
    int64_t opSerial() const;
    Connection& conn() const;

    Engine& engine_;
    struct RowKeyHash {
        size_t operator()(const std::pair<const Table*, int64_t>& k) const {
            return std::hash<int64_t>()(k.second) * 31 + std::hash<const Table*>()(k.first);
        }
    };
    // Looked up for every row read or stored: hashed, not ordered.
    std::unordered_map<std::pair<const Table*, int64_t>, std::weak_ptr<RowBuffer>, RowKeyHash> buffers_;
    // UPDATE texts by table and changed columns ('1' each): a row's writes repeat a few shapes.
    std::map<std::pair<const Table*, std::string>, QString> updateTexts_;
    // The last single row read of each table, held until the next one (lookup targets come back).
    std::map<const Table*, std::shared_ptr<RowBuffer>> lastRows_;
    // The last page read of each table, held until the next one.
    std::map<const Table*, std::vector<std::shared_ptr<RowBuffer>>> pages_;
    int sinceSweep_ = 0;
    int64_t stamp_ = 0;
    int64_t lastDataVersion_ = -1, lastLocalVersion_ = -1;
    int64_t checkedLock_ = -1;   // the connection's lock the file was last asked under
    bool checkPending_ = false;  // see callStarts
    int64_t callSerial_ = 0;     // counts the calls begun outside operations
    std::vector<std::shared_ptr<RowBuffer>> held_;
    RowWrite lastUpdate_;
};

}  // namespace odb
