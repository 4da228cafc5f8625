#include "records/RecordedDraw.h"

#include "common/VersionInfo.h"
#include "draw/PublicValue.h"

namespace kuji {

RecordedDraw::RecordedDraw(DrawPlan plan, ResultList& results, std::size_t memoryLimit)
    : m_plan(std::move(plan))
    , m_results(results)
    , m_memoryLimit(memoryLimit)
    , m_seed(m_plan.seed)
{
    for (std::int32_t count : m_plan.settings.counts)
        m_total += count;
    if (m_plan.publicValue || m_plan.commitment || (m_plan.keepRecord && m_plan.settings.fileMode))
        m_hasher = std::make_unique<WorkListHasher>(m_plan.settings.fileMode ? m_plan.entries : nullptr);
    else
        begin();
}

RecordedDraw::~RecordedDraw() = default;

bool RecordedDraw::begin()
{
    if (m_hasher) {
        m_workList = m_hasher->digest();
        m_hasher.reset();
    }
    const std::uint64_t entryCount = m_plan.settings.fileMode && m_plan.entries ? m_plan.entries->size() : 0;
    if (m_plan.publicValue && m_plan.algorithm == kAlgorithmV1) {
        m_seed = publicValueSeed(*m_plan.publicValue, m_plan.boxes, *m_workList);
    } else if (m_plan.publicValue) {
        // Without a commitment a public value proves nothing: no such draw is made.
        if (!m_plan.commitment) {
            m_refusal.push_back("公開値を使う抽選には、先に公開抽選の予告が要ります。");
            return true;
        }
        const CanonicalSettings now = m_plan.canonical(entryCount);
        m_refusal = commitmentDifferences(*m_plan.commitment, now, entryCount, *m_workList);
        if (!m_refusal.empty())
            return true;
        m_commitmentNumber = kuji::commitmentNumber(*m_plan.commitment);
        m_seed = publicValueSeedV2(now, *m_workList, *m_commitmentNumber, normalizePublicValue(*m_plan.publicValue));
    }
    m_random = std::make_unique<RandomSource>(m_seed);
    if (m_plan.keepRecord)
        m_recorded = std::make_unique<RecordedResults>();
    m_run = std::make_unique<DrawRun>(m_plan.settings, m_plan.entries, m_results, *m_random, m_memoryLimit);
    hashNewRows();
    return m_run->done();
}

void RecordedDraw::hashNewRows()
{
    if (!m_recorded || m_run->failed())
        return;
    std::string scratch;
    if (m_plan.algorithm == kAlgorithmV1) {
        for (; m_hashedRows < m_results.size(); ++m_hashedRows)
            m_recorded->add(m_results.textView(m_hashedRows, scratch));
    } else {
        // v2 hashes what was drawn, not its writing: no text is made past the rows shown.
        const std::uint32_t base = m_plan.settings.fileMode ? 1 : static_cast<std::uint32_t>(m_results.minimum());
        for (; m_hashedRows < m_results.size() && m_recorded->wantsText(); ++m_hashedRows) {
            std::uint32_t index = 0;
            std::optional<std::uint32_t> drawn;
            if (m_results.drawnIndex(m_hashedRows, index))
                drawn = base + index;
            m_recorded->add(m_results.textView(m_hashedRows, scratch), drawn);
        }
        // Past the rows a record shows, only the values count: a tight loop over a buffer.
        char buffer[16384];
        while (m_hashedRows < m_results.size()) {
            std::size_t used = 0;
            const std::size_t start = m_hashedRows;
            for (; m_hashedRows < m_results.size() && used + 4 <= sizeof buffer; ++m_hashedRows) {
                std::uint32_t index = 0;
                if (!m_results.drawnIndex(m_hashedRows, index))
                    continue;
                const std::uint32_t value = base + index;
                buffer[used++] = static_cast<char>(value & 0xFF);
                buffer[used++] = static_cast<char>((value >> 8) & 0xFF);
                buffer[used++] = static_cast<char>((value >> 16) & 0xFF);
                buffer[used++] = static_cast<char>(value >> 24);
            }
            m_recorded->addUnshown(std::string_view(buffer, used), m_hashedRows - start);
        }
    }
    if (m_run->done() && !m_resultsDigest)
        m_resultsDigest = m_recorded->finish();
}

bool RecordedDraw::step(std::chrono::steady_clock::time_point deadline)
{
    if (m_hasher) {
        if (!m_hasher->step(deadline))
            return false;
        if (begin() || std::chrono::steady_clock::now() >= deadline)
            return done();
    }
    if (done())
        return true;
    const bool over = m_run->step(deadline);
    hashNewRows();
    return over;
}

void RecordedDraw::runToEnd()
{
    step(std::chrono::steady_clock::time_point::max());
}

bool RecordedDraw::done() const
{
    return refused() || (m_run && m_run->done());
}

bool RecordedDraw::failed() const
{
    return m_run && m_run->failed();
}

const ErrorInfo& RecordedDraw::error() const
{
    static const ErrorInfo none;
    return m_run ? m_run->error() : none;
}

std::int64_t RecordedDraw::drawn() const
{
    return m_run ? m_run->drawn() : 0;
}

DrawRecord RecordedDraw::record(std::string dateTime) const
{
    DrawRecord r;
    r.dateTime = std::move(dateTime);
    r.program = currentVersionLine();
    r.algorithm = m_plan.algorithm;
    if (m_plan.algorithm == kAlgorithmV1)
        r.format = 1;
    r.settings = m_plan.boxes;
    if (m_plan.settings.fileMode) {
        r.source = m_plan.source;
        r.sourceIsFile = m_plan.sourceIsFile;
        r.entryCount = m_plan.entries ? m_plan.entries->size() : 0;
        if (m_workList)
            r.workList = *m_workList;
    }
    r.publicValue = m_plan.publicValue;
    if (m_commitmentNumber) {
        r.commitmentNumber = m_commitmentNumber;
        r.commitmentDateTime = m_plan.commitment->dateTime;
        r.commitmentDescription = m_plan.commitment->description;
        r.normalizedValue = normalizePublicValue(m_plan.publicValue.value_or(std::string()));
    }
    r.seed = m_seed;
    if (m_recorded && m_resultsDigest) {
        r.resultCount = m_recorded->count();
        r.results = *m_resultsDigest;
        r.shownResults = m_recorded->shown();
    }
    return r;
}

} // namespace kuji
