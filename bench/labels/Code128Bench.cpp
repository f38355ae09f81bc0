// Encoding texts to Code 128 element widths, check included: our encoder against libzint's subset B
// with one reused symbol. Before any run the program checks that the two give the same modules for
// every text, and stops with an error on the first difference.
// Run with --benchmark_repetitions=15 --benchmark_enable_random_interleaving and compare the medians.
#include <benchmark/benchmark.h>

#include <zint.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <QString>

#include "labels/Code128.h"

namespace {

constexpr int kTexts = 10000;

// 10,000 printable texts of 8 to 40 characters, the same for both encoders.
const std::vector<std::string>& texts() {
    static const std::vector<std::string> all = [] {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> length(8, 40), printable(32, 126);
        std::vector<std::string> t(kTexts);
        for (std::string& s : t) {
            s.resize(static_cast<size_t>(length(random)));
            for (char& c : s)
                c = static_cast<char>(printable(random));
        }
        return t;
    }();
    return all;
}

// Our widths as modules, bar first (1 a dark module), the quiet zones left out as libzint leaves them.
std::vector<bool> OurModules(const std::string& text) {
    std::vector<uint8_t> widths;
    code128::Encode(QString::fromLatin1(text), widths);
    std::vector<bool> modules;
    for (size_t i = 0; i < widths.size(); ++i)
        modules.insert(modules.end(), widths[i], i % 2 == 0);
    return modules;
}

std::vector<bool> ZintModules(zint_symbol* symbol, const std::string& text) {
    ZBarcode_Clear(symbol);
    symbol->symbology = BARCODE_CODE128B;
    std::vector<bool> modules;
    if (ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(text.data()),
                        static_cast<int>(text.size())) >= ZINT_ERROR)
        return modules;
    for (int x = 0; x < symbol->width; ++x)
        modules.push_back((symbol->encoded_data[0][x >> 3] >> (x & 7)) & 1);
    return modules;
}

// True when both encoders give the same modules, and some, for every text.
bool EncodersAgree() {
    zint_symbol* symbol = ZBarcode_Create();
    bool same = true;
    for (const std::string& t : texts()) {
        const std::vector<bool> ours = OurModules(t), zint = ZintModules(symbol, t);
        if (ours.empty() || ours != zint) {
            fprintf(stderr, "the modules differ for \"%s\" (%zu against libzint's %zu)\n", t.c_str(),
                    ours.size(), zint.size());
            same = false;
            break;
        }
    }
    ZBarcode_Delete(symbol);
    return same;
}

void BM_Code128Encode(benchmark::State& state) {
    std::vector<QString> input;
    for (const std::string& s : texts())
        input.push_back(QString::fromLatin1(s));
    std::vector<uint8_t> widths;
    for (auto _ : state) {
        for (const QString& t : input) {
            benchmark::DoNotOptimize(code128::Encode(t, widths));
            benchmark::DoNotOptimize(widths.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_Code128Encode)->Unit(benchmark::kMillisecond);

void BM_ZintCode128B(benchmark::State& state) {
    zint_symbol* symbol = ZBarcode_Create();
    for (auto _ : state) {
        for (const std::string& t : texts()) {
            ZBarcode_Clear(symbol);
            symbol->symbology = BARCODE_CODE128B;
            benchmark::DoNotOptimize(ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(t.data()),
                                                     static_cast<int>(t.size())));
            benchmark::DoNotOptimize(symbol->encoded_data[0][0]);
        }
    }
    ZBarcode_Delete(symbol);
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_ZintCode128B)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // Timing two encoders is worth nothing unless they encode alike.
    if (!EncodersAgree()) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
