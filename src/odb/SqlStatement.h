// SqlStatement: a prepared statement taken from the connection's cache for one use; reset and its
// bindings cleared when the scope ends, so that no statement stays open between library calls.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/Variant.h"

struct sqlite3_stmt;

namespace odb {

class Connection;

// Raises the library error that says what the storage engine's error `code` means (busy, damaged,
// read-only, full, unreachable file, a condition too complex); only an error the library cannot
// name keeps the engine's own message, with `what` it was doing.
[[noreturn]] void RaiseEngineError(int code, const QString& engineMessage, const QString& what = {});

// A statement the connection's cache keeps: lent to one SqlStatement at a time, never finalised
// while lent; one the cache drops meanwhile is finalised when given back.
struct CachedStatement {
    sqlite3_stmt* stmt = nullptr;
    bool lent = false;
    bool dropped = false;
    uint64_t lastUse = 0;
};

class SqlStatement {
  public:
    // `entry`: the cache's, given back when the scope ends; without one the statement is this
    // use's alone and finalised when the scope ends.
    SqlStatement(sqlite3_stmt* stmt, std::shared_ptr<CachedStatement> entry);
    SqlStatement(SqlStatement&& other) noexcept;
    SqlStatement& operator=(SqlStatement&&) = delete;
    SqlStatement(const SqlStatement&) = delete;
    ~SqlStatement();

    // Binds by 1-based position: Null, whole numbers, doubles and texts as they come.
    SqlStatement& bindNull(int i);
    SqlStatement& bind(int i, int64_t v);
    SqlStatement& bind(int i, double v);
    SqlStatement& bind(int i, const QString& v);
    // A stored value (already in stored form: Long/Double/String/Null).
    SqlStatement& bindStored(int i, const Variant& v);

    // Next row: true while there is one; raises the library error on failure (busy included).
    bool step();
    // Runs to completion; returns the rows changed.
    int64_t run();

    int columnCount() const;
    bool isNull(int col) const;
    int64_t int64(int col) const;
    double real(int col) const;
    QString text(int col) const;
    // The column as stored: Null, Long (whole number), Double or String.
    Variant stored(int col) const;

    void reset();

    // A list of row identities bound as one value, so that one statement serves every list:
    // "x IN " + IdListSql() with IdListValue(ids) bound at its place.
    static QString IdListSql();
    static QString IdListValue(const std::vector<int64_t>& ids);

  private:
    sqlite3_stmt* stmt_;
    std::shared_ptr<CachedStatement> entry_;
};

}  // namespace odb
