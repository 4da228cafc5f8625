#include "entries/ListOperations.h"

#include <algorithm>

namespace kuji {

RowOrder keyOrder(const std::vector<std::uint32_t>& keys)
{
    // Key and position in one number: one plain sort, and equal keys keep their places.
    std::vector<std::uint64_t> packed(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        packed[i] = (std::uint64_t { keys[i] } << 32) | i;
    std::sort(packed.begin(), packed.end());
    RowOrder order(keys.size());
    for (std::size_t i = 0; i < packed.size(); ++i)
        order[i] = static_cast<std::uint32_t>(packed[i]);
    return order;
}

RowOrder inverseOrder(const RowOrder& order)
{
    RowOrder positions(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        positions[order[i]] = static_cast<std::uint32_t>(i);
    return positions;
}

RowOrder sortResults(ResultList& list, ListOrder order)
{
    RowOrder applied = sortedRowOrder(
        list.size(), order, [&list](std::size_t i) { return list.key(i); },
        [&list](std::size_t i) { return list.text(i); });
    applyRowOrder(list.rows(), applied);
    return applied;
}

void deleteSelectedResults(ResultList& list, RowSelection& selection)
{
    removeSelectedRows(list.rows(), selection);
    selection.clear(list.size());
}

std::string copySelectedResults(const ResultList& list, const RowSelection& selection)
{
    return joinSelectedTexts(list.size(), selection, [&list](std::size_t i) { return list.text(i); });
}

} // namespace kuji
