// The bound grid against a plain table model over the same SQLite query, on 100,000 rows with a
// text, a date, a currency and a lookup column: the first paint, a jump to the last row with its
// repaint, an order change with its repaint; and the memory each keeps. The plain model reads the
// whole query (same columns, where-text and order) and finalises its statement; the lazy plain model
// counts the rows and reads only the page it paints (ordered and limited by SQLite); all format their
// cells the same way. The first paint is also measured on 1,000,000 rows. Run with
// --benchmark_repetitions=N --benchmark_enable_random_interleaving --benchmark_filter=-Memory and
// compare medians; run the two memory runs alone.
#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "TestSchema.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/FieldValueText.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"

using namespace odbtest;

namespace {

constexpr int kRows = 100000;
constexpr int kMillion = 1000000;
const QString kFields = QStringLiteral("Descrizione,Data,Importo,Cliente");

class Notify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString&) override {}
    void OnQueryMessage(void*, int32_t, const QString&, bool& cancel) override { cancel = false; }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}
};

// One database for every run: "Righe" with its four columns, 50 customers.
struct Fixture {
    QTemporaryDir dir;
    TestDefinition def;
    Notify notify;
    std::shared_ptr<odb::Connection> conn;
    std::shared_ptr<odb::Database> db;

    explicit Fixture(int rows = kRows) {
        def.record = false;
        auto clienti = def.add(QStringLiteral("Clienti"));
        clienti->structure = [](odb::FieldDefs& f, odb::IndexDefs&, odb::ReferenceDefs&) {
            Text(f, QStringLiteral("Codice"), 8);
            Text(f, QStringLiteral("Descrizione"));
        };
        auto righe = def.add(QStringLiteral("Righe"));
        righe->structure = [](odb::FieldDefs& f, odb::IndexDefs&, odb::ReferenceDefs& r) {
            Text(f, QStringLiteral("Descrizione"));
            f.AddField(QStringLiteral("Data"), odb::ftDate, 0, 0, {}, -100, -100, -100, true, {}, {}, 0);
            Money(f, QStringLiteral("Importo"));
            Lookup(r, QStringLiteral("Cliente"), QStringLiteral("Clienti"), QStringLiteral("Codice"),
                   QStringLiteral("Descrizione"));
        };
        const QString file = QDir(dir.path()).filePath(QStringLiteral("bench.mdb"));
        conn = std::make_shared<odb::Connection>();
        conn->CreateDatabaseFile(file);
        conn->OpenDatabaseFile(file);
        db = odb::DbmsGlobal::CreateDatabase(std::shared_ptr<odb::itfDefDatabase>(&def, [](auto*) {}),
                                             QStringLiteral("Bench"), &notify);
        db->Open(conn);
        conn->Execute(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50) "
            "INSERT INTO Clienti (Codice, Descrizione) SELECT 'C' || i, 'Cliente ' || i FROM n"));
        conn->Execute(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "INSERT INTO Righe (Descrizione, Data, Importo, Cliente) "
                           "SELECT 'Riga ' || ((i * 7919) % %1), 44000 + (i * 31) % 2000, (i % 977) * 12345, "
                           "1 + i % 50 FROM n")
                .arg(rows));
    }
    odb::Table& righe() { return db->Tables().Item(QStringLiteral("Righe")); }
};

Fixture& F() {
    static Fixture f;
    return f;
}

// The same with 1,000,000 rows, made when first asked for.
Fixture& Million() {
    static Fixture f(kMillion);
    return f;
}

// The plain model: the whole query read into memory, the statement finalised; cells formatted as
// the grid formats them.
// The four columns' definitions, for formatting.
std::vector<const odb::FieldDef*> ColumnDefs(Fixture& f) {
    std::vector<const odb::FieldDef*> defs;
    const odb::Table& t = f.righe();
    for (const char* name : {"Descrizione", "Data", "Importo"})
        defs.push_back(t.FieldByName(QString::fromUtf8(name)));
    defs.push_back(f.db->Tables().Item(QStringLiteral("Clienti")).FieldByName(QStringLiteral("Descrizione")));
    return defs;
}

