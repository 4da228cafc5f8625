#pragma once

#include "common/EntryList.h"
#include "pickup/PickupFilter.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace kuji {

// The result list of a filter run: one column, the whole line of every kept record. A row is
// the position of its record in the loaded records, so a million kept records cost four
// megabytes, not a second copy of their text. Rows may be reordered (sorting) freely.
class PickupResult {
public:
    PickupResult() = default;
    explicit PickupResult(std::shared_ptr<const EntryList> records)
        : m_records(std::move(records))
    {
    }

    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    // The line of result row i (0-based).
    std::string_view text(std::size_t row) const { return m_records->text(m_rows[row]); }

    // Record positions (0-based) in display order.
    std::vector<std::uint32_t>& rows() { return m_rows; }
    const std::vector<std::uint32_t>& rows() const { return m_rows; }

    // Removes every row.
    void clear() { m_rows.clear(); }

private:
    std::shared_ptr<const EntryList> m_records;
    std::vector<std::uint32_t> m_rows;
};

// One filter run over the loaded records. The window calls step() in time slices and
// repaints in between (progress value processed(), panel S_Pickup keptCount()); the kept
// records collect in record order.
class PickupRun {
public:
    // records are the loaded records, one line each; the run shares them with its result.
    PickupRun(std::shared_ptr<const EntryList> records, PickupFilter filter);

    // Judges records until the deadline or the end; returns true when the run is over
    // (complete or stopped). The clock is looked at every few hundred records, so each call
    // makes progress even with a deadline already past.
    bool step(std::chrono::steady_clock::time_point deadline);
    // Judges every record left in one go.
    void runToEnd();

    // Stop: the records kept so far are dropped and the run is over.
    void stop();

    bool done() const { return m_stopped || m_next >= m_total; }
    bool stopped() const { return m_stopped; }
    // Records judged so far, and in all (the progress value and its maximum).
    std::size_t processed() const { return m_next; }
    std::size_t total() const { return m_total; }
    // Records kept so far (0 after a stop).
    std::size_t keptCount() const { return m_result.size(); }

    // The result so far; complete once done() holds without stopped().
    const PickupResult& result() const { return m_result; }
    // Hands the result over, leaving the run's own empty.
    PickupResult takeResult() { return std::move(m_result); }

private:
    std::shared_ptr<const EntryList> m_records;
    PickupFilter m_filter;
    PickupResult m_result;
    std::size_t m_next = 0;
    std::size_t m_total = 0;
    bool m_stopped = false;
};

} // namespace kuji
