#pragma once

#include "draw/DrawRun.h"
#include "draw/DrawSeed.h"
#include "draw/RandomSource.h"
#include "records/DrawRecord.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace kuji {

// Everything one draw is made of before it runs.
struct DrawPlan {
    DrawSettings settings; // as validation gave them
    RecordedSettings boxes; // the same settings as typed, for the seed and the record
    std::shared_ptr<const EntryList> entries; // file mode
    std::string source; // file mode: the entry file's path, or the label of a transfer
    bool sourceIsFile = false;
    // When set, the seed is made from it, the settings and the work list (algorithm v1).
    std::optional<std::string> publicValue;
    DrawSeed seed {}; // the program's seed, used when there is no public value
    bool keepRecord = true; // false: no digests are made, so the draw costs nothing more
};

// One draw by algorithm v1 together with what its record needs: the work-list digest (made
// first when a public value or the record asks for it), the seed, the draw itself, and the
// digest of the results, made slice by slice as the rows come. The window runs it in time
// slices as it ran the bare draw; re-running a record uses it too, so a check repeats the
// draw exactly as it was made.
class RecordedDraw {
public:
    // The results list is emptied when the draw proper begins (after the work-list digest).
    RecordedDraw(DrawPlan plan, ResultList& results, std::size_t memoryLimit = DrawRun::kNoMemoryLimit);
    ~RecordedDraw();
    RecordedDraw(const RecordedDraw&) = delete;
    RecordedDraw& operator=(const RecordedDraw&) = delete;

    // Works until the deadline or the end; true when the draw is over (complete or failed).
    bool step(std::chrono::steady_clock::time_point deadline);
    void runToEnd();

    bool done() const;
    // True when memory ran out; the results are then empty and error() says why.
    bool failed() const;
    const ErrorInfo& error() const;
    std::int64_t drawn() const;
    std::int64_t total() const { return m_total; }

    // The seed the draw used; known once the work list is hashed.
    const DrawSeed& seed() const { return m_seed; }
    const DrawPlan& plan() const { return m_plan; }
    // The work-list digest, when one was made (a record or a public value asked for it).
    const std::optional<Sha256Digest>& workListDigest() const { return m_workList; }

    // The record of the completed draw (keepRecord only), dated dateTime.
    DrawRecord record(std::string dateTime) const;

private:
    bool begin();
    void hashNewRows();

    DrawPlan m_plan;
    ResultList& m_results;
    std::size_t m_memoryLimit;
    std::int64_t m_total = 0;
    std::unique_ptr<WorkListHasher> m_hasher;
    std::optional<Sha256Digest> m_workList;
    DrawSeed m_seed {};
    std::unique_ptr<RandomSource> m_random;
    std::unique_ptr<DrawRun> m_run;
    std::unique_ptr<RecordedResults> m_recorded;
    std::size_t m_hashedRows = 0;
    std::optional<Sha256Digest> m_resultsDigest;
};

} // namespace kuji
