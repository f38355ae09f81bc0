// The main window on a database of 100,000 attendance rows: a click on the attendance section up to
// the painted grid through RefreshDetailView, and "Aggiorna" keeping the current row, each against
// a plain table model over the same rows (their identities in one statement, the values of the
// rows on screen in a page, the same columns) painted in a plain table view of the same size. Also
// the time from the start of the window to its first painted view, and to the painted attendance,
// and an activation with every row picked against one with the current row alone picked.
// The click and the refresh count the paints of the message window they show ("message_paints"),
// and fail without one.
//
// Run with --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true and compare
// the medians.
#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QHeaderView>
#include <QPixmap>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include <sqlite3.h>

#include "BenchSql.h"
#include "QuietPrompt.h"

#include "base/DateUtil.h"
#include "mainwindow/frmMain.h"
#include "model/DB.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/DataGrid.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"

namespace {

constexpr int kWorkers = 100;
constexpr int kDays = 1000;  // 100,000 rows
constexpr int kAttendanceNode = 16;
constexpr int kCustomersNode = 35;
constexpr int kMiddleRow = kWorkers * kDays / 2;
const QSize kWindow(1100, 800);

// The work folder with the database: the program's tables, 100 workers through the library, the
// attendance rows written straight into the file (the reading is measured, not the rules).
struct BenchDatabase {
    QTemporaryDir dir;
    QString file;

    BenchDatabase() {
        SetSettingsFolder(QDir(dir.path()).filePath(QStringLiteral("settings")));
        SetProgramFolder(dir.path());
        file = QDir(dir.path()).filePath(kDatabaseFileName);
        auto connection = std::make_shared<odb::Connection>();
        connection->CreateDatabaseFile(file);
        connection->OpenDatabaseFile(file);
        auto database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), kAppExeName, nullptr);
        database->Open(connection);
        auto workers = database->Tables().Item("Operai").OpenData();
        connection->BeginTrans();
        for (int i = 1; i <= kWorkers; ++i)
            workers->AddRow({"Codice", QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')), "Nominativo",
                             QStringLiteral("Operaio di prova numero %1").arg(i)});
        connection->CommitTrans();
        connection->CloseConnection();

        sqlite3* db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        Exec(db, "BEGIN IMMEDIATE");
        sqlite3_stmt* st =
            Prepare(db, QStringLiteral("INSERT INTO Ingressi (Data, OraEntrataMattino, OraUscitaMattino, "
                                       "OraEntrataPomeriggio, OraUscitaPomeriggio, Operaio) "
                                       "SELECT ?, ?, ?, ?, ?, OID FROM Operai WHERE Codice = ?"));
        const double first = MakeOleDate(2020, 1, 1);
        for (int w = 1; w <= kWorkers; ++w) {
            const QByteArray code = QStringLiteral("%1").arg(w, 4, 10, QLatin1Char('0')).toUtf8();
            for (int d = 0; d < kDays; ++d) {
                sqlite3_bind_double(st, 1, first + d);
                sqlite3_bind_double(st, 2, MakeOleTime(7, 40 + w % 10, 0));
                sqlite3_bind_double(st, 3, MakeOleTime(13, 0, 0));
                sqlite3_bind_double(st, 4, MakeOleTime(14, 0, 0));
                sqlite3_bind_double(st, 5, MakeOleTime(16, 50, 0));
                sqlite3_bind_text(st, 6, code.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_step(st);
                sqlite3_reset(st);
            }
        }
        sqlite3_finalize(st);
        Exec(db, "COMMIT");
        sqlite3_close(db);
    }
};

BenchDatabase* g_bench = nullptr;

// A terminal user with no password: the start needs no dialog.
void setUpRun() {
    g_strRootDir = g_bench->dir.path();
    g_blnIsWorkStation = true;
    g_blnCommandPanelClosed = false;
    g_strCommandPanelUserName = QStringLiteral("Operatore");
}

std::unique_ptr<frmMain> startWindow() {
    auto w = std::make_unique<frmMain>();
    w->resize(kWindow);
    w->show();
    w->Form_Activate();
    return w;
}

void closeWindow(std::unique_ptr<frmMain>& w) {
    w->Unload();
    w.reset();
}

// ---- the baseline: a plain model over the same rows ----

class PlainModel : public QAbstractTableModel {
  public:
    explicit PlainModel(sqlite3* db) : db_(db) {}
    ~PlainModel() override {
        if (page_) sqlite3_finalize(page_);
    }

