#include "pickup/ConditionLists.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace kuji;
using Id = ConditionListId;
using Rows = std::vector<Condition>;

namespace {

// Answers the move question and remembers what was asked.
struct Answer {
    bool yes = false;
    std::vector<std::string> asked {};

    ConditionLists::MoveQuestion question()
    {
        return [this](const std::string& text) {
            asked.push_back(text);
            return yes;
        };
    }
};

AddResult add(ConditionLists& lists, Id list, const std::string& column, const std::string& phrase, Answer& answer)
{
    lists.setColumnText(list, column);
    lists.setPhraseText(list, phrase);
    return lists.add(list, answer.question());
}

TEST(ConditionLists, AddChecksTheColumnBox)
{
    ConditionLists lists;
    Answer answer;
    // Empty column box means the whole record; new conditions go to the top.
    EXPECT_EQ(add(lists, Id::InOr, "", "abc", answer).outcome, AddOutcome::Added);
    EXPECT_EQ(add(lists, Id::InOr, "1", "def", answer).outcome, AddOutcome::Added);
    EXPECT_EQ(lists.conditions(Id::InOr), (Rows { { "1", "def" }, { "0", "abc" } }));
    EXPECT_EQ(lists.columnText(Id::InOr), "");
    EXPECT_EQ(lists.phraseText(Id::InOr), "");
    EXPECT_FALSE(lists.addEnabled(Id::InOr));

    // Before any record file the bound is 1.
    AddResult refused = add(lists, Id::InOr, "2", "x", answer);
    EXPECT_EQ(refused.outcome, AddOutcome::OutOfRange);
    EXPECT_EQ(refused.message, "Error:列指定に入力できる値は0-1の範囲です｡");
    EXPECT_EQ(lists.columnText(Id::InOr), "2");
    EXPECT_EQ(lists.phraseText(Id::InOr), "x");

    lists.setFieldCount(5);
    EXPECT_EQ(add(lists, Id::InOr, "5", "x", answer).outcome, AddOutcome::Added);
    EXPECT_EQ(add(lists, Id::InOr, "6", "x", answer).message, "Error:列指定に入力できる値は0-5の範囲です｡");

    refused = add(lists, Id::InOr, "1a", "y", answer);
    EXPECT_EQ(refused.outcome, AddOutcome::NotDigits);
    EXPECT_EQ(refused.message, "Error:列指定に入力できるのは、数字のみです｡");
    EXPECT_EQ(lists.columnText(Id::InOr), "1a");
    EXPECT_EQ(lists.conditions(Id::InOr).size(), 3u);
    EXPECT_TRUE(answer.asked.empty());

    // Enter adds only when the phrase box holds text.
    lists.setColumnText(Id::OutAnd, "1");
    EXPECT_FALSE(lists.enterPressed(Id::OutAnd, answer.question()).has_value());
    EXPECT_EQ(lists.columnText(Id::OutAnd), "1");
    lists.setPhraseText(Id::OutAnd, "p");
    EXPECT_EQ(lists.enterPressed(Id::OutAnd, answer.question())->outcome, AddOutcome::Added);
    EXPECT_EQ(lists.conditions(Id::OutAnd), (Rows { { "1", "p" } }));
}

TEST(ConditionLists, RegisteredPairIsMovedOnlyOnYes)
{
    ConditionLists lists;
    Answer answer;
    add(lists, Id::OutOr, "1", "abc", answer);
    add(lists, Id::OutOr, "0", "other", answer);

    EXPECT_EQ(add(lists, Id::InAnd, "1", "abc", answer).outcome, AddOutcome::Declined);
    ASSERT_EQ(answer.asked.size(), 1u);
    EXPECT_EQ(answer.asked[0],
        "登録しようとした語句は、すでにNOT ORに登録されています。\r\nNOT ORから削除してANDに登録しますか？");
    EXPECT_EQ(lists.conditions(Id::OutOr).size(), 2u);
    EXPECT_TRUE(lists.conditions(Id::InAnd).empty());
    EXPECT_EQ(lists.columnText(Id::InAnd), "1");
    EXPECT_EQ(lists.phraseText(Id::InAnd), "abc");

    answer.yes = true;
    EXPECT_EQ(lists.add(Id::InAnd, answer.question()).outcome, AddOutcome::Moved);
    EXPECT_EQ(lists.conditions(Id::OutOr), (Rows { { "0", "other" } }));
    EXPECT_EQ(lists.conditions(Id::InAnd), (Rows { { "1", "abc" } }));
    EXPECT_EQ(lists.phraseText(Id::InAnd), "");

    // Within the same list the pair moves to the top.
    add(lists, Id::InOr, "1", "x", answer);
    add(lists, Id::InOr, "1", "y", answer);
    answer.asked.clear();
    EXPECT_EQ(add(lists, Id::InOr, "1", "x", answer).outcome, AddOutcome::Moved);
    EXPECT_EQ(answer.asked,
        std::vector<std::string> {
            "登録しようとした語句は、すでにORに登録されています。\r\nORから削除してORに登録しますか？" });
    EXPECT_EQ(lists.conditions(Id::InOr), (Rows { { "1", "x" }, { "1", "y" } }));

    // Column numbers and phrases compare as text.
    answer.asked.clear();
    EXPECT_EQ(add(lists, Id::InOr, "01", "x", answer).outcome, AddOutcome::Added);
    EXPECT_EQ(add(lists, Id::InOr, "1", "X", answer).outcome, AddOutcome::Added);
    EXPECT_TRUE(answer.asked.empty());
}

TEST(ConditionLists, DuplicateSearchOrderNamesTheFirstList)
{
    ConditionLists lists;
    Answer answer { true };
    // Loading takes pairs unchecked, so one pair can sit in several lists.
    lists.append(Id::InOr, { { "0", "p" } });
    lists.append(Id::OutOr, { { "0", "p" } });
    lists.append(Id::InAnd, { { "0", "p" } });
    add(lists, Id::OutAnd, "0", "p", answer);
    EXPECT_EQ(answer.asked, std::vector<std::string> { ConditionLists::moveQuestion(Id::OutOr, Id::OutAnd) });
    EXPECT_TRUE(lists.conditions(Id::OutOr).empty());
    EXPECT_EQ(lists.conditions(Id::InAnd).size(), 1u);
    EXPECT_EQ(lists.conditions(Id::OutAnd).size(), 1u);
}

TEST(ConditionLists, ListHoldsAtMost32767)
{
    ConditionLists lists;
    Answer answer { true };
    Rows many;
    for (int i = 0; i < 32768; ++i)
        many.push_back({ "0", std::to_string(i) });
    EXPECT_EQ(lists.append(Id::InAnd, many), 32767u);
    EXPECT_EQ(lists.append(Id::InAnd, many), 0u);

    const AddResult full = add(lists, Id::InAnd, "0", "new", answer);
    EXPECT_EQ(full.outcome, AddOutcome::ListFull);
    EXPECT_EQ(full.message, "Error:1つのリストに登録できる語句は32767件までです｡");
    // A pair from another list cannot come in either; one of its own can move to the top.
    lists.append(Id::InOr, { { "0", "other" } });
    EXPECT_EQ(add(lists, Id::InAnd, "0", "other", answer).outcome, AddOutcome::ListFull);
    EXPECT_TRUE(answer.asked.empty());
    EXPECT_EQ(add(lists, Id::InAnd, "0", "500", answer).outcome, AddOutcome::Moved);
    EXPECT_EQ(lists.conditions(Id::InAnd).front().phrase, "500");
    EXPECT_EQ(lists.conditions(Id::InAnd).size(), 32767u);
}

TEST(ConditionLists, SelectionAndDeleteButtons)
{
    ConditionLists lists;
    Answer answer;
    for (const char* phrase : { "a", "b", "c" }) {
        add(lists, Id::InAnd, "0", phrase, answer);
        add(lists, Id::InOr, "1", phrase, answer);
    }

    lists.clickCondition(Id::InOr, 2);
    lists.clickCondition(Id::InAnd, 3);
    EXPECT_TRUE(lists.deleteEnabled(Id::InAnd));
    EXPECT_FALSE(lists.deleteEnabled(Id::InOr));
    EXPECT_TRUE(lists.deleteSelected(Id::InAnd));
    EXPECT_EQ(lists.conditions(Id::InAnd), (Rows { { "0", "c" }, { "0", "b" } }));
    // The deleted row's position names nothing any more.
    EXPECT_FALSE(lists.deleteEnabled(Id::InAnd));
    EXPECT_FALSE(lists.deleteSelected(Id::InAnd));

    // Any change of a list's rows drops its selection.
    lists.clickCondition(Id::InAnd, 1);
    add(lists, Id::InAnd, "0", "d", answer);
    EXPECT_EQ(lists.selectedPosition(Id::InAnd), 0u);
    lists.clickCondition(Id::InAnd, 1);
    lists.append(Id::InAnd, { { "1", "e" } });
    EXPECT_FALSE(lists.deleteEnabled(Id::InAnd));
    lists.clickCondition(Id::InAnd, 1);
    lists.deleteAll(Id::InAnd);
    EXPECT_FALSE(lists.deleteEnabled(Id::InAnd));
    EXPECT_FALSE(lists.saveEnabled(Id::InAnd));

    // Typing a phrase for AND takes the other lists' Delete away; other phrase boxes do not.
    lists.clickCondition(Id::InOr, 1);
    lists.setPhraseText(Id::OutOr, "z");
    EXPECT_TRUE(lists.deleteEnabled(Id::InOr));
    lists.setPhraseText(Id::InAnd, "z");
    EXPECT_FALSE(lists.deleteEnabled(Id::InOr));

    lists.clickCondition(Id::InOr, 1);
    lists.clearSelections();
    EXPECT_FALSE(lists.deleteEnabled(Id::InOr));
    lists.clickCondition(Id::InOr, 9);
    EXPECT_FALSE(lists.deleteEnabled(Id::InOr));
}

TEST(ConditionLists, DoubleClickTakesTheRowBack)
{
    ConditionLists lists;
    Answer answer;
    lists.setFieldCount(3);
    add(lists, Id::OutAnd, "2", "a", answer);
    add(lists, Id::OutAnd, "3", "b", answer);
    lists.setColumnText(Id::OutAnd, "1");
    lists.setPhraseText(Id::OutAnd, "typed");

    lists.clickCondition(Id::OutAnd, 2);
    EXPECT_FALSE(lists.doubleClickCondition(Id::OutAnd, 0));
    EXPECT_EQ(lists.phraseText(Id::OutAnd), "typed");
    EXPECT_TRUE(lists.deleteEnabled(Id::OutAnd));

    EXPECT_TRUE(lists.doubleClickCondition(Id::OutAnd, 2));
    EXPECT_EQ(lists.columnText(Id::OutAnd), "2");
    EXPECT_EQ(lists.phraseText(Id::OutAnd), "a");
    EXPECT_EQ(lists.conditions(Id::OutAnd), (Rows { { "3", "b" } }));
    EXPECT_FALSE(lists.deleteEnabled(Id::OutAnd));
    EXPECT_TRUE(lists.saveEnabled(Id::OutAnd));

    EXPECT_TRUE(lists.doubleClickCondition(Id::OutAnd, 1));
    EXPECT_FALSE(lists.saveEnabled(Id::OutAnd));
    EXPECT_EQ(lists.totalConditions(), 0u);
}

TEST(ConditionLists, ColumnBoxTakesDigitsAndControlKeys)
{
    for (const char32_t ch : { U'0', U'9', U'\b', U'\r', U'\x1F' })
        EXPECT_TRUE(ConditionLists::columnKeyAccepted(ch)) << static_cast<int>(ch);
    for (const char32_t ch : { U'a', U' ', U'/', U':', U'-', U'０', U'あ' })
        EXPECT_FALSE(ConditionLists::columnKeyAccepted(ch)) << static_cast<int>(ch);
}

} // namespace
