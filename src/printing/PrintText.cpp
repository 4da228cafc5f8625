#include "printing/PrintText.h"

#include "common/TextCodec.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace kuji::print {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// East Asian wide and full-width ranges of Unicode 14, unassigned gaps inside a block
// bridged, with the CJK ideograph blocks and planes 2 and 3 whole.
// clang-format off
constexpr std::pair<char32_t, char32_t> kWideRanges[] = {
    { 0x1100, 0x115F }, { 0x231A, 0x231B }, { 0x2329, 0x232A }, { 0x23E9, 0x23EC }, { 0x23F0, 0x23F0 },
    { 0x23F3, 0x23F3 }, { 0x25FD, 0x25FE }, { 0x2614, 0x2615 }, { 0x2648, 0x2653 }, { 0x267F, 0x267F },
    { 0x2693, 0x2693 }, { 0x26A1, 0x26A1 }, { 0x26AA, 0x26AB }, { 0x26BD, 0x26BE }, { 0x26C4, 0x26C5 },
    { 0x26CE, 0x26CE }, { 0x26D4, 0x26D4 }, { 0x26EA, 0x26EA }, { 0x26F2, 0x26F3 }, { 0x26F5, 0x26F5 },
    { 0x26FA, 0x26FA }, { 0x26FD, 0x26FD }, { 0x2705, 0x2705 }, { 0x270A, 0x270B }, { 0x2728, 0x2728 },
    { 0x274C, 0x274C }, { 0x274E, 0x274E }, { 0x2753, 0x2755 }, { 0x2757, 0x2757 }, { 0x2795, 0x2797 },
    { 0x27B0, 0x27B0 }, { 0x27BF, 0x27BF }, { 0x2B1B, 0x2B1C }, { 0x2B50, 0x2B50 }, { 0x2B55, 0x2B55 },
    { 0x2E80, 0x303E }, { 0x3041, 0x3247 }, { 0x3250, 0x4DBF }, { 0x4E00, 0xA4C6 }, { 0xA960, 0xA97C },
    { 0xAC00, 0xD7A3 }, { 0xF900, 0xFAFF }, { 0xFE10, 0xFE19 }, { 0xFE30, 0xFE6B }, { 0xFF01, 0xFF60 },
    { 0xFFE0, 0xFFE6 }, { 0x16FE0, 0x1B2FB }, { 0x1F004, 0x1F004 }, { 0x1F0CF, 0x1F0CF }, { 0x1F18E, 0x1F18E },
    { 0x1F191, 0x1F19A }, { 0x1F200, 0x1F320 }, { 0x1F32D, 0x1F335 }, { 0x1F337, 0x1F37C }, { 0x1F37E, 0x1F393 },
    { 0x1F3A0, 0x1F3CA }, { 0x1F3CF, 0x1F3D3 }, { 0x1F3E0, 0x1F3F0 }, { 0x1F3F4, 0x1F3F4 }, { 0x1F3F8, 0x1F43E },
    { 0x1F440, 0x1F440 }, { 0x1F442, 0x1F4FC }, { 0x1F4FF, 0x1F53D }, { 0x1F54B, 0x1F54E }, { 0x1F550, 0x1F567 },
    { 0x1F57A, 0x1F57A }, { 0x1F595, 0x1F596 }, { 0x1F5A4, 0x1F5A4 }, { 0x1F5FB, 0x1F64F }, { 0x1F680, 0x1F6C5 },
    { 0x1F6CC, 0x1F6CC }, { 0x1F6D0, 0x1F6D2 }, { 0x1F6D5, 0x1F6DF }, { 0x1F6EB, 0x1F6EC }, { 0x1F6F4, 0x1F6FC },
    { 0x1F7E0, 0x1F7F0 }, { 0x1F90C, 0x1F93A }, { 0x1F93C, 0x1F945 }, { 0x1F947, 0x1F9FF }, { 0x1FA70, 0x1FAF6 },
    { 0x20000, 0x3FFFD },
};
// clang-format on