    // The identities in one statement, as the library reads them.
    void reload() {
        beginResetModel();
        ids_.clear();
        cache_.clear();
        sqlite3_stmt* st = Prepare(db_, QStringLiteral("SELECT OID FROM Ingressi"));
        while (sqlite3_step(st) == SQLITE_ROW)
            ids_.push_back(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
        endResetModel();
    }
    int rowOf(int64_t id) const {
        for (size_t i = 0; i < ids_.size(); ++i)
            if (ids_[i] == id) return static_cast<int>(i);
        return -1;
    }
    int64_t idAt(int row) const { return ids_[static_cast<size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(ids_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 7; }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        static const char* names[] = {"Operaio",
                                      "Data",
                                      "Ora Entrata Mattino",
                                      "Ora Uscita Mattino",
                                      "Ora Entrata Pomeriggio",
                                      "Ora Uscita Pomeriggio",
                                      "Tipo Assenza"};
        if (o == Qt::Horizontal && role == Qt::DisplayRole) return QString::fromLatin1(names[section]);
        return QAbstractTableModel::headerData(section, o, role);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole) return {};
        const int pageStart = index.row() / kPage * kPage;
        auto it = cache_.find(pageStart);
        if (it == cache_.end()) it = cache_.emplace(pageStart, readPage(pageStart)).first;
        return it->second[static_cast<size_t>(index.row() - pageStart)].value(index.column());
    }

  private:
    static constexpr int kPage = 64;
    // The values of a page of rows, the lookups by their display values, formatted for display.
    std::vector<QStringList> readPage(int first) const {
        if (!page_) {
            QStringList marks;
            for (int i = 0; i < kPage; ++i)
                marks << QStringLiteral("?");
            page_ = Prepare(
                db_, QStringLiteral("SELECT r.OID, (SELECT o.Nominativo || ' ' || IFNULL(o.Matricola, '') "
                                    "FROM Operai o WHERE o.OID = r.Operaio), r.Data, "
                                    "r.OraEntrataMattino, r.OraUscitaMattino, r.OraEntrataPomeriggio, "
                                    "r.OraUscitaPomeriggio, (SELECT t.Descrizione FROM TipiAssenza t "
                                    "WHERE t.OID = r.TipoAssenza) FROM Ingressi r WHERE r.OID IN (") +
                         marks.join(QLatin1Char(',')) + QStringLiteral(")"));
        }
        const int last = std::min(first + kPage, static_cast<int>(ids_.size()));
        for (int i = 0; i < kPage; ++i) {
            if (first + i < last)
                sqlite3_bind_int64(page_, i + 1, ids_[static_cast<size_t>(first + i)]);
            else
                sqlite3_bind_null(page_, i + 1);
        }
        std::unordered_map<int64_t, QStringList> byId;
        while (sqlite3_step(page_) == SQLITE_ROW) {
            QStringList row;
            row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(page_, 1)));
            row << QDateTimeFromOle(sqlite3_column_double(page_, 2))
                       .date()
                       .toString(QStringLiteral("dd/MM/yyyy"));
            for (int c = 3; c <= 6; ++c)
                row << QDateTimeFromOle(sqlite3_column_double(page_, c))
                           .time()
                           .toString(QStringLiteral("hh:mm"));
            row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(page_, 7)));
            byId.emplace(sqlite3_column_int64(page_, 0), row);
        }
        sqlite3_reset(page_);
        std::vector<QStringList> out;
        for (int r = first; r < last; ++r)
            out.push_back(byId[ids_[static_cast<size_t>(r)]]);
        return out;
    }

    sqlite3* db_;
    std::vector<int64_t> ids_;
    mutable std::unordered_map<int, std::vector<QStringList>> cache_;
    mutable sqlite3_stmt* page_ = nullptr;
};

