// Raw reads of a database file for the tests.
#include "OdbTestUtil.h"

#include <sqlite3.h>

namespace odbtest {

namespace {
QString rawQuery(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* st = nullptr;
    QString out;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        out = p ? QString::fromUtf8(p) : QString();
    } else {
        out = QStringLiteral("<error: %1>").arg(QString::fromUtf8(sqlite3_errmsg(db)));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}
}  // namespace

int64_t RawCount(const QString& path, const QString& sql) {
    bool ok = false;
    const int64_t n = rawQuery(path, sql).toLongLong(&ok);
    return ok ? n : -1;
}

QString RawText(const QString& path, const QString& sql) {
    return rawQuery(path, sql);
}

namespace {
int traceStatement(unsigned, void* context, void*, void* text) {
    static_cast<QStringList*>(context)->append(QString::fromUtf8(static_cast<const char*>(text)));
    return 0;
}
}  // namespace

StatementLog::StatementLog(odb::Connection& conn) : conn_(conn) {
    sqlite3_trace_v2(conn_.handle(), SQLITE_TRACE_STMT, traceStatement, &all);
}

StatementLog::~StatementLog() {
    if (conn_.IsOpen()) sqlite3_trace_v2(conn_.handle(), 0, nullptr, nullptr);
}

int StatementLog::count(const QString& part) const {
    int n = 0;
    for (const QString& s : all)
        if (s.contains(part, Qt::CaseInsensitive)) ++n;
    return n;
}

}  // namespace odbtest
