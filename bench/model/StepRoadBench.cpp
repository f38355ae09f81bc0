// Closing one work step of a tooling detail on a database of 100,000 steps, the detail's size (its
// number of steps) given as the argument: through the rules up to the detail and its customer job
// order, against the same row writes as hand-written SQL in one BEGIN IMMEDIATE transaction. The
// second argument puts the file on disk (durable: both sides pay the same flushes) or on a memory file
// system, where the flushes cost nothing and what is left is the work itself. Every run ends by
// comparing the rows it stored with those of the runs before it, hand-written side included.
// Compare medians: --benchmark_repetitions=N --benchmark_enable_random_interleaving=true.
#include <benchmark/benchmark.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>

#include <sqlite3.h>

#include "BenchSql.h"

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
constexpr int kDetailsPerOrder = 10;
// Two open steps on each of the first details; an iteration closes the first of one detail, so
// that its detail and its job order still have work open afterwards.
constexpr int kCloses = 100;

class SilentNotify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString&) override {}
    void OnQueryMessage(void*, int32_t, const QString&, bool& cancel) override { cancel = false; }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}
};

QByteArray DetailNumber(int detail) {
    return QString("1-%1/%2")
        .arg(detail / kDetailsPerOrder + 1, 4, 10, QChar('0'))
        .arg(detail % kDetailsPerOrder + 1, 3, 10, QChar('0'))
        .toUtf8();
}

// Where the database file lives: a disk folder, or a memory file system where flushes are free.
enum Storage { OnDisk = 0, InMemory = 1 };

QString TemporaryFolder(int storage) {
    return storage == InMemory && QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/step-road-XXXXXX")
                                                            : QDir::tempPath() + "/step-road-XXXXXX";
}

struct StepDatabase {
    QTemporaryDir dir;
    QString file;
    SilentNotify notify;
    std::shared_ptr<odb::Connection> connection;
    std::shared_ptr<odb::Database> database;
    const int detailSize;
    const int details;
    double start = MakeOleDate(2026, 3, 2, 8, 0);
    std::vector<int64_t> toClose;  // the first open step of each detail with two

