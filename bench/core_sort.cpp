// The result list commands on a million drawn numbers: the sorts, deleting and copying.
#include "draw/DrawRun.h"
#include "entries/ListOperations.h"

#include <benchmark/benchmark.h>

namespace {

// A million distinct numbers from a nine-digit range, in draw order.
const kuji::ResultList& drawnMillion()
{
    static const kuji::ResultList results = [] {
        kuji::DrawSettings settings;
        settings.minimum = 1;
        settings.maximum = 999999999;
        settings.minimumLength = 1;
        settings.noDuplicates = true;
        settings.counts = { 1000000 };
        kuji::RandomSource random(12345);
        kuji::ResultList list;
        kuji::DrawRun run(settings, nullptr, list, random);
        run.runToEnd();
        return list;
    }();
    return results;
}

// A million entries of Japanese text drawn in file mode.
const kuji::ResultList& drawnEntries()
{
    static const kuji::ResultList results = [] {
        auto entries = std::make_shared<kuji::EntryList>();
        const char* names[] = { "さとう", "スズキ", "高橋", "たなか", "Watanabe", "伊藤", "やまもと", "中村" };
        for (std::int64_t i = 0; i < 1000000; ++i)
            entries->append(std::string(names[i % 8]) + std::to_string(i * 7919 % 1000003));
        kuji::DrawSettings settings;
        settings.fileMode = true;
        settings.noDuplicates = true;
        settings.counts = { 1000000 };
        kuji::RandomSource random(6789);
        kuji::ResultList list;
        kuji::DrawRun run(settings, entries, list, random);
        run.runToEnd();
        return list;
    }();
    return results;
}

void sortList(benchmark::State& state, const kuji::ResultList& drawn, kuji::ListOrder order)
{
    for (auto _ : state) {
        state.PauseTiming();
        kuji::ResultList list = drawn;
        state.ResumeTiming();
        benchmark::DoNotOptimize(kuji::sortResults(list, order).data());
    }
}

void BM_SortMillionNumbersAscending(benchmark::State& state)
{
    sortList(state, drawnMillion(), kuji::ListOrder::Ascending);
}

void BM_SortMillionNumbersDescending(benchmark::State& state)
{
    sortList(state, drawnMillion(), kuji::ListOrder::Descending);
}

void BM_SortMillionNumbersIntoDrawOrder(benchmark::State& state)
{
    kuji::ResultList sorted = drawnMillion();
    kuji::sortResults(sorted, kuji::ListOrder::Ascending);
    sortList(state, sorted, kuji::ListOrder::DrawOrder);
}

void BM_SortMillionEntriesAscending(benchmark::State& state)
{
    sortList(state, drawnEntries(), kuji::ListOrder::Ascending);
}

void BM_DeleteMillionSelected(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        kuji::ResultList list = drawnMillion();
        kuji::RowSelection selection(list.size());
        selection.selectAll();
        selection.set(500000, false);
        state.ResumeTiming();
        kuji::deleteSelectedResults(list, selection);
        benchmark::DoNotOptimize(list.rows().data());
    }
}

void BM_CopyMillionSelected(benchmark::State& state)
{
    const kuji::ResultList& list = drawnMillion();
    kuji::RowSelection selection(list.size());
    selection.selectAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(kuji::copySelectedResults(list, selection).data());
}

} // namespace

BENCHMARK(BM_SortMillionNumbersAscending)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SortMillionNumbersDescending)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SortMillionNumbersIntoDrawOrder)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SortMillionEntriesAscending)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DeleteMillionSelected)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_CopyMillionSelected)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_MAIN();
