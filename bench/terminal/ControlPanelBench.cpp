// The control panel on a year's database (60 workers, 15,000 attendance rows, 5,000 job-order
// details of which 40 in progress, 100,000 closed work steps): its first opening and a refresh that
// finds nothing new, each up to the painted lists, against hand-written SQL producing the same five
// lists' texts (list 2 from the newest NumCommVisible closings) into five plain lists of the same
// size, painted.
//
// Run with --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true and compare the
// medians of each pair.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QListWidget>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <unordered_set>

#include <sqlite3.h>

#include "BenchSql.h"

#include "base/DateUtil.h"
#include "base/Variant.h"
#include "model/DB.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"
#include "startup/SharedState.h"
#include "terminal/frmControlPanel.h"

namespace {

constexpr int kWorkers = 60;
constexpr int kEmployees = 6;  // office staff, never idle
constexpr int kDays = 250;     // working days of the year, today the last
constexpr int kDetails = 5000;
constexpr int kInProgress = 40;
constexpr int kClosedSteps = 100000;
constexpr int kOrders = 1000;
constexpr int kOrdersClosed = 30;  // closed, not shipped
const QDateTime kNow(QDate(2026, 3, 2), QTime(10, 0));
const QSize kWindow(1100, 700);

// The identity of the row at `position` (an SQL expression counting from 0) of a table, through
// the positions that Positions wrote.
QString Nth(const char* table, const QString& position) {
    return QStringLiteral("(SELECT id FROM pos_%1 WHERE pos = %2)").arg(QLatin1String(table), position);
}
void Positions(sqlite3* db, const char* table) {
    Exec(db, QStringLiteral("CREATE TEMP TABLE pos_%1 (pos INTEGER PRIMARY KEY, id INTEGER)")
                 .arg(QLatin1String(table)));
    Exec(db, QStringLiteral(
                 "INSERT INTO pos_%1 (pos, id) SELECT ROW_NUMBER() OVER (ORDER BY OID) - 1, OID FROM %1")
                 .arg(QLatin1String(table)));
}

QString Num(double v) {
    return QString::number(v, 'g', 17);
}

// The work folder: the tables, the workers, customers and a template row of each table made through
// the library; the year's rows copied from the templates straight into the file (the reading is
// measured, not the rules).
struct BenchDatabase {
    QTemporaryDir dir;
    QString file;

    BenchDatabase() {
        SetSettingsFolder(QDir(dir.path()).filePath(QStringLiteral("settings")));
        SetProgramFolder(dir.path());
        file = QDir(dir.path()).filePath(kDatabaseFileName);
        const double today = OleDateFromQDate(kNow.date());
        {
            auto connection = std::make_shared<odb::Connection>();
            connection->CreateDatabaseFile(file);
            connection->OpenDatabaseFile(file);
            auto database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), kAppExeName, nullptr);
            database->Open(connection);
            odb::Tables& tables = database->Tables();
            connection->BeginTrans();
            auto workers = tables.Item(QStringLiteral("Operai")).OpenData();
            for (int w = 1; w <= kWorkers; ++w)
                workers->AddRow({"Codice", QStringLiteral("%1").arg(w, 4, 10, QLatin1Char('0')), "Nominativo",
                                 QStringLiteral("Operaio %1").arg(w, 2, 10, QLatin1Char('0')), "Impiegato",
                                 w <= kEmployees});
            auto customers = tables.Item(QStringLiteral("Clienti")).OpenData();
            for (int c = 1; c <= 50; ++c)
                customers->AddRow({"Codice", QStringLiteral("C%1").arg(c), "Descrizione",
                                   QStringLiteral("Cliente numero %1 Srl").arg(c)});
            auto attendance = tables.Item(QStringLiteral("Ingressi")).OpenData();
            attendance->NewRow();
            attendance->SetReference(QStringLiteral("Operaio"), QStringLiteral("0001"));
            attendance->SetColValue(QStringLiteral("Data"), Variant::fromDate(today - 400));
            attendance->SetColValue(QStringLiteral("OraEntrataMattino"),
                                    Variant::fromDate(MakeOleTime(8, 0, 0)));
            attendance->SaveRow();
            auto detail = tables.Item(QStringLiteral("DettagliCommesse")).OpenData();
            detail->AddRow({"NumeroCommessa", QStringLiteral("0-0000/000")});
            auto steps = detail->GetReference(QStringLiteral("Passaggi"));
            steps->NewRow();
            steps->SetReference(QStringLiteral("Operaio"), QStringLiteral("0001"));
            steps->SetColValue(QStringLiteral("DataInizio"), Variant::fromDate(today - 400));
            steps->SetColValue(QStringLiteral("DataChiusura"), Variant::fromDate(today - 399));
            steps->SetColValue(QStringLiteral("Chiuso"), true);
            steps->SaveRow();
            connection->CommitTrans();
            connection->CloseConnection();
        }

