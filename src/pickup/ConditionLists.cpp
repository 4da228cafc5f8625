#include "pickup/ConditionLists.h"

#include "pickup/PickupFilter.h"

#include <algorithm>

namespace kuji {

namespace {

// The order in which Add looks for a pair that is registered already.
constexpr std::array<ConditionListId, kConditionListCount> kDuplicateSearchOrder {
    ConditionListId::OutAnd,
    ConditionListId::OutOr,
    ConditionListId::InAnd,
    ConditionListId::InOr,
};

} // namespace

std::string ConditionLists::moveQuestion(ConditionListId from, ConditionListId to)
{
    const std::string_view fromName = conditionListShortName(from);
    std::string text = "登録しようとした語句は、すでに";
    text += fromName;
    text += "に登録されています。\r\n";
    text += fromName;
    text += "から削除して";
    text += conditionListShortName(to);
    text += "に登録しますか？";
    return text;
}

std::string ConditionLists::outOfRangeMessage(std::size_t bound)
{
    return "Error:列指定に入力できる値は0-" + std::to_string(bound) + "の範囲です｡";
}

std::string ConditionLists::listFullMessage()
{
    return "Error:1つのリストに登録できる語句は" + std::to_string(kMaxConditions) + "件までです｡";
}

std::size_t ConditionLists::totalConditions() const
{
    std::size_t total = 0;
    for (const auto& list : m_lists)
        total += list.size();
    return total;
}

void ConditionLists::setPhraseText(ConditionListId list, std::string_view text)
{
    if (box(list).phrase == text)
        return;
    box(list).phrase = text;
    if (list == ConditionListId::InAnd) {
        for (const ConditionListId other : kAllConditionLists) {
            if (other != list)
                m_selected[index(other)] = 0;
        }
    }
}

bool ConditionLists::columnKeyAccepted(char32_t ch)
{
    return ch < 32 || (ch >= U'0' && ch <= U'9');
}

AddResult ConditionLists::add(ConditionListId list, const MoveQuestion& askMove)
{
    if (phraseText(list).empty())
        return { AddOutcome::NoPhrase, {} };

    Boxes& boxes = box(list);
    if (boxes.column.empty())
        boxes.column.assign(1, '0');
    if (!std::all_of(boxes.column.begin(), boxes.column.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return { AddOutcome::NotDigits, std::string(kNotDigitsMessage) };
    if (*conditionColumn(boxes.column) > m_fieldCount)
        return { AddOutcome::OutOfRange, outOfRangeMessage(m_fieldCount) };

    const Condition condition { boxes.column, boxes.phrase };
    std::optional<ConditionListId> foundIn;
    std::size_t foundAt = 0;
    for (const ConditionListId candidate : kDuplicateSearchOrder) {
        const auto& candidateRows = conditions(candidate);
        const auto it = std::find(candidateRows.begin(), candidateRows.end(), condition);
        if (it != candidateRows.end()) {
            foundIn = candidate;
            foundAt = static_cast<std::size_t>(it - candidateRows.begin());
            break;
        }
    }

    // Moving within the same list does not make it longer.
    if (conditions(list).size() >= kMaxConditions && foundIn != list)
        return { AddOutcome::ListFull, listFullMessage() };

    AddOutcome outcome = AddOutcome::Added;
    if (foundIn) {
        if (!askMove || !askMove(moveQuestion(*foundIn, list)))
            return { AddOutcome::Declined, {} };
        auto& from = rows(*foundIn);
        from.erase(from.begin() + static_cast<std::ptrdiff_t>(foundAt));
        rowsChanged(*foundIn);
        outcome = AddOutcome::Moved;
    }
    insertAtTop(list, condition);
    setColumnText(list, {});
    setPhraseText(list, {});
    return { outcome, {} };
}

std::optional<AddResult> ConditionLists::enterPressed(ConditionListId list, const MoveQuestion& askMove)
{
    if (phraseText(list).empty())
        return std::nullopt;
    return add(list, askMove);
}

bool ConditionLists::deleteSelected(ConditionListId list)
{
    const std::size_t position = selectedPosition(list);
    auto& listRows = rows(list);
    if (position == 0 || position > listRows.size())
        return false;
    listRows.erase(listRows.begin() + static_cast<std::ptrdiff_t>(position - 1));
    rowsChanged(list);
    return true;
}

void ConditionLists::deleteAll(ConditionListId list)
{
    rows(list).clear();
    rowsChanged(list);
}

void ConditionLists::clickCondition(ConditionListId list, std::size_t position)
{
    for (const ConditionListId other : kAllConditionLists)
        m_selected[index(other)] = 0;
    if (position <= conditions(list).size())
        m_selected[index(list)] = position;
}

bool ConditionLists::doubleClickCondition(ConditionListId list, std::size_t position)
{
    auto& listRows = rows(list);
    if (position == 0 || position > listRows.size())
        return false;
    for (const ConditionListId any : kAllConditionLists)
        m_selected[index(any)] = 0;
    Condition condition = std::move(listRows[position - 1]);
    listRows.erase(listRows.begin() + static_cast<std::ptrdiff_t>(position - 1));
    rowsChanged(list);
    setColumnText(list, condition.column);
    setPhraseText(list, condition.phrase);
    return true;
}

void ConditionLists::clearSelections()
{
    m_selected.fill(0);
}

std::size_t ConditionLists::append(ConditionListId list, const std::vector<Condition>& loaded)
{
    auto& listRows = rows(list);
    const std::size_t room = kMaxConditions - std::min(kMaxConditions, listRows.size());
    const std::size_t count = std::min(room, loaded.size());
    listRows.insert(listRows.end(), loaded.begin(), loaded.begin() + static_cast<std::ptrdiff_t>(count));
    rowsChanged(list);
    return count;
}

void ConditionLists::insertAtTop(ConditionListId list, Condition condition)
{
    auto& listRows = rows(list);
    listRows.insert(listRows.begin(), std::move(condition));
    rowsChanged(list);
}

} // namespace kuji
