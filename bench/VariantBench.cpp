// Variant arithmetic and conversions, the inner loop of rules and scripts.
#include <benchmark/benchmark.h>

#include "base/VariantOps.h"

static void BM_AddLongs(benchmark::State& state) {
    Variant sum(int32_t(0));
    const Variant one(int32_t(1));
    for (auto _ : state) {
        sum = VbAdd(sum, one);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_AddLongs);

static void BM_ConcatNumberText(benchmark::State& state) {
    const Variant label("Tot: "), value(12.5);
    for (auto _ : state)
        benchmark::DoNotOptimize(VbConcat(label, value));
}
BENCHMARK(BM_ConcatNumberText);

static void BM_ParseItalianNumber(benchmark::State& state) {
    const Variant text("1.234,56");
    for (auto _ : state)
        benchmark::DoNotOptimize(text.toDouble());
}
BENCHMARK(BM_ParseItalianNumber);

BENCHMARK_MAIN();
