#pragma once

#include "common/ResultList.h"
#include "draw/DrawPlan.h"
#include "draw/DrawSeed.h"
#include "records/DrawRecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kuji {

// The replacement draws (再抽選) that may follow one completed draw: what the run has drawn,
// which winners are absent and who replaces them, and the records that link each replacement
// to the draw's record and the replacement before it. Made when the draw completes, from its
// results as they stand then; the lists may be sorted or cut afterwards without changing it.
class ReplacementRun {
public:
    ReplacementRun(const ResultList& results, const DrawPlan& plan, const DrawSeed& drawSeed, bool drawIsPublic);

    // The draw's record as written, and the SHA-256 of its file: the replacements' records link
    // to it. Without it (records off, or the record could not be written) replacements are
    // drawn without records.
    void setDrawRecord(const DrawRecord& record, const Sha256Digest& fileDigest);
    bool hasDrawRecord() const { return m_drawRecord.has_value(); }

    // Whether the row of this key is a winner of the run that may be marked absent: drawn by
    // the draw or a replacement, and not absent already.
    bool isReplaceable(std::uint32_t key) const;
    bool isAbsent(std::uint32_t key) const;
    // The absent winner a replacement's row replaces.
    bool replacedWinner(std::uint32_t replacementKey, std::uint32_t& absentKey) const;
    // Positions not drawn yet; with duplicates allowed, every position.
    std::uint64_t positionsLeft() const;
    bool noDuplicates() const { return m_noDuplicates; }
    bool fileMode() const { return m_fileMode; }
    // Replacements drawn so far.
    std::uint32_t replacements() const { return m_number; }

    struct Outcome {
        bool refused = false; // fewer positions left than winners to replace: nothing changed
        std::uint64_t left = 0; // positions left before the replacement
        // The replacement's record to write, when the draw's record is known; once written,
        // recordWritten must be told its file's digest.
        std::optional<DrawRecord> record;
    };

    // Marks the winners of these keys absent and draws one replacement for each into results
    // (see drawRecordedReplacement). The seed is seed, or made from the draw's seed after a
    // public draw. Keys that are no replaceable winner are left out; none at all is refused.
    Outcome replace(
        ResultList& results, const std::vector<std::uint32_t>& keys, const DrawSeed& seed, std::string dateTime);
    // The replacement's record has been written: the next replacement links to it.
    void recordWritten(const Sha256Digest& fileDigest);
    // The replacement's record could not be written: later replacements keep no records, since
    // they could not link to it.
    void recordFailed() { m_drawRecord.reset(); }

private:
    const std::pair<std::uint32_t, std::uint32_t>* drawnRow(std::uint32_t key) const;
    void excludedReady();

    bool m_fileMode = false;
    bool m_noDuplicates = false;
    std::uint64_t m_rangeSize = 0;
    std::uint32_t m_valueBase = 0;
    DrawSeed m_drawSeed {};
    bool m_drawIsPublic = false;
    // Winners by key (ascending): key and 0-based position.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_drawn;
    std::vector<std::uint32_t> m_excluded; // sorted positions, made at the first replacement
    bool m_excludedReady = false;
    std::vector<std::uint32_t> m_absent; // sorted keys
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_replaces; // replacement key, absent key
    std::uint32_t m_number = 0;
    std::optional<DrawRecord> m_drawRecord;
    Sha256Digest m_originalDigest {};
    Sha256Digest m_previousDigest {};
};

} // namespace kuji
