#pragma once

#include <cstddef>
#include <string_view>

namespace kuji {

// The comma rule of records (CSV entries and record files): every comma separates fields,
// also one between double quotes, and the quotes stay in the text. Pickup Record filters by
// these fields and 発表 shows them, so a column number means the same in both.

// Field `index` of a record (0 = the first), the text between two commas exactly as it
// stands; empty beyond the last field.
std::string_view recordField(std::string_view record, std::size_t index);

} // namespace kuji
