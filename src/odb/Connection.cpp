// The database file connection: file creation and opening with the sharing settings, the statement
// cache, write transactions and savepoints, user transactions and the login record.
#include "odb/Connection.h"
#include "odb/ConnectionNotices.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <array>
#include <functional>
#include <optional>
#include <utility>

#include <sqlite3.h>

#include "base/DateUtil.h"
#include "odb/AdoConnection.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/LibraryClock.h"
#include "odb/LibraryError.h"
#include "odb/SchemaBuilder.h"
#include "odb/SqlStatement.h"
#include "odb/condition/ConditionFunctions.h"

namespace odb {

namespace {
// Statements kept prepared; the least recently used idle ones go first.
constexpr qsizetype kCachedStatements = 200;
// Texts prepared once, remembered so that a second use keeps its statement.
constexpr qsizetype kTextsSeenOnce = 2000;
}  // namespace

struct Connection::Cache {
    QHash<QString, std::shared_ptr<CachedStatement>> statements;
    // The last few texts met, by the address of their characters: a text kept by its caller (an
    // INSERT built once per table) finds its statement without hashing it. The copy held here
    // shares the caller's characters, so while it is kept they can neither change nor be freed:
    // the same address and length are the same text.
    struct Addressed {
        QString text;
        std::shared_ptr<CachedStatement> entry;
    };
    static constexpr size_t kAddressed = 64;
    std::array<Addressed, kAddressed> addressed;
    static size_t slotOf(const QString& sql) {
        return (reinterpret_cast<uintptr_t>(sql.constData()) >> 4) % kAddressed;
    }
    // Texts used once: a one-off condition is finalised after its use, not kept.
    QSet<QString> seenOnce;
    uint64_t uses = 0;
    void evictIdle();
    void clear();
    // The open write levels, outermost first: the BEGIN (level 0, no savepoint), then savepoints
    // named by their depth.
    struct Level {
        bool user = false;  // opened by BeginTrans
        // Its savepoint (or BEGIN) runs; only the innermost level may wait for its first write.
        bool open = true;
        // A level not open yet: it added a row (`added` names it once it is known).
        bool wrote = false;
        struct Added {
            QString table;
            int64_t oid = 0;
        };
        std::optional<Added> added;
        // What OnRollback asked to run if the level is rolled back.
        std::vector<std::function<void()>> rollbackActions;
    };
    std::vector<Level> levels;
    // The transaction statements, each prepared once: BEGIN, BEGIN IMMEDIATE, COMMIT, ROLLBACK, the
    // file's data version, and per savepoint depth SAVEPOINT, RELEASE and ROLLBACK TO.
    enum Control { Begin, BeginImmediate, Commit, Rollback, DataVersion, ControlCount };
    enum SavepointControl { Savepoint, Release, RollbackTo, SavepointControlCount };
    std::array<sqlite3_stmt*, ControlCount> control{};
    std::vector<std::array<sqlite3_stmt*, SavepointControlCount>> savepoints;
    void finalizeControl();
};

void Connection::Cache::finalizeControl() {
    for (sqlite3_stmt*& st : control) {
        sqlite3_finalize(st);
        st = nullptr;
    }
    for (auto& depth : savepoints)
        for (sqlite3_stmt* st : depth)
            sqlite3_finalize(st);
    savepoints.clear();
}

void Connection::Cache::evictIdle() {
    while (statements.size() > kCachedStatements) {
        auto oldest = statements.end();
        for (auto it = statements.begin(); it != statements.end(); ++it)
            if (!it.value()->lent &&
                (oldest == statements.end() || it.value()->lastUse < oldest.value()->lastUse))
                oldest = it;
        if (oldest == statements.end()) return;  // all in use
        sqlite3_finalize(oldest.value()->stmt);
        oldest.value()->dropped = true;  // no longer found by address either
        statements.erase(oldest);
    }
}

void Connection::Cache::clear() {
    for (const auto& entry : std::as_const(statements)) {
        if (entry->lent)
            entry->dropped = true;  // finalised by its user
        else
            sqlite3_finalize(entry->stmt);
    }
    statements.clear();
    addressed.fill({});
    seenOnce.clear();
    finalizeControl();
}

Connection::Connection()
    : cache_(std::make_unique<Cache>()), ado_(std::make_unique<odb::AdoConnection>(*this)) {}

Connection::~Connection() {
    // Nobody holds a data set on a connection being destroyed: there is nobody to tell.
    close();
}

namespace {

// Opens `path` with `flags`; returns the handle or raises the library error for `failCode`.
sqlite3* openHandle(const QString& path, int flags, int32_t failCode) {
    sqlite3* db = nullptr;
    // A connection is used by one thread at a time: SQLite's own lock around each call is not needed.
    const int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close_v2(db);
        LibraryError::Raise(failCode, LibraryError::Text(failCode) + QStringLiteral(" (") + path +
                                          (msg.isEmpty() ? QString() : QStringLiteral(": ") + msg) +
                                          QStringLiteral(")"));
    }
    return db;
}

// What OnRollback asked of a level rolled back, last first.
void RunRollbackActions(std::vector<std::function<void()>>& rollbackActions) noexcept {
    auto actions = std::exchange(rollbackActions, {});
    for (auto it = actions.rbegin(); it != actions.rend(); ++it) {
        try {
            (*it)();
        } catch (...) {
            // The rollback goes on: an action that fails must not stop the others.
        }
    }
}

[[noreturn]] void raiseFor(int rc, const QString& message, const QString& path) {
    const int primary = rc & 0xff;
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
        LibraryError::Raise(odbErrNotDatabase, LibraryError::Text(odbErrNotDatabase) + QStringLiteral(" (") +
                                                   path + QStringLiteral(")"));
    RaiseEngineError(rc, message);
}

void execRaw(sqlite3* db, const char* sql, const QString& path) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
    if (rc == SQLITE_OK) return;
    const QString msg = err ? QString::fromUtf8(err) : QString();
    sqlite3_free(err);
    raiseFor(rc, msg, path);
}

