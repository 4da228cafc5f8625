#include "printing/UpDownState.h"

#include <algorithm>

namespace kuji {

bool UpDownState::acceptsCharacter(char32_t code)
{
    return code < 32 || (code >= U'0' && code <= U'9');
}

std::optional<std::int16_t> UpDownState::toInt16(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    std::int32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        // Leading zeros may run on, so check as the digits come, not by their count.
        if (value > 32768)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::string UpDownState::normalised(std::string_view text)
{
    const std::optional<std::int16_t> number = toInt16(text);
    // A minus sign counts as negative even on zero, so the box never shows "-0".
    if (!number || text.front() == '-')
        return std::string(kFallback);
    if (*number > kMaximum)
        return std::to_string(kMaximum);
    return std::string(text);
}

const std::string& UpDownState::textChanged(std::string_view text)
{
    m_text = normalised(text);
    return m_text;
}

std::string UpDownState::value() const
{
    return std::to_string(number());
}

std::int16_t UpDownState::number() const
{
    // The change rule keeps the text a number; the fallback only guards a broken invariant.
    return toInt16(m_text).value_or(10);
}

void UpDownState::setValue(std::string_view text)
{
    const std::optional<std::int16_t> number = toInt16(text);
    textChanged(number ? std::to_string(*number) : std::string(kFallback));
}

void UpDownState::stepBy(int delta)
{
    const int next = std::clamp(number() + delta, int { kMinimum }, int { kMaximum });
    m_text = std::to_string(next);
}

} // namespace kuji
