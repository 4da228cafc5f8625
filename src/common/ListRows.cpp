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

std::string listDisplayText(std::string_view utf8)
{
    std::string shown;
    std::size_t chars = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const char c = utf8[i];
        const bool lineBreak = c == '\r' || c == '\n';
        if (chars + (lineBreak ? 3 : 1) > kMaxDisplayChars) {
            shown += "…";
            break;
        }
        if (lineBreak) {
            i += (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ? 2 : 1;
            shown += " ↵ ";
            chars += 3;
            continue;
        }
        // One character: a lead byte and its continuation bytes.
        std::size_t end = i + 1;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            ++end;
        shown.append(utf8, i, end - i);
        ++chars;
        i = end;
    }
    return shown;
}

} // namespace kuji
