#pragma once

#include "pickup/Condition.h"
#include "pickup/PhrasePattern.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kuji {

// The column a condition's column text selects: 0 for the whole record, n for field n.
// Nothing for a text that is empty or holds anything but the digits 0-9 (a sign, a space);
// leading zeros are allowed ("03" is field 3), and a value too large to hold selects a
// field no record has.
std::optional<std::size_t> conditionColumn(std::string_view columnText);

// The judgement of one record by the four condition lists, prepared once per run: every
// phrase is compiled and every column text converted here, so judging a record does no
// parsing and no allocation. A condition whose column text is not a number, or whose field
// the record does not have, is not met; the run goes on.
//
// A record is kept when all of AND and one of OR are met (an empty list demands nothing) and
// it is not removed; it is removed when at least one remove list has conditions and all of
// NOT AND and one of NOT OR are met (again an empty list demands nothing).
//
// Fields are the pieces between commas, every comma counting, quotes or not; field n of a
// record is the text after its (n-1)th comma up to the next one.
class PickupFilter {
public:
    explicit PickupFilter(const ConditionSet& conditions);

    // True when the record goes to the result. Lists are read in this order and each only
    // as far as its answer, and only while it can still change the outcome: NOT AND to the
    // first miss, NOT OR to the first hit, AND to the first miss, OR to the first hit.
    bool keeps(std::string_view record) const;

    // Conditions tested so far, over all records (shows how much work the order saves).
    std::uint64_t conditionsTested() const { return m_tested; }

private:
    struct Compiled {
        std::optional<std::size_t> column;
        PhrasePattern pattern;
    };
    using CompiledList = std::vector<Compiled>;

    bool met(const Compiled& condition) const;
    bool allMet(const CompiledList& list) const;
    bool anyMet(const CompiledList& list) const;
    std::optional<std::string_view> field(std::size_t column) const;

    CompiledList m_inAnd;
    CompiledList m_inOr;
    CompiledList m_outAnd;
    CompiledList m_outOr;

    // The record being judged and its commas, found only as far as a condition needs them.
    mutable std::string_view m_record;
    mutable std::vector<std::size_t> m_commas;
    mutable std::size_t m_scanFrom = 0;
    mutable bool m_allCommasFound = false;
    mutable std::uint64_t m_tested = 0;
};

} // namespace kuji
