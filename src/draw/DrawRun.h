#pragma once

#include "common/EntryList.h"
#include "common/FileErrors.h"
#include "common/ResultList.h"
#include "draw/RandomSource.h"

#include <chrono>
#include <cstdint>
#include <limits>
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
//
// A large run holds hundreds of megabytes (the result rows and the shuffle). When memory runs
// out the run ends at once, empties the result list and gives its memory back, and failed()
// tells why, so the window can report it and go idle instead of the program ending.
class DrawRun {
public:
    static constexpr std::size_t kNoMemoryLimit = std::numeric_limits<std::size_t>::max();

    // entries is the work list (file mode); the results keep it for their texts. The result
    // list is emptied and set up for this run. memoryLimit caps the bytes the run may reserve
    // for its rows, shuffle and headers: a reservation beyond it fails as if memory had run
    // out (for tests; the program leaves it unlimited).
    DrawRun(const DrawSettings& settings, std::shared_ptr<const EntryList> entries, ResultList& results,
        RandomSource& random, std::size_t memoryLimit = kNoMemoryLimit);
    ~DrawRun();
    DrawRun(const DrawRun&) = delete;
    DrawRun& operator=(const DrawRun&) = delete;

    // Draws until the deadline or the end; returns true when the run is over (complete, or
    // failed: see failed()).
    bool step(std::chrono::steady_clock::time_point deadline);
    // Draws everything at once.
    void runToEnd();

    // True when the run is over, complete or failed.
    bool done() const { return m_failed || m_round >= m_settings.counts.size(); }
    // True when memory ran out (in the constructor or a step); the result list is then empty.
    bool failed() const { return m_failed; }
    // Why the run failed: ENOMEM with its description.
    const ErrorInfo& error() const { return m_error; }
    // Values drawn so far over all rounds, and in all (the progress display).
    std::int64_t drawn() const { return m_drawn; }
    std::int64_t total() const { return m_total; }

private:
    class Shuffle;

    void prepare(std::shared_ptr<const EntryList> entries);
    bool drawSome(std::chrono::steady_clock::time_point deadline);
    void drawOne();
    // Counts a reservation against the memory limit; throws std::bad_alloc beyond it.
    void claimMemory(std::size_t bytes);
    void fail();

    DrawSettings m_settings;
    ResultList& m_results;
    RandomSource& m_random;
    std::uint64_t m_range = 0;
    std::unique_ptr<Shuffle> m_shuffle;
    std::size_t m_memoryLimit;
    std::size_t m_memoryClaimed = 0;
    bool m_failed = false;
    ErrorInfo m_error;

    std::size_t m_round = 0;
    std::int32_t m_drawnInRound = 0;
    bool m_roundStarted = false;
    std::int64_t m_drawn = 0;
    std::int64_t m_total = 0;
};

} // namespace kuji
