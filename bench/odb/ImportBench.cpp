// Importing 10,000 rows with a lookup reference from an archive file through DataSet::ImportRows,
// against reading the same rows and writing them with prepared inserts, the reference resolved by
// its key in the destination the same way.
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

constexpr int kImportRows = 10000;
constexpr int kDepartments = 20;

// Departments (a lookup by code) and rows that refer to one, with a new-row rule.
std::shared_ptr<TestDefinition> ImportSchema() {
    auto def = std::make_shared<TestDefinition>();
    def->record = false;
    auto departments = def->add("Reparti");
    departments->structure = [](odb::FieldDefs& f, odb::IndexDefs& x, odb::ReferenceDefs&) {
        Text(f, "Codice", 16);
        Text(f, "Descrizione", 64);
        x.AddIndex("Codice", true);
    };
    auto rows = def->add("Righe");
    rows->structure = [](odb::FieldDefs& f, odb::IndexDefs& x, odb::ReferenceDefs& r) {
        Text(f, "Codice", 32);
        Long(f, "Quantita");
        Money(f, "Prezzo");
        When(f, "Data");
        Lookup(r, "Reparto", "Reparti", "Codice", "Descrizione");
        x.AddIndex("Codice", false);
    };
    rows->onNewRow = [](DataSet& ds) {
        ds.SetColValue("Quantita", 0);
        ds.SetColValue("Data", Variant::fromDate(45000.5));
    };
    return def;
}

struct Db {
    std::shared_ptr<odb::Connection> conn;
    std::shared_ptr<odb::Database> db;
};

Db Open(const QString& file, odb::itfNotifyEvent* notify) {
    Db d;
    d.conn = std::make_shared<odb::Connection>();
    if (!QFile::exists(file)) d.conn->CreateDatabaseFile(file);
    d.conn->OpenDatabaseFile(file);
    d.db = odb::DbmsGlobal::CreateDatabase(ImportSchema(), "Bench", notify);
    d.db->Open(d.conn, -1, 0, 0, 0, nullptr);
    return d;
}

// The departments, in the order given (row identities differ between the files).
void AddDepartments(Db& d, bool reversed) {
    auto ds = d.db->Tables().Item("Reparti").OpenData("OID=0");
    for (int i = 0; i < kDepartments; ++i) {
        const int n = reversed ? kDepartments - 1 - i : i;
        ds->AddRow(
            {"Codice", QStringLiteral("R%1").arg(n), "Descrizione", QStringLiteral("Reparto %1").arg(n)});
    }
}

// An archive with the rows, and an empty destination holding the departments, made once.
struct Files {
    QTemporaryDir dir;
    QString archive, empty;
    Files() {
        archive = QDir(dir.path()).filePath("archivio.mdb");
        empty = QDir(dir.path()).filePath("vuoto.mdb");
        TestNotify notify;
        Db a = Open(archive, &notify);
        AddDepartments(a, false);
        auto rows = a.db->Tables().Item("Righe").OpenData("OID=0");
        a.conn->BeginTrans();
        for (int i = 0; i < kImportRows; ++i)
            rows->AddRow({"Codice", QStringLiteral("A%1").arg(i), "Quantita", i % 17, "Prezzo",
                          Currency::fromDouble(2.5 + i % 5), "Reparto",
                          QStringLiteral("R%1").arg(i % kDepartments)});
        a.conn->CommitTrans();
        a.conn->CloseConnection();
        Db e = Open(empty, &notify);
        AddDepartments(e, true);
        e.conn->CloseConnection();
    }
    // A fresh copy of the empty destination.
    QString destination() const {
        const QString file = QDir(dir.path()).filePath("destinazione.mdb");
        QFile::remove(file);
        QFile::copy(empty, file);
        return file;
    }
};

Files& SharedFiles() {
    static Files files;
    return files;
}

void BM_ImportRowsWithReferences(benchmark::State& state) {
    Files& files = SharedFiles();
    TestNotify notify;
    for (auto _ : state) {
        state.PauseTiming();
        Db d = Open(files.destination(), &notify);
        auto destination = d.db->Tables().Item("Righe").OpenData("OID=0");
        state.ResumeTiming();
        auto archive = std::make_shared<odb::Connection>();
        archive->OpenDatabaseFile(files.archive);
        auto attached = odb::DbmsGlobal::AttachDatabase(archive, &notify);
        auto source = attached->Tables().Item("Righe").OpenData();
        d.conn->BeginTrans();
        const int32_t copied = source->ImportRows(*destination);
        d.conn->CommitTrans();
        source->CloseData();
        archive->CloseConnection();
        state.PauseTiming();
        if (copied != kImportRows) state.SkipWithError("not every row was imported");
        d.conn->CloseConnection();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kImportRows);
}
BENCHMARK(BM_ImportRowsWithReferences)->Unit(benchmark::kMillisecond);

void BM_ImportPreparedInserts(benchmark::State& state) {
    Files& files = SharedFiles();
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = files.destination();
        state.ResumeTiming();
        sqlite3 *src = nullptr, *db = nullptr;
        sqlite3_open_v2(files.archive.toUtf8().constData(), &src, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_open_v2(target.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt *read = nullptr, *key = nullptr, *find = nullptr, *insert = nullptr;
        sqlite3_prepare_v2(src, "SELECT Codice, Quantita, Prezzo, Data, Reparto FROM Righe ORDER BY OID", -1,
                           &read, nullptr);
        sqlite3_prepare_v2(src, "SELECT Codice FROM Reparti WHERE OID = ?", -1, &key, nullptr);
        sqlite3_prepare_v2(db, "SELECT OID FROM Reparti WHERE Codice = ? ORDER BY OID LIMIT 1", -1, &find,
                           nullptr);
        sqlite3_prepare_v2(
            db, "INSERT INTO Righe (Codice, Quantita, Prezzo, Data, Reparto) VALUES (?, ?, ?, ?, ?)", -1,
            &insert, nullptr);
        int copied = 0;
        while (sqlite3_step(read) == SQLITE_ROW) {
            sqlite3_bind_int64(key, 1, sqlite3_column_int64(read, 4));
            sqlite3_step(key);
            sqlite3_bind_text(find, 1, reinterpret_cast<const char*>(sqlite3_column_text(key, 0)), -1,
                              SQLITE_TRANSIENT);
            sqlite3_reset(key);
            const int64_t department = sqlite3_step(find) == SQLITE_ROW ? sqlite3_column_int64(find, 0) : 0;
            sqlite3_reset(find);
            for (int c = 0; c < 4; ++c)
                sqlite3_bind_value(insert, c + 1, sqlite3_column_value(read, c));
            sqlite3_bind_int64(insert, 5, department);
            if (sqlite3_step(insert) == SQLITE_DONE) ++copied;
            sqlite3_reset(insert);
        }
        for (sqlite3_stmt* s : {read, key, find, insert})
            sqlite3_finalize(s);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        sqlite3_close(src);
        if (copied != kImportRows) state.SkipWithError("not every row was inserted");
    }
    state.SetItemsProcessed(state.iterations() * kImportRows);
}
BENCHMARK(BM_ImportPreparedInserts)->Unit(benchmark::kMillisecond);

}  // namespace
