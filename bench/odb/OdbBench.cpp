// Opening a current database of 38 tables, creating one from nothing, adding rows through data
// sets against plain prepared inserts, and one durable cascading save against hand-written SQL.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include "TestSchema.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"

using namespace odbtest;

namespace {

// 38 tables in the shape of the real schema: fields of every kind, lookups to earlier tables,
// owned collections, derived tables and default rows.
std::shared_ptr<TestDefinition> Schema38() {
    auto def = std::make_shared<TestDefinition>();
    for (int i = 1; i <= 38; ++i) {
        const QString name = QStringLiteral("Tabella%1").arg(i, 2, 10, QLatin1Char('0'));
        auto t = def->add(name);
        t->version = 1.0 + (i % 7) / 10.0;
        const bool derived = i % 6 == 0;
        if (derived) t->base = QStringLiteral("Tabella%1").arg(i - 1, 2, 10, QLatin1Char('0'));
        t->structure = [i, derived](odb::FieldDefs& f, odb::IndexDefs& x, odb::ReferenceDefs& r) {
            const QString p = QStringLiteral("F%1_").arg(i);
            Text(f, p + "Codice", 32);
            Text(f, p + "Descrizione", 128);
            Long(f, p + "Numero", "0000");
            Money(f, p + "Importo");
            When(f, p + "Data");
            Flag(f, p + "Chiuso");
            f.AddField(p + "Note", odb::ftMemo, 0, 0, {}, -100, -100, -100, false, {}, {}, 0);
            f.AddField(p + "Quantità", odb::ftQuantity, 0, 0, {}, -100, -100, -100, true, {}, {}, 0);
            if (i > 1 && !derived)
                Lookup(r, p + "Rif", QStringLiteral("Tabella%1").arg(i - 1, 2, 10, QLatin1Char('0')), {}, "");
            if (i > 2 && i % 4 == 0)
                Collection(r, p + "Righe", QStringLiteral("Tabella%1").arg(i - 2, 2, 10, QLatin1Char('0')),
                           true);
            if (!derived) x.AddIndex(p + "Codice", false);
            x.AddIndex(p + "Data", false);
        };
        if (i <= 10)
            t->onStruct = [i](DataSet& ds, double, double, bool created) {
                if (created)
                    ds.AddRow({QStringLiteral("F%1_Codice").arg(i), "",
                               QStringLiteral("F%1_Descrizione").arg(i), "<indefinito>"});
            };
    }
    return def;
}

struct Db {
    std::shared_ptr<odb::Connection> conn;
    std::shared_ptr<odb::Database> db;
};

Db Open(const QString& file, std::shared_ptr<TestDefinition> def, odb::itfNotifyEvent* notify) {
    Db d;
    d.conn = std::make_shared<odb::Connection>();
    if (!QFile::exists(file)) d.conn->CreateDatabaseFile(file);
    d.conn->OpenDatabaseFile(file);
    d.db = odb::DbmsGlobal::CreateDatabase(std::move(def), "Bench", notify);
    d.db->Open(d.conn, -1, 0, 0, 0, nullptr);
    return d;
}

void BM_OpenCurrentDatabase38(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath("bench.mdb");
    TestNotify notify;
    { Open(file, Schema38(), &notify); }
    for (auto _ : state) {
        auto d = Open(file, Schema38(), &notify);
        benchmark::DoNotOptimize(d.db->State());
        d.conn->CloseConnection();
    }
}
BENCHMARK(BM_OpenCurrentDatabase38)->Unit(benchmark::kMillisecond);

void BM_CreateDatabase38(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath("bench.mdb");
    TestNotify notify;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(file);
        state.ResumeTiming();
        auto d = Open(file, Schema38(), &notify);
        d.conn->CloseConnection();
    }
}
BENCHMARK(BM_CreateDatabase38)->Unit(benchmark::kMillisecond);

// A table whose rules fill three fields of every new row and recompute one on every write.
std::shared_ptr<TestDefinition> RowsSchema() {
    auto def = std::make_shared<TestDefinition>();
    def->record = false;
    auto t = def->add("Righe");
    t->structure = [](odb::FieldDefs& f, odb::IndexDefs& x, odb::ReferenceDefs&) {
        Text(f, "Codice", 32);
        Long(f, "Quantita");
        Money(f, "Prezzo");
        Money(f, "Importo");
        When(f, "Data");
        x.AddIndex("Codice", false);
    };
    t->onNewRow = [](DataSet& ds) {
        ds.SetColValue("Quantita", 0);
        ds.SetColValue("Prezzo", Currency());
        ds.SetColValue("Data", Variant::fromDate(45000.5));
    };
    t->onUpdateField = [](DataSet& ds, const QString& column) {
        if (column == "Quantita" || column == "Prezzo")
            ds.SetColValue("Importo",
                           Currency::fromDouble(ds.ColNumber("Quantita") * ds.ColNumber("Prezzo")));
    };
    return def;
}

