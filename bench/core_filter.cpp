// The Pickup Record filter run over a million CP932 CSV records (id,name,age,"address",code),
// with one condition in each of the four lists, one of them a wildcard phrase on a field.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "common/EntryList.h"
#include "common/FilePaths.h"
#include "common/FileReading.h"
#include "common/TextCodec.h"
#include "pickup/PickupFilter.h"
#include "pickup/PickupRun.h"

namespace {

const char* const kRecords = "/tmp/records.csv";

// Keep: code (field 5) is A or B, a digit, 0-4, a digit; and age (field 3) holds a 2.
// Remove: id (field 1) holds a 7 and the line holds ",5".
kuji::ConditionSet conditions()
{
    kuji::ConditionSet set;
    kuji::conditionsOf(set, kuji::ConditionListId::InAnd).push_back({ "5", "[AB]#[0-4]#" });
    kuji::conditionsOf(set, kuji::ConditionListId::InOr).push_back({ "3", "2" });
    kuji::conditionsOf(set, kuji::ConditionListId::OutAnd).push_back({ "1", "7" });
    kuji::conditionsOf(set, kuji::ConditionListId::OutOr).push_back({ "0", ",5" });
    return set;
}

// The same test in awk, on the same bytes (CP932 never puts a comma inside a character).
const char* const kAwkCommand = "LC_ALL=C awk -F, -v RS='\\r\\n' "
                                "'!(index($1,\"7\") && index($0,\",5\")) && $5 ~ /^[AB][0-9][0-4][0-9]$/ && "
                                "index($3,\"2\")' /tmp/records.csv >/dev/null";

// The generator writes the same bytes for the same count, so a file left by an earlier run
// is reused.
bool ensureRecords()
{
    if (kuji::myFileExists(kRecords))
        return true;
    const std::string command = std::string("python3 /work/shared/bench/make-records 1000000 ") + kRecords;
    return std::system(command.c_str()) == 0 && kuji::myFileExists(kRecords);
}

// Reads the record file into one line per record, without the CR LF.
std::shared_ptr<kuji::EntryList> loadRecords()
{
    std::string bytes;
    kuji::ErrorInfo err;
    if (!kuji::readFileBytes(kRecords, bytes, err))
        return nullptr;
    const std::string text = kuji::text::decode(bytes).utf8;
    auto records = std::make_shared<kuji::EntryList>();
    records->reserve(1000000, text.size());
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find("\r\n", begin);
        if (end == std::string::npos)
            end = text.size();
        records->append(std::string_view(text).substr(begin, end - begin));
        begin = end + 2;
    }
    return records;
}

std::size_t filter(const std::shared_ptr<kuji::EntryList>& records)
{
    kuji::PickupRun run(records, kuji::PickupFilter(conditions()));
    // Slices of the size the window uses, so the clock checks are counted too.
    while (!run.step(std::chrono::steady_clock::now() + std::chrono::milliseconds(15))) { }
    return run.keptCount();
}

void BM_FilterRun(benchmark::State& state)
{
    if (!ensureRecords()) {
        state.SkipWithError("cannot make the record file");
        return;
    }
    const auto records = loadRecords();
    if (!records) {
        state.SkipWithError("cannot read the record file");
        return;
    }
    std::size_t kept = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(kept = filter(records));
    state.counters["records"] = static_cast<double>(records->size());
    state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_FilterRun)->Unit(benchmark::kMillisecond);

// Reading, decoding and filtering together: what the awk line does in one go.
void BM_ReadAndFilter(benchmark::State& state)
{
    if (!ensureRecords()) {
        state.SkipWithError("cannot make the record file");
        return;
    }
    std::size_t kept = 0;
    for (auto _ : state) {
        const auto records = loadRecords();
        benchmark::DoNotOptimize(kept = filter(records));
    }
    state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_ReadAndFilter)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    std::printf("same test in awk (time it with: time sh -c \"...\"):\n  %s\n", kAwkCommand);
    std::printf("kept count for comparison: replace >/dev/null with | wc -l\n\n");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
