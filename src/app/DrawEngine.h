#pragma once

#include "app/RandomSource.h"
#include "common/EntryList.h"
#include "common/ResultList.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kuji {

// What one run draws, as validation hands it over: every count is at least 1, the total fits,
// and a no-duplicate run can always be completed.
struct DrawSettings {
    bool fileMode = false;
    bool noDuplicates = false;
    std::int32_t minimum = 0; // number mode
    std::int32_t maximum = 0; // number mode
    std::size_t minimumLength = 0; // characters of the minimum as typed, for zero padding
    std::vector<std::int32_t> counts; // one per round
};

// Header row of a round of a multi-round draw: 【2回目の抽選結果：5件】.
std::string roundHeaderText(std::size_t roundNumber, std::int32_t count);

// One draw run. The window calls step() in time slices and repaints in between; the run
// fills the result list it is given with round headers, separators and drawn values, each
// keyed by the number of rows before it.
//
// No-duplicate runs shuffle lazily (Fisher-Yates over the range or the entry positions,
// shared by all rounds), so every pass yields a new value: no retries, however close the
// count comes to the range. The work list itself is never reordered.
class DrawRun {
public:
    // entries is the work list (file mode); the results keep it for their texts. The result
    // list is emptied and set up for this run.
    DrawRun(const DrawSettings& settings, std::shared_ptr<const EntryList> entries, ResultList& results,
        RandomSource& random);
    ~DrawRun();
    DrawRun(const DrawRun&) = delete;
    DrawRun& operator=(const DrawRun&) = delete;

    // Draws until the deadline or the end; returns true when the run is complete.
    bool step(std::chrono::steady_clock::time_point deadline);
    // Draws everything at once.
    void runToEnd();

    bool done() const { return m_round >= m_settings.counts.size(); }
    // Values drawn so far over all rounds, and in all (the progress display).
    std::int64_t drawn() const { return m_drawn; }
    std::int64_t total() const { return m_total; }

private:
    class Shuffle;

    void drawOne();

    DrawSettings m_settings;
    ResultList& m_results;
    RandomSource& m_random;
    std::uint64_t m_range = 0;
    Shuffle* m_shuffle = nullptr;

    std::size_t m_round = 0;
    std::int32_t m_drawnInRound = 0;
    bool m_roundStarted = false;
    std::int64_t m_drawn = 0;
    std::int64_t m_total = 0;
};

} // namespace kuji