const char* const kSelectColumns =
    "SELECT r.Descrizione, r.Data, r.Importo, (SELECT c.Descrizione FROM Clienti c WHERE c.OID = r.Cliente) "
    "FROM Righe r";

std::array<Variant, 4> ReadColumns(sqlite3_stmt* st) {
    std::array<Variant, 4> row;
    row[0] = Variant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))));
    row[1] = Variant::fromDate(sqlite3_column_double(st, 1));
    row[2] = Variant(Currency::fromRaw(sqlite3_column_int64(st, 2)));
    row[3] = Variant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 3))));
    return row;
}

class PlainModel : public QAbstractTableModel {
  public:
    PlainModel(sqlite3* db, const QString& order, Fixture& f = F()) : defs_(ColumnDefs(f)) {
        load(db, order);
    }
    void load(sqlite3* db, const QString& order) {
        beginResetModel();
        rows_.clear();
        const QByteArray sql = (QString::fromLatin1(kSelectColumns) + QStringLiteral(" ORDER BY ") + order +
                                QStringLiteral(", r.OID"))
                                   .toUtf8();
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            rows_.push_back(ReadColumns(st));
        sqlite3_finalize(st);
        endResetModel();
    }
    int rowCount(const QModelIndex& = {}) const override { return static_cast<int>(rows_.size()); }
    int columnCount(const QModelIndex& = {}) const override { return 4; }
    QVariant data(const QModelIndex& i, int role) const override {
        if (role != Qt::DisplayRole) return {};
        return odb::FieldValueText(*defs_[static_cast<size_t>(i.column())],
                                   rows_[static_cast<size_t>(i.row())][static_cast<size_t>(i.column())]);
    }

  private:
    std::vector<const odb::FieldDef*> defs_;
    std::vector<std::array<Variant, 4>> rows_;
};

// The lazy plain model: the rows counted, then each page the view paints read when first shown, in
// the same order, limited by SQLite; no statement stays open.
class LazyPlainModel : public QAbstractTableModel {
  public:
    LazyPlainModel(sqlite3* db, const QString& order, Fixture& f) : db_(db), defs_(ColumnDefs(f)) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_, "SELECT count(*) FROM Righe", -1, &st, nullptr);
        if (sqlite3_step(st) == SQLITE_ROW) rows_ = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        page_ = (QString::fromLatin1(kSelectColumns) + QStringLiteral(" ORDER BY ") + order +
                 QStringLiteral(", r.OID LIMIT ? OFFSET ?"))
                    .toUtf8();
    }
    int rowCount(const QModelIndex& = {}) const override { return rows_; }
    int columnCount(const QModelIndex& = {}) const override { return 4; }
    QVariant data(const QModelIndex& i, int role) const override {
        if (role != Qt::DisplayRole) return {};
        const int first = i.row() / kPage * kPage;
        auto it = pages_.find(first);
        if (it == pages_.end()) it = pages_.emplace(first, read(first)).first;
        const auto& rows = it->second;
        const auto r = static_cast<size_t>(i.row() - first);
        if (r >= rows.size()) return {};
        return odb::FieldValueText(*defs_[static_cast<size_t>(i.column())],
                                   rows[r][static_cast<size_t>(i.column())]);
    }

  private:
    static constexpr int kPage = 64;
    std::vector<std::array<Variant, 4>> read(int first) const {
        std::vector<std::array<Variant, 4>> out;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_, page_.constData(), -1, &st, nullptr);
        sqlite3_bind_int(st, 1, kPage);
        sqlite3_bind_int(st, 2, first);
        while (sqlite3_step(st) == SQLITE_ROW)
            out.push_back(ReadColumns(st));
        sqlite3_finalize(st);
        return out;
    }
    sqlite3* db_;
    std::vector<const odb::FieldDef*> defs_;
    QByteArray page_;
    int rows_ = 0;
    mutable std::map<int, std::vector<std::array<Variant, 4>>> pages_;
};

