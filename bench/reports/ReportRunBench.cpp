// A 100-page report of 3,300 attendance rows (33 a module, a module a page, a mask with its heading, page
// number and totals, rows of four texts and a box) through the whole report run (layout lookup, script
// per row and mask, data set, engine), once to a PDF printer and once to the page preview, against bare
// QPainter drawing the same at the same places from one SQLite query: on the same PDF printer, and on
// page pictures of the preview's size kept and written as the preview keeps and writes them.
// The preview runs also report the memory they hold with every page stored, at 20 and at 100 pages.
// Then 20 preview pages of the same report from 3,300, 33,000 and 330,000 rows against the bare query
// and painter drawing the same 20 pages: both sort alike (by date, then by the worker's name through
// the library's own text collation) and read no more rows than those pages hold; the bare query reads
// the name through a sub-select per row, and once more through a join.
//
// Run with --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true and compare the medians.
// The memory held is read in a fresh process, one page count a run (--benchmark_filter=Preview/20/, then
// Preview/100/): later runs reuse what earlier ones freed.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include <sqlite3.h>

#include "BenchSql.h"
#include "QuietPrompt.h"
#include "base/DateUtil.h"
#include "model/DB.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/condition/ConditionFunctions.h"
#include "odb/ui/ModalDialog.h"
#include "platform/PrinterRegistry.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "reports/modCustomReport.h"

namespace {

constexpr int kWorkers = 33, kDays = 100;  // 3,300 rows
constexpr int kPreviewPages = 20;
constexpr int kRowsPerModule = 33;
constexpr double kRowsTop = 30, kRowDim = 6;
constexpr int kPagesInMemory = 16;

const char* const kScript =
    "Function PrintDataInit(dsRow, prn)\r\n"
    "  prn.SetFont 9, False, False, \"Arial\"\r\n"
    "  PrintDataInit = True\r\n"
    "End Function\r\n"
    "Function PrintReportRow(dsRow, prn, nRow)\r\n"
    "  prn.BoxOut 0, 10, 6, 190\r\n"
    "  prn.TxtOut 1, 12, dsRow.ColText(\"Data\")\r\n"
    "  prn.TxtOut 1, 50, dsRow.ColText(\"OraEntrataMattino\")\r\n"
    "  prn.TxtOut 1, 90, dsRow.ColText(\"OraUscitaPomeriggio\")\r\n"
    "  prn.TxtOutR 1, 198, dsRow.ColValue(\"MinutiPresenza\")\r\n"
    "  prn.Nums(\"Totale\") = prn.Nums(\"Totale\") + dsRow.ColValue(\"MinutiPresenza\")\r\n"
    "  PrintReportRow = True\r\n"
    "End Function\r\n"
    "Function PrintReportMask(ds, prn, bTotal)\r\n"
    "  prn.SetFont 14, True\r\n"
    "  prn.TxtOut 10, 10, \"Accessi del mese\"\r\n"
    "  prn.SetFont 9, False\r\n"
    "  prn.TxtOutR 12, 200, \"Pagina \" & (prn.ReportModuleCount + 1)\r\n"
    "  prn.TxtOutR 240, 200, \"Totale minuti: \" & prn.Nums(\"Totale\")\r\n"
    "  PrintReportMask = True\r\n"
    "End Function\r\n";

// Resident memory in kilobytes.
long ResidentKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * 4;
}

// The work folder with the program's tables, 33 workers and the layout through the library, the
// attendance rows written straight into the file (the report is measured, not the table rules).
struct ReportDatabase {
    QTemporaryDir dir;
    QString file;
    std::shared_ptr<odb::Connection> connection;
    std::shared_ptr<odb::Database> database;