// Runs a transaction statement kept prepared in `slot` (prepared on first use); the engine's code.
int runControl(sqlite3* db, sqlite3_stmt*& slot, const char* sql) {
    if (!slot) {
        const int rc = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &slot, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(slot);
            slot = nullptr;
            return rc;
        }
    }
    const int rc = sqlite3_step(slot);
    sqlite3_reset(slot);
    return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
}

// The first column of the first row of `sql`.
int64_t scalar(sqlite3* db, const QString& sql, const QString& path) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr);
    int64_t value = 0;
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) value = sqlite3_column_int64(st, 0);
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        raiseFor(rc, QString::fromUtf8(sqlite3_errmsg(db)), path);
    return value;
}

// A database of another program is never adopted: only a file marked as ours, one of ours made
// before the mark (it holds our catalogue table) or an empty one (a new database) is.
void checkOwnFile(sqlite3* db, const QString& path) {
    const int64_t mark = scalar(db, QStringLiteral("PRAGMA application_id"), path);
    if (mark == Connection::kApplicationId) return;
    if (mark == 0 &&
        (scalar(db, QStringLiteral("SELECT count(*) FROM sqlite_master"), path) == 0 ||
         scalar(db,
                QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name='%1'")
                    .arg(kVersionsTable),
                path) > 0))
        return;
    LibraryError::Raise(odbErrForeignFile, LibraryError::Text(odbErrForeignFile) + QStringLiteral(" (") +
                                               path + QStringLiteral(")"));
}

}  // namespace

void Connection::CreateDatabaseFile(const QString& path) {
    if (db_)
        LibraryError::Raise(odbErrCannotOpen, LibraryError::Text(odbErrCannotOpen) +
                                                  QStringLiteral(": la connessione è già aperta"));
    const QFileInfo info(path);
    if (!info.dir().exists())
        LibraryError::Raise(odbErrCannotOpen, LibraryError::Text(odbErrCannotOpen) + QStringLiteral(" (") +
                                                  path + QStringLiteral(")"));
    // Creating a file that another computer created a moment ago leaves it as it is.
    sqlite3* db = openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, odbErrCannotOpen);
    try {
        sqlite3_busy_timeout(db, kDefaultBusyTimeoutMs);
        // Under the write lock: checked, and marked when empty, which writes the file header.
        execRaw(db, "BEGIN IMMEDIATE", path);
        try {
            checkOwnFile(db, path);
            if (scalar(db, QStringLiteral("SELECT count(*) FROM sqlite_master"), path) == 0)
                execRaw(db,
                        QStringLiteral("PRAGMA application_id=%1").arg(kApplicationId).toUtf8().constData(),
                        path);
            execRaw(db, "COMMIT", path);
        } catch (...) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        execRaw(db, "PRAGMA journal_mode=DELETE", path);
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    sqlite3_close_v2(db);
}