bool isEastAsianWide(char32_t code)
{
    const auto* end = std::end(kWideRanges);
    const auto* it = std::upper_bound(std::begin(kWideRanges), end, code,
        [](char32_t c, const std::pair<char32_t, char32_t>& range) { return c < range.first; });
    return it != std::begin(kWideRanges) && code <= (it - 1)->second;
}

bool isControl(char32_t code)
{
    return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

// Cells of every code point of the basic plane, made once: first every character CP932
// can encode, with its byte count, taken from the program's CP932 decoder (a character that
// only folds into another, such as U+301C into U+FF5E, is not among them), then the rest by
// East Asian width. One lookup per character keeps a million lines cheap.
class WidthTable {
public:
    static const WidthTable& instance()
    {
        static const WidthTable table;
        return table;
    }

    int width(char32_t code) const { return m_widths[code]; }

private:
    WidthTable()
        : m_widths(0x10000, 0)
    {
        const auto take = [this](const char* bytes, std::size_t length) {
            const std::string decoded = text::cp932ToUtf8(std::string_view(bytes, length));
            // Only a single, whole character counts; the decoder's U+FFFD means it refused.
            if (decoded.empty() || static_cast<unsigned char>(decoded[0]) < 0x80
                || text::utf8SequenceLength(decoded) != decoded.size())
                return;
            const char32_t code = text::utf8CodePoint(decoded, decoded.size());
            if (code < 0x10000 && code != 0xFFFD && m_widths[code] == 0)
                m_widths[code] = static_cast<std::uint8_t>(length);
        };
        for (int c = 0x80; c <= 0xFF; ++c) {
            const char byte = static_cast<char>(c);
            take(&byte, 1);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead >= 0xA0 && lead < 0xE0)
                continue; // half-width katakana, not lead bytes
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char pair[2] = { static_cast<char>(lead), static_cast<char>(trail) };
                take(pair, 2);
            }
        }
        for (char32_t code = 0; code < 0x10000; ++code) {
            if (code < 0x80 || isControl(code))
                m_widths[code] = 1;
            else if (m_widths[code] == 0)
                m_widths[code] = isEastAsianWide(code) ? 2 : 1;
        }
    }

    std::vector<std::uint8_t> m_widths;
};

} // namespace

namespace detail {

PrintChar readNonAscii(std::string_view utf8)
{
    const std::size_t length = text::utf8SequenceLength(utf8);
    if (length == 0)
        return { 1, 1 }; // printed as U+FFFD, which is narrow
    const char32_t code = text::utf8CodePoint(utf8, length);
    return { length, displayWidth(code) };
}

} // namespace detail

int displayWidth(char32_t code)
{
    if (code < 0x10000)
        return WidthTable::instance().width(code);
    return isEastAsianWide(code) ? 2 : 1;
}

std::size_t displayWidth(std::string_view utf8)
{
    std::size_t width = 0;
    while (!utf8.empty()) {
        const PrintChar c = readChar(utf8);
        width += static_cast<std::size_t>(c.width);
        utf8.remove_prefix(c.length);
    }
    return width;
}

void appendPrintable(std::string_view utf8, std::string& out)
{
    std::size_t i = 0;
    std::size_t runStart = 0; // start of the run of characters copied as they are
    const auto flush = [&] { out.append(utf8, runStart, i - runStart); };
    while (i < utf8.size()) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c < 0x7F) {
            ++i;
            continue;
        }
        if (c < 0x80) {
            flush();
            out.push_back(' ');
            runStart = ++i;
            continue;
        }
        const std::size_t length = text::utf8SequenceLength(utf8.substr(i));
        if (length == 0) {
            flush();
            out.append(kReplacement);
            runStart = ++i;
        } else if (c == 0xC2 && static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            flush(); // a C1 control
            out.push_back(' ');
            runStart = i += 2;
        } else {
            i += length;
        }
    }
    flush();
}

} // namespace kuji::print
