#pragma once

#include "common/RecordField.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The comma rule of record files and the names the data-error dialog shows. Every comma of a
// record separates fields, also one between double quotes; quotes stay in the text.
namespace kuji {

// Separator counts are kept in 16 bits, as column numbers are, so a record file may have at
// most this many commas per record.
inline constexpr std::int32_t kMaxRecordSeparators = 32767;

// Commas of a record.
std::size_t countSeparators(std::string_view record);

// Fields of a record: commas + 1, except that a blank record has none at all.
std::size_t countFields(std::string_view record);

// True when the record has exactly separatorCount + 1 fields (a blank record never has).
bool hasFieldCount(std::string_view record, std::int32_t separatorCount);

} // namespace kuji