constexpr int kRows = 10000;

void BM_AddRowsThroughDataSets(benchmark::State& state) {
    TestNotify notify;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString file = QDir(dir.path()).filePath("rows.mdb");
        auto d = Open(file, RowsSchema(), &notify);
        auto ds = d.db->Tables().Item("Righe").OpenData("OID=0");
        state.ResumeTiming();
        d.conn->BeginTrans();
        for (int i = 0; i < kRows; ++i)
            ds->AddRow({"Codice", QStringLiteral("R%1").arg(i), "Quantita", i % 17, "Prezzo",
                        Currency::fromDouble(2.5)});
        d.conn->CommitTrans();
        state.PauseTiming();
        d.conn->CloseConnection();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_AddRowsThroughDataSets)->Unit(benchmark::kMillisecond);

void BM_AddRowsPreparedStatements(benchmark::State& state) {
    TestNotify notify;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString file = QDir(dir.path()).filePath("rows.mdb");
        { auto d = Open(file, RowsSchema(), &notify); }
        sqlite3* db = nullptr;
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
        state.ResumeTiming();
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(
            db, "INSERT INTO Righe (Codice, Quantita, Prezzo, Importo, Data) VALUES (?, ?, ?, ?, ?)", -1, &st,
            nullptr);
        for (int i = 0; i < kRows; ++i) {
            const QByteArray code = QStringLiteral("R%1").arg(i).toUtf8();
            sqlite3_bind_text(st, 1, code.constData(), static_cast<int>(code.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(st, 2, i % 17);
            sqlite3_bind_int64(st, 3, 25000);
            sqlite3_bind_int64(st, 4, 25000LL * (i % 17));
            sqlite3_bind_double(st, 5, 45000.5);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_AddRowsPreparedStatements)->Unit(benchmark::kMillisecond);

// One step saved under a detail of a job order: the totals climb step, detail, job order.
struct Shop {
    QTemporaryDir dir;
    TestNotify notify;
    Db d;
    std::shared_ptr<DataSet> steps;
    QString file;
    Shop() {
        file = QDir(dir.path()).filePath("shop.mdb");
        auto def = std::make_shared<TestDefinition>();
        def->record = false;
        BuildShopSchema(*def);
        d = Open(file, def, &notify);
        auto header = d.db->Tables().Item("Commesse").OpenData();
        header->AddRow({"Cliente", ""});
        auto detail = header->GetReference("Dettagli");
        detail->AddRow({"NumeroCommessa", "A0001/001"});
        steps = detail->GetReference("Passaggi");
    }
};

void BM_CascadingChildSave(benchmark::State& state) {
    Shop shop;
    for (auto _ : state)
        shop.steps->AddRow({"Operaio", "0", "Minuti", 30});
}
BENCHMARK(BM_CascadingChildSave)->Unit(benchmark::kMicrosecond);

void BM_CascadingHandWrittenSql(benchmark::State& state) {
    Shop shop;
    shop.d.conn->CloseConnection();
    sqlite3* db = nullptr;
    sqlite3_open_v2(shop.file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    sqlite3_stmt *ins = nullptr, *det = nullptr, *head = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO Passaggi (Minuti, Costo, Operaio, _Owner, _OwnerOID) VALUES (30, 0, 1, "
                       "'Dettagli.Passaggi', 1)",
                       -1, &ins, nullptr);
    sqlite3_prepare_v2(db, "UPDATE Dettagli SET TempoImpiegato = TempoImpiegato + 30 WHERE OID = 1", -1, &det,
                       nullptr);
    sqlite3_prepare_v2(db, "UPDATE Commesse SET TempoTotale = TempoTotale + 30 WHERE OID = 1", -1, &head,
                       nullptr);
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (sqlite3_stmt* s : {ins, det, head}) {
            sqlite3_step(s);
            sqlite3_reset(s);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    for (sqlite3_stmt* s : {ins, det, head})
        sqlite3_finalize(s);
    sqlite3_close(db);
}
BENCHMARK(BM_CascadingHandWrittenSql)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