void Connection::OpenDatabaseFile(const QString& path, int busyTimeoutMs) {
    if (db_) CloseConnection();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        LibraryError::Raise(odbErrFileMissing, LibraryError::Text(odbErrFileMissing) + QStringLiteral(" (") +
                                                   path + QStringLiteral(")"));
    if (!info.isReadable())
        LibraryError::Raise(odbErrCannotOpen, LibraryError::Text(odbErrCannotOpen) + QStringLiteral(" (") +
                                                  path + QStringLiteral(")"));
    // A file that cannot be written (an archive on a read-only medium) is opened for reading.
    const bool readOnly = !info.isWritable() || !QFileInfo(info.absolutePath()).isWritable();
    sqlite3* db = openHandle(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, odbErrCannotOpen);
    db_ = db;
    path_ = path;
    readOnly_ = readOnly;
    try {
        configure(busyTimeoutMs);
    } catch (...) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        path_.clear();
        throw;
    }
}

void Connection::SetBusyTimeout(int milliseconds) {
    busyTimeoutMs_ = milliseconds;
    if (db_) sqlite3_busy_timeout(db_, milliseconds);
}

void Connection::configure(int busyTimeoutMs) {
    SetBusyTimeout(busyTimeoutMs);
    // A file that is not a database, or is another program's, fails here, before anything is written.
    execRaw(db_, "SELECT count(*) FROM sqlite_master", path_);
    checkOwnFile(db_, path_);
    // A rollback journal: WAL does not work on network folders.
    if (!readOnly_) execRaw(db_, "PRAGMA journal_mode=DELETE", path_);
    execRaw(db_, "PRAGMA synchronous=FULL", path_);
    execRaw(db_, "PRAGMA foreign_keys=OFF", path_);
    execRaw(db_, "PRAGMA case_sensitive_like=OFF", path_);
    // Translated where-texts call the VB functions and compare texts through their collation.
    const int rc = RegisterConditionFunctions(db_);
    if (rc != SQLITE_OK) raiseSql(rc, QStringLiteral("functions"));
}

void Connection::CloseConnection() {
    if (!db_) return;
    // The holders let their data sets go while the file is still open under them.
    emit ConnectionNotices::instance().closing(this);
    close();
}

void Connection::close() {
    if (!db_) return;
    cache_->clear();
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    while (!cache_->levels.empty()) {
        RunRollbackActions(cache_->levels.back().rollbackActions);
        cache_->levels.pop_back();
    }
    sqlite3_close_v2(db_);
    db_ = nullptr;
    path_.clear();
    userLevel_ = 0;
    ++localVersion_;
}

void Connection::checkOpen() const {
    if (!db_) LibraryError::Raise(odbErrNotOpen);
}

sqlite3* Connection::handle() const {
    checkOpen();
    return db_;
}

void Connection::raiseSql(int rc, const QString& what) const {
    RaiseEngineError(rc, QString::fromUtf8(sqlite3_errmsg(db_)), what);
}

SqlStatement Connection::statement(const QString& sql, bool addsOneRow) {
    checkOpen();
    Cache& c = *cache_;
    // Characters of their own only: raw data over someone else's buffer may change under us.
    const bool owned = sql.data_ptr().isMutable();
    Cache::Addressed& slot = c.addressed[Cache::slotOf(sql)];
    if (owned && slot.entry && slot.text.constData() == sql.constData() && slot.text.size() == sql.size() &&
        !slot.entry->lent && !slot.entry->dropped)
        return lend(slot.entry->stmt, slot.entry, addsOneRow);
    const auto it = c.statements.constFind(sql);
    if (it != c.statements.cend() && !it.value()->lent) {
        if (owned) slot = {sql, it.value()};
        return lend(it.value()->stmt, it.value(), addsOneRow);
    }
    // Kept from its second use on; a text in use already (a rule reading while a loop steps the
    // same statement) gets a statement of its own.
    bool keep = false;
    if (it == c.statements.cend()) {
        keep = c.seenOnce.remove(sql);
        if (!keep) {
            if (c.seenOnce.size() >= kTextsSeenOnce) c.seenOnce.clear();
            c.seenOnce.insert(sql);
        }
    }
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v3(db_, utf8.constData(), static_cast<int>(utf8.size()),
                                      keep ? SQLITE_PREPARE_PERSISTENT : 0, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        raiseSql(rc, sql);
    }
    if (!keep) return lend(stmt, nullptr, addsOneRow);
    auto entry = std::make_shared<CachedStatement>();
    entry->stmt = stmt;
    entry->lent = true;  // not evicted below
    c.statements.insert(sql, entry);
    c.evictIdle();
    return lend(stmt, entry, addsOneRow);
}

