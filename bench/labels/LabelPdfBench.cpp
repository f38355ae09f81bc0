// 24 labels (text, box, barcode) printed to PDF through the label engine, against the same primitives as
// bare QPainter calls on the same kind of printer. Run with --benchmark_repetitions=15
// --benchmark_enable_random_interleaving and compare the medians.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPrinter>

#include <cstdlib>
#include <vector>

#include "labels/Code128.h"
#include "labels/clsLabelPrint.h"
#include "platform/PrinterRegistry.h"

namespace {

constexpr int kColumns = 3, kRows = 8;
constexpr double kWidth = 70, kHeight = 35, kTop = 10, kModule = 0.3;

QString output(const char* name) {
    return QDir::temp().filePath(QString::fromLatin1(name));
}

QString code(int i) {
    return QStringLiteral("C%1").arg(2024000 + i);
}

void BM_LabelsThroughTheEngine(benchmark::State& state) {
    PrinterRegistry::instance().reset(false);
    PrinterRegistry::instance().addPdfPrinter(QStringLiteral("Bench"), QPageSize(QPageSize::A4), QMarginsF(),
                                              output("zl-bench-engine.pdf"));
    clsLabelPrint engine;
    for (auto _ : state) {
        engine.SetParameter(Variant("Bench"), kHeight, kWidth, kTop, 0, kColumns);
        for (int i = 0; i < kColumns * kRows; ++i) {
            if (i > 0) engine.NextLabel();
            engine.SetFont(10);
            engine.TxtOut(2, 3, QStringLiteral("Commessa ") + code(i));
            engine.BoxOut(0, 0, kHeight, kWidth);
            engine.Barcode128bOut(10, 3, 10, kModule, code(i));
        }
        engine.EndLabels();
    }
    state.SetItemsProcessed(state.iterations() * kColumns * kRows);
}
BENCHMARK(BM_LabelsThroughTheEngine)->Unit(benchmark::kMillisecond);

// The same page by hand: millimetres to device pixels, the font at its size, the bars from the encoder.
void BM_LabelsWithBareQPainter(benchmark::State& state) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setOutputFileName(output("zl-bench-painter.pdf"));
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    const double px = 600 / 25.4;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(10);
    std::vector<uint8_t> widths;
    for (auto _ : state) {
        QPainter p(&printer);
        p.setFont(font);
        const double ascent = p.fontMetrics().ascent();
        for (int i = 0; i < kColumns * kRows; ++i) {
            const double x = (i % kColumns) * kWidth, y = kTop + (i / kColumns) * kHeight;
            p.setPen(Qt::black);
            p.drawText(QPointF((x + 3) * px, (y + 2) * px + ascent), QStringLiteral("Commessa ") + code(i));
            p.drawLine(QPointF(x * px, y * px), QPointF((x + kWidth) * px, y * px));
            p.drawLine(QPointF(x * px, (y + kHeight) * px), QPointF((x + kWidth) * px, (y + kHeight) * px));
            p.drawLine(QPointF(x * px, y * px), QPointF(x * px, (y + kHeight) * px));
            p.drawLine(QPointF((x + kWidth) * px, y * px), QPointF((x + kWidth) * px, (y + kHeight) * px));
            code128::Encode(code(i), widths);
            double bx = x + 3;
            for (size_t k = 0; k < widths.size(); ++k) {
                const double w = widths[k] * kModule;
                p.fillRect(QRectF(bx * px, (y + 10) * px, w * px, 10 * px),
                           k % 2 == 0 ? Qt::black : Qt::white);
                bx += w;
            }
        }
        p.end();
    }
    state.SetItemsProcessed(state.iterations() * kColumns * kRows);
}
BENCHMARK(BM_LabelsWithBareQPainter)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
