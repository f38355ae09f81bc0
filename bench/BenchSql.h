// The hand-written SQL of the benchmarks' baselines: a statement that fails ends the run, since a
// baseline that did less work than the code it is measured against would flatter it.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

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

// The column names of a table, in order.
inline QStringList Columns(sqlite3* db, const QString& table) {
    QStringList out;
    sqlite3_stmt* st = Prepare(db, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
    while (sqlite3_step(st) == SQLITE_ROW)
        out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    return out;
}

// Copies the first row of `table` (the lowest "OID") once for each i from `first` to `last`, the
// columns of `set` given as SQL expressions over i, the others as they are ("OID" left to SQLite):
// a year's rows written straight into the file, so that the reading is measured, not the rules.
inline void CopyFirstRow(sqlite3* db, const QString& table, int first, int last,
                         const QMap<QString, QString>& set) {
    QStringList columns = Columns(db, table);
    columns.removeAll(QStringLiteral("OID"));
    QStringList values, quoted;
    for (const QString& c : columns) {
        values << (set.contains(c) ? set.value(c) : QStringLiteral("t.\"%1\"").arg(c));
        quoted << QStringLiteral("\"%1\"").arg(c);
    }
    Exec(db, QStringLiteral("WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
                            "INSERT INTO \"%3\" (%4) SELECT %5 FROM n, \"%3\" t WHERE t.OID = (SELECT "
                            "MIN(OID) FROM \"%3\")")
                 .arg(first)
                 .arg(last)
                 .arg(table, quoted.join(QLatin1Char(',')), values.join(QLatin1Char(','))));
}
