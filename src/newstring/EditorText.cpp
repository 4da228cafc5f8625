#include "newstring/EditorText.h"

#include <algorithm>
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

bool continuesCharacter(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool continuesCharacter(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

template <typename Char>
std::size_t pieceEndIn(std::basic_string_view<Char> text, std::size_t from, std::size_t maxUnits)
{
    maxUnits = std::max<std::size_t>(maxUnits, 4);
    if (text.size() - from <= maxUnits)
        return text.size();
    std::size_t end = from + maxUnits;
    if (text[end] == Char('\n'))
        return end + 1;
    const std::size_t lf = text.rfind(Char('\n'), end - 1);
    if (lf != std::basic_string_view<Char>::npos && lf >= from)
        return lf + 1;
    // A line longer than the piece is cut inside; the next piece goes on with the same line.
    // A character takes at most four units, so a cut always remains.
    while (end > from + 1 && continuesCharacter(text[end]))
        --end;
    return end;
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

bool EditorText::hasLineLongerThan(std::u16string_view utf16, std::size_t maxChars)
{
    return LineLengthCheck(maxChars).add(utf16);
}

bool EditorText::LineLengthCheck::add(std::u16string_view piece)
{
    for (std::size_t i = 0; i < piece.size() && !m_over; ++i) {
        const char16_t unit = piece[i];
        if (unit == u'\n' || unit == u'\r' || unit == u'\u2028' || unit == u'\u2029')
            m_chars = 0;
        // The second half of a pair is no character of its own.
        else if (!continuesCharacter(unit))
            m_over = ++m_chars > m_maxChars;
    }
    return m_over;
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

void EditorText::appendUtf8(std::u16string_view line, std::string& out)
{
    // Through a small buffer: most lines are short, and a long one is not written byte by byte.
    char buffer[4096];
    char* o = buffer;
    const std::size_t count = line.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (o > buffer + sizeof buffer - 4) {
            out.append(buffer, static_cast<std::size_t>(o - buffer));
            o = buffer;
        }
        char32_t cp = line[i];
        if (cp < 0x80) {
            *o++ = static_cast<char>(cp);
            continue;
        }
        if (cp == 0x2029 || cp == 0x2028) {
            *o++ = '\r';
            *o++ = '\n';
            continue;
        }
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            const bool paired = cp <= 0xDBFF && i + 1 < count && line[i + 1] >= 0xDC00 && line[i + 1] <= 0xDFFF;
            cp = paired ? 0x10000 + ((cp - 0xD800) << 10) + (line[++i] - 0xDC00) : 0xFFFD;
        }
        if (cp < 0x800) {
            *o++ = static_cast<char>(0xC0 | (cp >> 6));
        } else if (cp < 0x10000) {
            *o++ = static_cast<char>(0xE0 | (cp >> 12));
            *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        } else {
            *o++ = static_cast<char>(0xF0 | (cp >> 18));
            *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        }
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    out.append(buffer, static_cast<std::size_t>(o - buffer));
}

EditorText::SaveRows EditorText::saveRows(std::size_t lineCount, bool lastLineEmpty)
{
    if (lineCount == 0 || (lineCount == 1 && lastLineEmpty))
        return {};
    if (lastLineEmpty)
        return { lineCount - 1, false };
    return { lineCount, true };
}

std::string_view EditorText::saveRowValue(std::string_view converted, std::size_t row, const SaveRows& rows)
{
    if (rows.trimLast && row + 1 == rows.count && converted.ends_with(kLineBreak))
        converted.remove_suffix(kLineBreak.size());
    return converted;
}

std::size_t EditorText::pieceEnd(std::string_view utf8, std::size_t from, std::size_t maxUnits)
{
    return pieceEndIn(utf8, from, maxUnits);
}

std::size_t EditorText::pieceEnd(std::u16string_view utf16, std::size_t from, std::size_t maxUnits)
{
    return pieceEndIn(utf16, from, maxUnits);
}

} // namespace kuji
