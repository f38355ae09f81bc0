// Helpers shared by the library's tests: opening a test database, raw reads of the file.
#pragma once

#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

#include "TestSchema.h"
#include "odb/AdoConnection.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"

namespace odbtest {

// Lists compared as text, one item a line, so that failures read clearly.
inline std::string Lines(const QStringList& l) {
    return l.join(QLatin1Char('\n')).toStdString();
}

struct Opened {
    std::shared_ptr<odb::Connection> conn;
    std::shared_ptr<odb::Database> db;
    odb::Table& table(const QString& name) const { return db->Tables().Item(name); }
};

// Creates the file when missing, opens it and runs the definition.
inline Opened OpenDefinition(const QString& path, std::shared_ptr<odb::itfDefDatabase> def,
                             odb::itfNotifyEvent* notify, odb::itfProgress* progress = nullptr,
                             int busyMs = odb::Connection::kDefaultBusyTimeoutMs) {
    Opened o;
    o.conn = std::make_shared<odb::Connection>();
    if (!QFileInfo::exists(path)) o.conn->CreateDatabaseFile(path);
    o.conn->OpenDatabaseFile(path, busyMs);
    o.db = odb::DbmsGlobal::CreateDatabase(std::move(def), QStringLiteral("ZeltoLavrix"), notify);
    o.db->Open(o.conn, -1, 0, 0, 0, progress);
    return o;
}

// A value read straight from the file with a statement of its own.
int64_t RawCount(const QString& path, const QString& sql);
QString RawText(const QString& path, const QString& sql);

// The SQL statements a connection runs while the log lives, counted by what they do as SQLite
// describes them (result columns, read-only or not), whatever the library's SQL looks like.
class StatementLog {
  public:
    explicit StatementLog(odb::Connection& conn);
    ~StatementLog();
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;
    // Reads of the list of row identities of `table` (nothing but its OID).
    int listReads(const QString& table) const;
    // Reads of values of rows of `table`: one row, a page of rows, a chunk for display.
    int rowReads(const QString& table) const;
    // Questions to the file whether another computer changed it.
    int versionChecks() const;
    // Statements that write or take the write lock.
    int writes() const;
    // Rows inserted, updated or deleted since the log began.
    int rowsWritten() const;
    // Every statement, for failure messages.
    QStringList all;

    struct Statement {
        QString table;  // of its first column that comes from a table
        int columns = 0;
        bool identitiesOnly = false;
        bool versionCheck = false;
        bool readOnly = true;
    };
    std::vector<Statement> statements;

  private:
    odb::Connection& conn_;
    int changesBefore_ = 0;
};

// True when `f` raises the library error `code`.
template <class F>
bool RaisesLibraryError(F&& f, int32_t code) {
    try {
        f();
    } catch (const AppError& e) {
        return e.number() == vbObjectError + code;
    }
    return false;
}

}  // namespace odbtest
