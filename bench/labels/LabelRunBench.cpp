// 1,000 customer labels (name, wrapped address, frame, code as barcode), 3 columns of 70 x 37 mm on A4,
// through the whole label print run (layout lookup, script per label, data set, engine, waiting
// window) to a PDF printer, against bare QPainter calls drawing the same at the same places from one
// SQLite query. Both are run once before any measure (fonts, script host and printer warm alike), then
// interleaved: run with --benchmark_repetitions=5 --benchmark_enable_random_interleaving and compare
// the medians.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdlib>
#include <vector>

#include <sqlite3.h>

#include "QuietPrompt.h"
#include "labels/Code128.h"
#include "labels/frmLabelPreview.h"
#include "labels/modLabelPrint.h"
#include "model/DB.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "platform/PrinterRegistry.h"
#include "platform/Prompt.h"

namespace {

constexpr int kLabels = 1000;
constexpr int kColumns = 3, kRowsPerPage = 8;
constexpr double kWidth = 70, kHeight = 37, kModule = 0.3;

const char* const kScript =
    "Function PrintLabel(ds, prn)\r\n"
    "  prn.BoxOut 0, 0, 37, 70\r\n"
    "  prn.SetFont 10, True, False, \"Arial\"\r\n"
    "  prn.TxtOut 2, 3, ds.ColValue(\"Descrizione\")\r\n"
    "  prn.SetFont 8\r\n"
    "  prn.TxtOut 8, 3, ds.ColValue(\"Indirizzo\") & \" - \" & ds.ColValue(\"Citta\"), 64\r\n"
    "  prn.Barcode128bOut 20, 3, 12, 0.3, ds.ColValue(\"Codice\")\r\n"
    "  PrintLabel = True\r\n"
    "End Function\r\n";

class SilentNotify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString&) override {}
    void OnQueryMessage(void*, int32_t, const QString&, bool& cancel) override { cancel = false; }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}
};

QString customerCode(int i) {
    return QStringLiteral("C%1").arg(i, 4, 10, QLatin1Char('0'));
}

// The database with 1,000 customers and the layout, opened as the program opens it.
struct LabelDatabase {
    QTemporaryDir dir;
    QString file;
    SilentNotify notify;

    LabelDatabase() {
        file = QDir(dir.path()).filePath(QStringLiteral("ZeltoLavrix.mdb"));
        auto connection = std::make_shared<odb::Connection>();
        connection->CreateDatabaseFile(file);
        connection->OpenDatabaseFile(file);
        auto database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &notify);
        database->Open(connection);
        g_objConnection = connection;
        g_objDatabase = database;
        auto clienti = database->Tables().Item("Clienti").OpenData();
        connection->BeginTrans();
        for (int i = 1; i <= kLabels; ++i)
            clienti->AddRow({"Codice", customerCode(i), "Descrizione",
                             QStringLiteral("Officine Meccaniche Cliente %1 S.r.l.").arg(i), "Indirizzo",
                             QStringLiteral("Via dell'Artigianato %1, zona industriale nord").arg(i), "Citta",
                             QStringLiteral("Castelfranco")});
        connection->CommitTrans();
        database->Tables()
            .Item("TabStampaEtichette")
            .OpenData()
            ->AddRow({"NomeTabellaOrigine", "Clienti", "NomeStampante", "Bench", "NumeroColonne",
                      int32_t(kColumns), "AltezzaEtichetta", kHeight, "LarghezzaEtichetta", kWidth,
                      "MargineSuperiore", 0.0, "MargineSinistro", 0.0, "IstruzioniStampa",
                      QString::fromLatin1(kScript), "AbilitaPosizionamento", false});
    }
    ~LabelDatabase() {
        g_objDatabase.reset();
        if (g_objConnection) g_objConnection->CloseConnection();
        g_objConnection.reset();
    }
};

LabelDatabase* g_db = nullptr;

QString output(const char* name) {
    return QDir::temp().filePath(QString::fromLatin1(name));
}

void UseBenchPrinter() {
    PrinterRegistry::instance().reset(false);
    PrinterRegistry::instance().addPdfPrinter(QStringLiteral("Bench"), QPageSize(QPageSize::A4), QMarginsF(),
                                              output("zl-bench-run.pdf"));
}

void PrintLabelsRun() {
    auto ds = g_objDatabase->Tables().Item("Clienti").OpenData(QStringLiteral("Codice <> ''"),
                                                               QStringLiteral("Codice"));
    frmLabelPreview* none = nullptr;
    PrintLabels(nullptr, ds, Variant::missing(), false, {}, 0, true, none);
}

void BM_PrintLabelsRun(benchmark::State& state) {
    UseBenchPrinter();
    for (auto _ : state)
        PrintLabelsRun();
    state.SetItemsProcessed(state.iterations() * kLabels);
}
BENCHMARK(BM_PrintLabelsRun)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same sheets by hand: one query, millimetres to device pixels, the fonts at their size, the
// wrapped line by Qt, the bars from the encoder.
void LabelsWithBareQPainter() {
    sqlite3* db = nullptr;
    sqlite3_open_v2(g_db->file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT Codice, Descrizione, Indirizzo, Citta FROM Clienti WHERE Codice <> '' "
                       "ORDER BY Codice",
                       -1, &st, nullptr);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setOutputFileName(output("zl-bench-bare.pdf"));
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    const double px = 600 / 25.4;
    QFont bold(QStringLiteral("Liberation Sans"));
    bold.setPointSizeF(10);
    bold.setBold(true);
    QFont plain(QStringLiteral("Liberation Sans"));
    plain.setPointSizeF(8);
    std::vector<uint8_t> widths;
    QPainter p(&printer);
    for (int i = 0; sqlite3_step(st) == SQLITE_ROW; ++i) {
        auto text = [&](int c) {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
        };
        const int onPage = i % (kColumns * kRowsPerPage);
        if (i > 0 && onPage == 0) printer.newPage();
        const double x = (onPage % kColumns) * kWidth, y = (onPage / kColumns) * kHeight;
        p.setPen(Qt::black);
        p.drawRect(QRectF(x * px, y * px, kWidth * px, kHeight * px));
        p.setFont(bold);
        p.drawText(QPointF((x + 3) * px, (y + 2) * px + p.fontMetrics().ascent()), text(1));
        p.setFont(plain);
        p.drawText(QRectF((x + 3) * px, (y + 8) * px, 64 * px, 10 * px), Qt::TextWordWrap,
                   text(2) + QStringLiteral(" - ") + text(3));
        code128::Encode(text(0), widths);
        double bx = x + 3;
        for (size_t k = 0; k < widths.size(); ++k) {
            const double w = widths[k] * kModule;
            if (k % 2 == 0) p.fillRect(QRectF(bx * px, (y + 20) * px, w * px, 12 * px), Qt::black);
            bx += w;
        }
    }
    p.end();
    sqlite3_finalize(st);
    sqlite3_close(db);
}

void BM_LabelsWithBareQPainter(benchmark::State& state) {
    for (auto _ : state)
        LabelsWithBareQPainter();
    state.SetItemsProcessed(state.iterations() * kLabels);
}
BENCHMARK(BM_LabelsWithBareQPainter)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    Prompt::setInstance(std::make_shared<QuietPrompt>());
    LabelDatabase database;
    g_db = &database;
    benchmark::Initialize(&argc, argv);
    // Neither side pays what is done once in a process (fonts, the script host, the printer).
    UseBenchPrinter();
    PrintLabelsRun();
    LabelsWithBareQPainter();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_db = nullptr;
    return 0;
}