SqlStatement Connection::lend(sqlite3_stmt* stmt, std::shared_ptr<CachedStatement> entry, bool addsOneRow) {
    if (entry) {
        entry->lent = true;
        entry->lastUse = ++cache_->uses;
    }
    SqlStatement lent(stmt, std::move(entry));
    beforeUse(stmt, addsOneRow);  // should it fail, the statement goes back through `lent`
    return lent;
}

void Connection::beforeUse(sqlite3_stmt* stmt, bool addsOneRow) {
    auto& levels = cache_->levels;
    if (levels.empty() || levels.back().open || sqlite3_stmt_readonly(stmt)) return;
    // The first write adding one row goes without: removing that row undoes it.
    if (addsOneRow && !levels.back().wrote) {
        levels.back().wrote = true;
        return;
    }
    openLateSavepoint();
}

void Connection::rowAdded(const QString& name, int64_t oid) {
    auto& levels = cache_->levels;
    if (levels.empty() || levels.back().open || !levels.back().wrote || levels.back().added) return;
    levels.back().added = Cache::Level::Added{name, oid};
}

void Connection::openLateSavepoint() {
    auto& levels = cache_->levels;
    if (levels.empty() || levels.back().open) return;
    const int rc = runSavepoint(levels.size() - 1, Cache::Savepoint);
    if (rc != SQLITE_OK) raiseSql(rc, QStringLiteral("SAVEPOINT"));
    levels.back().open = true;
}

void Connection::removeAddedRow(const QString& name, int64_t oid) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    statement(QStringLiteral("DELETE FROM \"") + quoted + QStringLiteral("\" WHERE \"OID\"=?"))
        .bind(1, oid)
        .run();
    // The next row gets the number this one had, as after a rollback to a savepoint: the file's
    // sequence goes back one, or is forgotten again when this was the table's first row.
    if (sqlite3_table_column_metadata(db_, "main", "sqlite_sequence", "seq", nullptr, nullptr, nullptr,
                                      nullptr, nullptr) != SQLITE_OK)
        return;
    if (oid > 1)
        statement(QStringLiteral("UPDATE sqlite_sequence SET seq=? WHERE name=? COLLATE NOCASE AND seq=?"))
            .bind(1, oid - 1)
            .bind(2, name)
            .bind(3, oid)
            .run();
    else
        statement(QStringLiteral("DELETE FROM sqlite_sequence WHERE name=? COLLATE NOCASE AND seq=?"))
            .bind(1, name)
            .bind(2, oid)
            .run();
}

void Connection::exec(const QString& sql) {
    checkOpen();
    openLateSavepoint();
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) raiseSql(rc, sql);
}

int64_t Connection::totalChanges() const {
    return db_ ? sqlite3_total_changes64(db_) : 0;
}

bool Connection::InTransaction() const {
    return db_ && !sqlite3_get_autocommit(db_);
}

int Connection::beginWrite(bool deferred, bool user, bool late) {
    checkOpen();
    auto& levels = cache_->levels;
    // What a level inside writes becomes the outer level's when it is kept: the outer one needs
    // its savepoint from now on.
    openLateSavepoint();
    if (levels.empty()) {
        if (!sqlite3_get_autocommit(db_)) {
            // Opened behind the library's back: what it holds is undone, and the caller hears of it.
            const int rc = sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            ++localVersion_;
            if (rc != SQLITE_OK) raiseSql(rc, QStringLiteral("ROLLBACK"));
            LibraryError::Raise(
                odbErrTransaction,
                QStringLiteral("Era rimasta aperta una transazione: le modifiche in sospeso sono "
                               "state annullate. Ripetere l'operazione."));
        }
        // A file that can only be read is read inside a plain BEGIN: its first write says it cannot.
        const bool plain = deferred || readOnly_;
        const int rc = plain ? runControl(db_, cache_->control[Cache::Begin], "BEGIN")
                             : runControl(db_, cache_->control[Cache::BeginImmediate], "BEGIN IMMEDIATE");
        if (rc != SQLITE_OK) raiseSql(rc, QLatin1String(plain ? "BEGIN" : "BEGIN IMMEDIATE"));
        ++lockSerial_;
        levels.push_back({user, true, false, {}, {}});
    } else if (late) {
        levels.push_back({user, false, false, {}, {}});
    } else {
        // Named by depth: the same few statements serve every savepoint, prepared once.
        const int rc = runSavepoint(levels.size(), Cache::Savepoint);
        if (rc != SQLITE_OK) raiseSql(rc, QStringLiteral("SAVEPOINT"));
        levels.push_back({user, true, false, {}, {}});
    }
    if (user) ++userLevel_;
    return static_cast<int>(levels.size());
}

