#include "draw/DrawRun.h"

#include <cerrno>
#include <memory>
#include <new>

namespace kuji {

std::string roundHeaderText(std::size_t roundNumber, std::int32_t count)
{
    return "【" + std::to_string(roundNumber) + "回目の抽選結果：" + std::to_string(count) + "件】";
}

// A Fisher-Yates shuffle of the positions 0 … size−1 that is only materialised where it has
// been touched: a dense array when the range is small compared with the draw, otherwise an
// open-addressing table of the displaced positions.
class DrawRun::Shuffle {
public:
    // The bytes a shuffle of size positions for this many picks holds.
    static std::size_t bytesFor(std::uint64_t size, std::int64_t picks)
    {
        if (isDense(size, picks))
            return static_cast<std::size_t>(size) * sizeof(std::uint32_t);
        return tableCapacity(picks) * 2 * sizeof(std::uint32_t);
    }

    Shuffle(std::uint64_t size, std::int64_t picks)
        : m_size(size)
    {
        if (isDense(size, picks)) {
            m_dense.resize(size);
            for (std::uint64_t i = 0; i < size; ++i)
                m_dense[i] = static_cast<std::uint32_t>(i);
        } else {
            const std::size_t capacity = tableCapacity(picks);
            m_keys.assign(capacity, kEmpty);
            m_values.resize(capacity);
            m_mask = capacity - 1;
        }
    }

    bool exhausted() const { return m_taken >= m_size; }

    // Takes the next position of the shuffle: uniform among those not yet taken.
    std::uint32_t take(RandomSource& random)
    {
        const std::uint64_t j = m_taken++;
        const std::uint64_t r = j + random.below(m_size - j);
        if (!m_dense.empty()) {
            const std::uint32_t picked = m_dense[r];
            m_dense[r] = m_dense[j];
            return picked;
        }
        const std::uint32_t picked = get(static_cast<std::uint32_t>(r));
        // Position j is never read again, so only r needs the displaced value.
        if (r != j)
            put(static_cast<std::uint32_t>(r), get(static_cast<std::uint32_t>(j)));
        return picked;
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

    static bool isDense(std::uint64_t size, std::int64_t picks)
    {
        return size <= 4 * static_cast<std::uint64_t>(picks) + 1024;
    }

    static std::size_t tableCapacity(std::int64_t picks)
    {
        std::size_t capacity = 1024;
        while (capacity < 2 * static_cast<std::size_t>(picks))
            capacity *= 2;
        return capacity;
    }

    std::size_t slot(std::uint32_t key) const { return (key * 0x9E3779B1u) & m_mask; }

    std::uint32_t get(std::uint32_t key) const
    {
        for (std::size_t i = slot(key);; i = (i + 1) & m_mask) {
            if (m_keys[i] == key)
                return m_values[i];
            if (m_keys[i] == kEmpty)
                return key;
        }
    }

    void put(std::uint32_t key, std::uint32_t value)
    {
        std::size_t i = slot(key);
        while (m_keys[i] != kEmpty && m_keys[i] != key)
            i = (i + 1) & m_mask;
        m_keys[i] = key;
        m_values[i] = value;
    }

    std::uint64_t m_size;
    std::uint64_t m_taken = 0;
    std::vector<std::uint32_t> m_dense;
    std::vector<std::uint32_t> m_keys;
    std::vector<std::uint32_t> m_values;
    std::size_t m_mask = 0;
};

DrawRun::DrawRun(const DrawSettings& settings, std::shared_ptr<const EntryList> entries, ResultList& results,
    RandomSource& random, std::size_t memoryLimit)
    : m_settings(settings)
    , m_results(results)
    , m_random(random)
    , m_memoryLimit(memoryLimit)
{
    for (std::int32_t count : m_settings.counts)
        m_total += count;
    try {
        prepare(std::move(entries));
    } catch (const std::bad_alloc&) {
        fail();
    }
}

DrawRun::~DrawRun() = default;

void DrawRun::prepare(std::shared_ptr<const EntryList> entries)
{
    if (m_settings.fileMode) {
        if (!entries)
            entries = std::make_shared<const EntryList>();
        m_range = entries->size();
        m_results.reset(0, 0, std::move(entries));
    } else {
        m_range = static_cast<std::uint64_t>(static_cast<std::int64_t>(m_settings.maximum) - m_settings.minimum + 1);
        m_results.reset(m_settings.minimum, m_settings.minimumLength, nullptr);
    }
    const std::size_t rounds = m_settings.counts.size();
    const std::size_t rows = static_cast<std::size_t>(m_total) + (rounds >= 2 ? 2 * rounds - 1 : 0);
    claimMemory(rows * sizeof(ResultList::Row));
    m_results.reserve(rows);
    if (m_settings.noDuplicates && m_range > 0) {
        claimMemory(Shuffle::bytesFor(m_range, m_total));
        m_shuffle = std::make_unique<Shuffle>(m_range, m_total);
    }
}

void DrawRun::claimMemory(std::size_t bytes)
{
    if (bytes > m_memoryLimit - m_memoryClaimed)
        throw std::bad_alloc();
    m_memoryClaimed += bytes;
}

void DrawRun::fail()
{
    // Give everything back at once: the window still needs memory to report the failure.
    m_results.clear();
    m_shuffle.reset();
    m_failed = true;
    m_error.number = ENOMEM;
    m_error.description = describeFileError(ENOMEM);
}

void DrawRun::drawOne()
{
    if (m_range == 0 || (m_shuffle && m_shuffle->exhausted())) {
        // Nothing left to look up (an empty work list, or more draws without duplicates than
        // entries): the row stays empty rather than repeating or failing.
        m_results.appendEmpty();
    } else {
        const auto index = static_cast<std::uint32_t>(m_shuffle ? m_shuffle->take(m_random) : m_random.below(m_range));
        if (m_settings.fileMode)
            m_results.appendEntry(index);
        else
            m_results.appendNumber(index);
    }
    ++m_drawnInRound;
    ++m_drawn;
}

bool DrawRun::step(std::chrono::steady_clock::time_point deadline)
{
    try {
        return drawSome(deadline);
    } catch (const std::bad_alloc&) {
        fail();
        return true;
    }
}

bool DrawRun::drawSome(std::chrono::steady_clock::time_point deadline)
{
    const bool rounds = m_settings.counts.size() >= 2;
    while (!done()) {
        if (!m_roundStarted) {
            if (rounds) {
                if (m_round > 0)
                    m_results.appendEmpty();
                std::string header = roundHeaderText(m_round + 1, m_settings.counts[m_round]);
                claimMemory(sizeof(std::string) + header.size());
                m_results.appendHeader(std::move(header));
            }
            m_roundStarted = true;
            m_drawnInRound = 0;
        }
        const std::int32_t count = m_settings.counts[m_round];
        // Look at the clock every 4096 values: cheap, and far finer than a time slice.
        while (m_drawnInRound < count) {
            const std::int32_t batchEnd = count - m_drawnInRound > 4096 ? m_drawnInRound + 4096 : count;
            while (m_drawnInRound < batchEnd)
                drawOne();
            if (m_drawnInRound < count && std::chrono::steady_clock::now() >= deadline)
                return false;
        }
        ++m_round;
        m_roundStarted = false;
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
    }
    return true;
}

void DrawRun::runToEnd()
{
    step(std::chrono::steady_clock::time_point::max());
}

} // namespace kuji
