#include "records/ReplacementRun.h"

#include "draw/ReplacementDraw.h"
#include "records/RecordedReplacement.h"

#include <algorithm>

namespace kuji {
namespace {

// The positions of the rows, sorted, each once.
std::vector<std::uint32_t> sortedPositions(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& rows)
{
    std::vector<std::uint32_t> positions;
    positions.reserve(rows.size());
    for (const auto& row : rows)
        positions.push_back(row.second);
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

} // namespace

ReplacementRun::ReplacementRun(
    const ResultList& results, const DrawPlan& plan, const DrawSeed& drawSeed, bool drawIsPublic)
    : m_fileMode(plan.settings.fileMode)
    , m_noDuplicates(plan.settings.noDuplicates)
    , m_rangeSize(plan.settings.fileMode ? (plan.entries ? plan.entries->size() : 0)
                                         : static_cast<std::uint64_t>(static_cast<std::int64_t>(plan.settings.maximum)
                                             - plan.settings.minimum + 1))
    , m_valueBase(plan.settings.fileMode ? 1 : static_cast<std::uint32_t>(plan.settings.minimum))
    , m_drawSeed(drawSeed)
    , m_drawIsPublic(drawIsPublic)
{
    m_drawn.reserve(results.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
        std::uint32_t position = 0;
        if (results.drawnIndex(i, position))
            m_drawn.emplace_back(results.key(i), position);
    }
    std::sort(m_drawn.begin(), m_drawn.end());
}

void ReplacementRun::setDrawRecord(const DrawRecord& record, const Sha256Digest& fileDigest)
{
    m_drawRecord = record;
    m_drawRecord->shownResults.clear();
    m_originalDigest = fileDigest;
    m_previousDigest = fileDigest;
}

const std::pair<std::uint32_t, std::uint32_t>* ReplacementRun::drawnRow(std::uint32_t key) const
{
    const auto spot = std::lower_bound(m_drawn.begin(), m_drawn.end(), std::make_pair(key, 0u));
    return spot != m_drawn.end() && spot->first == key ? &*spot : nullptr;
}

bool ReplacementRun::isAbsent(std::uint32_t key) const
{
    return std::binary_search(m_absent.begin(), m_absent.end(), key);
}

bool ReplacementRun::isReplaceable(std::uint32_t key) const
{
    return drawnRow(key) && !isAbsent(key);
}

bool ReplacementRun::replacedWinner(std::uint32_t replacementKey, std::uint32_t& absentKey) const
{
    for (const auto& [replacement, absent] : m_replaces)
        if (replacement == replacementKey) {
            absentKey = absent;
            return true;
        }
    return false;
}

// Every position drawn so far, sorted once, at the first replacement: a draw of a million
// values pays for it only when a winner is absent.
void ReplacementRun::excludedReady()
{
    if (m_excludedReady)
        return;
    m_excludedReady = true;
    if (m_noDuplicates)
        m_excluded = sortedPositions(m_drawn);
}

std::uint64_t ReplacementRun::positionsLeft() const
{
    if (!m_noDuplicates)
        return m_rangeSize;
    return kuji::positionsLeft(m_rangeSize, m_excludedReady ? m_excluded : sortedPositions(m_drawn));
}

ReplacementRun::Outcome ReplacementRun::replace(
    ResultList& results, const std::vector<std::uint32_t>& keys, const DrawSeed& seed, std::string dateTime)
{
    excludedReady();
    Outcome outcome;
    outcome.left = m_noDuplicates ? kuji::positionsLeft(m_rangeSize, m_excluded) : m_rangeSize;
    ReplacementInfo info;
    info.number = m_number + 1;
    info.original = m_originalDigest;
    info.previous = m_previousDigest;
    for (const std::uint32_t key : keys) {
        const auto* row = drawnRow(key);
        const bool listed = std::any_of(
            info.absent.begin(), info.absent.end(), [key](const ReplacementInfo::Absent& a) { return a.key == key; });
        if (row && !isAbsent(key) && !listed)
            info.absent.push_back({ key, m_valueBase + row->second });
    }
    const auto count = static_cast<std::uint32_t>(info.absent.size());
    if (count == 0 || (m_noDuplicates && outcome.left < count)) {
        outcome.refused = true;
        return outcome;
    }
    const DrawSeed used = m_drawIsPublic ? publicReplacementSeed(m_drawSeed, info.number) : seed;
    const std::uint32_t firstKey = results.nextKey() + (results.nextKey() > 0 ? 2 : 1);
    const std::optional<RecordedReplacement> drawn
        = drawRecordedReplacement(results, used, m_rangeSize, m_excluded, count, m_noDuplicates, m_fileMode);
    if (!drawn) {
        outcome.refused = true;
        return outcome;
    }
    m_number = info.number;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t key = firstKey + i;
        const std::uint32_t position = drawn->positions[i];
        m_drawn.emplace_back(key, position);
        m_replaces.emplace_back(key, info.absent[i].key);
        m_absent.insert(std::lower_bound(m_absent.begin(), m_absent.end(), info.absent[i].key), info.absent[i].key);
        if (m_noDuplicates) {
            const auto spot = std::lower_bound(m_excluded.begin(), m_excluded.end(), position);
            if (spot == m_excluded.end() || *spot != position)
                m_excluded.insert(spot, position);
        }
    }
    if (m_drawRecord)
        outcome.record = replacementRecord(*m_drawRecord, std::move(info), used, *drawn, std::move(dateTime));
    return outcome;
}

void ReplacementRun::recordWritten(const Sha256Digest& fileDigest)
{
    m_previousDigest = fileDigest;
}

} // namespace kuji
