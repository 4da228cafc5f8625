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

std::string_view recordField(std::string_view record, std::size_t index)
{
    std::size_t begin = 0;
    for (; index > 0; --index) {
        const std::size_t comma = record.find(',', begin);
        if (comma == std::string_view::npos)
            return {};
        begin = comma + 1;
    }
    const std::size_t end = record.find(',', begin);
    return record.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
}

} // namespace kuji
