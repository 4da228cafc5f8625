#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kuji {

// One row of the work list or the result list: a sequence key and its text (UTF-8).
// In the work list the key is the entry's 1-based position in its source; in the result
// list it is the number of rows the list held before the row was added.
struct ListRow {
    std::uint32_t key = 0;
    std::string text;
};

using ListRows = std::vector<ListRow>;

// The key as shown and compared: nine digits with leading zeros, so text order is key order.
std::string formatSequenceKey(std::uint32_t key);

} // namespace kuji