        sqlite3* db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        Exec(db, QStringLiteral("BEGIN IMMEDIATE"));
        const QString minute = Num(1.0 / 1440);
        Positions(db, "Operai");
        // Attendance: every worker on every working day but today's six absent (w % 10 == 3), a few
        // late (w % 7 == 0), the workers of w % 5 == 4 in the morning only.
        CopyFirstRow(
            db, QStringLiteral("Ingressi"), 1, kWorkers * kDays,
            {{"Operaio", Nth("Operai", QStringLiteral("(i - 1) % %1").arg(kWorkers))},
             {"Data", QStringLiteral("%1 - %2 + (i - 1) / %3").arg(Num(today)).arg(kDays - 1).arg(kWorkers)},
             {"OraEntrataMattino", QStringLiteral("%1 + ((i - 1) % %2 % 7 = 0) * 20 * %3")
                                       .arg(Num(MakeOleTime(8, 0, 0)))
                                       .arg(kWorkers)
                                       .arg(minute)},
             {"OraEntrataPomeriggio", QStringLiteral("CASE WHEN (i - 1) % %1 % 5 = 3 THEN NULL ELSE %2 END")
                                          .arg(kWorkers)
                                          .arg(Num(MakeOleTime(14, 0, 0)))},
             {"MinutiRitardo", QStringLiteral("((i - 1) % %1 % 7 = 0) * 20").arg(kWorkers)}});
        Exec(db,
             QStringLiteral("DELETE FROM Ingressi WHERE OID = (SELECT MIN(OID) FROM Ingressi) OR (Data = %1 "
                            "AND (SELECT Codice FROM Operai o WHERE o.OID = Operaio) LIKE '%3')")
                 .arg(Num(today)));
        // Details: numbers of 1,000 customer orders of five details each, entered over the year; the
        // last 40 in progress.
        const QString number = QStringLiteral(
            "'1-' || substr('0000' || ((i - 1) / 5 + 1), -4) || '/' || substr('000' || ((i - 1) % 5 + 1), "
            "-3)");
        CopyFirstRow(
            db, QStringLiteral("DettagliCommesse"), 1, kDetails,
            {{"NumeroCommessa", number},
             {"DataInizio", QStringLiteral("%1 - 365 + i * 365.0 / %2").arg(Num(today)).arg(kDetails)},
             {"InLavorazione", QStringLiteral("i > %1").arg(kDetails - kInProgress)},
             {"Chiuso", QStringLiteral("i <= %1").arg(kDetails - kInProgress)}});
        Positions(db, "DettagliCommesse");
        // Closed steps: 20 on each detail, closings to the second spread over the year.
        const QString closing = QStringLiteral("round((%1 - 365 + i * 365.0 / %2) * 86400) / 86400.0")
                                    .arg(Num(today))
                                    .arg(kClosedSteps);
        CopyFirstRow(
            db, QStringLiteral("PassaggiDettaglioCommesse"), 1, kClosedSteps,
            {{"_OwnerOID", Nth("DettagliCommesse", QStringLiteral("(i - 1) % %1 + 1").arg(kDetails))},
             {"NumeroCommessa",
              QStringLiteral("(SELECT NumeroCommessa FROM DettagliCommesse WHERE OID = %1)")
                  .arg(Nth("DettagliCommesse", QStringLiteral("(i - 1) % %1 + 1").arg(kDetails)))},
             {"Operaio", Nth("Operai", QStringLiteral("(i - 1) % %1").arg(kWorkers))},
             {"DataInizio", closing + QStringLiteral(" - 0.05")},
             {"DataChiusura", closing}});
        // Open steps on the details in progress: two each, every third suspended.
        CopyFirstRow(
            db, QStringLiteral("PassaggiDettaglioCommesse"), 1, 2 * kInProgress,
            {{"_OwnerOID",
              Nth("DettagliCommesse", QStringLiteral("%1 + (i - 1) / 2 + 1").arg(kDetails - kInProgress))},
             {"NumeroCommessa",
              QStringLiteral("(SELECT NumeroCommessa FROM DettagliCommesse WHERE OID = %1)")
                  .arg(Nth("DettagliCommesse",
                           QStringLiteral("%1 + (i - 1) / 2 + 1").arg(kDetails - kInProgress)))},
             {"Operaio", Nth("Operai", QStringLiteral("(i * 7) % %1").arg(kWorkers))},
             {"DataInizio", QStringLiteral("%1 + i * %2").arg(Num(today + MakeOleTime(8, 0, 0)), minute)},
             {"DataChiusura", QStringLiteral("NULL")},
             {"Chiuso", QStringLiteral("0")},
             {"Sospeso", QStringLiteral("i % 3 = 0")}});
        for (const char* table : {"PassaggiDettaglioCommesse", "DettagliCommesse"})
            Exec(db, QStringLiteral("DELETE FROM %1 WHERE OID = (SELECT MIN(OID) FROM %1)")
                         .arg(QLatin1String(table)));
        // Customer orders, the last few closed and not shipped.
        std::vector<int64_t> customers;
        sqlite3_stmt* ids = Prepare(db, QStringLiteral("SELECT OID FROM Clienti ORDER BY OID"));
        while (sqlite3_step(ids) == SQLITE_ROW)
            customers.push_back(sqlite3_column_int64(ids, 0));
        sqlite3_finalize(ids);
        sqlite3_stmt* order = Prepare(
            db, QStringLiteral("INSERT INTO CommesseCliente (DataInserimento, Progressivo, Cliente, Urgente, "
                               "CommessaChiusa, DataChiusura, TempoTotaleAttrezzature, "
                               "CostoTotaleListinoAttrezzature, CostoEffettivoAttrezzature, "
                               "TempoTotaleMacchine, CostoTotaleListinoMacchine, Spedito, StatoNotifica) "
                               "VALUES (?1, ?2, ?3, 0, ?4, ?5, 0, 0, 0, 0, 0, ?6, 1)"));
        for (int o = 1; o <= kOrders; ++o) {
            const double entered = today - 365 + o * 0.3;
            const bool closed = o > kOrders - 2 * kOrdersClosed;
            sqlite3_bind_double(order, 1, entered);
            sqlite3_bind_int(order, 2, o);
            sqlite3_bind_int64(order, 3, customers[static_cast<size_t>(o % 50)]);
            sqlite3_bind_int(order, 4, closed || o < kOrders / 2);
            if (closed || o < kOrders / 2)
                sqlite3_bind_double(order, 5, std::round((entered + 20) * 1440) / 1440);
            else
                sqlite3_bind_null(order, 5);
            sqlite3_bind_int(order, 6, !closed || o % 2 == 0);
            if (sqlite3_step(order) != SQLITE_DONE) std::abort();
            sqlite3_reset(order);
        }
        sqlite3_finalize(order);
        Exec(db, QStringLiteral("COMMIT"));
        sqlite3_close(db);
    }
};

