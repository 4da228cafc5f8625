// The draw engine alone: a million distinct values from a dense and from a sparse range,
// and the dense draw with and without the digests its record needs.
#include "draw/DrawRun.h"
#include "records/RecordedDraw.h"

#include <benchmark/benchmark.h>

namespace {

kuji::DrawSettings distinctSettings(std::int32_t maximum)
{
    kuji::DrawSettings settings;
    settings.minimum = 1;
    settings.maximum = maximum;
    settings.minimumLength = 1;
    settings.noDuplicates = true;
    settings.counts = { 1000000 };
    return settings;
}

void drawDistinct(benchmark::State& state, std::int32_t maximum)
{
    const kuji::DrawSettings settings = distinctSettings(maximum);
    kuji::RandomSource random(kuji::SystemSeedSource().nextSeed());
    for (auto _ : state) {
        kuji::ResultList results;
        kuji::DrawRun run(settings, nullptr, results, random);
        run.runToEnd();
        benchmark::DoNotOptimize(results.rows().data());
    }
}

void BM_DrawDistinctDense(benchmark::State& state)
{
    drawDistinct(state, 1000000);
}

void BM_DrawDistinctSparse(benchmark::State& state)
{
    drawDistinct(state, 999999999);
}

void drawRecorded(benchmark::State& state, bool keepRecord)
{
    kuji::DrawPlan plan;
    plan.settings = distinctSettings(1000000);
    plan.boxes = { false, true, "1", "1000000", "1000000" };
    plan.keepRecord = keepRecord;
    for (auto _ : state) {
        plan.seed = kuji::SystemSeedSource().nextSeed();
        kuji::ResultList results;
        kuji::RecordedDraw draw(plan, results);
        draw.runToEnd();
        if (keepRecord)
            benchmark::DoNotOptimize(draw.record("").results);
        benchmark::DoNotOptimize(results.rows().data());
    }
}

void BM_RecordingOff(benchmark::State& state)
{
    drawRecorded(state, false);
}

void BM_RecordingOn(benchmark::State& state)
{
    drawRecorded(state, true);
}

} // namespace

BENCHMARK(BM_RecordingOff)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_RecordingOn)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DrawDistinctDense)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DrawDistinctSparse)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_MAIN();
