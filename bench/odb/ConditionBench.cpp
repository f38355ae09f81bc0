// Condition translation cost, and the custom Like and text collation against SQLite's own
// LIKE and BINARY comparison over 10,000 rows.
#include <benchmark/benchmark.h>

#include <QString>

#include <sqlite3.h>

#include "odb/Schema.h"
#include "odb/condition/ConditionFunctions.h"
#include "odb/condition/ConditionSql.h"

using namespace odb;

namespace {

// One table, "Operai", with a text, a Boolean and a date column.
class BenchSchema : public ConditionSchema {
  public:
    std::optional<ConditionField> ResolveField(const QString&, const QString& alias, const QStringList& path,
                                               ConditionAliases&) const override {
        static const std::pair<const char*, int32_t> fields[] = {
            {"Nominativo", ftText}, {"Impiegato", ftBoolean}, {"DataFineRapporto", ftDate}, {"OID", ftLong}};
        if (path.size() != 1) return std::nullopt;
        for (const auto& [name, type] : fields) {
            if (path[0].compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return ConditionField{alias + QStringLiteral(".\"%1\"").arg(QLatin1String(name)), type};
        }
        return std::nullopt;
    }
    std::optional<QString> ResolveTable(const QString&) const override {
        return QStringLiteral("\"Operai\"");
    }
};

sqlite3* MakeDatabase() {
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    RegisterConditionFunctions(db);
    sqlite3_exec(db,
                 "CREATE TABLE Operai (OID INTEGER PRIMARY KEY, Nominativo TEXT, Impiegato INTEGER, "
                 "DataFineRapporto REAL);"
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
                 "INSERT INTO Operai SELECT i, 'Operaio ' || i || CASE i % 7 WHEN 0 THEN ' Rossi' ELSE ' "
                 "Bianchi' END, "
                 "i % 2, CASE i % 3 WHEN 0 THEN NULL ELSE 45000 + i END FROM n;",
                 nullptr, nullptr, nullptr);
    return db;
}

int64_t Count(sqlite3* db, const QString& where, const std::vector<SqlValue>& values) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql = (QStringLiteral("SELECT COUNT(*) FROM Operai AS t WHERE ") + where).toUtf8();
    sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
    BindConditionValues(stmt, values);
    sqlite3_step(stmt);
    const int64_t n = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return n;
}

void BM_TranslateWhere(benchmark::State& state) {
    BenchSchema schema;
    for (auto _ : state) {
        ConditionSql translator(schema, QStringLiteral("Operai"), QStringLiteral("t"));
        benchmark::DoNotOptimize(translator.Where(
            QStringLiteral("ISNULL(DataFineRapporto) And Nominativo <> '<indefinito>' AND NOT Impiegato AND "
                           "Month(DataFineRapporto) = 3 OR OID IN (1, 2, 3)")));
    }
}
BENCHMARK(BM_TranslateWhere);

void BM_VbLike10k(benchmark::State& state) {
    sqlite3* db = MakeDatabase();
    BenchSchema schema;
    ConditionSql translator(schema, QStringLiteral("Operai"), QStringLiteral("t"));
    const SqlFragment f = translator.Where(QStringLiteral("Nominativo Like '*rossi*'"));
    for (auto _ : state)
        benchmark::DoNotOptimize(Count(db, f.sql, f.values));
    sqlite3_close(db);
}
BENCHMARK(BM_VbLike10k);

void BM_SqliteLike10k(benchmark::State& state) {
    sqlite3* db = MakeDatabase();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            Count(db, QStringLiteral("t.Nominativo LIKE ?"), {QStringLiteral("%rossi%")}));
    sqlite3_close(db);
}
BENCHMARK(BM_SqliteLike10k);

void BM_VbTextEquals10k(benchmark::State& state) {
    sqlite3* db = MakeDatabase();
    BenchSchema schema;
    ConditionSql translator(schema, QStringLiteral("Operai"), QStringLiteral("t"));
    const SqlFragment f = translator.Where(QStringLiteral("Nominativo = 'operaio 4242 bianchi'"));
    for (auto _ : state)
        benchmark::DoNotOptimize(Count(db, f.sql, f.values));
    sqlite3_close(db);
}
BENCHMARK(BM_VbTextEquals10k);

void BM_SqliteBinaryEquals10k(benchmark::State& state) {
    sqlite3* db = MakeDatabase();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            Count(db, QStringLiteral("t.Nominativo = ?"), {QStringLiteral("Operaio 4242 Bianchi")}));
    sqlite3_close(db);
}
BENCHMARK(BM_SqliteBinaryEquals10k);

}  // namespace