BenchDatabase* g_bench = nullptr;

// The database opened as the program opens it, the administrator logged in, the clock fixed.
struct Session {
    std::shared_ptr<odb::Connection> connection = std::make_shared<odb::Connection>();
    std::shared_ptr<odb::Database> database;
    QWidget owner;
    Session() {
        Clock::setFixed(kNow);
        connection->OpenDatabaseFile(g_bench->file);
        database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), kAppExeName, nullptr);
        database->Open(connection);
        g_objConnection = connection;
        g_objDatabase = database;
        g_strCurrentUser = QStringLiteral("Amministratore");
        g_intNumCommVisible = 50;
        g_intMinRitardoAmmessi = 10;
        g_dtmOraPredefinitaEntrataPomeriggio = MakeOleTime(14, 0, 0);
    }
    ~Session() {
        if (frmControlPanel* p = frmControlPanel::Get()) delete p;
        g_objDatabase.reset();
        g_objConnection.reset();
        database.reset();
        connection->CloseConnection();
        Clock::reset();
    }
};

frmControlPanel* openPanel(Session& s) {
    frmControlPanel* p = frmControlPanel::ShowOver(&s.owner);
    p->resize(kWindow);
    return p;
}

void paint(QWidget* w) {
    const QPixmap painted = w->grab();
    benchmark::DoNotOptimize(painted.cacheKey());
}

