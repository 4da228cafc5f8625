#include "pickup/PickupFilter.h"

#include <limits>

namespace kuji {

std::optional<std::size_t> conditionColumn(std::string_view columnText)
{
    if (columnText.empty())
        return std::nullopt;
    constexpr std::size_t kTooLarge = std::numeric_limits<std::size_t>::max();
    std::size_t value = 0;
    for (const char c : columnText) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto digit = static_cast<std::size_t>(c - '0');
        // No record has this many fields, so the saturated value is never met either.
        value = value > (kTooLarge - digit) / 10 ? kTooLarge : value * 10 + digit;
    }
    return value;
}

PickupFilter::PickupFilter(const ConditionSet& conditions)
{
    auto compile = [&](ConditionListId list, CompiledList& out) {
        for (const Condition& condition : conditionsOf(conditions, list))
            out.push_back({ conditionColumn(condition.column), PhrasePattern(condition.phrase) });
    };
    compile(ConditionListId::InAnd, m_inAnd);
    compile(ConditionListId::InOr, m_inOr);
    compile(ConditionListId::OutAnd, m_outAnd);
    compile(ConditionListId::OutOr, m_outOr);
}

bool PickupFilter::keeps(std::string_view record) const
{
    m_record = record;
    m_commas.clear();
    m_scanFrom = 0;
    m_allCommasFound = false;

    if (!m_outAnd.empty() || !m_outOr.empty()) {
        const bool removed = allMet(m_outAnd) && anyMet(m_outOr);
        if (removed)
            return false;
    }
    return allMet(m_inAnd) && anyMet(m_inOr);
}

bool PickupFilter::allMet(const CompiledList& list) const
{
    for (const Compiled& condition : list) {
        if (!met(condition))
            return false;
    }
    return true;
}

// An empty list places no demand, so it counts as met here too.
bool PickupFilter::anyMet(const CompiledList& list) const
{
    for (const Compiled& condition : list) {
        if (met(condition))
            return true;
    }
    return list.empty();
}

bool PickupFilter::met(const Compiled& condition) const
{
    ++m_tested;
    if (!condition.column)
        return false;
    const std::optional<std::string_view> text = field(*condition.column);
    return text && condition.pattern.matches(*text);
}

std::optional<std::string_view> PickupFilter::field(std::size_t column) const
{
    if (column == 0)
        return m_record;
    // Field n ends at comma n, or at the end of the record when it is the last field.
    while (m_commas.size() < column && !m_allCommasFound) {
        const std::size_t comma = m_record.find(',', m_scanFrom);
        if (comma == std::string_view::npos) {
            m_allCommasFound = true;
        } else {
            m_commas.push_back(comma);
            m_scanFrom = comma + 1;
        }
    }
    const std::size_t index = column - 1;
    if (index > m_commas.size())
        return std::nullopt;
    const std::size_t begin = index == 0 ? 0 : m_commas[index - 1] + 1;
    const std::size_t end = index < m_commas.size() ? m_commas[index] : m_record.size();
    return m_record.substr(begin, end - begin);
}

} // namespace kuji
