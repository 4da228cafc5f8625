// The print layout alone: 100,000 and 1,000,000 numbered rows on the PDF printer's A4 page
// at 12 pt, every line laid out and its text made, as the print dialog draws them.
#include "printing/PrintChoices.h"
#include "printing/PrintLayout.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

void BM_PrintLayoutNumberedRows(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    std::vector<std::string> rows;
    rows.reserve(count);
    for (std::size_t i = 1; i <= count; ++i)
        rows.push_back("No." + std::to_string(i));
    const kuji::PrinterGeometry pdf = kuji::pdfPrinterGeometry();
    const kuji::PrintPageInfo info = kuji::pageInfo(pdf, kuji::minimumMargins(pdf), 12);

    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> texts = rows; // the dialog's own copy of the texts
        state.ResumeTiming();
        kuji::PrintLayout layout(std::move(texts), info);
        std::size_t bytes = 0;
        layout.runToEnd([&](const kuji::PrintedLine& line) { bytes += line.text.size(); });
        benchmark::DoNotOptimize(bytes);
        state.counters["pages"] = layout.page();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}

} // namespace

BENCHMARK(BM_PrintLayoutNumberedRows)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_MAIN();