using Texts = std::array<QStringList, 5>;

Texts panelTexts(const frmControlPanel& p) {
    return {frmControlPanel::Lines(p.lstOpenSubLavrix()), frmControlPanel::Lines(p.lstCloseSubLavrix()),
            frmControlPanel::Lines(p.lstWorkerAbsent()),
            frmControlPanel::Lines(p.lstWorkerPresentActiveless()),
            frmControlPanel::Lines(p.lstCloseLavrix())};
}

// ---- the baseline: the five lists' texts in hand-written SQL, into five plain lists ----

QString Text(sqlite3_stmt* st, int column) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, column)));
}
// A date column as the lines show it.
QString DateText(sqlite3_stmt* st, int column) {
    return Variant::fromDate(sqlite3_column_double(st, column)).toText();
}

struct PlainPanel {
    sqlite3* db = nullptr;
    QWidget window;
    QListWidget* lists[5] = {};
    sqlite3_stmt *details = nullptr, *open = nullptr, *closed = nullptr, *people = nullptr, *busy = nullptr,
                 *orders = nullptr;

    PlainPanel() {
        sqlite3_open_v2(g_bench->file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        auto* grid = new QGridLayout(&window);
        for (int i = 0; i < 5; ++i) {
            lists[i] = new QListWidget(&window);
            lists[i]->setUniformItemSizes(true);
        }
        grid->addWidget(lists[0], 0, 0, 2, 1);
        grid->addWidget(lists[1], 2, 0, 2, 1);
        grid->addWidget(lists[2], 0, 1, 2, 1);
        grid->addWidget(lists[3], 2, 1);
        grid->addWidget(lists[4], 3, 1);
        window.resize(kWindow);
        window.show();
        details = Prepare(db, QStringLiteral("SELECT OID, NumeroCommessa, DataInizio FROM DettagliCommesse "
                                             "WHERE InLavorazione ORDER BY DataInizio DESC"));
        // The few open steps through the index the table keeps of them.
        open =
            Prepare(db, QStringLiteral("SELECT s._OwnerOID, s.DataInizio, o.Nominativo, s.Sospeso FROM "
                                       "PassaggiDettaglioCommesse s INDEXED BY "
                                       "\"PassaggiDettaglioCommesse__Owner__OwnerOID_Not Chiuso\" LEFT JOIN "
                                       "Operai o ON o.OID = s.Operaio WHERE NOT (s.Chiuso <> 0) ORDER BY "
                                       "s.DataInizio DESC, s.OID DESC"));
        closed =
            Prepare(db, QStringLiteral("SELECT s.NumeroCommessa, s.DataChiusura, o.Nominativo FROM "
                                       "PassaggiDettaglioCommesse s LEFT JOIN Operai o ON o.OID = "
                                       "s.Operaio WHERE s.Chiuso ORDER BY s.DataChiusura DESC LIMIT ?1"));
        people =
            Prepare(db, QStringLiteral("SELECT w.OID, w.Nominativo, w.Impiegato, i.OID, CASE WHEN ?2 THEN "
                                       "i.OraEntrataPomeriggio ELSE i.OraEntrataMattino END, "
                                       "i.MinutiRitardo FROM Operai w LEFT JOIN Ingressi i ON i.Operaio = "
                                       "w.OID AND i.Data = ?1 WHERE w.DataFineRapporto IS NULL AND "
                                       "w.Nominativo <> '<indefinito>' ORDER BY w.Nominativo"));
        busy =
            Prepare(db, QStringLiteral("SELECT DISTINCT Operaio FROM PassaggiDettaglioCommesse s WHERE NOT "
                                       "(s.Chiuso <> 0) AND NOT (s.Sospeso <> 0)"));
        orders =
            Prepare(db, QStringLiteral("SELECT c.Descrizione, o.Progressivo, o.DataChiusura FROM "
                                       "CommesseCliente o LEFT JOIN Clienti c ON c.OID = o.Cliente WHERE "
                                       "o.CommessaChiusa AND NOT o.Spedito ORDER BY o.DataChiusura DESC"));
    }
    ~PlainPanel() {
        for (sqlite3_stmt* s : {details, open, closed, people, busy, orders})
            sqlite3_finalize(s);
        sqlite3_close(db);
    }

    Texts read() {
        Texts t;
        Exec(db, QStringLiteral("BEGIN"));
        std::unordered_map<int64_t, QStringList> steps;
        while (sqlite3_step(open) == SQLITE_ROW)
            steps[sqlite3_column_int64(open, 0)]
                << QStringLiteral("    ->  Apertura: ") + DateText(open, 1) + QStringLiteral(" - ") +
                       Text(open, 2) +
                       (sqlite3_column_int(open, 3) ? QStringLiteral(" - SOSPESA") : QString());
        sqlite3_reset(open);
        while (sqlite3_step(details) == SQLITE_ROW) {
            t[0] << QStringLiteral("N° ") + Text(details, 1) + QStringLiteral(" - INSERIMENTO: ") +
                        DateText(details, 2);
            t[0] << steps[sqlite3_column_int64(details, 0)];
        }
        sqlite3_reset(details);

        sqlite3_bind_int(closed, 1, g_intNumCommVisible);
        while (sqlite3_step(closed) == SQLITE_ROW)
            t[1] << QStringLiteral("N° ") + Text(closed, 0) + QStringLiteral(" - Chiusura: ") +
                        DateText(closed, 1) + QStringLiteral(" - ") + Text(closed, 2);
        sqlite3_reset(closed);

        std::unordered_set<int64_t> active;
        while (sqlite3_step(busy) == SQLITE_ROW)
            active.insert(sqlite3_column_int64(busy, 0));
        sqlite3_reset(busy);
        const double now = Clock::now();
        const bool afternoon = OleTimePart(now) > g_dtmOraPredefinitaEntrataPomeriggio;
        sqlite3_bind_double(people, 1, OleDatePart(now));
        sqlite3_bind_int(people, 2, afternoon);
        QStringList late;
        while (sqlite3_step(people) == SQLITE_ROW) {
            const QString name = Text(people, 1);
            const bool present = sqlite3_column_type(people, 3) != SQLITE_NULL &&
                                 sqlite3_column_type(people, 4) != SQLITE_NULL;
            if (!present) {
                if (t[2].isEmpty()) t[2] << QStringLiteral("ASSENZE:");
                t[2] << QStringLiteral("    -> ") + name;
            }
            if (sqlite3_column_type(people, 3) != SQLITE_NULL &&
                sqlite3_column_int(people, 5) > g_intMinRitardoAmmessi)
                late << QStringLiteral("    -> ") + name + QStringLiteral(" - Minuti di Ritardo: ") +
                            QString::number(sqlite3_column_int(people, 5));
            if (present && !sqlite3_column_int(people, 2) && !active.count(sqlite3_column_int64(people, 0)))
                t[3] << name;
        }
        sqlite3_reset(people);
        if (!late.isEmpty()) t[2] << QStringLiteral("RITARDI:") << late;

        while (sqlite3_step(orders) == SQLITE_ROW)
            t[4] << Text(orders, 0) + QStringLiteral(" - N°Prog: ") +
                        QStringLiteral("%1").arg(sqlite3_column_int(orders, 1), 4, 10, QLatin1Char('0')) +
                        QStringLiteral(" - ") + DateText(orders, 2);
        sqlite3_reset(orders);
        Exec(db, QStringLiteral("COMMIT"));
        return t;
    }

    void show(const Texts& t) {
        for (int i = 0; i < 5; ++i) {
            lists[i]->setUpdatesEnabled(false);
            lists[i]->clear();
            lists[i]->addItems(t[static_cast<size_t>(i)]);
            if (i == 1)
                for (int r = 0; r < lists[i]->count(); ++r)
                    lists[i]->item(r)->setCheckState(Qt::Unchecked);
            lists[i]->setUpdatesEnabled(true);
        }
    }
    Texts shown() const {
        Texts t;
        for (int i = 0; i < 5; ++i)
            t[static_cast<size_t>(i)] = frmControlPanel::Lines(lists[i]);
        return t;
    }
};

Texts& expected() {
    static Texts texts;
    return texts;
}

// The texts both sides must show: the hand-written ones, checked once against the panel's.
bool sameAsPlain(const Texts& t, benchmark::State& state) {
    if (expected()[1].isEmpty()) {
        Session s;
        PlainPanel plain;
        expected() = plain.read();
    }
    for (size_t i = 0; i < 5; ++i)
        if (t[i] != expected()[i]) {
            fprintf(stderr, "list %zu differs:\n%s\n--- expected:\n%s\n", i + 1, qPrintable(t[i].join("\n")),
                    qPrintable(expected()[i].join("\n")));
            state.SkipWithError("different texts");
            return false;
        }
    return true;
}

// ---- the panel ----

void BM_PanelFirstOpening(benchmark::State& state) {
    Session s;
    Texts texts;
    for (auto _ : state) {
        frmControlPanel* p = openPanel(s);
        paint(p);
        state.PauseTiming();
        texts = panelTexts(*p);
        delete p;
        state.ResumeTiming();
    }
    sameAsPlain(texts, state);
}
BENCHMARK(BM_PanelFirstOpening)->Unit(benchmark::kMillisecond);

void BM_PanelRefreshNothingNew(benchmark::State& state) {
    Session s;
    frmControlPanel* p = openPanel(s);
    paint(p);
    for (auto _ : state) {
        p->RefreshPanel();
        paint(p);
    }
    sameAsPlain(panelTexts(*p), state);
}
BENCHMARK(BM_PanelRefreshNothingNew)->Unit(benchmark::kMillisecond);

void BM_HandWrittenFirstOpening(benchmark::State& state) {
    Session s;
    Texts texts;
    for (auto _ : state) {
        auto plain = std::make_unique<PlainPanel>();
        plain->show(plain->read());
        paint(&plain->window);
        state.PauseTiming();
        texts = plain->shown();
        plain.reset();
        state.ResumeTiming();
    }
    sameAsPlain(texts, state);
}
BENCHMARK(BM_HandWrittenFirstOpening)->Unit(benchmark::kMillisecond);

void BM_HandWrittenRefresh(benchmark::State& state) {
    Session s;
    PlainPanel plain;
    for (auto _ : state) {
        plain.show(plain.read());
        paint(&plain.window);
    }
    sameAsPlain(plain.shown(), state);
}
BENCHMARK(BM_HandWrittenRefresh)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    BenchDatabase database;
    g_bench = &database;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