// Resident memory in kilobytes.
long ResidentKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * 4;
}

QTableView* View(QTableView* v) {
    v->resize(1000, 700);
    v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    return v;
}

// The plain view laid out as the grid lays itself out, so that both paint the same cells.
void LikeTheGrid(QTableView& plain) {
    static std::vector<int> widths;
    static int line = 0;
    static bool alternate = false;
    if (widths.empty()) {
        odb::DataGrid grid;
        odb::DataPanelTools::CreatePanel(F().righe().OpenData({}, QStringLiteral("Data DESC"), kFields))
            ->BindGrid(grid);
        for (int c = 0; c < grid.model()->columnCount(); ++c)
            widths.push_back(grid.columnWidth(c));
        line = grid.verticalHeader()->defaultSectionSize();
        alternate = grid.alternatingRowColors();
    }
    for (size_t c = 0; c < widths.size(); ++c)
        plain.setColumnWidth(static_cast<int>(c), widths[c]);
    plain.verticalHeader()->setDefaultSectionSize(line);
    plain.verticalHeader()->setVisible(false);
    plain.setAlternatingRowColors(alternate);
    plain.setWordWrap(false);
}

void Paint(QTableView& view) {
    benchmark::DoNotOptimize(view.grab());
}

// The order both sides use: the library's own translation of "Descrizione" and "Data DESC".
QString SqlOrder(const QString& order) {
    return order == QStringLiteral("Data DESC") ? QStringLiteral("r.Data DESC")
                                                : QStringLiteral("r.Descrizione COLLATE VBTEXT");
}

// Range 0: the newest rows first (by date); 1: by the text column.
QString FirstOrder(const benchmark::State& state) {
    return state.range(0) == 0 ? QStringLiteral("Data DESC") : QStringLiteral("Descrizione");
}

void FirstPaintGrid(benchmark::State& state, Fixture& f) {
    for (auto _ : state) {
        odb::DataGrid grid;
        View(&grid);
        auto ds = f.righe().OpenData({}, FirstOrder(state), kFields);
        odb::DataPanelTools::CreatePanel(ds)->BindGrid(grid);
        Paint(grid);
    }
}

void FirstPaintLazyPlain(benchmark::State& state, Fixture& f) {
    for (auto _ : state) {
        QTableView view;
        View(&view);
        LazyPlainModel model(f.conn->handle(), SqlOrder(FirstOrder(state)), f);
        view.setModel(&model);
        LikeTheGrid(view);
        Paint(view);
    }
}

void BM_FirstPaint_Grid(benchmark::State& state) {
    FirstPaintGrid(state, F());
}

void BM_FirstPaint_Plain(benchmark::State& state) {
    for (auto _ : state) {
        QTableView view;
        View(&view);
        PlainModel model(F().conn->handle(), SqlOrder(FirstOrder(state)));
        view.setModel(&model);
        LikeTheGrid(view);
        Paint(view);
    }
}

void BM_FirstPaint_LazyPlain(benchmark::State& state) {
    FirstPaintLazyPlain(state, F());
}

// On 1,000,000 rows.
void BM_FirstPaintMillion_Grid(benchmark::State& state) {
    FirstPaintGrid(state, Million());
}

void BM_FirstPaintMillion_LazyPlain(benchmark::State& state) {
    FirstPaintLazyPlain(state, Million());
}

// The first paint on 1,000,000 rows by the customer's name; range 0: the order names the reference
// (its name joined), 1: the order names the same value as a column of the view (a sub-select per row).
void BM_FirstPaintMillionByCustomer_Grid(benchmark::State& state) {
    const QString fields = kFields + QStringLiteral(",Cliente As Nome");
    const QString order = state.range(0) == 0 ? QStringLiteral("Cliente") : QStringLiteral("Nome");
    for (auto _ : state) {
        odb::DataGrid grid;
        View(&grid);
        auto ds = Million().righe().OpenData({}, order, fields);
        odb::DataPanelTools::CreatePanel(ds)->BindGrid(grid);
        Paint(grid);
    }
}

