#pragma once

#include "common/ResultList.h"
#include "entries/RowSelection.h"
#include "entries/TextSortKeys.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The editing commands of the result lists (sort, delete, copy), over any list of rows that
// has a sequence key and a full text per row: the main window's result list and the Pickup
// Record window's one-column list alike. Every command works on the full texts, never on
// what a view shows of a long one.
namespace kuji {

enum class ListOrder {
    DrawOrder, // by sequence key
    Ascending, // by text
    Descending, // by text; equal texts still in draw order
};

// The rows in key order (order[new] = old): nine-digit keys, so this is the draw order.
RowOrder keyOrder(const std::vector<std::uint32_t>& keys);

// Where each row went (positions[old] = new), e.g. to move the current row along.
RowOrder inverseOrder(const RowOrder& order);

// The order that sorts rows 0 … rows−1. keyOf(i) gives row i's sequence key; textOf(i) its
// full text (anything that converts to std::string_view). Equal texts keep their key order;
// a list without keys passes the position, so equal texts keep their places.
template <class KeyOf, class TextOf>
RowOrder sortedRowOrder(std::size_t rows, ListOrder order, KeyOf keyOf, TextOf textOf)
{
    std::vector<std::uint32_t> keys(rows);
    for (std::size_t i = 0; i < rows; ++i)
        keys[i] = keyOf(i);
    if (order == ListOrder::DrawOrder)
        return keyOrder(keys);
    TextSortKeys sortKeys;
    sortKeys.reserve(rows);
    for (std::size_t i = 0; i < rows; ++i)
        sortKeys.add(textOf(i));
    return sortKeys.order(order == ListOrder::Descending, keys);
}

// Puts the rows in the given order (order[new] = old). The list is untouched if memory runs
// out on the way.
template <class Row> void applyRowOrder(std::vector<Row>& rows, const RowOrder& order)
{
    std::vector<Row> moved;
    moved.reserve(order.size());
    for (std::uint32_t old : order)
        moved.push_back(std::move(rows[old]));
    rows.swap(moved);
}

// Removes every selected row in one pass; the others keep their order and their keys. A
// selection made for a list of another length is stale and removes nothing.
template <class Row> void removeSelectedRows(std::vector<Row>& rows, const RowSelection& selection)
{
    if (selection.size() != rows.size())
        return;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (selection.isSelected(i))
            continue;
        if (kept != i)
            rows[kept] = std::move(rows[i]);
        ++kept;
    }
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(kept), rows.end());
}

// The full texts of the selected rows, top to bottom, joined with CR LF and without a break
// after the last: what Copy puts on the clipboard. Empty when nothing is selected, or when
// the selection was made for a list of another length (stale).
template <class TextOf> std::string joinSelectedTexts(std::size_t rows, const RowSelection& selection, TextOf textOf)
{
    std::string text;
    if (selection.size() != rows)
        return text;
    bool first = true;
    for (std::size_t i = 0; i < rows; ++i) {
        if (!selection.isSelected(i))
            continue;
        if (!first)
            text += "\r\n";
        text += std::string_view(textOf(i));
        first = false;
    }
    return text;
}

// The commands on the main window's result list.

// Sorts the list and returns the order it applied, for the window to move the selection
// (RowSelection::reordered) and the current row (inverseOrder) along with the rows.
RowOrder sortResults(ResultList& list, ListOrder order);

// Removes the selected rows and empties the selection, sized for what is left.
void deleteSelectedResults(ResultList& list, RowSelection& selection);

// The text Copy puts on the clipboard.
std::string copySelectedResults(const ResultList& list, const RowSelection& selection);

} // namespace kuji
