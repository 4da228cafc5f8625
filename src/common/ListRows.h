#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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

// Characters of a row a list shows at most. A row is laid out on every repaint, so one entry
// of megabytes (an unclosed quote swallows a whole file) would otherwise freeze the window.
inline constexpr std::size_t kMaxDisplayChars = 1000;

// A row's text as a list shows it: a record that spans lines stays on one row with a "↵"
// between its lines, and after kMaxDisplayChars characters the rest is left out and "…"
// follows. Only the start of the text is looked at, however long it is. Copying, saving,
// printing and transfers always use the full text.
std::string listDisplayText(std::string_view utf8);

} // namespace kuji
