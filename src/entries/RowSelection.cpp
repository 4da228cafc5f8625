#include "entries/RowSelection.h"

#include <algorithm>

namespace kuji {

std::size_t RowSelection::count() const
{
    return static_cast<std::size_t>(std::count(m_selected.begin(), m_selected.end(), std::uint8_t { 1 }));
}

void RowSelection::selectRange(std::size_t first, std::size_t last)
{
    if (first > last || first >= m_selected.size())
        return;
    last = std::min(last, m_selected.size() - 1);
    std::fill(m_selected.begin() + static_cast<std::ptrdiff_t>(first),
        m_selected.begin() + static_cast<std::ptrdiff_t>(last) + 1, std::uint8_t { 1 });
}

void RowSelection::selectAll()
{
    std::fill(m_selected.begin(), m_selected.end(), std::uint8_t { 1 });
}

void RowSelection::clear()
{
    std::fill(m_selected.begin(), m_selected.end(), std::uint8_t { 0 });
}

void RowSelection::clear(std::size_t rows)
{
    m_selected.assign(rows, 0);
}

RowSelection RowSelection::reordered(const RowOrder& order) const
{
    RowSelection moved(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        moved.m_selected[i] = m_selected[order[i]];
    return moved;
}

std::vector<std::pair<std::size_t, std::size_t>> RowSelection::ranges() const
{
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    const std::size_t n = m_selected.size();
    for (std::size_t i = 0; i < n;) {
        if (!m_selected[i]) {
            ++i;
            continue;
        }
        const std::size_t first = i;
        while (i < n && m_selected[i])
            ++i;
        runs.emplace_back(first, i - 1);
    }
    return runs;
}

} // namespace kuji
