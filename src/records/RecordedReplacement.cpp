#include "records/RecordedReplacement.h"

#include "draw/RandomSource.h"
#include "draw/ReplacementDraw.h"

namespace kuji {

std::optional<RecordedReplacement> drawRecordedReplacement(ResultList& results, const DrawSeed& seed,
    std::uint64_t rangeSize, const std::vector<std::uint32_t>& excludedSorted, std::uint32_t count, bool noDuplicates,
    bool fileMode)
{
    RandomSource random(seed);
    std::optional<std::vector<std::uint32_t>> drawn
        = drawReplacementPositions(random, rangeSize, excludedSorted, count, noDuplicates);
    if (!drawn)
        return std::nullopt;
    RecordedReplacement out;
    out.positions = std::move(*drawn);
    if (results.nextKey() > 0)
        results.appendEmpty();
    results.appendHeader(replacementHeaderText(count));
    // Values are hashed as a v2 draw hashes them: the entry's 1-based number, or the number.
    const std::uint32_t base = fileMode ? 1 : static_cast<std::uint32_t>(results.minimum());
    RecordedResults recorded;
    std::string scratch;
    for (const std::uint32_t position : out.positions) {
        if (fileMode)
            results.appendEntry(position);
        else
            results.appendNumber(position);
        recorded.add(results.textView(results.size() - 1, scratch), base + position);
    }
    out.resultCount = recorded.count();
    out.shownResults = recorded.shown();
    out.results = recorded.finish();
    return out;
}

DrawRecord replacementRecord(const DrawRecord& draw, ReplacementInfo info, const DrawSeed& seed,
    const RecordedReplacement& drawn, std::string dateTime)
{
    DrawRecord r;
    r.dateTime = std::move(dateTime);
    r.program = draw.program;
    r.algorithm = std::string(kAlgorithmV2);
    r.settings = draw.settings;
    r.prizeNames = draw.prizeNames;
    r.source = draw.source;
    r.sourceIsFile = draw.sourceIsFile;
    r.entryCount = draw.entryCount;
    r.workList = draw.workList;
    r.entriesCopy = draw.entriesCopy;
    r.replacement = std::move(info);
    r.seed = seed;
    r.resultCount = drawn.resultCount;
    r.results = drawn.results;
    r.shownResults = drawn.shownResults;
    return r;
}

} // namespace kuji