    StepDatabase(int size, int storage)
        : dir(TemporaryFolder(storage)), detailSize(size), details(kSteps / size) {
        file = QDir(dir.path()).filePath("ZeltoLavrix.mdb");
        Clock::setFixed(QDateTime(QDate(2026, 3, 2), QTime(7, 0)));
        open();
        table("DedirIdovuduvIrezadiv")
            .OpenData()
            ->AddRow({"Codice", "T1", "Descrizione", "Tornitura", "CostoOrario", Currency::fromLong(30)});
        table("Operai").OpenData()->AddRow({"Codice", "7", "Nominativo", "Rossi", "Manzione", "T1"});
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
    // The bulk written straight into the file as the rules store it: customer job orders of ten
    // tooling details each, every detail with `detailSize` steps, closed on earlier days but two
    // open ones on each of the first details; the totals summed over them.
    void fill() {
        sqlite3* db = nullptr;
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        Exec(db, "BEGIN IMMEDIATE");
        sqlite3_stmt* order = Prepare(
            db,
            "INSERT INTO CommesseCliente (OID, DataInserimento, Progressivo, Urgente, CommessaChiusa, "
            "TempoTotaleAttrezzature, CostoTotaleListinoAttrezzature, CostoEffettivoAttrezzature, "
            "TempoTotaleMacchine, CostoTotaleListinoMacchine, Spedito, StatoNotifica, Referente) VALUES (?1, "
            "?2, "
            "?1, 0, 0, 0, 0, 0, 0, 0, 0, 1, (SELECT OID FROM Operai WHERE Codice=''))");
        sqlite3_stmt* base = Prepare(
            db,
            "INSERT INTO DettagliCommesse (OID, NumeroCommessa, Chiuso, Sospeso, InLavorazione, DataInizio, "
            "TempoImpiegato, CostoEffettivoPassaggi, TempoSospensione, Tipo, _Derived) VALUES (?, ?, 0, 0, "
            "0, ?, "
            "0, 0, 0, (SELECT OID FROM TipiCommessa WHERE Tipologia=1), 'DettagliAttrezzature')");
        sqlite3_stmt* tooling =
            Prepare(db,
                    "INSERT INTO DettagliAttrezzature (OID, SottoProgressivo, Quantità, "
                    "_Owner, _OwnerOID) VALUES (?, ?, 1, 'CommesseCliente.Attrezzature', ?)");
        sqlite3_stmt* step =
            Prepare(db,
                    "INSERT INTO PassaggiDettaglioCommesse (NumeroCommessa, Chiuso, Sospeso, DataInizio, "
                    "DataChiusura, TempoImpiegato, CostoEffettivo, TempoSospensione, "
                    "TotaleParticolariGruppo, Operaio, "
                    "_Owner, _OwnerOID) VALUES (?, ?, 0, ?, ?, ?, ?, 0, 0, (SELECT OID FROM Operai WHERE "
                    "Codice='7'), "
                    "'DettagliCommesse.Passaggi', ?)");
        for (int o = 0; o < details / kDetailsPerOrder; ++o) {
            sqlite3_bind_int(order, 1, o + 1);
            sqlite3_bind_double(order, 2, start - 30);
            if (sqlite3_step(order) != SQLITE_DONE) std::abort();
            sqlite3_reset(order);
        }
        for (int d = 0; d < details; ++d) {
            const QByteArray number = DetailNumber(d);
            sqlite3_bind_int(base, 1, d + 1);
            sqlite3_bind_text(base, 2, number.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(base, 3, start - 30);
            if (sqlite3_step(base) != SQLITE_DONE) std::abort();
            sqlite3_reset(base);
            sqlite3_bind_int(tooling, 1, d + 1);
            sqlite3_bind_int(tooling, 2, d % kDetailsPerOrder + 1);
            sqlite3_bind_int(tooling, 3, d / kDetailsPerOrder + 1);
            if (sqlite3_step(tooling) != SQLITE_DONE) std::abort();
            sqlite3_reset(tooling);
            for (int s = 0; s < detailSize; ++s) {
                const bool open = d < kCloses && s < 2;
                // Open steps started this morning, closed ones on earlier days.
                const double from = open ? start - s / 1440.0 : start - 1 - s;
                sqlite3_bind_text(step, 1, number.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int(step, 2, open ? 0 : 1);
                sqlite3_bind_double(step, 3, from);
                if (open) {
                    sqlite3_bind_null(step, 4);
                    sqlite3_bind_int(step, 5, 0);
                    sqlite3_bind_int64(step, 6, 0);
                } else {
                    sqlite3_bind_double(step, 4, from + 60 / 1440.0);
                    sqlite3_bind_int(step, 5, 60);
                    sqlite3_bind_int64(step, 6, 300000);
                }
                sqlite3_bind_int(step, 7, d + 1);
                if (sqlite3_step(step) != SQLITE_DONE) std::abort();
                if (open && s == 0) toClose.push_back(sqlite3_last_insert_rowid(db));
                sqlite3_reset(step);
            }
        }
        for (sqlite3_stmt* s : {order, base, tooling, step})
            sqlite3_finalize(s);
        Exec(db,
             "UPDATE DettagliCommesse SET TempoImpiegato=(SELECT TOTAL(TempoImpiegato) FROM "
             "PassaggiDettaglioCommesse p WHERE p._OwnerOID=DettagliCommesse.OID), "
             "CostoEffettivoPassaggi=(SELECT TOTAL(CostoEffettivo) FROM PassaggiDettaglioCommesse p WHERE "
             "p._OwnerOID=DettagliCommesse.OID), InLavorazione=EXISTS(SELECT 1 FROM "
             "PassaggiDettaglioCommesse p "
             "WHERE p._OwnerOID=DettagliCommesse.OID AND p.Chiuso=0)");
        Exec(
            db,
            "UPDATE CommesseCliente SET TempoTotaleAttrezzature=(SELECT TOTAL(d.TempoImpiegato) FROM "
            "DettagliCommesse d JOIN DettagliAttrezzature a ON a.OID=d.OID WHERE "
            "a._OwnerOID=CommesseCliente.OID), "
            "CostoEffettivoAttrezzature=(SELECT TOTAL(d.CostoEffettivoPassaggi) FROM DettagliCommesse d JOIN "
            "DettagliAttrezzature a ON a.OID=d.OID WHERE a._OwnerOID=CommesseCliente.OID)");
        Exec(db, "COMMIT");
        sqlite3_close(db);
    }
};

// A digest of every stored value the road writes (steps, details, job orders), dates to the second.
QByteArray StoredRows(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char* sql :
         {"SELECT OID, Chiuso, round(DataChiusura*86400), TempoImpiegato, CostoEffettivo, TempoSospensione "
          "FROM "
          "PassaggiDettaglioCommesse ORDER BY OID",
          "SELECT OID, NumeroCommessa, Chiuso, InLavorazione, Sospeso, round(DataChiusura*86400), "
          "TempoImpiegato, "
          "CostoEffettivoPassaggi, TempoSospensione FROM DettagliCommesse ORDER BY OID",
          "SELECT OID, Progressivo, CommessaChiusa, round(DataChiusura*86400), TempoTotaleAttrezzature, "
          "CostoEffettivoAttrezzature, CostoTotaleListinoAttrezzature, TempoTotaleMacchine FROM "
          "CommesseCliente "
          "ORDER BY OID"}) {
        sqlite3_stmt* st = Prepare(db, sql);
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const unsigned char* text = sqlite3_column_text(st, c);
                hash.addData(text ? QByteArrayView(reinterpret_cast<const char*>(text))
                                  : QByteArrayView("-"));
                hash.addData("|");
            }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return hash.result().toHex();
}

// Every run of one detail size, wherever its file and whichever side, must leave the same rows as
// the first one did.
void CompareStoredRows(benchmark::State& state, const QString& file) {
    static std::map<int64_t, QByteArray> first;
    const QByteArray rows = StoredRows(file);
    auto [it, inserted] = first.emplace(state.range(0), rows);
    const bool same = inserted || it->second == rows;
    state.counters["rows_as_first_run"] = same;
    if (!same) state.SkipWithError("the stored rows differ from the first run's");
}

// The step found, closed and saved as the terminal does it; `oneTransaction` wraps the three
// calls in one user transaction, as the hand-written SQL is one.
void CloseStepsThroughRules(benchmark::State& state, bool oneTransaction) {
    StepDatabase db(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
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
    db.close();
    CompareStoredRows(state, db.file);
}

void BM_CloseStepThroughRules(benchmark::State& state) {
    CloseStepsThroughRules(state, false);
}

void BM_CloseStepThroughRulesOneTransaction(benchmark::State& state) {
    CloseStepsThroughRules(state, true);
}

void BM_CloseStepHandWrittenSql(benchmark::State& state) {
    StepDatabase db(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const auto open = db.toClose;
    db.close();
    sqlite3* sql = nullptr;
    sqlite3_open_v2(db.file.toUtf8().constData(), &sql, SQLITE_OPEN_READWRITE, nullptr);
    Exec(sql, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL");
    const double now = MakeOleDate(2026, 3, 2, 10, 30);
    sqlite3_stmt* read = Prepare(
        sql,
        "SELECT p.DataInizio, p.TempoSospensione, r.CostoOrario, p._OwnerOID, a._OwnerOID FROM "
        "PassaggiDettaglioCommesse p JOIN Operai o ON o.OID=p.Operaio JOIN DedirIdovuduvIrezadiv r ON "
        "r.OID=o.Manzione JOIN DettagliAttrezzature a ON a.OID=p._OwnerOID WHERE p.OID=?");
    sqlite3_stmt* step =
        Prepare(sql,
                "UPDATE PassaggiDettaglioCommesse SET Chiuso=1, DataChiusura=?, TempoImpiegato=?, "
                "CostoEffettivo=? WHERE OID=?");
    sqlite3_stmt* detail =
        Prepare(sql,
                "UPDATE DettagliCommesse SET TempoImpiegato=TempoImpiegato+?1, "
                "CostoEffettivoPassaggi=CostoEffettivoPassaggi+?2, InLavorazione=EXISTS(SELECT 1 FROM "
                "PassaggiDettaglioCommesse p WHERE p._OwnerOID=?3 AND p._Owner='DettagliCommesse.Passaggi' "
                "AND p.Chiuso=0) WHERE OID=?3");
    // The detail stays open: the job order's closed state cannot change.
    sqlite3_stmt* order =
        Prepare(sql,
                "UPDATE CommesseCliente SET TempoTotaleAttrezzature=TempoTotaleAttrezzature+?1, "
                "CostoEffettivoAttrezzature=CostoEffettivoAttrezzature+?2 WHERE OID=?3");
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
        const int64_t customerOrder = sqlite3_column_int64(read, 4);
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
        sqlite3_bind_int64(order, 1, minutes);
        sqlite3_bind_int64(order, 2, cost);
        sqlite3_bind_int64(order, 3, customerOrder);
        sqlite3_step(order);
        sqlite3_reset(order);
        Exec(sql, "COMMIT");
    }
    for (sqlite3_stmt* s : {read, step, detail, order})
        sqlite3_finalize(s);
    sqlite3_close(sql);
    CompareStoredRows(state, db.file);
}

// Steps per detail, few and many; the file on disk and in memory.
void DetailSizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"steps_per_detail", "in_memory"})->ArgsProduct({{10, 1000}, {OnDisk, InMemory}});
    b->Unit(benchmark::kMicrosecond)->Iterations(kCloses);
}
BENCHMARK(BM_CloseStepHandWrittenSql)->Apply(DetailSizes);
BENCHMARK(BM_CloseStepThroughRules)->Apply(DetailSizes);
BENCHMARK(BM_CloseStepThroughRulesOneTransaction)->Apply(DetailSizes);

}  // namespace

BENCHMARK_MAIN();
