#pragma once

#include "draw/DrawPlan.h"
#include "draw/DrawRun.h"
#include "draw/DrawSeed.h"
#include "draw/RandomSource.h"
#include "records/DrawRecord.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace kuji {

// One draw by the plan's algorithm together with what its record needs: the work-list digest
// (made first when a public value or the record asks for it), the seed, the draw itself, and
// the digest of the results, made slice by slice as the rows come. The window runs it in time
// slices; re-running a record uses it too, so a check repeats the draw exactly as it was made.
//
// A public draw of v2 is drawn only when the settings and the work list are those its
// commitment promised: otherwise the draw is refused once the work list is hashed, before
// anything is drawn, and refusal() names every difference.
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
    // What differs from the commitment of a public draw that was refused; empty otherwise.
    const std::vector<std::string>& refusal() const { return m_refusal; }
    bool refused() const { return !m_refusal.empty(); }
    const ErrorInfo& error() const;
    std::int64_t drawn() const;
    std::int64_t total() const { return m_total; }

    // The seed the draw used; known once the work list is hashed.
    const DrawSeed& seed() const { return m_seed; }
    const DrawPlan& plan() const { return m_plan; }
    // The work-list digest, when one was made (a record or a public value asked for it).
    const std::optional<Sha256Digest>& workListDigest() const { return m_workList; }

    // The record of the completed draw (keepRecord only), dated dateTime. Its place in the
    // chain is the store's to give.
    DrawRecord record(std::string dateTime) const;
    // The number of the commitment a v2 public draw was made under.
    const std::optional<Sha256Digest>& commitmentNumber() const { return m_commitmentNumber; }

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
    std::optional<Sha256Digest> m_commitmentNumber;
    std::vector<std::string> m_refusal;
};

} // namespace kuji