    explicit ReportDatabase(int days) {
        SetSettingsFolder(QDir(dir.path()).filePath(QStringLiteral("settings")));
        SetProgramFolder(dir.path());
        file = QDir(dir.path()).filePath(QStringLiteral("ZeltoLavrix.mdb"));
        connection = std::make_shared<odb::Connection>();
        connection->CreateDatabaseFile(file);
        connection->OpenDatabaseFile(file);
        database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", nullptr);
        database->Open(connection);
        auto workers = database->Tables().Item("Operai").OpenData();
        connection->BeginTrans();
        for (int i = 1; i <= kWorkers; ++i)
            workers->AddRow({"Codice", QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')), "Nominativo",
                             QStringLiteral("Operaio %1").arg(i)});
        connection->CommitTrans();
        database->Tables()
            .Item("TabProspettiStampa")
            .OpenData()
            ->AddRow({"NomeTabellaOrigine",    "Ingressi",
                      "NomeProspetto",         "Accessi",
                      "NomeStampante",         "Bench",
                      "NumeroColonne",         int32_t(1),
                      "AltezzaModulo",         0.0,
                      "LarghezzaModulo",       0.0,
                      "MargineSuperiore",      0.0,
                      "MargineSinistro",       0.0,
                      "MargineSuperioreRighe", kRowsTop,
                      "MargineInferioreRighe", kRowsTop + kRowsPerModule * kRowDim,
                      "AltezzaRigheDettaglio", kRowDim,
                      "IstruzioniStampa",      QString::fromLatin1(kScript)});
        sqlite3* db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        Exec(db, "BEGIN IMMEDIATE");
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO Ingressi (Data, OraEntrataMattino, OraUscitaMattino, "
                           "OraEntrataPomeriggio, OraUscitaPomeriggio, MinutiPresenza, Operaio) "
                           "SELECT ?, ?, ?, ?, ?, ?, OID FROM Operai WHERE Codice = ?",
                           -1, &st, nullptr);
        const double first = MakeOleDate(2026, 1, 1);
        for (int d = 0; d < days; ++d)
            for (int w = 1; w <= kWorkers; ++w) {
                const QByteArray code = QStringLiteral("%1").arg(w, 4, 10, QLatin1Char('0')).toUtf8();
                sqlite3_bind_double(st, 1, first + d);
                sqlite3_bind_double(st, 2, MakeOleTime(7, 30 + w % 20, 0));
                sqlite3_bind_double(st, 3, MakeOleTime(12, 0, 0));
                sqlite3_bind_double(st, 4, MakeOleTime(13, 0, 0));
                sqlite3_bind_double(st, 5, MakeOleTime(16, 30 + w % 20, 0));
                sqlite3_bind_int(st, 6, 480);
                sqlite3_bind_text(st, 7, code.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_step(st);
                sqlite3_reset(st);
            }
        sqlite3_finalize(st);
        Exec(db, "COMMIT");
        sqlite3_close(db);
    }
    ~ReportDatabase() {
        if (g_objDatabase == database) g_objDatabase.reset();
        if (g_objConnection == connection) g_objConnection.reset();
        database.reset();
        connection->CloseConnection();
    }
    // The report run reads the program's open database.
    void use() {
        g_objConnection = connection;
        g_objDatabase = database;
    }
};

ReportDatabase* g_db = nullptr;  // 3,300 rows
// The larger databases, made when first asked for.
std::map<int, std::unique_ptr<ReportDatabase>>* g_larger = nullptr;

// The databases of 3,300, 33,000 and 330,000 rows.
ReportDatabase& DatabaseOfRows(int rows) {
    if (rows == kWorkers * kDays) return *g_db;
    auto& d = (*g_larger)[rows];
    if (!d) d = std::make_unique<ReportDatabase>(rows / kWorkers);
    return *d;
}

QString output(const char* name) {
    return QDir::temp().filePath(QString::fromLatin1(name));
}

void usePdfPrinter() {
    PrinterRegistry::instance().reset(false);
    PrinterRegistry::instance().addPdfPrinter(QStringLiteral("Bench"), QPageSize(QPageSize::A4), QMarginsF(),
                                              output("zl-bench-report.pdf"));
}

// The report run; `pages` 100 prints every row, fewer stop at that many modules.
bool runReport(bool preview, int pages, int rows = kWorkers * kDays) {
    auto ds = g_objDatabase->Tables().Item("Ingressi").OpenData({}, QStringLiteral("Data, Operaio"));
    const int32_t limit = pages * kRowsPerModule >= rows ? 0 : pages * kRowsPerModule;
    return PrintCustomReports(nullptr, ds, nullptr, {}, {}, limit, preview, 1, {});
}

void BM_ReportRunToPdf(benchmark::State& state) {
    g_db->use();
    usePdfPrinter();
    for (auto _ : state)
        if (!runReport(false, 100)) state.SkipWithError("the run stopped");
    state.SetItemsProcessed(state.iterations() * kWorkers * kDays);
}
BENCHMARK(BM_ReportRunToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ReportRunToPreview(benchmark::State& state) {
    g_db->use();
    usePdfPrinter();
    const int pages = int(state.range(0));
    long before = 0, held = 0;
    // The preview closes at once; what it holds is read while it is open.
    odb::ModalRunner previous = odb::SetModalRunner([&](QDialog&) {
        held = ResidentKb() - before;
        return int(QDialog::Rejected);
    });
    for (auto _ : state) {
        before = ResidentKb();
        runReport(true, pages);
    }
    odb::SetModalRunner(std::move(previous));
    state.counters["held_MB"] = double(held) / 1024;
    state.SetItemsProcessed(state.iterations() * pages * kRowsPerModule);
}
BENCHMARK(BM_ReportRunToPreview)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same by hand: one query, millimetres to device pixels, the fonts at their size. The rows come in
// the run's order (by date, then by the worker's name through the library's text collation), `limit`
// of them (0: all).
struct BarePage {
    QFont heading, plain;
    QLocale italian{QLocale::Italian, QLocale::Italy};
    bool joined = false;  // the worker's name through a join, not a sub-select per row

    BarePage() : heading(QStringLiteral("Liberation Sans")), plain(QStringLiteral("Liberation Sans")) {
        heading.setPointSizeF(14);
        heading.setBold(true);
        plain.setPointSizeF(9);
    }
    // The rows of the query, a page each 33, through `page` (called at each page's start).
    template <class NewPage>
    void draw(QPainter& p, double px, NewPage newPage, const QString& file, int limit = 0) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        odb::RegisterConditionFunctions(db);
        sqlite3_stmt* st = nullptr;
        const QByteArray sql =
            (joined ? QStringLiteral(
                          "SELECT r.Data, r.OraEntrataMattino, r.OraUscitaPomeriggio, r.MinutiPresenza FROM "
                          "Ingressi r LEFT JOIN Operai o ON o.OID = r.Operaio ORDER BY r.Data, o.Nominativo "
                          "COLLATE VBTEXT, r.OID LIMIT %1")
                    : QStringLiteral(
                          "SELECT r.Data, r.OraEntrataMattino, r.OraUscitaPomeriggio, r.MinutiPresenza FROM "
                          "Ingressi r ORDER BY r.Data, (SELECT o.Nominativo FROM Operai o WHERE o.OID = "
                          "r.Operaio) COLLATE VBTEXT, r.OID LIMIT %1"))
                .arg(limit > 0 ? limit : -1)
                .toUtf8();
        sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
        long total = 0;
        int row = 0;
        auto text = [&](double y, double x, const QString& s, bool right = false) {
            const double w = right ? p.fontMetrics().horizontalAdvance(s) : 0;
            p.drawText(QPointF(x * px - w, y * px + p.fontMetrics().ascent()), s);
        };
        auto mask = [&](int page) {
            p.setFont(heading);
            text(10, 10, QStringLiteral("Accessi del mese"));
            p.setFont(plain);
            text(12, 200, QStringLiteral("Pagina %1").arg(page), true);
            text(240, 200, QStringLiteral("Totale minuti: %1").arg(total), true);
        };
        p.setFont(plain);
        while (sqlite3_step(st) == SQLITE_ROW) {
            const int onPage = row % kRowsPerModule;
            if (row > 0 && onPage == 0) {
                mask(row / kRowsPerModule);
                newPage();
                p.setFont(plain);
            }
            const double y = kRowsTop + onPage * kRowDim;
            p.setPen(Qt::black);
            p.drawRect(QRectF(10 * px, y * px, 190 * px, kRowDim * px));
            text(y + 1, 12,
                 italian.toString(QDateTimeFromOle(sqlite3_column_double(st, 0)).date(),
                                  QStringLiteral("dd/MM/yyyy")));
            text(y + 1, 50, QDateTimeFromOle(sqlite3_column_double(st, 1)).time().toString(u"HH:mm:ss"));
            text(y + 1, 90, QDateTimeFromOle(sqlite3_column_double(st, 2)).time().toString(u"HH:mm:ss"));
            const int minutes = sqlite3_column_int(st, 3);
            text(y + 1, 198, QString::number(minutes), true);
            total += minutes;
            ++row;
        }
        mask((row + kRowsPerModule - 1) / kRowsPerModule);
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
};

void BM_ReportWithBareQPainterToPdf(benchmark::State& state) {
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(600);
        printer.setOutputFileName(output("zl-bench-report-bare.pdf"));
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter p(&printer);
        BarePage().draw(
            p, 600 / 25.4, [&] { printer.newPage(); }, g_db->file);
        p.end();
    }
    state.SetItemsProcessed(state.iterations() * kWorkers * kDays);
}
BENCHMARK(BM_ReportWithBareQPainterToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

// Pages of the preview's size at the screen's resolution: the first 16 kept, the rest written as
// bitmaps; `limit` rows of `file` (0: all).
void BarePreviewPages(const QString& folder, const QString& file, int limit, bool joined = false) {
    const int dpi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch());
    const double px = dpi / 25.4;
    QTemporaryDir files(QDir(folder).filePath(QStringLiteral("TmpPreview-XXXXXX")));
    std::vector<QImage> kept;
    QImage page(qRound(210 * px), qRound(297 * px), QImage::Format_RGB32);
    page.fill(Qt::white);
    auto painter = std::make_unique<QPainter>(&page);
    painter->setRenderHint(QPainter::Antialiasing, false);
    int number = 0;
    auto store = [&] {
        painter->end();
        ++number;
        if (number > kPagesInMemory)
            page.save(QStringLiteral("%1/TmpPreview_%2.bmp").arg(files.path()).arg(number), "BMP");
        else
            kept.push_back(page.copy());
        page.fill(Qt::white);
        painter->begin(&page);
        painter->setRenderHint(QPainter::Antialiasing, false);
    };
    BarePage bare;
    bare.joined = joined;
    bare.draw(*painter, px, store, file, limit);
    store();
    painter->end();
}

void BM_ReportWithBareQPainterToImages(benchmark::State& state) {
    for (auto _ : state)
        BarePreviewPages(g_db->dir.path(), g_db->file, 0);
    state.SetItemsProcessed(state.iterations() * kWorkers * kDays);
}
BENCHMARK(BM_ReportWithBareQPainterToImages)->Unit(benchmark::kMillisecond)->Iterations(1);

// ---- 20 preview pages from more and more rows ----

void BM_ReportPagesToPreview(benchmark::State& state) {
    const int rows = int(state.range(0));
    ReportDatabase& db = DatabaseOfRows(rows);
    db.use();
    usePdfPrinter();
    odb::ModalRunner previous = odb::SetModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    for (auto _ : state)
        runReport(true, kPreviewPages, rows);
    odb::SetModalRunner(std::move(previous));
    g_db->use();
    state.SetItemsProcessed(state.iterations() * kPreviewPages * kRowsPerModule);
}

void BM_ReportPagesWithBareQPainter(benchmark::State& state) {
    ReportDatabase& db = DatabaseOfRows(int(state.range(0)));
    for (auto _ : state)
        BarePreviewPages(db.dir.path(), db.file, kPreviewPages * kRowsPerModule);
    state.SetItemsProcessed(state.iterations() * kPreviewPages * kRowsPerModule);
}

void RowCounts(benchmark::internal::Benchmark* b) {
    b->ArgName("rows")->Arg(kWorkers * kDays)->Arg(kWorkers * kDays * 10)->Arg(kWorkers * kDays * 100);
    b->Unit(benchmark::kMillisecond)->Iterations(1);
}
// The same with the worker's name joined: the best hand-written form of the query.
void BM_ReportPagesWithBareJoinedQuery(benchmark::State& state) {
    ReportDatabase& db = DatabaseOfRows(int(state.range(0)));
    for (auto _ : state)
        BarePreviewPages(db.dir.path(), db.file, kPreviewPages * kRowsPerModule, true);
    state.SetItemsProcessed(state.iterations() * kPreviewPages * kRowsPerModule);
}

BENCHMARK(BM_ReportPagesToPreview)->Apply(RowCounts);
BENCHMARK(BM_ReportPagesWithBareQPainter)->Apply(RowCounts);
BENCHMARK(BM_ReportPagesWithBareJoinedQuery)->Apply(RowCounts);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    Prompt::setInstance(std::make_shared<QuietPrompt>());
    ReportDatabase database(kDays);
    g_db = &database;
    database.use();
    std::map<int, std::unique_ptr<ReportDatabase>> larger;
    g_larger = &larger;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    database.use();
    larger.clear();
    g_db = nullptr;
    return 0;
}
