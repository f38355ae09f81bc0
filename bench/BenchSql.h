// The hand-written SQL of the benchmarks' baselines: a statement that fails ends the run, since a
// baseline that did less work than the code it is measured against would flatter it.
#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

#include <sqlite3.h>

inline void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        fprintf(stderr, "%s: %s\n", sql, error ? error : "");
        sqlite3_free(error);
        std::abort();
    }
}

inline void Exec(sqlite3* db, const QString& sql) {
    Exec(db, sql.toUtf8().constData());
}

inline sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        fprintf(stderr, "%s: %s\n", sql, sqlite3_errmsg(db));
        std::abort();
    }
    return st;
}

inline sqlite3_stmt* Prepare(sqlite3* db, const QString& sql) {
    return Prepare(db, sql.toUtf8().constData());
}
