// Saving a large result list: a million short numeric rows built into a file's bytes and
// written through the safe writer, the way the main window saves a big draw.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "common/ResultList.h"
#include "common/SafeFileWriter.h"
#include "entries/ListFile.h"

namespace {

constexpr std::size_t kRows = 1'000'000;
const char* const kSavedList = "/tmp/kujimaru-list-save-1m.csv";

// A number draw of a million results from 1 to 9,999,999, as the result list holds them.
const kuji::ResultList& results()
{
    static const kuji::ResultList list = [] {
        kuji::ResultList r;
        r.reset(1, 1, nullptr);
        r.reserve(kRows);
        for (std::size_t i = 0; i < kRows; ++i)
            r.appendNumber(static_cast<std::uint32_t>((i * 7919) % 9'999'999));
        return r;
    }();
    return list;
}

void BM_BuildListBytes(benchmark::State& state)
{
    const kuji::ResultList& list = results();
    for (auto _ : state) {
        std::string bytes = kuji::listFileBytes(list.size(), [&](std::size_t i) { return list.text(i); });
        benchmark::DoNotOptimize(bytes.data());
        state.counters["bytes"] = static_cast<double>(bytes.size());
    }
}
BENCHMARK(BM_BuildListBytes)->Unit(benchmark::kMillisecond);

void BM_BuildAndSaveList(benchmark::State& state)
{
    const kuji::ResultList& list = results();
    for (auto _ : state) {
        kuji::ErrorInfo err;
        if (!kuji::saveListFile(
                kSavedList, list.size(), [&](std::size_t i) { return list.text(i); }, err)) {
            state.SkipWithError(err.description.c_str());
            return;
        }
    }
    std::remove(kSavedList);
}
BENCHMARK(BM_BuildAndSaveList)->Unit(benchmark::kMillisecond);

// The same rows with one value CP932 cannot hold at the very end: everything already built
// turns into UTF-8.
void BM_BuildListBytesTurningUtf8AtTheEnd(benchmark::State& state)
{
    const kuji::ResultList& list = results();
    for (auto _ : state) {
        std::string bytes = kuji::listFileBytes(
            list.size() + 1, [&](std::size_t i) { return i < list.size() ? list.text(i) : std::string("〜"); });
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_BuildListBytesTurningUtf8AtTheEnd)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
