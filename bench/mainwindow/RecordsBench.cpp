// The main window's search, simple filter and delete on 100,000 work steps sorted by NumeroCommessa:
// - a search whose only match lies near the end, up to the painted row, against a plain table
//   model over the same rows (identities in one statement, values of the rows on screen in a page)
//   finding the row with the same Like condition in SQL;
// - an inside simple filter up to the painted grid, against the plain model read again under the
//   same condition;
// - 1,000 picked rows deleted through the "Elimina" command, against the same DataSet::DeleteRow
//   calls on a data set with no grid.
//
// Run with --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true and compare the
// medians of each pair.
#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPixmap>
#include <QTableView>
#include <QTemporaryDir>

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
#include "odb/FieldValueText.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/DataGridModel.h"
#include "odb/ui/ModalDialog.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"
#include "startup/frmSearchText.h"

namespace {

constexpr int kSteps = 100000;
constexpr int kStepsNode = 49;
constexpr int kDeleted = 1000;
const QString kTable = QStringLiteral("PassaggiDettaglioCommesse");
const QString kOrder = QStringLiteral("NumeroCommessa");
// The one number matching the search, near the end of the sorted rows.
const QString kSought = QStringLiteral("C099990");
// The inside filter: the numbers holding "777" (a few hundred).
const QString kInside = QStringLiteral("777");
const QSize kWindow(1100, 800);

// Answers OK to the delete question; any other box is a fault of the run.
class BenchPrompt : public QuietPrompt {
  public:
    MsgResult msgBox(const QString& text, int style, const QString& title, QWidget* owner) override {
        if (text == QStringLiteral("Confermi l'eliminazione dei dati selezionati ?")) return MsgResult::OK;
        return QuietPrompt::msgBox(text, style, title, owner);
    }
};

// The work folder: the program's tables, a worker, 100,000 details with one closed step each (the
// first of each made through the library, the others copied in the file).
struct BenchDatabase {
    QTemporaryDir dir;
    QString file;
    QString pristine;

    BenchDatabase() {
        SetSettingsFolder(QDir(dir.path()).filePath(QStringLiteral("settings")));
        SetProgramFolder(dir.path());
        file = QDir(dir.path()).filePath(kDatabaseFileName);
        pristine = QDir(dir.path()).filePath(QStringLiteral("pristine.mdb"));
        auto connection = std::make_shared<odb::Connection>();
        connection->CreateDatabaseFile(file);
        connection->OpenDatabaseFile(file);
        auto database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), kAppExeName, nullptr);
        database->Open(connection);
        odb::Tables& tables = database->Tables();
        tables.Item(QStringLiteral("Operai"))
            .OpenData()
            ->AddRow({"Codice", QStringLiteral("0001"), "Nominativo", QStringLiteral("Operaio di prova")});
        auto detail = tables.Item(QStringLiteral("DettagliCommesse")).OpenData();
        detail->AddRow({"NumeroCommessa", QStringLiteral("C000001")});
        auto steps = detail->GetReference(QStringLiteral("Passaggi"));
        steps->NewRow();
        steps->SetReference(QStringLiteral("Operaio"), QStringLiteral("0001"));
        steps->SetColValue(QStringLiteral("DataInizio"), Variant::fromDate(MakeOleDate(2024, 1, 8, 8, 0, 0)));
        steps->SetColValue(QStringLiteral("DataChiusura"),
                           Variant::fromDate(MakeOleDate(2024, 1, 8, 8, 30, 0)));
        steps->SetColValue(QStringLiteral("Chiuso"), true);
        steps->SaveRow();
        connection->CloseConnection();

        sqlite3* db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        Exec(db, QStringLiteral("BEGIN IMMEDIATE"));
        const QString number = QStringLiteral("'C' || substr('000000' || i, -6)");
        CopyFirstRow(db, QStringLiteral("DettagliCommesse"), 2, kSteps,
                     {{QStringLiteral("NumeroCommessa"), number}});
        // Each step belongs to the detail of the same number (the details' OIDs run 1 to 100,000).
        CopyFirstRow(
            db, kTable, 2, kSteps,
            {{QStringLiteral("NumeroCommessa"), number}, {QStringLiteral("_OwnerOID"), QStringLiteral("i")}});
        Exec(db, QStringLiteral("COMMIT"));
        sqlite3_close(db);
        QFile::copy(file, pristine);
    }
    // The file as it was built, after a run that deleted rows.
    void restore() const {
        QFile::remove(file);
        QFile::copy(pristine, file);
    }
};

