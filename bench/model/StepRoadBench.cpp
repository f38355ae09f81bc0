// Closing one work step on a database of 100,000 steps: through the rules up to its detail, against
// the same row writes as hand-written SQL in one BEGIN IMMEDIATE transaction; both durable.
#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include "base/Currency.h"
#include "base/DateUtil.h"
#include "model/DB.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "platform/Clock.h"

namespace {

constexpr int kSteps = 100000;
constexpr int kDetails = 1000;
// Two open steps on each of the first details; an iteration closes the first of one detail, so
// that its detail still has work open afterwards.
constexpr int kOpenSteps = 400;
constexpr int kCloses = kOpenSteps / 2;

class SilentNotify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString&) override {}
    void OnQueryMessage(void*, int32_t, const QString&, bool& cancel) override { cancel = false; }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}
};

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        fprintf(stderr, "%s: %s\n", sql, error ? error : "");
        sqlite3_free(error);
        std::abort();
    }
}

struct StepDatabase {
    QTemporaryDir dir;
    QString file;
    SilentNotify notify;
    std::shared_ptr<odb::Connection> connection;
    std::shared_ptr<odb::Database> database;
    double start = MakeOleDate(2026, 3, 2, 8, 0);

    StepDatabase() {
        file = QDir(dir.path()).filePath("ZeltoLavrix.mdb");
        Clock::setFixed(QDateTime(QDate(2026, 3, 2), QTime(7, 0)));
        open();
        table("DedirIdovuduvIrezadiv")
            .OpenData()
            ->AddRow({"Codice", "T1", "Descrizione", "Tornitura", "CostoOrario", Currency::fromLong(30)});
        table("Operai").OpenData()->AddRow({"Codice", "7", "Nominativo", "Rossi", "Manzione", "T1"});
        auto details = table("DettagliCommesse").OpenData();
        for (int i = 0; i < kDetails; ++i)
            details->AddRow({"NumeroCommessa", QString("C%1").arg(i, 5, 10, QChar('0'))});
        close();
        fill();
        open();
        Clock::setFixed(QDateTime(QDate(2026, 3, 2), QTime(10, 30)));
    }
    ~StepDatabase() {
        close();
        Clock::reset();
    }
    odb::Table& table(const char* name) { return database->Tables().Item(name); }
    void open() {
        connection = std::make_shared<odb::Connection>();
        if (!QFile::exists(file)) connection->CreateDatabaseFile(file);
        connection->OpenDatabaseFile(file);
        database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &notify);
        database->Open(connection);
        g_objConnection = connection;
        g_objDatabase = database;
    }
    void close() {
        g_objDatabase.reset();
        g_objConnection.reset();
        database.reset();
        if (connection) connection->CloseConnection();
        connection.reset();
    }
    // The bulk of the history written straight into the file: closed steps spread over the
    // details (100 each), and two open steps on each of the first details.
    std::vector<int64_t> toClose;  // the first open step of each detail with two
    void fill() {
        sqlite3* db = nullptr;
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        Exec(db, "BEGIN IMMEDIATE");
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(
            db,
            "INSERT INTO PassaggiDettaglioCommesse (NumeroCommessa, Chiuso, Sospeso, DataInizio, "
            "DataChiusura, TempoImpiegato, CostoEffettivo, TempoSospensione, "
            "TotaleParticolariGruppo, Operaio, _Owner, _OwnerOID) VALUES (?, ?, 0, ?, ?, ?, ?, 0, 0, "
            "(SELECT OID FROM Operai WHERE Codice='7'), 'DettagliCommesse.Passaggi', "
            "(SELECT OID FROM DettagliCommesse WHERE NumeroCommessa=?))",
            -1, &st, nullptr);
        for (int i = 0; i < kSteps; ++i) {
            const bool open = i < kOpenSteps;
            const int detail = open ? i / 2 : i % kDetails;
            const QByteArray number = QString("C%1").arg(detail, 5, 10, QChar('0')).toUtf8();
            // Open steps started this morning, closed ones on earlier days.
            const double from = open ? start - (i % 2) / 1440.0 : start - 1 - i / kDetails;
            sqlite3_bind_text(st, 1, number.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(st, 2, open ? 0 : 1);
            sqlite3_bind_double(st, 3, from);
            if (open) {
                sqlite3_bind_null(st, 4);
                sqlite3_bind_int(st, 5, 0);
                sqlite3_bind_int64(st, 6, 0);
            } else {
                sqlite3_bind_double(st, 4, from + 60 / 1440.0);
                sqlite3_bind_int(st, 5, 60);
                sqlite3_bind_int64(st, 6, 300000);
            }
            sqlite3_bind_text(st, 7, number.constData(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(st) != SQLITE_DONE) std::abort();
            if (open && i % 2 == 0) toClose.push_back(sqlite3_last_insert_rowid(db));
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        // The details carry the totals of their closed steps, the first one its open work too.
        Exec(
            db,
            "UPDATE DettagliCommesse SET TempoImpiegato=(SELECT TOTAL(TempoImpiegato) FROM "
            "PassaggiDettaglioCommesse p WHERE p._OwnerOID=DettagliCommesse.OID), "
            "CostoEffettivoPassaggi=(SELECT "
            "TOTAL(CostoEffettivo) FROM PassaggiDettaglioCommesse p WHERE p._OwnerOID=DettagliCommesse.OID), "
            "InLavorazione=EXISTS(SELECT 1 FROM PassaggiDettaglioCommesse p WHERE "
            "p._OwnerOID=DettagliCommesse.OID AND p.Chiuso=0)");
        Exec(db, "COMMIT");
        sqlite3_close(db);
    }
};

// The step found, closed and saved as the terminal does it; `oneTransaction` wraps the three
// calls in one user transaction, as the hand-written SQL is one.
void CloseStepsThroughRules(benchmark::State& state, bool oneTransaction) {
    StepDatabase db;
    const auto& open = db.toClose;
    size_t next = 0;
    for (auto _ : state) {
        if (next >= open.size()) {
            state.SkipWithError("no open step left");
            break;
        }
        if (oneTransaction) db.connection->BeginTrans();
        auto step = db.table("PassaggiDettaglioCommesse").OpenData("OID=" + QString::number(open[next++]));
        step->SetColValue("Chiuso", true);
        if (!step->SaveRow()) state.SkipWithError("refused");
        if (oneTransaction) db.connection->CommitTrans();
    }
    // Closed at 10:30: 150 minutes, besides 99 x 60 of the steps closed earlier; work still open.
    auto detail = db.table("DettagliCommesse").OpenData("NumeroCommessa='C00001'");
    state.counters["detail_minutes"] = detail->ColNumber("TempoImpiegato");
    state.counters["detail_open"] = detail->ColValueBool("InLavorazione");
}

void BM_CloseStepThroughRules(benchmark::State& state) {
    CloseStepsThroughRules(state, false);
}
BENCHMARK(BM_CloseStepThroughRules)->Unit(benchmark::kMicrosecond)->Iterations(kCloses);

void BM_CloseStepThroughRulesOneTransaction(benchmark::State& state) {
    CloseStepsThroughRules(state, true);
}
BENCHMARK(BM_CloseStepThroughRulesOneTransaction)->Unit(benchmark::kMicrosecond)->Iterations(kCloses);

void BM_CloseStepHandWrittenSql(benchmark::State& state) {
    StepDatabase db;
    const auto open = db.toClose;
    db.close();
    sqlite3* sql = nullptr;
    sqlite3_open_v2(db.file.toUtf8().constData(), &sql, SQLITE_OPEN_READWRITE, nullptr);
    Exec(sql, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL");
    const double now = MakeOleDate(2026, 3, 2, 10, 30);
    sqlite3_stmt *read = nullptr, *step = nullptr, *detail = nullptr;
    sqlite3_prepare_v2(
        sql,
        "SELECT p.DataInizio, p.TempoSospensione, r.CostoOrario, p._OwnerOID FROM "
        "PassaggiDettaglioCommesse p JOIN Operai o ON o.OID=p.Operaio JOIN DedirIdovuduvIrezadiv r "
        "ON r.OID=o.Manzione WHERE p.OID=?",
        -1, &read, nullptr);
    sqlite3_prepare_v2(sql,
                       "UPDATE PassaggiDettaglioCommesse SET Chiuso=1, DataChiusura=?, TempoImpiegato=?, "
                       "CostoEffettivo=? WHERE OID=?",
                       -1, &step, nullptr);
    sqlite3_prepare_v2(
        sql,
        "UPDATE DettagliCommesse SET TempoImpiegato=TempoImpiegato+?, "
        "CostoEffettivoPassaggi=CostoEffettivoPassaggi+?, InLavorazione=EXISTS(SELECT 1 FROM "
        "PassaggiDettaglioCommesse p WHERE p._OwnerOID=?1 AND p._Owner='DettagliCommesse.Passaggi' "
        "AND p.Chiuso=0) WHERE OID=?3",
        -1, &detail, nullptr);
    size_t next = 0;
    for (auto _ : state) {
        const int64_t oid = open[next++];
        Exec(sql, "BEGIN IMMEDIATE");
        sqlite3_bind_int64(read, 1, oid);
        sqlite3_step(read);
        const int64_t minutes =
            WholeMinutesBetween(sqlite3_column_double(read, 0), now) - sqlite3_column_int64(read, 1);
        const int64_t cost =
            Currency::fromDouble(minutes * (sqlite3_column_int64(read, 2) / 10000.0 / 60)).raw();
        const int64_t owner = sqlite3_column_int64(read, 3);
        sqlite3_reset(read);
        sqlite3_bind_double(step, 1, now);
        sqlite3_bind_int64(step, 2, minutes);
        sqlite3_bind_int64(step, 3, cost);
        sqlite3_bind_int64(step, 4, oid);
        sqlite3_step(step);
        sqlite3_reset(step);
        sqlite3_bind_int64(detail, 1, minutes);
        sqlite3_bind_int64(detail, 2, cost);
        sqlite3_bind_int64(detail, 3, owner);
        sqlite3_step(detail);
        sqlite3_reset(detail);
        Exec(sql, "COMMIT");
    }
    for (sqlite3_stmt* s : {read, step, detail})
        sqlite3_finalize(s);
    sqlite3_close(sql);
}
BENCHMARK(BM_CloseStepHandWrittenSql)->Unit(benchmark::kMicrosecond)->Iterations(kCloses);

}  // namespace

BENCHMARK_MAIN();
