// The database file connection: file creation and opening with the sharing settings, the statement
// cache, write transactions and savepoints, user transactions and the login record.
#include "odb/Connection.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <sqlite3.h>

#include "base/DateUtil.h"
#include "odb/AdoConnection.h"
#include "odb/ConditionFunctions.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/SqlStatement.h"

namespace odb {

struct Connection::Cache {
    QHash<QString, sqlite3_stmt*> statements;
    std::vector<QString> savepoints;  // open write levels below the outermost BEGIN
    // Per open write level, outermost first: what OnRollback asked to run if it is rolled back.
    std::vector<std::vector<std::function<void()>>> rollbackActions;
};

Connection::Connection()
    : cache_(std::make_unique<Cache>()), ado_(std::make_unique<odb::AdoConnection>(*this)) {}

Connection::~Connection() {
    CloseConnection();
}

namespace {

// Opens `path` with `flags`; returns the handle or raises the library error for `failCode`.
sqlite3* openHandle(const QString& path, int flags, int32_t failCode) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close_v2(db);
        DbmsGlobal::Raise(failCode, DbmsGlobal::ErrorText(failCode) + QStringLiteral(" (") + path +
                                        (msg.isEmpty() ? QString() : QStringLiteral(": ") + msg) +
                                        QStringLiteral(")"));
    }
    return db;
}

void execRaw(sqlite3* db, const char* sql, const QString& path) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
    if (rc == SQLITE_OK) return;
    const QString msg = err ? QString::fromUtf8(err) : QString();
    sqlite3_free(err);
    const int primary = rc & 0xff;
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
        DbmsGlobal::Raise(odbErrNotDatabase, DbmsGlobal::ErrorText(odbErrNotDatabase) + QStringLiteral(" (") +
                                                 path + QStringLiteral(")"));
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) DbmsGlobal::Raise(odbErrBusy);
    DbmsGlobal::Raise(odbErrSql, DbmsGlobal::ErrorText(odbErrSql) + QStringLiteral(": ") + msg);
}

}  // namespace

void Connection::CreateDatabaseFile(const QString& path) {
    if (db_)
        DbmsGlobal::Raise(odbErrCannotOpen, DbmsGlobal::ErrorText(odbErrCannotOpen) +
                                                QStringLiteral(": la connessione è già aperta"));
    const QFileInfo info(path);
    if (!info.dir().exists())
        DbmsGlobal::Raise(odbErrCannotOpen, DbmsGlobal::ErrorText(odbErrCannotOpen) + QStringLiteral(" (") +
                                                path + QStringLiteral(")"));
    // Creating a file that another computer created a moment ago leaves it as it is.
    sqlite3* db = openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, odbErrCannotOpen);
    try {
        sqlite3_busy_timeout(db, kDefaultBusyTimeoutMs);
        execRaw(db, "PRAGMA journal_mode=DELETE", path);
        // Writes the file header, so that the file is a database from now on.
        execRaw(db, "BEGIN IMMEDIATE; PRAGMA application_id; COMMIT", path);
        execRaw(db, "SELECT count(*) FROM sqlite_master", path);
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
        DbmsGlobal::Raise(odbErrFileMissing, DbmsGlobal::ErrorText(odbErrFileMissing) + QStringLiteral(" (") +
                                                 path + QStringLiteral(")"));
    if (!info.isReadable())
        DbmsGlobal::Raise(odbErrCannotOpen, DbmsGlobal::ErrorText(odbErrCannotOpen) + QStringLiteral(" (") +
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

void Connection::configure(int busyTimeoutMs) {
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    // A file that is not a database fails here, before anything is written.
    execRaw(db_, "SELECT count(*) FROM sqlite_master", path_);
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
    for (sqlite3_stmt* s : cache_->statements)
        sqlite3_finalize(s);
    cache_->statements.clear();
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    cache_->savepoints.clear();
    for (int level = writeDepth_; level > 0; --level)
        endLevelActions(level, false);
    sqlite3_close_v2(db_);
    db_ = nullptr;
    path_.clear();
    userLevel_ = 0;
    writeDepth_ = 0;
    ++localVersion_;
}

void Connection::checkOpen() const {
    if (!db_) DbmsGlobal::Raise(odbErrNotOpen);
}

sqlite3* Connection::handle() const {
    checkOpen();
    return db_;
}

void Connection::raiseSql(int rc, const QString& what) const {
    const int primary = rc & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) DbmsGlobal::Raise(odbErrBusy);
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT) DbmsGlobal::Raise(odbErrNotDatabase);
    DbmsGlobal::Raise(odbErrSql, DbmsGlobal::ErrorText(odbErrSql) + QStringLiteral(": ") +
                                     QString::fromUtf8(sqlite3_errmsg(db_)) + QStringLiteral(" [") + what +
                                     QStringLiteral("]"));
}

