#include "common/ListRows.h"

namespace kuji {

std::string formatSequenceKey(std::uint32_t key)
{
    std::string text(9, '0');
    for (int i = 8; i >= 0 && key > 0; --i) {
        text[static_cast<std::size_t>(i)] = static_cast<char>('0' + key % 10);
        key /= 10;
    }
    return text;
}

} // namespace kuji