struct PlainView {
    sqlite3* db = nullptr;
    std::unique_ptr<PlainModel> model;
    QTableView view;
    PlainView() {
        sqlite3_open_v2(g_bench->file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        model = std::make_unique<PlainModel>(db);
        view.resize(kWindow.width() - 250, kWindow.height() - 150);
        view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view.setModel(model.get());
        view.show();
    }
    ~PlainView() {
        view.setModel(nullptr);
        model.reset();
        sqlite3_close(db);
    }
};

// ---- the main window ----

// Counts the paints of the message window ("Lettura ...", "Rilettura dati..."): each click and
// refresh is measured with its message shown and painted, as the user sees it.
class MessagePaints : public QObject {
  public:
    MessagePaints() { frmMessage::instance().installEventFilter(this); }
    ~MessagePaints() override { frmMessage::instance().removeEventFilter(this); }
    int count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

// What the last click left to paint is painted before the next one, as the event loop does between
// a user's clicks: a click is timed with its own paints (the grid's in the grab), not its forerunner's.
void PaintPending() {
    QCoreApplication::processEvents();
}

void ReportMessagePaints(benchmark::State& state, const MessagePaints& paints) {
    const double each = state.iterations() ? double(paints.count) / double(state.iterations()) : 0;
    state.counters["message_paints"] = each;
    if (each < 1) state.SkipWithError("the message window was not painted");
}

void BM_TreeClickToPaintedGrid(benchmark::State& state) {
    setUpRun();
    auto w = startWindow();
    int paintsBefore = 0;
    MessagePaints paints;
    for (auto _ : state) {
        state.PauseTiming();
        paintsBefore = paints.count;
        w->tvTreeView_NodeClick(w->Node(kCustomersNode));
        PaintPending();
        paints.count = paintsBefore;  // the customers' message is not this click's
        state.ResumeTiming();
        w->tvTreeView_NodeClick(w->Node(kAttendanceNode));
        const QPixmap painted = w->dgView()->grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
    ReportMessagePaints(state, paints);
    if (w->CurrentDataSet()->RowCount() != kWorkers * kDays) state.SkipWithError("wrong row count");
    closeWindow(w);
}
BENCHMARK(BM_TreeClickToPaintedGrid)->Unit(benchmark::kMillisecond);

void BM_PlainModelToPaintedGrid(benchmark::State& state) {
    PlainView plain;
    for (auto _ : state) {
        state.PauseTiming();
        PaintPending();
        state.ResumeTiming();
        plain.model->reload();
        const QPixmap painted = plain.view.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
}
BENCHMARK(BM_PlainModelToPaintedGrid)->Unit(benchmark::kMillisecond);

void BM_RefreshKeepingTheRow(benchmark::State& state) {
    setUpRun();
    auto w = startWindow();
    w->tvTreeView_NodeClick(w->Node(kAttendanceNode));
    w->CurrentDataSet()->MoveToPosition(kMiddleRow);
    const Variant row = w->CurrentDataSet()->Bookmark(0);
    MessagePaints paints;
    for (auto _ : state) {
        state.PauseTiming();
        const int paintsBefore = paints.count;
        PaintPending();
        paints.count = paintsBefore;  // only the refresh's own paints of its messages count
        state.ResumeTiming();
        w->mnuViewRefresh_Click();
        const QPixmap painted = w->dgView()->grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
    ReportMessagePaints(state, paints);
    if (w->CurrentDataSet()->Bookmark(0).toLong() != row.toLong())
        state.SkipWithError("the row was not kept");
    closeWindow(w);
}
BENCHMARK(BM_RefreshKeepingTheRow)->Unit(benchmark::kMillisecond);

void BM_PlainModelRefreshKeepingTheRow(benchmark::State& state) {
    PlainView plain;
    plain.model->reload();
    const int64_t id = plain.model->idAt(kMiddleRow);
    for (auto _ : state) {
        state.PauseTiming();
        PaintPending();
        state.ResumeTiming();
        plain.model->reload();
        const QModelIndex current = plain.model->index(plain.model->rowOf(id), 0);
        plain.view.setCurrentIndex(current);
        plain.view.scrollTo(current);
        const QPixmap painted = plain.view.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
}
BENCHMARK(BM_PlainModelRefreshKeepingTheRow)->Unit(benchmark::kMillisecond);

// An activation reads the view again and keeps the rows picked: every row picked (the grid's
// "select all") against the current row alone.
void ActivationKeepingPicks(benchmark::State& state, bool everyRow) {
    setUpRun();
    auto w = startWindow();
    w->tvTreeView_NodeClick(w->Node(kAttendanceNode));
    w->CurrentDataSet()->MoveToPosition(kMiddleRow);
    odb::DataGrid* grid = w->dgView();
    if (everyRow)
        grid->selectAll();
    else
        grid->SetSelBookmarks({grid->Bookmark()});
    const size_t picked = grid->SelBookmarks().size();
    for (auto _ : state) {
        state.PauseTiming();
        PaintPending();
        state.ResumeTiming();
        w->Form_Activate();
        const QPixmap painted = grid->grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
    if (grid->SelBookmarks().size() != picked) state.SkipWithError("the picks were not kept");
    closeWindow(w);
}
void BM_ActivationKeepingEveryRowPicked(benchmark::State& state) {
    ActivationKeepingPicks(state, true);
}
BENCHMARK(BM_ActivationKeepingEveryRowPicked)->Unit(benchmark::kMillisecond);
void BM_ActivationKeepingTheCurrentRowPicked(benchmark::State& state) {
    ActivationKeepingPicks(state, false);
}
BENCHMARK(BM_ActivationKeepingTheCurrentRowPicked)->Unit(benchmark::kMillisecond);

// ---- from the start ----

void BM_StartToFirstPaintedView(benchmark::State& state) {
    setUpRun();
    for (auto _ : state) {
        auto w = startWindow();
        const QPixmap painted = w->grab();
        benchmark::DoNotOptimize(painted.cacheKey());
        state.PauseTiming();
        closeWindow(w);
        g_strCurrentUser.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToFirstPaintedView)->Unit(benchmark::kMillisecond);

void BM_StartToPaintedAttendance(benchmark::State& state) {
    setUpRun();
    for (auto _ : state) {
        auto w = startWindow();
        w->tvTreeView_NodeClick(w->Node(kAttendanceNode));
        const QPixmap painted = w->grab();
        benchmark::DoNotOptimize(painted.cacheKey());
        state.PauseTiming();
        closeWindow(w);
        g_strCurrentUser.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToPaintedAttendance)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    Prompt::setInstance(std::make_shared<QuietPrompt>());
    BenchDatabase database;
    g_bench = &database;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    frmMessage::Unload();
    return 0;
}