BenchDatabase* g_bench = nullptr;

// The administrator (no password), who may delete rows, logged in without the user picker.
void setUpRun() {
    g_strRootDir = g_bench->dir.path();
    g_blnIsWorkStation = true;
    g_blnCommandPanelClosed = true;
    g_strCommandPanelUserName = QStringLiteral("Amministratore");
}

// The window on the steps as built (a delete run before left fewer), sorted by number, its first
// row current.
std::unique_ptr<frmMain> stepsWindow() {
    g_bench->restore();
    setUpRun();
    auto w = std::make_unique<frmMain>();
    w->resize(kWindow);
    w->show();
    w->Form_Activate();
    w->tvTreeView_NodeClick(w->Node(kStepsNode));
    w->CurrentDataSet()->SetSortOrder(kOrder);
    if (w->CurrentDataSet()->RowCount() != kSteps) std::abort();
    return w;
}

void closeWindow(std::unique_ptr<frmMain>& w) {
    w->Unload();
    w.reset();
    g_strCurrentUser.clear();
}

int member(MenuArray& array, const QString& field) {
    for (int i = 1; i < array.Count(); ++i)
        if (array.Tag(i) == field) return i;
    std::abort();
}

void paint(QWidget* w) {
    const QPixmap painted = w->grab();
    benchmark::DoNotOptimize(painted.cacheKey());
}

// ---- the baseline: a plain model over the same rows and columns ----

class PlainModel : public QAbstractTableModel {
  public:
    PlainModel(sqlite3* db, const odb::DataGridModel& like) : db_(db) {
        // The grid's columns: stored fields of the table, and the worker by its name.
        const odb::Table& steps = like.dataSet().GetTable();
        QStringList select{QStringLiteral("r.OID")};
        for (const QString& c : like.columns()) {
            const odb::FieldDef& f = like.column(static_cast<int>(columns_.size()));
            columns_ << c;
            defs_.push_back(&f);
            if (steps.FindReference(c))
                select << QStringLiteral("(SELECT o.Nominativo FROM Operai o WHERE o.OID = r.\"%1\")").arg(c);
            else
                select << QStringLiteral("r.\"%1\"").arg(c);
        }
        select_ = select.join(QLatin1Char(','));
    }
    ~PlainModel() override {
        if (page_) sqlite3_finalize(page_);
    }