void BM_JumpToLast_Grid(benchmark::State& state) {
    odb::DataGrid grid;
    View(&grid);
    auto ds = F().righe().OpenData({}, QStringLiteral("Descrizione"), kFields);
    odb::DataPanelTools::CreatePanel(ds)->BindGrid(grid);
    Paint(grid);
    for (auto _ : state) {
        state.PauseTiming();
        grid.selectRow(0);
        grid.scrollToTop();
        Paint(grid);
        state.ResumeTiming();
        grid.selectRow(kRows - 1);
        grid.scrollToBottom();
        Paint(grid);
    }
}

void BM_JumpToLast_Plain(benchmark::State& state) {
    QTableView view;
    View(&view);
    PlainModel model(F().conn->handle(), SqlOrder(QStringLiteral("Descrizione")));
    view.setModel(&model);
    LikeTheGrid(view);
    Paint(view);
    for (auto _ : state) {
        state.PauseTiming();
        view.selectRow(0);
        view.scrollToTop();
        Paint(view);
        state.ResumeTiming();
        view.selectRow(kRows - 1);
        view.scrollToBottom();
        Paint(view);
    }
}

void BM_SortChange_Grid(benchmark::State& state) {
    odb::DataGrid grid;
    View(&grid);
    auto ds = F().righe().OpenData({}, QStringLiteral("Descrizione"), kFields);
    odb::DataPanelTools::CreatePanel(ds)->BindGrid(grid);
    Paint(grid);
    bool down = false;
    for (auto _ : state) {
        down = !down;
        ds->SetSortOrder(down ? QStringLiteral("Data DESC") : QStringLiteral("Descrizione"));
        Paint(grid);
    }
}

void BM_SortChange_Plain(benchmark::State& state) {
    QTableView view;
    View(&view);
    PlainModel model(F().conn->handle(), SqlOrder(QStringLiteral("Descrizione")));
    view.setModel(&model);
    LikeTheGrid(view);
    Paint(view);
    bool down = false;
    for (auto _ : state) {
        down = !down;
        model.load(F().conn->handle(),
                   SqlOrder(down ? QStringLiteral("Data DESC") : QStringLiteral("Descrizione")));
        Paint(view);
    }
}

// Memory kept by a bound, painted view: run each alone (--benchmark_filter=Memory_Grid, then
// Memory_Plain), so that neither reuses what the other freed.
void BM_Memory_Grid(benchmark::State& state) {
    for (auto _ : state) {
        const long before = ResidentKb();
        odb::DataGrid grid;
        View(&grid);
        auto ds = F().righe().OpenData({}, QStringLiteral("Data DESC"), kFields);
        odb::DataPanelTools::CreatePanel(ds)->BindGrid(grid);
        Paint(grid);
        grid.scrollToBottom();
        Paint(grid);
        state.counters["kept_kb"] = static_cast<double>(ResidentKb() - before);
    }
}

void BM_Memory_Plain(benchmark::State& state) {
    for (auto _ : state) {
        const long before = ResidentKb();
        QTableView view;
        View(&view);
        PlainModel model(F().conn->handle(), SqlOrder(QStringLiteral("Data DESC")));
        view.setModel(&model);
        LikeTheGrid(view);
        Paint(view);
        view.scrollToBottom();
        Paint(view);
        state.counters["kept_kb"] = static_cast<double>(ResidentKb() - before);
    }
}

BENCHMARK(BM_Memory_Grid)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memory_Plain)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPaint_Grid)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPaint_Plain)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPaint_LazyPlain)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPaintMillion_Grid)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPaintMillion_LazyPlain)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPaintMillionByCustomer_Grid)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpToLast_Grid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpToLast_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortChange_Grid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortChange_Plain)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    F();  // the database is built before any run
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
