// The reminder tick over 20 rules on the delivery dates of customer job orders:
// - one that finds nothing new: 50 orders in the rules' windows (1,000 source rows to check), every
//   one already reminded, and 500 or 50,000 rows in Promemoria (the others open but not due yet);
//   the engine's scan and due list against hand-written SQL doing the same reads and origin checks
//   with prepared statements;
// - a scan that makes 120 reminders, in a file on disk (its commits are synced as on the shared
//   folder), against the same scan's reads alone: the same rows found already reminded.
// Compare medians: --benchmark_repetitions=N --benchmark_enable_random_interleaving=true.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include "BenchSql.h"

#include "base/DateUtil.h"
#include "mainwindow/ReminderScan.h"
#include "model/DB.h"
#include "model/GetDBTable.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "platform/Clock.h"

namespace {

constexpr int kRules = 20;
constexpr int kOrders = 50;
constexpr int kNewReminders = 120;
const QDateTime kNow(QDate(2026, 3, 10), QTime(10, 0));

class SilentNotify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString&) override {}
    void OnQueryMessage(void*, int32_t, const QString&, bool& cancel) override { cancel = false; }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}
};

void Step(sqlite3_stmt* st) {
    if (sqlite3_step(st) != SQLITE_DONE) std::abort();
    sqlite3_reset(st);
}

QString TemporaryFolder(bool onDisk) {
    const QString name = QStringLiteral("/reminder-tick-XXXXXX");
    return !onDisk && QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") + name : QDir::tempPath() + name;
}

struct ReminderDatabase {
    QTemporaryDir dir;
    QString file;
    SilentNotify notify;
    std::shared_ptr<odb::Connection> connection;
    std::shared_ptr<odb::Database> database;
    double now = OleDateFromQDateTime(kNow);

