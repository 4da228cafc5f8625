// Loading a large record file into the Pickup window's record list: a million CP932 CSV
// records (about 37 MB) made by /work/shared/bench/make-records 1000000 /tmp/records.csv.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "common/FilePaths.h"
#include "pickup/RecordLoader.h"

namespace {

const char* const kRecords = "/tmp/records.csv";

// The generator writes the same bytes for the same count, so a file left by an earlier run
// is reused.
bool ensureRecords()
{
    if (kuji::myFileExists(kRecords))
        return true;
    const std::string command = std::string("python3 /work/shared/bench/make-records 1000000 ") + kRecords;
    return std::system(command.c_str()) == 0 && kuji::myFileExists(kRecords);
}

void BM_LoadRecordsCp932Csv(benchmark::State& state)
{
    if (!ensureRecords()) {
        state.SkipWithError("cannot make the record file");
        return;
    }
    for (auto _ : state) {
        kuji::RecordLoader loader;
        auto step = loader.start(kRecords);
        // Slices of the size the window uses, so the clock checks are counted too.
        while (step == kuji::RecordLoader::State::Reading)
            step = loader.step(std::chrono::steady_clock::now() + std::chrono::milliseconds(15));
        if (loader.outcome() != kuji::RecordLoader::Outcome::Loaded) {
            state.SkipWithError("the load did not complete");
            return;
        }
        benchmark::DoNotOptimize(loader.rows().size());
        state.counters["rows"] = static_cast<double>(loader.rows().size());
    }
}
BENCHMARK(BM_LoadRecordsCp932Csv)->Unit(benchmark::kMillisecond);

// The longest single slice: what the window's event loop waits for at worst.
void BM_LongestRecordSlice(benchmark::State& state)
{
    if (!ensureRecords()) {
        state.SkipWithError("cannot make the record file");
        return;
    }
    for (auto _ : state) {
        kuji::RecordLoader loader;
        auto step = loader.start(kRecords);
        double longest = 0;
        while (step == kuji::RecordLoader::State::Reading) {
            const auto begin = std::chrono::steady_clock::now();
            step = loader.step(begin + std::chrono::milliseconds(15));
            longest = std::max(
                longest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
        }
        state.counters["longest_slice_ms"] = longest;
    }
}
BENCHMARK(BM_LongestRecordSlice)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
