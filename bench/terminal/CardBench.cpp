// The card devices over the simulated reader on a pseudo-terminal:
// - a dual-coercivity read (session with coercivity and character width, asynchronous read, a card
//   swiped at once, up to the completion) against the fixed waits of the protocol (seven times
//   0.2 s: four command pauses, three replies ended by silence), run interleaved;
// - the processor time of a waiting call that times out after 3 s, as a share of the wall time;
// - the track-1 codec, per call.
// Run: bench_terminal --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
//      --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <ctime>

#include "platform/EventWait.h"
#include "platform/SettingsStore.h"
#include "support/CardReaderSimulator.h"
#include "terminal/carddevices/Track1Codec.h"
#include "terminal/carddevices/clsMSR206HL.h"
#include "terminal/carddevices/clsMagneticCardEvents.h"
#include "terminal/carddevices/modMagneticDev.h"

namespace {

using namespace std::chrono_literals;

double processSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void BM_DualCoercivityRead(benchmark::State& state) {
    CardReaderSimulator sim(CardReaderSimulator::Model::Raw);
    sim.setInstant(true);
    sim.swipe(QStringLiteral("OP0012"));
    SaveConfiguredPortPath(sim.path());
    clsMSR206HL driver;
    driver.SetParameters({Variant(int32_t{1}), Variant("9600,n,8,1"), Variant(false)});
    clsMagneticCardEvents events;
    QString code;
    EventWait done;
    QObject::connect(&events, &clsMagneticCardEvents::OnReadComplete,
                     [&](bool, const QString& id, const QString&, const QString&) {
                         code = id;
                         done.Wake();
                     });
    for (auto _ : state) {
        code.clear();
        done.Reset();
        driver.NewSession(&events);
        driver.ReadData(0, false);
        done.Wait(10s);
        if (code != QLatin1String("OP0012")) state.SkipWithError("read failed");
    }
}
BENCHMARK(BM_DualCoercivityRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_FixedWaitsOfTheRead(benchmark::State& state) {
    for (auto _ : state)
        for (int i = 0; i < 7; ++i)
            EventWait::Pause(200ms);
}
BENCHMARK(BM_FixedWaitsOfTheRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_TimedOutWaitProcessorShare(benchmark::State& state) {
    CardReaderSimulator sim(CardReaderSimulator::Model::Raw);
    sim.setSilent(true);
    SaveConfiguredPortPath(sim.path());
    clsMSR206HL driver;
    driver.SetParameters({Variant(int32_t{1}), Variant("9600,n,8,1"), Variant(false)});
    driver.Comm().Open();
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double cpu0 = processSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        try {
            QString id, data;
            driver.ReadData(1, false, &id, &data);
            state.SkipWithError("no time-out");
        } catch (const AppError&) {
        }
        cpu += processSeconds() - cpu0;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    }
    state.counters["cpu_share_pct"] = 100.0 * cpu / wall;
}
BENCHMARK(BM_TimedOutWaitProcessorShare)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_EncodeTrack1(benchmark::State& state) {
    const QString text = QStringLiteral("OP0012");
    for (auto _ : state)
        benchmark::DoNotOptimize(AsciiToHexForTrack1(text));
}
BENCHMARK(BM_EncodeTrack1);

void BM_DecodeTrack1(benchmark::State& state) {
    const QByteArray raw = QByteArray::fromHex("A3E838409152FC62");
    for (auto _ : state)
        benchmark::DoNotOptimize(HexToAsciiFromTrack1(raw));
}
BENCHMARK(BM_DecodeTrack1);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir settings;  // the benchmark's own settings, never the user's
    SetSettingsFolder(settings.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
