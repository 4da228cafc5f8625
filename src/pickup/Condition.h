#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// One row of a condition list: the column number as typed or loaded (0 = the whole record,
// n = field n) and the phrase. Both are compared as text, so (1, abc), (01, abc) and
// (1, ABC) are three different conditions.
struct Condition {
    std::string column;
    std::string phrase;

    bool operator==(const Condition&) const = default;
};

// The four condition lists of the Pickup Record window, in the window's order.
enum class ConditionListId : std::size_t { InAnd, InOr, OutAnd, OutOr };

inline constexpr std::size_t kConditionListCount = 4;

inline constexpr std::array<ConditionListId, kConditionListCount> kAllConditionLists {
    ConditionListId::InAnd,
    ConditionListId::InOr,
    ConditionListId::OutAnd,
    ConditionListId::OutOr,
};

// The conditions of all four lists, indexed by ConditionListId; position 1 is index 0.
using ConditionSet = std::array<std::vector<Condition>, kConditionListCount>;

inline std::vector<Condition>& conditionsOf(ConditionSet& set, ConditionListId list)
{
    return set[static_cast<std::size_t>(list)];
}

inline const std::vector<Condition>& conditionsOf(const ConditionSet& set, ConditionListId list)
{
    return set[static_cast<std::size_t>(list)];
}

// The list's name in messages: "AND", "OR", "NOT AND", "NOT OR".
std::string_view conditionListShortName(ConditionListId list);

} // namespace kuji
