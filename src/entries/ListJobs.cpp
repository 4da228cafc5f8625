#include "entries/ListJobs.h"

namespace kuji {
namespace {

// Rows handled between two looks at the clock: a row can be long, a slice stays short.
constexpr std::size_t kBatch = 2048;
constexpr std::size_t kWritePiece = 4 << 20;

int permille(std::size_t done, std::size_t total)
{
    return total == 0 ? 1000 : static_cast<int>(1000.0 * static_cast<double>(done) / static_cast<double>(total));
}

} // namespace

ListSortJob::ListSortJob(std::size_t rows, ListOrder order, RowKeyOf keyOf, RowTextOf textOf)
    : m_rows(rows)
    , m_listOrder(order)
    , m_keyOf(std::move(keyOf))
    , m_textOf(std::move(textOf))
{
    m_keys.reserve(rows);
    if (order != ListOrder::DrawOrder) {
        m_sortKeys = std::make_unique<TextSortKeys>();
        m_sortKeys->reserve(rows);
    }
}

ListSortJob::~ListSortJob() = default;

int ListSortJob::progress() const
{
    // Making the keys is the first third, sorting the rest.
    if (m_order)
        return 1000;
    const int keys = permille(m_next, m_rows) / 3;
    if (m_textSort)
        return keys + 2 * permille(m_textSort->workDone(), m_textSort->workTotal()) / 3;
    if (m_keySort)
        return keys + 2 * permille(m_keySort->workDone(), m_keySort->workTotal()) / 3;
    return keys;
}

bool ListSortJob::step(JobClock::time_point deadline)
{
    std::string scratch;
    while (m_next < m_rows) {
        const std::size_t end = std::min(m_rows, m_next + kBatch);
        for (; m_next < end; ++m_next) {
            m_keys.push_back(m_keyOf(m_next));
            if (m_sortKeys)
                m_sortKeys->add(m_textOf(m_next, scratch));
        }
        if (JobClock::now() >= deadline)
            return false;
    }
    if (m_sortKeys) {
        if (!m_textSort)
            m_textSort = std::make_unique<TextSort>(
                m_sortKeys->rows(m_keys), TextSortKeys::RowLess(*m_sortKeys, m_listOrder == ListOrder::Descending));
        if (!m_textSort->step(deadline))
            return false;
        RowOrder order(m_rows);
        for (std::size_t i = 0; i < m_rows; ++i)
            order[i] = m_textSort->items()[i].row;
        m_order = std::move(order);
    } else {
        if (!m_keySort) {
            // Key and position in one number: one plain sort, and equal keys keep their places.
            std::vector<std::uint64_t> packed(m_rows);
            for (std::size_t i = 0; i < m_rows; ++i)
                packed[i] = (std::uint64_t { m_keys[i] } << 32) | i;
            m_keySort = std::make_unique<KeySort>(std::move(packed), KeyLess());
        }
        if (!m_keySort->step(deadline))
            return false;
        RowOrder order(m_rows);
        for (std::size_t i = 0; i < m_rows; ++i)
            order[i] = static_cast<std::uint32_t>(m_keySort->items()[i]);
        m_order = std::move(order);
    }
    m_textSort.reset();
    m_keySort.reset();
    m_sortKeys.reset();
    return true;
}

ListCopyJob::ListCopyJob(std::size_t rows, RowSelection selection, RowTextOf textOf)
    : m_rows(rows)
    , m_selection(std::move(selection))
    , m_textOf(std::move(textOf))
{
    // A selection made for a list of another length is stale and copies nothing.
    if (m_selection.size() != m_rows)
        m_next = m_rows;
}

int ListCopyJob::progress() const
{
    return m_done ? 1000 : permille(m_next, m_rows);
}

bool ListCopyJob::step(JobClock::time_point deadline)
{
    std::string scratch;
    while (m_next < m_rows) {
        const std::size_t end = std::min(m_rows, m_next + kBatch);
        for (; m_next < end; ++m_next) {
            if (!m_selection.isSelected(m_next))
                continue;
            if (!m_first)
                m_text += "\r\n";
            m_text += m_textOf(m_next, scratch);
            m_first = false;
        }
        if (m_next < m_rows && JobClock::now() >= deadline)
            return false;
    }
    m_done = true;
    return true;
}

ListSaveJob::ListSaveJob(std::string path, std::size_t rows, RowTextOf textOf)
    : m_path(std::move(path))
    , m_rows(rows)
    , m_textOf(std::move(textOf))
{
}

int ListSaveJob::progress() const
{
    // Making the bytes is the first half, writing them the second.
    if (m_done)
        return 1000;
    return permille(m_next, m_rows) / 2 + (m_opened ? permille(m_written, m_bytes.size()) / 2 : 0);
}

bool ListSaveJob::fail()
{
    m_stream.abort();
    m_failed = true;
    m_done = true;
    return true;
}

bool ListSaveJob::step(JobClock::time_point deadline)
{
    if (m_done)
        return true;
    std::string scratch;
    while (m_next < m_rows) {
        const std::size_t end = std::min(m_rows, m_next + kBatch);
        for (; m_next < end; ++m_next) {
            m_encoder.append(m_textOf(m_next, scratch));
            m_encoder.append("\r\n");
        }
        if (JobClock::now() >= deadline)
            return false;
    }
    if (!m_opened) {
        m_bytes = m_encoder.take();
        if (!m_stream.open(m_path, m_error))
            return fail();
        m_opened = true;
    }
    while (m_written < m_bytes.size()) {
        const std::size_t piece = std::min(kWritePiece, m_bytes.size() - m_written);
        if (!m_stream.write(std::string_view(m_bytes).substr(m_written, piece), m_error))
            return fail();
        m_written += piece;
        if (m_written < m_bytes.size() && JobClock::now() >= deadline)
            return false;
    }
    if (!m_stream.commit(m_error))
        return fail();
    m_bytes = {};
    m_done = true;
    return true;
}

} // namespace kuji
