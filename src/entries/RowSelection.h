#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kuji {

// A reordering of a list: order[newPosition] = oldPosition.
using RowOrder = std::vector<std::uint32_t>;

// Which rows of a list are selected, by their position in the list as shown. One byte a row,
// so a million selected rows cost a megabyte and every question is answered at once.
class RowSelection {
public:
    explicit RowSelection(std::size_t rows = 0)
        : m_selected(rows, 0)
    {
    }

    std::size_t size() const { return m_selected.size(); }
    bool isSelected(std::size_t row) const { return m_selected[row] != 0; }
    // Number of selected rows.
    std::size_t count() const;

    // Selects or deselects one row.
    void set(std::size_t row, bool selected) { m_selected[row] = selected ? 1 : 0; }
    // Selects the rows first … last (inclusive), as a view hands over a selection range.
    void selectRange(std::size_t first, std::size_t last);
    void selectAll();
    // Deselects every row; with a size, also follows a list that now holds that many rows.
    void clear();
    void clear(std::size_t rows);

    // The same rows, wherever a reordering of the list (order[new] = old) has put them.
    RowSelection reordered(const RowOrder& order) const;

    // The selected rows as runs of neighbours, first … last inclusive, top to bottom: few
    // ranges for a view to select again.
    std::vector<std::pair<std::size_t, std::size_t>> ranges() const;

private:
    std::vector<std::uint8_t> m_selected;
};

} // namespace kuji
