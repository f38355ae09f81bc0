// A layout export file with a script of 20,000 lines (about 1 MB) written and read back, against a plain
// QFile write and read of the same bytes split at CR LF. Both runs first check what they read back.
// Run with --benchmark_repetitions=15 --benchmark_enable_random_interleaving and compare the medians.
#include <benchmark/benchmark.h>

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include "labels/LayoutExportFile.h"

namespace {

constexpr int kLines = 20000;

const QString& script() {
    static const QString text = [] {
        QStringList lines;
        for (int i = 0; i < kLines; ++i)
            lines << QStringLiteral(
                         "  prn.TxtOut %1, 2, ds.ColValue(\"Descrizione\") & \" è già lì\" ' riga %2")
                         .arg(i % 200)
                         .arg(i);
        return lines.join(QStringLiteral("\r\n"));
    }();
    return text;
}

// The label window's keys over fixed values; reading them back stores them.
LayoutExportKeys keys(QStringList* read) {
    LayoutExportKeys table;
    for (const char* key : {"Columns", "LabelHeight", "LabelWidth", "LabelTop", "LabelLeft",
                            "HorizontalOrientation", "EnableLabelAlignment", "CopyNumber"})
        table.push_back({QString::fromLatin1(key), [] { return QStringLiteral("32,5"); },
                         [read](const QString& v) { read->append(v); }});
    return table;
}

const QTemporaryDir& folder() {
    static const QTemporaryDir dir;
    return dir;
}

void BM_LayoutExportFile(benchmark::State& state) {
    const QString file = QDir(folder().path()).filePath(QStringLiteral("LabelPrint.vbs"));
    QStringList values;
    const LayoutExportKeys table = keys(&values);
    for (auto _ : state) {
        values.clear();
        LayoutExportFile::Write(file, table, script());
        const QString back = LayoutExportFile::Read(file, table);
        benchmark::DoNotOptimize(back.size());
        if (back.size() != script().size() + 2 || values.size() != 8)
            state.SkipWithError("read back differs");
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(file).size());
}

void BM_PlainQFile(benchmark::State& state) {
    const QString file = QDir(folder().path()).filePath(QStringLiteral("plain.vbs"));
    QStringList values;
    const QByteArray bytes = LayoutExportFile::Compose(keys(&values), script());
    for (auto _ : state) {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
            state.SkipWithError("write failed");
        out.close();
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly)) state.SkipWithError("read failed");
        const QByteArray all = in.readAll();
        QByteArrayList lines;
        qsizetype start = 0;
        for (qsizetype end; (end = all.indexOf("\r\n", start)) >= 0; start = end + 2)
            lines << all.mid(start, end - start);
        lines << all.mid(start);
        benchmark::DoNotOptimize(lines.size());
        if (lines.size() != kLines + 8) state.SkipWithError("read back differs");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

BENCHMARK(BM_LayoutExportFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainQFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
