#pragma once

#include <cstddef>
#include <string_view>

#include "common/EntryList.h"

namespace kuji {

// The main window's work list made from the Pickup result rows in their displayed order:
// entry i is row i, so its key is i (1-based) and a sort before the transfer changes the
// keys. rowText(i) gives the text of row i (0-based) as something a string_view takes.
// An empty result gives an empty list.
template <class RowText> EntryList makeTransferEntries(std::size_t rowCount, RowText&& rowText)
{
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < rowCount; ++i)
        bytes += std::string_view(rowText(i)).size();
    EntryList entries;
    // One block of the exact size: a million rows are copied without moving the list.
    entries.reserve(rowCount, bytes);
    for (std::size_t i = 0; i < rowCount; ++i)
        entries.append(std::string_view(rowText(i)));
    return entries;
}

} // namespace kuji
