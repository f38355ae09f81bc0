// Connection: the link to the database file. Creates and opens the file with the settings that let
// several computers share it (rollback journal, full sync, busy timeout), runs SQL statements and
// transactions, and records the logged-in user.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "base/Variant.h"

struct sqlite3;
struct sqlite3_stmt;

namespace odb {

class AdoConnection;
class Database;
class SqlStatement;
struct CachedStatement;

class Connection : public std::enable_shared_from_this<Connection> {
  public:
    // How long a write waits for another computer's lock before the busy error.
    static constexpr int kDefaultBusyTimeoutMs = 10000;
    // The mark in the header of every file this library makes ("ZLdb"): a file that carries
    // another one, or none and tables that are not ours, belongs to another program.
    static constexpr int32_t kApplicationId = 0x5A4C6462;

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Creates a new, empty database file; a database another computer created there a moment ago
    // is left as it is. Error when the folder is missing or the file is not a database.
    void CreateDatabaseFile(const QString& path);
    // Opens an existing database file (error when missing, unreadable or not a database).
    void OpenDatabaseFile(const QString& path, int busyTimeoutMs = kDefaultBusyTimeoutMs);
    // Closes the file; a pending BeginTrans is rolled back. Safe to call when closed. Those who
    // hold data read through it hear of it first (ConnectionNotices).
    void CloseConnection();
    bool IsOpen() const { return db_ != nullptr; }
    // Opened for reading only: the file or its folder cannot be written (the journal lives beside it).
    bool IsReadOnly() const { return readOnly_; }
    // How long a statement waits for another computer's lock before the busy error; 0: not at all.
    int BusyTimeout() const { return busyTimeoutMs_; }
    void SetBusyTimeout(int milliseconds);
    const QString& Path() const { return path_; }

    // Runs one or more SQL statements in one write transaction (a savepoint inside BeginTrans);
    // returns the rows changed by the last statement. "VACUUM" (compacting) runs on its own, never
    // inside a transaction.
    int64_t Execute(const QString& sql);
    // The ADO-style face of this same connection: AdoConnection::Execute(sql, , -1).
    odb::AdoConnection& GetAdoConnection();
    odb::AdoConnection& AdoConnection() { return GetAdoConnection(); }

    // User transactions: every library operation inside them is a savepoint; RollbackTrans undoes
    // them all. Nesting is allowed (each level a savepoint); returns the new level.
    int BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    int TransLevel() const { return userLevel_; }
    bool InTransaction() const;
    // Runs `undo` if the write under way is rolled back: its own operation, or a RollbackTrans
    // around it; forgotten once the outermost transaction commits. For what a rule does outside the
    // file (a file it renamed), so that it never outlives the rows that name it. Error outside a write.
    void OnRollback(std::function<void()> undo);

    // Records the user and this computer in the database's connections table.
    void Login(const QString& user, Database& database);
    const QString& UserName() const { return user_; }
    // This run's own row in the connections table (0 before a login).
    int64_t LoginRow() const { return loginRow_; }

    // Forgets cached rows so that the next reads see other computers' changes.
    void Refresh();
    // Set by print runs for their duration; kept for the program to read.
    bool ReportMode() const { return reportMode_; }
    void SetReportMode(bool on) { reportMode_ = on; }

    // ---- library internals (data sets, tables, the opening) ----
    sqlite3* handle() const;
    // A cached statement for `sql`; always reset by the caller's SqlStatement scope.
    // `addsOneRow`: an INSERT of one row numbered by the file, which rowAdded then names: as the
    // first write of a level opened `late` it needs no savepoint (see beginWrite).
    SqlStatement statement(const QString& sql, bool addsOneRow = false);
    // The row `oid` the statement asked with `addsOneRow` added to the table `name`.
    void rowAdded(const QString& name, int64_t oid);
    // Runs a statement that returns no rows, outside any statement cache.
    void exec(const QString& sql);
    // The write lock: BEGIN IMMEDIATE when no transaction is open, a savepoint otherwise.
    // `deferred`: a plain BEGIN, the lock is taken by the first write. Returns a token for endWrite.
    // `user`: a level of BeginTrans, which only CommitTrans and RollbackTrans close.
    // `late`: a savepoint is opened only before the level's first write, or its second when the
    // first one adds a row (a rollback removes that row again): a level that writes nothing or adds
    // one row costs no savepoint.
    int beginWrite(bool deferred = false, bool user = false, bool late = false);
    // Another connection, in this program or on another computer, holds the file's write lock or
    // is taking it: a look at the lock, none taken. False inside a write of our own.
    bool othersHoldWriteLock() const;
    // Closes the level `token` and any left open above it; a level left open above it, or the
    // level closed already by someone else, fails the write with the transaction error after
    // everything above the caller's own level has been undone. Failed rollbacks are errors too.
    void endWrite(int token, bool commit);
    int64_t lastInsertRowId() const;
    // A number that changes whenever the file changed (by us or by another computer).
    int64_t dataVersion();
    // Bumped by every rollback, Execute, Refresh and close: rows read before must be read again.
    int64_t localVersion() const { return localVersion_; }
    // Rows changed by every INSERT, UPDATE and DELETE this connection ran: a number that moves
    // with each of our writes.
    int64_t totalChanges() const;
    // Counts the outermost transactions begun: the same number means the lock was held since.
    int64_t lockSerial() const { return lockSerial_; }

  private:
    void close();
    void configure(int busyTimeoutMs);
    void closeLevel(bool commit);
    // Runs the savepoint statement `which` (Cache::SavepointControl) of the level at `depth`.
    int runSavepoint(size_t depth, int which);
    // Before a write: the innermost level's savepoint, if it was left for later.
    void openLateSavepoint();
    // Lends `stmt`, kept in `entry` or (none) used once, after what its write needs (beforeUse).
    SqlStatement lend(sqlite3_stmt* stmt, std::shared_ptr<CachedStatement> entry, bool addsOneRow);
    // A statement about to be lent: a write opens the late savepoint unless it may go without.
    void beforeUse(sqlite3_stmt* stmt, bool addsOneRow);
    // Takes back the row a level added before its savepoint; the sequence of row numbers with it.
    void removeAddedRow(const QString& name, int64_t oid);
    void endUserLevel(bool commit);
    void checkOpen() const;
    [[noreturn]] void raiseSql(int rc, const QString& what) const;
    friend class SqlStatement;

    sqlite3* db_ = nullptr;
    QString path_;
    QString user_;
    int64_t loginRow_ = 0;
    bool reportMode_ = false;
    bool readOnly_ = false;
    int busyTimeoutMs_ = kDefaultBusyTimeoutMs;
    int userLevel_ = 0;  // BeginTrans nesting
    int64_t localVersion_ = 0;
    int64_t lockSerial_ = 0;
    struct Cache;
    std::unique_ptr<Cache> cache_;
    std::unique_ptr<odb::AdoConnection> ado_;
};

}  // namespace odb
