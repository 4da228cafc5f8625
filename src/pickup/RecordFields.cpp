#include "pickup/RecordFields.h"

#include <algorithm>

namespace kuji {

std::size_t countSeparators(std::string_view record)
{
    return static_cast<std::size_t>(std::count(record.begin(), record.end(), ','));
}

std::size_t countFields(std::string_view record)
{
    return record.empty() ? 0 : countSeparators(record) + 1;
}

bool hasFieldCount(std::string_view record, std::int32_t separatorCount)
{
    return separatorCount >= 0 && countFields(record) == static_cast<std::size_t>(separatorCount) + 1;
}

} // namespace kuji