    // The identities under `where` (empty: all) in the order of the numbers.
    void reload(const QString& where = {}) {
        beginResetModel();
        ids_.clear();
        cache_.clear();
        sqlite3_stmt* st =
            Prepare(db_, QStringLiteral("SELECT OID FROM \"%1\"%2 ORDER BY NumeroCommessa, OID")
                             .arg(kTable, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where));
        while (sqlite3_step(st) == SQLITE_ROW)
            ids_.push_back(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
        endResetModel();
    }
    // The row of the first identity meeting `where`, -1 when none.
    int find(const QString& where) const {
        sqlite3_stmt* st = Prepare(db_, QStringLiteral("SELECT OID FROM \"%1\" WHERE %2").arg(kTable, where));
        std::vector<int64_t> match;
        while (sqlite3_step(st) == SQLITE_ROW)
            match.push_back(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
        for (size_t i = 0; i < ids_.size(); ++i)
            for (int64_t m : match)
                if (ids_[i] == m) return static_cast<int>(i);
        return -1;
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(ids_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(columns_.size());
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o == Qt::Horizontal && role == Qt::DisplayRole) return columns_.value(section);
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
    std::vector<QStringList> readPage(int first) const {
        if (!page_) {
            QStringList marks;
            for (int i = 0; i < kPage; ++i)
                marks << QStringLiteral("?");
            page_ = Prepare(db_, QStringLiteral("SELECT %1 FROM \"%2\" r WHERE r.OID IN (%3)")
                                     .arg(select_, kTable, marks.join(QLatin1Char(','))));
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
            for (int c = 0; c < columns_.size(); ++c) {
                Variant v;
                switch (sqlite3_column_type(page_, c + 1)) {
                    case SQLITE_NULL:
                        v = Variant::null();
                        break;
                    case SQLITE_INTEGER:
                        v = Variant(static_cast<double>(sqlite3_column_int64(page_, c + 1)));
                        break;
                    case SQLITE_FLOAT:
                        v = Variant(sqlite3_column_double(page_, c + 1));
                        break;
                    default:
                        v = Variant(QString::fromUtf8(
                            reinterpret_cast<const char*>(sqlite3_column_text(page_, c + 1))));
                }
                row << odb::FieldValueText(*defs_[static_cast<size_t>(c)], v);
            }
            byId.emplace(sqlite3_column_int64(page_, 0), row);
        }
        sqlite3_reset(page_);
        std::vector<QStringList> out;
        for (int r = first; r < last; ++r)
            out.push_back(byId[ids_[static_cast<size_t>(r)]]);
        return out;
    }

    sqlite3* db_;
    QStringList columns_;
    std::vector<const odb::FieldDef*> defs_;
    QString select_;
    std::vector<int64_t> ids_;
    mutable std::unordered_map<int, std::vector<QStringList>> cache_;
    mutable sqlite3_stmt* page_ = nullptr;
};

// The plain view, with the grid's columns, size and line height.
struct PlainView {
    sqlite3* db = nullptr;
    std::unique_ptr<PlainModel> model;
    QTableView view;
    explicit PlainView(const odb::DataGrid& grid) {
        sqlite3_open_v2(g_bench->file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        model = std::make_unique<PlainModel>(db, *grid.gridModel());
        view.resize(grid.size());
        view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view.verticalHeader()->setDefaultSectionSize(grid.verticalHeader()->defaultSectionSize());
        view.setModel(model.get());
        for (int c = 0; c < model->columnCount(); ++c)
            view.setColumnWidth(c, grid.columnWidth(c));
        view.show();
        model->reload();
    }
    ~PlainView() {
        view.setModel(nullptr);
        model.reset();
        sqlite3_close(db);
    }
    void show(int row) {
        const QModelIndex current = model->index(row, 0);
        view.setCurrentIndex(current);
        view.scrollTo(current);
        paint(&view);
    }
};

// ---- search ----

void BM_SearchNearEnd_Window(benchmark::State& state) {
    auto w = stepsWindow();
    const int index = member(w->mnuSearchItems(), QStringLiteral("NumeroCommessa"));
    auto ds = w->CurrentDataSet();
    for (auto _ : state) {
        state.PauseTiming();
        ds->RowFirst();
        paint(w->dgView());
        frmSearchText::SearchText = kSought;
        frmSearchText::SearchInside = false;
        frmSearchText::SearchNext = false;
        state.ResumeTiming();
        w->ExecuteSearch(index);
        paint(w->dgView());
    }
    if (ds->ColText(QStringLiteral("NumeroCommessa")) != kSought) state.SkipWithError("not found");
    closeWindow(w);
}
BENCHMARK(BM_SearchNearEnd_Window)->Unit(benchmark::kMillisecond);

void BM_SearchNearEnd_Plain(benchmark::State& state) {
    auto w = stepsWindow();
    PlainView plain(*w->dgView());
    int row = -1;
    for (auto _ : state) {
        state.PauseTiming();
        plain.show(0);
        state.ResumeTiming();
        row = plain.model->find(QStringLiteral("NumeroCommessa LIKE '%1%'").arg(kSought));
        plain.show(row);
    }
    if (row != kSteps - 11) state.SkipWithError("not found");
    closeWindow(w);
}
BENCHMARK(BM_SearchNearEnd_Plain)->Unit(benchmark::kMillisecond);

// ---- inside simple filter ----

void BM_InsideFilter_Window(benchmark::State& state) {
    auto w = stepsWindow();
    // The filter dialog answered at once: the text, inside.
    const odb::ModalRunner previous = odb::SetModalRunner([](QDialog& d) {
        auto& search = static_cast<frmSearchText&>(d);
        search.txtSearch()->setText(kInside);
        search.chkInternal()->setChecked(true);
        search.cmdOK_Click();
        return d.result();
    });
    const int index = member(w->mnuFilterItems(), QStringLiteral("NumeroCommessa"));
    auto ds = w->CurrentDataSet();
    for (auto _ : state) {
        state.PauseTiming();
        w->mnuFilterCancel_Click();
        paint(w->dgView());
        state.ResumeTiming();
        w->mnuFilterItems_Click(index);
        paint(w->dgView());
    }
    if (ds->Filter() != QStringLiteral("NumeroCommessa Like '*%1*'").arg(kInside))
        state.SkipWithError("filter");
    if (ds->RowCount() == 0 || ds->RowCount() > 1000) state.SkipWithError("wrong rows");
    state.counters["rows"] = ds->RowCount();
    odb::SetModalRunner(previous);
    closeWindow(w);
}
BENCHMARK(BM_InsideFilter_Window)->Unit(benchmark::kMillisecond);

void BM_InsideFilter_Plain(benchmark::State& state) {
    auto w = stepsWindow();
    PlainView plain(*w->dgView());
    for (auto _ : state) {
        state.PauseTiming();
        plain.model->reload();
        paint(&plain.view);
        state.ResumeTiming();
        plain.model->reload(QStringLiteral("NumeroCommessa LIKE '%%1%'").arg(kInside));
        paint(&plain.view);
    }
    state.counters["rows"] = plain.model->rowCount();
    closeWindow(w);
}
BENCHMARK(BM_InsideFilter_Plain)->Unit(benchmark::kMillisecond);

// ---- delete ----

// Every 90th row from the tenth on: 1,000 rows spread over the grid.
VariantList spreadBookmarks(const odb::DataSet& ds) {
    VariantList out;
    for (int i = 0; i < kDeleted; ++i)
        out.push_back(ds.BookmarkAt(10 + i * 90));
    return out;
}

void BM_Delete1000_Window(benchmark::State& state) {
    bool allGone = true;
    for (auto _ : state) {
        state.PauseTiming();
        auto w = stepsWindow();
        auto ds = w->CurrentDataSet();
        w->dgView()->SetBookmark(ds->BookmarkAt(10));
        w->dgView()->SetSelBookmarks(spreadBookmarks(*ds));
        if (w->dgView()->SelBookmarks().size() != static_cast<size_t>(kDeleted)) std::abort();
        paint(w->dgView());
        state.ResumeTiming();
        w->mnuFileDelete_Click();
        state.PauseTiming();
        allGone = allGone && ds->RowCount() == kSteps - kDeleted;
        closeWindow(w);
        state.ResumeTiming();
    }
    if (!allGone) state.SkipWithError("rows left");
}
BENCHMARK(BM_Delete1000_Window)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Delete1000_DataSet(benchmark::State& state) {
    bool allGone = true;
    for (auto _ : state) {
        state.PauseTiming();
        g_bench->restore();
        auto connection = std::make_shared<odb::Connection>();
        connection->OpenDatabaseFile(g_bench->file);
        auto database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), kAppExeName, nullptr);
        database->Open(connection);
        auto ds = database->Tables().Item(kTable).OpenData({}, kOrder);
        const VariantList picked = spreadBookmarks(*ds);
        state.ResumeTiming();
        for (const Variant& b : picked)
            if (ds->GotoBookmark(b)) ds->DeleteRow(false);
        state.PauseTiming();
        allGone = allGone && ds->RowCount() == kSteps - kDeleted;
        ds.reset();
        connection->CloseConnection();
        state.ResumeTiming();
    }
    if (!allGone) state.SkipWithError("rows left");
}
BENCHMARK(BM_Delete1000_DataSet)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    Prompt::setInstance(std::make_shared<BenchPrompt>());
    BenchDatabase database;
    g_bench = &database;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    frmMessage::Unload();
    return 0;
}