bool Connection::othersHoldWriteLock() const {
    if (!db_ || !cache_->levels.empty()) return false;
    sqlite3_file* file = nullptr;
    // The file layer's own test (a lock of this process, then another's through the system).
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods || !file->pMethods->xCheckReservedLock)
        return true;
    int held = 1;
    return file->pMethods->xCheckReservedLock(file, &held) != SQLITE_OK || held != 0;
}

void Connection::closeLevel(bool commit) {
    auto& levels = cache_->levels;
    Cache::Level level = std::move(levels.back());
    levels.pop_back();
    if (level.user) --userLevel_;
    if (!commit) ++localVersion_;
    // A level committed hands its rollback actions to the one around it: undone still by its rollback.
    if (commit && !levels.empty())
        for (auto& a : level.rollbackActions)
            levels.back().rollbackActions.push_back(std::move(a));
    if (!commit) RunRollbackActions(level.rollbackActions);
    int rc = SQLITE_OK;
    if (levels.empty()) {
        rc = commit ? runControl(db_, cache_->control[Cache::Commit], "COMMIT")
                    : runControl(db_, cache_->control[Cache::Rollback], "ROLLBACK");
        if (rc != SQLITE_OK && commit) {
            // Never leave a half-done write behind: give the lock back and report.
            runControl(db_, cache_->control[Cache::Rollback], "ROLLBACK");
            ++localVersion_;
            RunRollbackActions(level.rollbackActions);
        }
        if (rc != SQLITE_OK) raiseSql(rc, QLatin1String(commit ? "COMMIT" : "ROLLBACK"));
        return;
    }
    const size_t depth = levels.size();
    // A level whose savepoint never ran: kept, its row is the outer level's; undone, its row goes.
    // A transaction the engine ended itself fails as the savepoint statements would.
    const bool ended = sqlite3_get_autocommit(db_) != 0;
    if (level.open || ended) {
        if (!commit) {
            rc = runSavepoint(depth, Cache::RollbackTo);
            if (rc != SQLITE_OK) raiseSql(rc, QStringLiteral("ROLLBACK TO"));
        }
        rc = runSavepoint(depth, Cache::Release);
        if (rc != SQLITE_OK) raiseSql(rc, QStringLiteral("RELEASE"));
    }
    if (!commit && level.added) removeAddedRow(level.added->table, level.added->oid);
}

int Connection::runSavepoint(size_t depth, int which) {
    auto& all = cache_->savepoints;
    if (all.size() <= depth) all.resize(depth + 1, {});
    static const char* const kTexts[] = {"SAVEPOINT odb_sp%1", "RELEASE odb_sp%1", "ROLLBACK TO odb_sp%1"};
    sqlite3_stmt*& slot = all[depth][static_cast<size_t>(which)];
    if (slot) return runControl(db_, slot, nullptr);
    const QByteArray sql = QString::fromLatin1(kTexts[which]).arg(depth).toLatin1();
    return runControl(db_, slot, sql.constData());
}

void Connection::endWrite(int token, bool commit) {
    if (!db_ || token <= 0) return;
    auto& levels = cache_->levels;
    // Closed already: by a failure unwinding it, or by someone who had no business closing it.
    if (token > static_cast<int>(levels.size())) {
        if (commit)
            LibraryError::Raise(odbErrTransaction,
                                QStringLiteral("La transazione dell'operazione è stata chiusa da una regola: "
                                               "l'operazione è stata annullata"));
        return;
    }
    // Levels opened above this one and never closed are undone with it.
    const bool unbalanced = token < static_cast<int>(levels.size());
    while (static_cast<int>(levels.size()) > token)
        closeLevel(false);
    closeLevel(commit && !unbalanced);
    if (unbalanced)
        LibraryError::Raise(
            odbErrTransaction,
            QStringLiteral("Una regola ha aperto una transazione senza chiuderla: l'operazione è "
                           "stata annullata"));
}

