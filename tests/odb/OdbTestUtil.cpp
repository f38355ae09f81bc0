// Raw reads of a database file for the tests.
#include "OdbTestUtil.h"

#include <sqlite3.h>

#include <algorithm>
#include <functional>

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
int traceStatement(unsigned, void* context, void* prepared, void* text) {
    auto* log = static_cast<StatementLog*>(context);
    auto* st = static_cast<sqlite3_stmt*>(prepared);
    log->all.append(QString::fromUtf8(static_cast<const char*>(text)));
    StatementLog::Statement s;
    s.columns = sqlite3_column_count(st);
    s.readOnly = sqlite3_stmt_readonly(st) != 0;
    for (int i = 0; i < s.columns && s.table.isEmpty(); ++i)
        if (const char* t = sqlite3_column_table_name(st, i)) s.table = QString::fromUtf8(t);
    if (s.columns == 1) {
        const char* origin = sqlite3_column_origin_name(st, 0);
        s.identitiesOnly = origin && QString::fromUtf8(origin).compare("OID", Qt::CaseInsensitive) == 0;
        const char* name = sqlite3_column_name(st, 0);
        s.versionCheck = !origin && name && QString::fromUtf8(name) == "data_version";
    }
    log->statements.push_back(s);
    return 0;
}

int countIf(const std::vector<StatementLog::Statement>& all,
            const std::function<bool(const StatementLog::Statement&)>& test) {
    return static_cast<int>(std::count_if(all.begin(), all.end(), test));
}
}  // namespace

StatementLog::StatementLog(odb::Connection& conn)
    : conn_(conn), changesBefore_(sqlite3_total_changes(conn.handle())) {
    sqlite3_trace_v2(conn_.handle(), SQLITE_TRACE_STMT, traceStatement, this);
}

StatementLog::~StatementLog() {
    if (conn_.IsOpen()) sqlite3_trace_v2(conn_.handle(), 0, nullptr, nullptr);
}

int StatementLog::listReads(const QString& table) const {
    return countIf(statements, [&](const Statement& s) { return s.table == table && s.identitiesOnly; });
}

int StatementLog::rowReads(const QString& table) const {
    return countIf(statements, [&](const Statement& s) { return s.table == table && !s.identitiesOnly; });
}

int StatementLog::versionChecks() const {
    return countIf(statements, [](const Statement& s) { return s.versionCheck; });
}

int StatementLog::rowsWritten() const {
    return sqlite3_total_changes(conn_.handle()) - changesBefore_;
}

int StatementLog::writes() const {
    return countIf(statements, [](const Statement& s) { return !s.readOnly; });
}

}  // namespace odbtest
