#include "pickup/PickupRun.h"

namespace kuji {

namespace {

// Records between two looks at the clock, and text bytes: a slice of very long records
// must not hold the window either.
constexpr std::size_t kRecordsPerCheck = 256;
constexpr std::size_t kBytesPerCheck = std::size_t { 1 } << 20;

} // namespace

PickupRun::PickupRun(std::shared_ptr<const EntryList> records, PickupFilter filter)
    : m_records(records ? std::move(records) : std::make_shared<const EntryList>())
    , m_filter(std::move(filter))
    , m_result(m_records)
    , m_total(m_records->size())
{
}

bool PickupRun::step(std::chrono::steady_clock::time_point deadline)
{
    while (!done()) {
        std::size_t bytes = 0;
        for (std::size_t n = 0; n < kRecordsPerCheck && m_next < m_total && bytes < kBytesPerCheck; ++n) {
            const std::string_view line = m_records->text(m_next);
            if (m_filter.keeps(line))
                m_result.rows().push_back(static_cast<std::uint32_t>(m_next));
            bytes += line.size();
            ++m_next;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
    }
    return done();
}

void PickupRun::runToEnd()
{
    while (!step(std::chrono::steady_clock::time_point::max())) { }
}

void PickupRun::stop()
{
    m_stopped = true;
    m_result.clear();
}

} // namespace kuji
