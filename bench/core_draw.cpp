// The draw engine alone: a million distinct values from a dense and from a sparse range.
#include "app/DrawRun.h"

#include <benchmark/benchmark.h>

namespace {

void drawDistinct(benchmark::State& state, std::int32_t maximum)
{
    kuji::DrawSettings settings;
    settings.minimum = 1;
    settings.maximum = maximum;
    settings.minimumLength = 1;
    settings.noDuplicates = true;
    settings.counts = { 1000000 };
    kuji::RandomSource random = kuji::RandomSource::fromEntropy();
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

} // namespace

BENCHMARK(BM_DrawDistinctDense)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DrawDistinctSparse)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_MAIN();