void Connection::OnRollback(std::function<void()> undo) {
    checkOpen();
    if (cache_->levels.empty()) LibraryError::Raise(odbErrTransaction);
    cache_->levels.back().rollbackActions.push_back(std::move(undo));
}

int64_t Connection::Execute(const QString& sql) {
    checkOpen();
    // Compacting rewrites the whole file and cannot run inside a transaction.
    if (sql.trimmed().startsWith(QStringLiteral("VACUUM"), Qt::CaseInsensitive)) {
        if (!cache_->levels.empty())
            LibraryError::Raise(odbErrTransaction, LibraryError::Text(odbErrSql) +
                                                       QStringLiteral(": VACUUM dentro una transazione"));
        exec(sql);
        ++localVersion_;
        return 0;
    }
    const int token = beginWrite();
    try {
        // Transactions are the library's: BEGIN, COMMIT and their kin run through BeginTrans.
        sqlite3_set_authorizer(
            db_,
            [](void*, int action, const char*, const char*, const char*, const char*) {
                return action == SQLITE_TRANSACTION || action == SQLITE_SAVEPOINT ? SQLITE_DENY : SQLITE_OK;
            },
            nullptr);
        char* err = nullptr;
        const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err);
        sqlite3_free(err);
        sqlite3_set_authorizer(db_, nullptr, nullptr);
        if (rc == SQLITE_AUTH)
            LibraryError::Raise(
                odbErrTransaction,
                QStringLiteral("Le istruzioni di transazione non sono ammesse: usare BeginTrans, "
                               "CommitTrans e RollbackTrans"));
        if (rc != SQLITE_OK) raiseSql(rc, sql);
    } catch (...) {
        endWrite(token, false);
        throw;
    }
    const int64_t changes = sqlite3_changes64(db_);
    endWrite(token, true);
    // Rows changed behind the data sets' backs are read again.
    ++localVersion_;
    return changes;
}

odb::AdoConnection& Connection::GetAdoConnection() {
    return *ado_;
}

int Connection::BeginTrans() {
    beginWrite(false, true);
    return userLevel_;
}

void Connection::endUserLevel(bool commit) {
    checkOpen();
    // Only a level BeginTrans opened, and only the innermost: never an operation's own.
    if (cache_->levels.empty() || !cache_->levels.back().user) LibraryError::Raise(odbErrTransaction);
    endWrite(static_cast<int>(cache_->levels.size()), commit);
}

void Connection::CommitTrans() {
    endUserLevel(true);
}

void Connection::RollbackTrans() {
    endUserLevel(false);
}

void Connection::Login(const QString& user, Database& database) {
    checkOpen();
    user_ = user;
    const QString table = database.ConnectionsTableName();
    const int token = beginWrite();
    try {
        statement(
            QStringLiteral("INSERT INTO \"%1\" (\"Utente\", \"Computer\", \"DataAccesso\") VALUES (?, ?, ?)")
                .arg(table))
            .bind(1, user)
            .bind(2, DbmsGlobal::ComputerName())
            .bind(3, LibraryClock::Now())
            .run();
        loginRow_ = lastInsertRowId();
    } catch (...) {
        endWrite(token, false);
        throw;
    }
    endWrite(token, true);
}

void Connection::Refresh() {
    ++localVersion_;
}

int64_t Connection::lastInsertRowId() const {
    return sqlite3_last_insert_rowid(handle());
}

int64_t Connection::dataVersion() {
    checkOpen();
    // Asked by every operation: kept prepared beside the transaction statements, found without
    // looking its text up.
    sqlite3_stmt*& slot = cache_->control[Cache::DataVersion];
    if (!slot) {
        const int rc =
            sqlite3_prepare_v3(db_, "PRAGMA data_version", -1, SQLITE_PREPARE_PERSISTENT, &slot, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(slot);
            slot = nullptr;
            raiseSql(rc, QStringLiteral("PRAGMA data_version"));
        }
    }
    if (sqlite3_step(slot) == SQLITE_ROW) {
        const int64_t version = sqlite3_column_int64(slot, 0);
        sqlite3_reset(slot);
        return version;
    }
    const int code = sqlite3_extended_errcode(db_);
    const QString msg = QString::fromUtf8(sqlite3_errmsg(db_));
    sqlite3_reset(slot);
    RaiseEngineError(code, msg);
}

}  // namespace odb
