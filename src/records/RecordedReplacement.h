#pragma once

#include "common/ResultList.h"
#include "draw/DrawSeed.h"
#include "records/DrawRecord.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kuji {

// What a replacement draw (draw/ReplacementDraw.h) drew, as the results and its record need it.
struct RecordedReplacement {
    std::vector<std::uint32_t> positions; // 0-based, in draw order
    std::uint64_t resultCount = 0; // the m values; a record lists only them
    Sha256Digest results {}; // the digest of the values (algorithm v2, step 7)
    std::vector<std::string> shownResults; // the values as the lists show them
};

// Draws the count replacements of a run whose results are in results (an empty row unless the
// list never held a row, the header 【再抽選：m件】 and the values are appended to it, keyed
// after every row ever appended before them, deleted ones too) from
// the positions 0 … rangeSize−1, leaving out the excluded ones when noDuplicates. Nothing when
// fewer than count positions are left: the results stay as they were.
std::optional<RecordedReplacement> drawRecordedReplacement(ResultList& results, const DrawSeed& seed,
    std::uint64_t rangeSize, const std::vector<std::uint32_t>& excludedSorted, std::uint32_t count, bool noDuplicates,
    bool fileMode);

// The record of a replacement: the settings, source and entries of the draw's record (draw),
// its place in the run (info), its seed and what it drew. Its place in the chain of the folder
// is the store's to give.
DrawRecord replacementRecord(const DrawRecord& draw, ReplacementInfo info, const DrawSeed& seed,
    const RecordedReplacement& drawn, std::string dateTime);

} // namespace kuji
