#include "common/RecordField.h"

namespace kuji {

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