    // `reminders` rows in Promemoria, the first of them the reminders of the `orders` due orders.
    explicit ReminderDatabase(int reminders, int orders = kOrders, bool onDisk = false)
        : dir(TemporaryFolder(onDisk)) {
        file = QDir(dir.path()).filePath("ZeltoLavrix.mdb");
        Clock::setFixed(kNow);
        open();
        close();
        fill(reminders, orders);
        open();
        // The first tick prepares (purges) and sets the rules' scan positions.
        ReminderScan::PurgeClosedReminders(now);
        if (ReminderScan::ScanRules(now) != (reminders < orders)) std::abort();
    }
    ~ReminderDatabase() {
        close();
        Clock::reset();
    }
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
    // Orders due over the next two days, their reminders, the rules, and reminders of other rows
    // postponed to next week, written straight into the file as the rules store them.
    void fill(int reminders, int orders) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        Exec(db, "BEGIN IMMEDIATE");
        sqlite3_stmt* order = Prepare(db,
                                      "INSERT INTO CommesseCliente (OID, DataInserimento, Progressivo, "
                                      "DataConsegnaConcordata, Urgente, "
                                      "CommessaChiusa, TempoTotaleAttrezzature, "
                                      "CostoTotaleListinoAttrezzature, CostoEffettivoAttrezzature, "
                                      "TempoTotaleMacchine, CostoTotaleListinoMacchine, Spedito, "
                                      "StatoNotifica) VALUES (?1, ?2, ?1, ?3, 0, 0, "
                                      "0, 0, 0, 0, 0, 0, 1)");
        sqlite3_stmt* reminder = Prepare(
            db,
            "INSERT INTO Promemoria (TestoPromemoria, DataProssimaNotifica, NomeTabellaOrigine, "
            "NomeCampoDataOrigine, IDElementoOrigine, Chiuso, DataRiferimento) VALUES (?, ?, ?, ?, ?, 0, ?)");
        auto remind = [&](const QByteArray& text, double next, const char* table, const QByteArray& id,
                          double date) {
            sqlite3_bind_text(reminder, 1, text.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(reminder, 2, next);
            sqlite3_bind_text(reminder, 3, table, -1, SQLITE_STATIC);
            sqlite3_bind_text(reminder, 4, "DataConsegnaConcordata", -1, SQLITE_STATIC);
            sqlite3_bind_text(reminder, 5, id.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(reminder, 6, date);
            Step(reminder);
        };
        for (int o = 1; o <= orders; ++o) {
            const double due = now + o * (2.0 / orders) - 1.0 / 1440;
            sqlite3_bind_int(order, 1, o);
            sqlite3_bind_double(order, 2, now - 10);
            sqlite3_bind_double(order, 3, due);
            Step(order);
            if (o <= reminders)
                remind("Consegna " + QByteArray::number(o), now - 1.0 / 24, "CommesseCliente",
                       QByteArray::number(o), due);
        }
        for (int r = orders; r < reminders; ++r)
            remind("Altro " + QByteArray::number(r), now + 7, "CommesseProduzione", QByteArray::number(r),
                   now + 8);
        sqlite3_stmt* rule =
            Prepare(db,
                    "INSERT INTO ImpostazioniPromemoria (NomeTabella, NomeCampoData, GiorniDiPreavviso, "
                    "OreDiPreavviso, MinutiDiPreavviso, MessaggioDiNotifica) VALUES "
                    "('CommesseCliente', 'DataConsegnaConcordata', 2, ?, 0, ?)");
        for (int r = 0; r < kRules; ++r) {
            sqlite3_bind_int(rule, 1, r % 3);
            const QByteArray text = "Consegna <%Progressivo%> regola " + QByteArray::number(r);
            sqlite3_bind_text(rule, 2, text.constData(), -1, SQLITE_TRANSIENT);
            Step(rule);
        }
        for (sqlite3_stmt* s : {order, reminder, rule})
            sqlite3_finalize(s);
        Exec(db, "COMMIT");
        sqlite3_close(db);
    }
};

void BM_ReminderTick(benchmark::State& state) {
    ReminderDatabase data(static_cast<int>(state.range(0)));
    size_t due = 0;
    for (auto _ : state) {
        if (ReminderScan::ScanRules(data.now)) state.SkipWithError("a new reminder");
        due = ReminderScan::DueReminders(data.now).size();
        benchmark::DoNotOptimize(due);
    }
    if (due != kOrders) state.SkipWithError("due list");
}

// The same reads and checks in SQL: the rules, each rule's window of orders in date order, one
// indexed look-up per order for its reminder, and the due list's rows.
void BM_HandWrittenTick(benchmark::State& state) {
    ReminderDatabase data(static_cast<int>(state.range(0)));
    const double now = data.now;
    data.close();
    sqlite3* db = nullptr;
    sqlite3_open_v2(data.file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* rules =
        Prepare(db,
                "SELECT OID, NomeTabella, NomeCampoData, GiorniDiPreavviso, OreDiPreavviso, "
                "MinutiDiPreavviso, MessaggioDiNotifica, DataUltimoControllo FROM "
                "ImpostazioniPromemoria");
    sqlite3_stmt* window = Prepare(db,
                                   "SELECT OID, DataConsegnaConcordata FROM CommesseCliente WHERE "
                                   "DataConsegnaConcordata <= ?1 AND DataConsegnaConcordata >= ?2 ORDER BY "
                                   "DataConsegnaConcordata");
    sqlite3_stmt* origin =
        Prepare(db,
                "SELECT 1 FROM Promemoria WHERE NomeTabellaOrigine = ?1 AND NomeCampoDataOrigine = "
                "?2 AND IDElementoOrigine = ?3 LIMIT 1");
    sqlite3_stmt* dueList =
        Prepare(db,
                "SELECT OID, DataProssimaNotifica, TestoPromemoria FROM Promemoria WHERE Chiuso = 0 "
                "AND DataProssimaNotifica <= ?1");
    size_t due = 0;
    for (auto _ : state) {
        bool fresh = false;
        Exec(db, "BEGIN");
        while (sqlite3_step(rules) == SQLITE_ROW) {
            const QByteArray table(reinterpret_cast<const char*>(sqlite3_column_text(rules, 1)));
            const QByteArray field(reinterpret_cast<const char*>(sqlite3_column_text(rules, 2)));
            const int64_t notice = sqlite3_column_int64(rules, 3) * 1440 +
                                   sqlite3_column_int64(rules, 4) * 60 + sqlite3_column_int64(rules, 5);
            const double last = sqlite3_column_double(rules, 7);
            const int64_t back = notice >= 1440 ? notice : 1440;
            const double start = std::max(last, AddMinutes(now, -back));
            sqlite3_bind_double(window, 1, AddMinutes(now, notice));
            sqlite3_bind_double(window, 2, start);
            while (sqlite3_step(window) == SQLITE_ROW) {
                const QByteArray id = QByteArray::number(sqlite3_column_int64(window, 0));
                sqlite3_bind_text(origin, 1, table.constData(), -1, SQLITE_STATIC);
                sqlite3_bind_text(origin, 2, field.constData(), -1, SQLITE_STATIC);
                sqlite3_bind_text(origin, 3, id.constData(), -1, SQLITE_STATIC);
                if (sqlite3_step(origin) != SQLITE_ROW) fresh = true;
                sqlite3_reset(origin);
            }
            sqlite3_reset(window);
        }
        sqlite3_reset(rules);
        due = 0;
        sqlite3_bind_double(dueList, 1, now);
        while (sqlite3_step(dueList) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_text(dueList, 2));
            ++due;
        }
        sqlite3_reset(dueList);
        Exec(db, "COMMIT");
        if (fresh) state.SkipWithError("a new reminder");
    }
    if (due != kOrders) state.SkipWithError("due list");
    for (sqlite3_stmt* s : {rules, window, origin, dueList})
        sqlite3_finalize(s);
    sqlite3_close(db);
}

// The scan that makes the 120 reminders, taken away again before each run.
void BM_ScanMaking120(benchmark::State& state) {
    ReminderDatabase data(0, kNewReminders, true);
    for (auto _ : state) {
        state.PauseTiming();
        data.connection->Execute(QStringLiteral("DELETE FROM Promemoria"));
        state.ResumeTiming();
        if (!ReminderScan::ScanRules(data.now)) state.SkipWithError("no new reminder");
    }
    if (GetDBTable(QStringLiteral("Promemoria")).OpenData()->RowCount() != kNewReminders)
        state.SkipWithError("reminders made");
}

// The same scan over the same rows, each already reminded: its reads alone.
void BM_ScanReadsAlone120(benchmark::State& state) {
    ReminderDatabase data(kNewReminders, kNewReminders, true);
    for (auto _ : state)
        if (ReminderScan::ScanRules(data.now)) state.SkipWithError("a new reminder");
}

BENCHMARK(BM_ReminderTick)->Arg(500)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HandWrittenTick)->Arg(500)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanMaking120)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanReadsAlone120)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
