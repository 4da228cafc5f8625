#include "common/ResultList.h"

#include <algorithm>
#include <charconv>

namespace kuji {

namespace {

// Writes the result text of a number into out, which holds 32 characters; returns its length.
std::size_t writeDrawnNumber(std::int64_t value, std::size_t minimumLength, char* out)
{
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    const auto length = static_cast<std::size_t>(end - digits);
    std::size_t zeros = 0;
    // Pad only by one to eight zeros, as a nine-character minimum allows no more.
    if (minimumLength > length && minimumLength - length <= 8)
        zeros = minimumLength - length;
    std::fill(out, out + zeros, '0');
    std::copy(digits, end, out + zeros);
    return zeros + length;
}

} // namespace

std::string formatDrawnNumber(std::int64_t value, std::size_t minimumLength)
{
    char text[32];
    return std::string(text, writeDrawnNumber(value, minimumLength, text));
}

void ResultList::reset(std::int64_t minimum, std::size_t minimumLength, std::shared_ptr<const EntryList> entries)
{
    clear();
    m_minimum = minimum;
    m_minimumLength = minimumLength;
    m_entries = std::move(entries);
}

void ResultList::clear()
{
    m_rows = {};
    m_headers = {};
    m_entries.reset();
    m_nextKey = 0;
}

void ResultList::appendHeader(std::string text)
{
    append(kHeader | static_cast<std::uint32_t>(m_headers.size()));
    m_headers.push_back(std::move(text));
}

std::string ResultList::text(std::size_t row) const
{
    const std::uint32_t item = m_rows[row].item;
    const std::uint32_t index = item & ~kKindMask;
    switch (item & kKindMask) {
    case kNumber:
        if (m_entries)
            return index < m_entries->size() ? std::string(m_entries->text(index)) : std::string();
        return formatDrawnNumber(m_minimum + index, m_minimumLength);
    case kHeader:
        return m_headers[index];
    default:
        return {};
    }
}

std::string_view ResultList::textView(std::size_t row, std::string& scratch) const
{
    const std::uint32_t item = m_rows[row].item;
    const std::uint32_t index = item & ~kKindMask;
    switch (item & kKindMask) {
    case kNumber:
        if (m_entries)
            return index < m_entries->size() ? m_entries->text(index) : std::string_view();
        if (scratch.size() < 32)
            scratch.resize(32);
        return { scratch.data(), writeDrawnNumber(m_minimum + index, m_minimumLength, scratch.data()) };
    case kHeader:
        return m_headers[index];
    default:
        return {};
    }
}

std::string ResultList::displayText(std::size_t row) const
{
    const std::uint32_t item = m_rows[row].item;
    const std::uint32_t index = item & ~kKindMask;
    if ((item & kKindMask) == kNumber && m_entries)
        return index < m_entries->size() ? listDisplayText(m_entries->text(index)) : std::string();
    return listDisplayText(text(row));
}

} // namespace kuji
