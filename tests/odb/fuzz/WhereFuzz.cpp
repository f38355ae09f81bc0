// libFuzzer target for the where-text translator: where-texts, value expressions and order texts
// of any bytes, translated and run on the condition test schema under an authoriser that allows
// reading only. A crash, a statement that would write, a value written into the SQL text instead
// of bound, or SQL the engine rejects for anything but its own size limits stops the run.
#include <QString>

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/AppError.h"
#include "condition/ConditionTestSchema.h"
#include "odb/condition/ConditionSql.h"

namespace {

bool g_denied = false;

int ReadOnly(void*, int action, const char*, const char*, const char*, const char*) {
    switch (action) {
        case SQLITE_SELECT:
        case SQLITE_READ:
        case SQLITE_FUNCTION:
        case SQLITE_RECURSIVE:
            return SQLITE_OK;
        default:
            g_denied = true;
            return SQLITE_DENY;
    }
}

[[noreturn]] void Fail(const char* what, const QString& text, const QString& sql, const char* engine = "") {
    std::fprintf(stderr, "%s\ntext: %s\nsql: %s\n%s\n", what, text.toUtf8().constData(),
                 sql.toUtf8().constData(), engine);
    std::abort();
}

ConditionTestSchema& Schema() {
    static ConditionTestSchema* schema = [] {
        auto* s = new ConditionTestSchema();
        sqlite3_set_authorizer(s->handle(), ReadOnly, nullptr);
        return s;
    }();
    return *schema;
}

const char* const kTables[] = {"CommesseCliente",           "DettagliCommesse", "DettagliAttrezzature",
                               "PassaggiDettaglioCommesse", "Operai",           "OrdinePartCommerciale"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int mode = data[0] % 3;
    const QString table = QLatin1String(kTables[(data[0] / 3) % std::size(kTables)]);
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    ConditionTestSchema& schema = Schema();
    odb::ConditionSql translator(schema, table, QStringLiteral("t"));
    odb::SqlFragment f;
    try {
        f = mode == 0   ? translator.Where(text)
            : mode == 1 ? translator.Expression(text)
                        : translator.Order(text);
    } catch (const AppError&) {
        return 0;  // refused with the library's error: what a user would see
    }
    if (f.sql.isEmpty()) return 0;
    // Every value the text wrote travels bound: no quote, one value for each "?".
    if (f.sql.contains(QLatin1Char('\''))) Fail("a text written into the SQL", text, f.sql);
    if (f.sql.count(QLatin1Char('?')) != static_cast<qsizetype>(f.values.size()))
        Fail("values and their places differ", text, f.sql);
    const QString from = QStringLiteral(" FROM \"%1\" AS t").arg(table);
    const QString sql = mode == 0 ? QStringLiteral("SELECT t.oid") + from + QStringLiteral(" WHERE ") + f.sql
                        : mode == 1
                            ? QStringLiteral("SELECT ") + f.sql + from
                            : QStringLiteral("SELECT t.oid") + from + QStringLiteral(" ORDER BY ") + f.sql;
    sqlite3* db = schema.handle();
    sqlite3_stmt* stmt = nullptr;
    g_denied = false;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &stmt, nullptr);
    if (g_denied) Fail("a statement that is not a reading", text, sql);
    if (rc != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        for (const char* limit : {"parser stack overflow", "Expression tree is too large",
                                  "too many SQL variables", "too many terms"})
            if (message.contains(QLatin1String(limit))) return 0;
        Fail("SQL the engine rejects", text, sql, sqlite3_errmsg(db));
    }
    odb::BindConditionValues(stmt, f.values);
    for (int rows = 0; rows < 1000 && sqlite3_step(stmt) == SQLITE_ROW; ++rows) {
    }
    sqlite3_finalize(stmt);
    return 0;
}
