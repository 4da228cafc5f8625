#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The printed form of text and its display width in half-width cells. A character the
// system code page (CP932) holds takes as many cells as it has bytes there: one for ASCII and
// half-width katakana, two for kana, kanji and full-width forms. A character CP932 lacks
// takes two cells when it is East Asian wide or full-width (hangul, most emoji, the kanji of
// the supplementary planes such as 𠮷) and one otherwise, ambiguous ones included. Control
// characters (tab, a lone CR or LF, C1 codes) print as one space.
namespace kuji::print {

// One character of print text as the layout reads it.
struct PrintChar {
    std::size_t length = 1; // bytes of UTF-8; a malformed byte is read alone
    int width = 1; // half-width cells
};

// Reads the character at the start of utf8, which must not be empty.
inline PrintChar readChar(std::string_view utf8);

// Cells of one code point (a control character counts as the space it prints as).
int displayWidth(char32_t code);

// Cells of a whole text.
std::size_t displayWidth(std::string_view utf8);

// Appends the text as it is printed: control characters become spaces and malformed bytes
// U+FFFD, so the printed text has exactly the width measured.
void appendPrintable(std::string_view utf8, std::string& out);

namespace detail {
PrintChar readNonAscii(std::string_view utf8);
}

inline PrintChar readChar(std::string_view utf8)
{
    // Most print text is ASCII: one byte, one cell.
    if (static_cast<unsigned char>(utf8.front()) < 0x80)
        return {};
    return detail::readNonAscii(utf8);
}

} // namespace kuji::print
