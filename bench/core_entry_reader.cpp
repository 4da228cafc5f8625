// Reading a large entry file: a million CP932 CSV records (about 37 MB) and the same in UTF-8.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "common/FilePaths.h"
#include "common/FileReading.h"
#include "entries/EntryReader.h"

namespace {

const char* const kCp932Records = "/tmp/kujimaru-records-1m.csv";
const char* const kUtf8Records = "/tmp/kujimaru-records-1m-utf8.csv";
const char* const kLoneCrLines = "/tmp/kujimaru-lone-cr-1m.txt";

// The generator writes the same bytes for the same count, so a file left by an earlier run
// is reused.
bool ensureRecords(const char* path, const char* option)
{
    if (kuji::myFileExists(path))
        return true;
    const std::string command = std::string("python3 /work/shared/bench/make-records 1000000 ") + path + " " + option;
    return std::system(command.c_str()) == 0 && kuji::myFileExists(path);
}

bool ensureLoneCrLines()
{
    if (kuji::myFileExists(kLoneCrLines))
        return true;
    std::string bytes;
    bytes.reserve(10'000'000);
    for (int i = 0; i < 1'000'000; ++i)
        bytes += "line " + std::to_string(i) + "\r";
    std::ofstream(kLoneCrLines, std::ios::binary) << bytes;
    return kuji::myFileExists(kLoneCrLines);
}

void readEntries(benchmark::State& state, const char* path, bool quoteMode)
{
    for (auto _ : state) {
        kuji::EntryReader reader;
        kuji::ErrorInfo err;
        if (!reader.open(path, quoteMode, err)) {
            state.SkipWithError(err.description.c_str());
            return;
        }
        kuji::EntryList rows;
        // Slices of the size the window uses, so the clock checks are counted too.
        while (!reader.atEnd())
            reader.readSome(rows, std::chrono::steady_clock::now() + std::chrono::milliseconds(15));
        benchmark::DoNotOptimize(rows.size());
        state.counters["entries"] = static_cast<double>(rows.size());
    }
}

void BM_ReadEntriesCp932Csv(benchmark::State& state)
{
    if (!ensureRecords(kCp932Records, "")) {
        state.SkipWithError("cannot make the record file");
        return;
    }
    readEntries(state, kCp932Records, true);
}
BENCHMARK(BM_ReadEntriesCp932Csv)->Unit(benchmark::kMillisecond);

void BM_ReadEntriesUtf8Csv(benchmark::State& state)
{
    if (!ensureRecords(kUtf8Records, "--utf8")) {
        state.SkipWithError("cannot make the record file");
        return;
    }
    readEntries(state, kUtf8Records, true);
}
BENCHMARK(BM_ReadEntriesUtf8Csv)->Unit(benchmark::kMillisecond);

void BM_ReadEntriesLoneCr(benchmark::State& state)
{
    if (!ensureLoneCrLines()) {
        state.SkipWithError("cannot make the lone-CR file");
        return;
    }
    readEntries(state, kLoneCrLines, false);
}
BENCHMARK(BM_ReadEntriesLoneCr)->Unit(benchmark::kMillisecond);

void BM_LineCountCp932Csv(benchmark::State& state)
{
    if (!ensureRecords(kCp932Records, "")) {
        state.SkipWithError("cannot make the record file");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(kuji::myGetLineCount(kCp932Records));
    state.counters["lines"] = kuji::myGetLineCount(kCp932Records);
}
BENCHMARK(BM_LineCountCp932Csv)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
