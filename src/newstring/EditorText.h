#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// Rules for the string window's text. The window hands its text over as UTF-8 with its line
// breaks as CR LF.
class EditorText {
public:
    // The longest line, in characters, that a file may hold to be opened: the editor lays a
    // line out as a whole and freezes on longer ones.
    static constexpr std::size_t kMaxLineChars = 100000;

    // True when a line of text holds more than maxChars characters. Lines end at CR LF, a
    // lone LF, a lone CR, U+2028 or U+2029, as the editor splits a file's text.
    static bool hasLineLongerThan(std::string_view utf8, std::size_t maxChars = kMaxLineChars);

    // The one value a save writes, the list file adding its CR LF: the text without its own
    // final line break, so an open-and-save round never grows an empty line. None for an
    // empty text, which saves as an empty file.
    static std::optional<std::string_view> saveValue(std::string_view crlfText);

    // The lines as printed: the text split at every CR LF, empty lines kept.
    static std::vector<std::string> printLines(std::string_view crlfText);
};

} // namespace kuji
