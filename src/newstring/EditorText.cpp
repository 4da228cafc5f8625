#include "newstring/EditorText.h"

#include <cstring>
#include <utility>

namespace kuji {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

// Characters of UTF-8 text: every byte that does not continue a character starts one.
std::size_t countChars(std::string_view utf8)
{
    std::size_t chars = 0;
    for (const char c : utf8)
        chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return chars;
}

// Where the first line of a piece without LF ends: at a lone CR, or at U+2028 or U+2029, which
// the editor takes as line breaks too. The position and length of the break; npos when the
// piece is one line.
std::pair<std::size_t, std::size_t> firstLineEnd(std::string_view piece)
{
    for (std::size_t i = 0; i < piece.size(); ++i) {
        if (piece[i] == '\r')
            return { i, 1 };
        if (piece.substr(i, 2) == "\xE2\x80" && i + 2 < piece.size()
            && (piece[i + 2] == '\xA8' || piece[i + 2] == '\xA9'))
            return { i, 3 };
    }
    return { std::string_view::npos, 0 };
}

} // namespace

bool EditorText::hasLineLongerThan(std::string_view utf8, std::size_t maxChars)
{
    // A line has no more characters than bytes, so only pieces between LFs longer than the
    // limit in bytes are looked into, for the other line breaks and their characters.
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const void* found = std::memchr(utf8.data() + pos, '\n', utf8.size() - pos);
        const std::size_t end
            = found ? static_cast<std::size_t>(static_cast<const char*>(found) - utf8.data()) : utf8.size();
        std::string_view piece = utf8.substr(pos, end - pos);
        while (piece.size() > maxChars) {
            const auto [lineEnd, breakLength] = firstLineEnd(piece);
            const std::string_view line = piece.substr(0, lineEnd);
            if (countChars(line) > maxChars)
                return true;
            if (lineEnd == std::string_view::npos)
                break;
            piece.remove_prefix(lineEnd + breakLength);
        }
        pos = end + 1;
    }
    return false;
}

std::optional<std::string_view> EditorText::saveValue(std::string_view crlfText)
{
    if (crlfText.empty())
        return std::nullopt;
    if (crlfText.ends_with(kLineBreak))
        crlfText.remove_suffix(kLineBreak.size());
    return crlfText;
}

std::vector<std::string> EditorText::printLines(std::string_view crlfText)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (true) {
        const std::size_t lineBreak = crlfText.find(kLineBreak, pos);
        if (lineBreak == std::string_view::npos) {
            lines.emplace_back(crlfText.substr(pos));
            return lines;
        }
        lines.emplace_back(crlfText.substr(pos, lineBreak - pos));
        pos = lineBreak + kLineBreak.size();
    }
}

} // namespace kuji
