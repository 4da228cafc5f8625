#pragma once

#include "pickup/Condition.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// What an Add did. A refused Add carries the message the window shows (title "エラー",
// error icon, OK button); both boxes then keep their text.
enum class AddOutcome {
    Added, // inserted at the top, boxes emptied
    Moved, // the pair was registered already and the user chose to move it here
    Declined, // the pair was registered already and the user said No: nothing changed
    NotDigits,
    OutOfRange,
    ListFull,
    NoPhrase, // nothing to add: the phrase box is empty
};

struct AddResult {
    AddOutcome outcome = AddOutcome::Added;
    std::string message;
};

// The four condition lists of the Pickup Record window with their column and phrase boxes
// and the enabled state of their Add, Delete and Save buttons. The window shows this state
// and forwards its events here; the filter run reads all().
//
// A list's selected position (1-based, 0 = none) is set by clicking one of its conditions
// and is what its Delete button removes. It never outlives a change: every change of a
// list's rows puts it back to 0, so Delete can never remove a row other than the one the
// user picked. Delete is enabled exactly while the position names a row.
class ConditionLists {
public:
    // A list holds at most this many conditions (what a condition file can load back).
    static constexpr std::size_t kMaxConditions = 32767;
    // Characters a column box takes.
    static constexpr int kColumnBoxMaxLength = 2;

    // Gets the question about a pair already registered; true means Yes (move it).
    using MoveQuestion = std::function<bool(const std::string& question)>;

    // Title of that question.
    static constexpr std::string_view kMoveQuestionTitle = "その語句は登録済みです";
    // The question when the pair is in list from and is being added to list to.
    static std::string moveQuestion(ConditionListId from, ConditionListId to);
    // Refusals of Add.
    static constexpr std::string_view kNotDigitsMessage = "Error:列指定に入力できるのは、数字のみです｡";
    static std::string outOfRangeMessage(std::size_t bound);
    static std::string listFullMessage();

    // The conditions of every list, in list order.
    const ConditionSet& all() const { return m_lists; }
    const std::vector<Condition>& conditions(ConditionListId list) const { return conditionsOf(m_lists, list); }
    // Conditions in the four lists together (Start needs at least one).
    std::size_t totalConditions() const;

    // Fields of the record file loaded last (its separator count + 1); the largest column
    // number Add accepts. 1 before any file has been loaded.
    void setFieldCount(std::size_t fields) { m_fieldCount = fields == 0 ? 1 : fields; }
    std::size_t fieldCount() const { return m_fieldCount; }

    // The boxes under each list, as the window shows them. The window passes every edit of a
    // box in and shows the texts again after each command (Add empties them, a double-click
    // fills them).
    const std::string& columnText(ConditionListId list) const { return box(list).column; }
    const std::string& phraseText(ConditionListId list) const { return box(list).phrase; }
    void setColumnText(ConditionListId list, std::string_view text) { box(list).column = text; }
    // A changed phrase decides its Add button; typing into the AND list's phrase box also
    // takes the Delete buttons of the other three lists away.
    void setPhraseText(ConditionListId list, std::string_view text);
    // Whether a typed character may enter a column box: digits and control keys such as
    // Backspace pass; anything else is dropped and the window beeps.
    static bool columnKeyAccepted(char32_t ch);

    bool addEnabled(ConditionListId list) const { return !phraseText(list).empty(); }
    bool deleteEnabled(ConditionListId list) const { return selectedPosition(list) > 0; }
    bool saveEnabled(ConditionListId list) const { return !conditions(list).empty(); }
    std::size_t selectedPosition(ConditionListId list) const { return m_selected[index(list)]; }

    // Add button: checks the column box (empty counts as "0"; digits only; at most
    // fieldCount()), looks for the pair in NOT AND, NOT OR, AND, OR from the top, asks
    // whether to move it when found, and inserts it at the top of the list.
    AddResult add(ConditionListId list, const MoveQuestion& askMove);
    // Enter in either box of the list: Add, but only when the phrase box holds text.
    std::optional<AddResult> enterPressed(ConditionListId list, const MoveQuestion& askMove);
    // Delete button: removes the selected condition. False when no row is selected.
    bool deleteSelected(ConditionListId list);
    // Delete-all button: empties the list.
    void deleteAll(ConditionListId list);
    // Click on the condition at position (1-based) of the list: it becomes the list's
    // selection and the other lists lose theirs. A position naming no row selects nothing.
    void clickCondition(ConditionListId list, std::size_t position);
    // Double-click on the condition at position (the row under the pointer; 0 for empty
    // space): takes it back into the boxes for editing and removes it from the list. Does
    // nothing when the position names no row; returns whether a condition was taken back.
    bool doubleClickCondition(ConditionListId list, std::size_t position);
    // Click on any of the eight boxes, or on the record or result list: no list keeps a
    // selection.
    void clearSelections();
    // Appends conditions read from a condition file at the bottom of the list, as they
    // stand, up to kMaxConditions. Returns how many were appended.
    std::size_t append(ConditionListId list, const std::vector<Condition>& loaded);

private:
    struct Boxes {
        std::string column;
        std::string phrase;
    };

    static std::size_t index(ConditionListId list) { return static_cast<std::size_t>(list); }
    Boxes& box(ConditionListId list) { return m_boxes[index(list)]; }
    const Boxes& box(ConditionListId list) const { return m_boxes[index(list)]; }
    std::vector<Condition>& rows(ConditionListId list) { return conditionsOf(m_lists, list); }
    // Called after every change of the list's rows.
    void rowsChanged(ConditionListId list) { m_selected[index(list)] = 0; }
    void insertAtTop(ConditionListId list, Condition condition);

    ConditionSet m_lists;
    std::array<Boxes, kConditionListCount> m_boxes;
    std::array<std::size_t, kConditionListCount> m_selected {};
    std::size_t m_fieldCount = 1;
};

} // namespace kuji
