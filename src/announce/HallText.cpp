#include "announce/HallText.h"

#include "common/RecordField.h"
#include "common/TextCodec.h"

#include <algorithm>

#include <array>

namespace kuji {
namespace {

constexpr std::string_view kFullWidthSpace = "\u3000";
constexpr std::string_view kMaskMark = "\uFF0A";
constexpr std::array<std::string_view, 3> kListSeparators = { ",", "\uFF0C", "\u3001" };

// Bytes of the UTF-8 character at the start: 1 for a byte that starts none, so a
// stray byte is one character and never swallows the bytes after it.
std::size_t characterBytes(std::string_view bytes)
{
    return std::max<std::size_t>(text::utf8SequenceLength(bytes), 1);
}

// The value of one ASCII or full-width digit, or -1.
int digitValue(std::string_view character)
{
    if (character.size() == 1 && character[0] >= '0' && character[0] <= '9')
        return character[0] - '0';
    // U+FF10 .. U+FF19 are EF BC 90 .. EF BC 99.
    if (character.size() == 3 && character.substr(0, 2) == "\xEF\xBC") {
        const auto last = static_cast<unsigned char>(character[2]);
        if (last >= 0x90 && last <= 0x99)
            return last - 0x90;
    }
    return -1;
}

} // namespace

std::string_view trimSpaces(std::string_view text)
{
    for (;;) {
        if (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        else if (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
            text.remove_suffix(1);
        else if (text.starts_with(kFullWidthSpace))
            text.remove_prefix(kFullWidthSpace.size());
        else if (text.ends_with(kFullWidthSpace))
            text.remove_suffix(kFullWidthSpace.size());
        else
            return text;
    }
}

std::vector<std::string_view> splitAtListSeparators(std::string_view text)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t separator = 0;
        for (std::string_view mark : kListSeparators)
            if (text.substr(i).starts_with(mark))
                separator = mark.size();
        if (separator == 0) {
            i += characterBytes(text.substr(i));
            continue;
        }
        pieces.push_back(text.substr(start, i - start));
        i += separator;
        start = i;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

HallText::Columns HallText::parseColumns(std::string_view text)
{
    Columns parsed;
    if (trimSpaces(text).empty())
        return parsed;
    for (std::string_view piece : splitAtListSeparators(text)) {
        piece = trimSpaces(piece);
        std::uint64_t number = 0;
        bool digits = !piece.empty();
        for (std::size_t i = 0; digits && i < piece.size();) {
            const std::size_t bytes = characterBytes(piece.substr(i));
            const int digit = digitValue(piece.substr(i, bytes));
            digits = digit >= 0;
            number
                = std::min<std::uint64_t>(number * 10 + static_cast<std::uint64_t>(std::max(digit, 0)), kMaxColumn + 1);
            i += bytes;
        }
        if (!digits || number == 0 || number > kMaxColumn) {
            parsed.numbers.clear();
            parsed.error = "表示する列は 1 から " + std::to_string(kMaxColumn)
                + " までの列番号を「,」で区切って書いてください（例: 1 や 1,3）。";
            return parsed;
        }
        parsed.numbers.push_back(static_cast<std::uint32_t>(number));
    }
    return parsed;
}

std::string HallText::columnsText(const std::vector<std::uint32_t>& numbers)
{
    std::string text;
    for (std::uint32_t number : numbers) {
        if (!text.empty())
            text += ',';
        text += std::to_string(number);
    }
    return text;
}

std::string maskText(std::string_view text)
{
    std::string masked;
    masked.reserve(text.size() * 2);
    bool first = true;
    while (!text.empty()) {
        const std::size_t bytes = characterBytes(text);
        const std::string_view character = text.substr(0, bytes);
        if (first || character == "\r" || character == "\n")
            masked += character;
        else
            masked += kMaskMark;
        first = false;
        text.remove_prefix(bytes);
    }
    return masked;
}

std::string_view leadingCharacters(std::string_view text, std::size_t count)
{
    std::size_t bytes = 0;
    for (; count > 0 && bytes < text.size(); --count)
        bytes += characterBytes(text.substr(bytes));
    return text.substr(0, bytes);
}

void HallText::append(std::string& out, std::string_view field, std::size_t maxCharacters) const
{
    const std::string_view shown = leadingCharacters(field, maxCharacters);
    if (m_mask)
        out += maskText(shown);
    else
        out += shown;
    if (shown.size() < field.size())
        out += "…";
}

std::string HallText::show(std::string_view entry, std::size_t maxCharacters) const
{
    std::string shown;
    if (m_columns.empty()) {
        append(shown, entry, maxCharacters);
        return shown;
    }
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (i > 0)
            shown += kFullWidthSpace;
        append(shown, recordField(entry, m_columns[i] - 1), maxCharacters);
    }
    return shown;
}

} // namespace kuji