SqlStatement Connection::statement(const QString& sql) {
    checkOpen();
    auto it = cache_->statements.find(sql);
    if (it != cache_->statements.end()) return SqlStatement(*this, it.value(), sql);
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v3(db_, utf8.constData(), static_cast<int>(utf8.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        raiseSql(rc, sql);
    }
    if (cache_->statements.size() > 500) {
        // Rarely used texts (one-off conditions) must not pile up.
        for (sqlite3_stmt* s : cache_->statements)
            sqlite3_finalize(s);
        cache_->statements.clear();
    }
    cache_->statements.insert(sql, stmt);
    return SqlStatement(*this, stmt, sql);
}

void Connection::exec(const QString& sql) {
    checkOpen();
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) raiseSql(rc, sql);
}

bool Connection::InTransaction() const {
    return db_ && !sqlite3_get_autocommit(db_);
}

int Connection::beginWrite(bool deferred) {
    checkOpen();
    if (writeDepth_ == 0) {
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        const char* begin = deferred ? "BEGIN" : "BEGIN IMMEDIATE";
        const int rc = sqlite3_exec(db_, begin, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) raiseSql(rc, QString::fromLatin1(begin));
        ++lockSerial_;
    } else {
        // Named by depth: the same few statements serve every savepoint, prepared once.
        const QString name = QStringLiteral("odb_sp%1").arg(writeDepth_);
        statement(QStringLiteral("SAVEPOINT ") + name).run();
        cache_->savepoints.push_back(name);
    }
    return ++writeDepth_;
}

void Connection::endWrite(int token, bool commit) {
    if (!db_ || token != writeDepth_ || writeDepth_ == 0) return;
    if (writeDepth_ == 1) {
        if (commit) {
            const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK) {
                // Never leave a half-done write behind: give the lock back and report.
                sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
                writeDepth_ = 0;
                ++localVersion_;
                endLevelActions(1, false);
                raiseSql(rc, QStringLiteral("COMMIT"));
            }
        } else {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        writeDepth_ = 0;
        endLevelActions(1, commit);
        if (!commit) ++localVersion_;
    } else {
        const QString name = cache_->savepoints.back();
        cache_->savepoints.pop_back();
        if (!commit)
            sqlite3_exec(db_, ("ROLLBACK TO " + name).toUtf8().constData(), nullptr, nullptr, nullptr);
        try {
            statement(QStringLiteral("RELEASE ") + name).run();
        } catch (const AppError&) {
            // As a failed rollback above: the outer transaction decides.
        }
        endLevelActions(writeDepth_, commit);
        --writeDepth_;
        if (!commit) ++localVersion_;
    }
}

void Connection::OnRollback(std::function<void()> undo) {
    checkOpen();
    if (writeDepth_ == 0) DbmsGlobal::Raise(odbErrTransaction);
    auto& levels = cache_->rollbackActions;
    if (levels.size() < static_cast<size_t>(writeDepth_)) levels.resize(static_cast<size_t>(writeDepth_));
    levels[static_cast<size_t>(writeDepth_) - 1].push_back(std::move(undo));
}

void Connection::endLevelActions(int level, bool committed) noexcept {
    auto& levels = cache_->rollbackActions;
    if (level < 1 || levels.size() < static_cast<size_t>(level)) return;
    auto actions = std::move(levels[static_cast<size_t>(level) - 1]);
    levels.resize(static_cast<size_t>(level) - 1);
    if (committed) {
        // A savepoint released is undone still by a rollback of the level around it.
        if (level > 1)
            for (auto& a : actions)
                levels[static_cast<size_t>(level) - 2].push_back(std::move(a));
        return;
    }
    for (auto it = actions.rbegin(); it != actions.rend(); ++it) {
        try {
            (*it)();
        } catch (...) {
            // The rollback goes on: an action that fails must not stop the others.
        }
    }
}

int64_t Connection::Execute(const QString& sql) {
    checkOpen();
    // Compacting rewrites the whole file and cannot run inside a transaction.
    if (sql.trimmed().startsWith(QStringLiteral("VACUUM"), Qt::CaseInsensitive)) {
        if (writeDepth_ > 0)
            DbmsGlobal::Raise(odbErrTransaction, DbmsGlobal::ErrorText(odbErrSql) +
                                                     QStringLiteral(": VACUUM dentro una transazione"));
        exec(sql);
        ++localVersion_;
        return 0;
    }
    const int token = beginWrite();
    try {
        exec(sql);
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
    beginWrite();
    return ++userLevel_;
}

void Connection::CommitTrans() {
    if (userLevel_ == 0) DbmsGlobal::Raise(odbErrTransaction);
    --userLevel_;
    endWrite(writeDepth_, true);
}

void Connection::RollbackTrans() {
    if (userLevel_ == 0) DbmsGlobal::Raise(odbErrTransaction);
    --userLevel_;
    endWrite(writeDepth_, false);
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
            .bind(3, OleDateFromQDateTime(QDateTime::currentDateTime()))
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
    auto st = statement(QStringLiteral("PRAGMA data_version"));
    st.step();
    return st.int64(0);
}

}  // namespace odb
