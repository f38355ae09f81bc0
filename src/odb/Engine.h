// Engine: what every object of one open database shares: the connection, the tables, the row
// buffers (one per stored row), the named guards and the running operation with its undo log.
#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/AppError.h"
#include "base/Object.h"
#include "odb/Interfaces.h"
#include "odb/Tables.h"

namespace odb {

class Connection;
class Database;
class DataSet;
class RowBuffer;
class Table;
struct ReferenceDef;
struct SqlFragment;

// The full row behind a data set's current position: one buffer per physical table, base-most
// first, down to the most derived table that extends the row.
using RowChain = std::vector<std::shared_ptr<RowBuffer>>;

class Engine {
  public:
    Engine(Database& database, std::shared_ptr<itfDefDatabase> definition, const QString& applicationName,
           itfNotifyEvent* notify);
    ~Engine();

    Database& database() const { return database_; }
    bool isOpen() const { return open_; }
    Connection& conn() const;
    std::shared_ptr<Connection> connection() const { return connection_; }
    odb::Tables& tables() { return tables_; }
    const odb::Tables& tables() const { return tables_; }
    itfNotifyEvent* notify() const { return notify_; }
    const QString& applicationName() const { return applicationName_; }

    int32_t userLevel = 0;
    std::shared_ptr<Object> service;

    // ---- opening ----
    void open(std::shared_ptr<Connection> connection, itfProgress* progress);
    void attach(std::shared_ptr<Connection> connection);
    Table& table(const QString& name) const;  // error when unknown
    Table* findTable(const QString& name) const;

    // ---- parameters ----
    bool readSetting(const QString& key, Variant& out);
    void writeSetting(const QString& key, const Variant& value);

    // ---- row buffers ----
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
    void remember(const std::shared_ptr<RowBuffer>& b);
    // Physical writes of one buffer.
    void insertRow(const std::shared_ptr<RowBuffer>& b);
    void updateRow(RowBuffer& b);
    void deleteRow(RowBuffer& b);
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
    void callStarts() {
        if (depth_ > 0) return;
        checkPending_ = true;
        ++callSerial_;
    }

    // ---- operations ----
    // Runs `body` as one operation. At the top (no operation running) it takes the write lock
    // (a savepoint inside BeginTrans or the opening), re-reads the rows it touches, commits at the
    // end; a refusal or an error rolls back, restores the row buffers and the guards. A refusal
    // is shown through the notify sink and gives false; an error is raised again. Nested calls
    // run `body` directly and let refusals and errors through.
    // `readFirst`: at the top, a plain BEGIN instead of BEGIN IMMEDIATE: the reads see one state of
    // the file and the first write, if any, takes the write lock (a write that may change nothing).
    bool run(DataSet* source, const std::function<void()>& body, bool readFirst = false);
    int depth() const { return depth_; }
    bool inOperation() const { return depth_ > 0; }
    int64_t opSerial() const { return opSerial_; }
    // Saves the state of `b` once per operation, for the rollback.
    void beforeWrite(RowBuffer& b);
    // `undo` runs if the operation fails; once per operation for a key, every time without one.
    void addUndo(const void* key, std::function<void()> undo);

    int silent = 0;         // the library fills rows itself
    int skipNumbering = 0;  // rows come with their numbers (import)
    // Owners (collection, owner row) whose events a bulk change raises once itself.
    std::vector<std::pair<const ReferenceDef*, int64_t>> quietOwners;
    bool isQuietOwner(const ReferenceDef* reference, int64_t oid) const;

    // Translated where-texts and orders, by table and text: the schema does not change while open.
    QHash<QString, std::shared_ptr<const SqlFragment>> translations;

    // ---- guards ----
    bool lockGuard(const QString& name, const QString& rowKey);
    bool isGuardLocked(const QString& name, const QString& rowKey) const;
    void unlockGuard(const QString& name, const QString& rowKey);
    // Frees every guard of a row (a new row cancelled).
    void releaseGuards(const QString& rowKey);
    // A guard was taken on the new row `b`: freed when the buffer goes unstored.
    void noteNewRowGuard(const std::shared_ptr<RowBuffer>& b);

    // ---- messages ----
    void showMessage(void* source, const QString& text);
    // Called before a question or message reaches the user inside an operation.
    void beforeShowing();

  private:
    void rollbackOperation();
    void sweep();

    Database& database_;
    std::shared_ptr<itfDefDatabase> definition_;
    QString applicationName_;
    itfNotifyEvent* notify_;
    std::shared_ptr<Connection> connection_;
    odb::Tables tables_;
    bool open_ = false;

    std::map<std::pair<const Table*, int64_t>, std::weak_ptr<RowBuffer>> buffers_;
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
    int64_t heldStamp();         // stamp_, asking the file first when a call started since
    // Rows read in the running operation stay held until it ends: read once, and their undo
    // records never outlive them.
    std::vector<std::shared_ptr<RowBuffer>> held_;
    void hold(const std::shared_ptr<RowBuffer>& b);
    // The values just read from the file become the row's stored values.
    void takeStored(RowBuffer& b, std::vector<Variant> fresh);

    int depth_ = 0;
    int64_t opSerial_ = 0;
    bool claimBeforeShowing_ = false;  // a read-first operation not yet holding the write lock
    bool shown_ = false;               // the running operation showed the user something
    std::vector<std::function<void()>> undo_;
    std::unordered_set<const void*> undoKeys_;
    QHash<QString, int> guards_;
    std::vector<std::pair<std::weak_ptr<RowBuffer>, QString>> newRowGuards_;
};

}  // namespace odb
