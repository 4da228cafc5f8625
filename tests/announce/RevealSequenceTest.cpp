// The order 発表 reveals winners in, their titles and places, and what replacements and
// a re-sorted or trimmed result list do to them.
#include "announce/RevealSequence.h"
#include "announce/RollingPicker.h"
#include "announce/WinnersList.h"

#include "support/ResultRounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

using namespace kuji;

namespace {

// What the main window would say of absent winners and replacements.
class Status final : public WinnerStatus {
public:
    bool isAbsent(std::uint32_t key) const override { return absent.count(key) > 0; }
    bool replacedWinner(std::uint32_t replacementKey, std::uint32_t& absentKey) const override
    {
        const auto it = replaces.find(replacementKey);
        if (it == replaces.end())
            return false;
        absentKey = it->second;
        return true;
    }
    std::set<std::uint32_t> absent;
    std::map<std::uint32_t, std::uint32_t> replaces; // replacement key -> absent key
};

ResultList drawRounds(const std::vector<int>& counts)
{
    ResultList list;
    test::fillRounds(list, counts);
    return list;
}

// Appends a replacement round as the main window does: an empty row, its header, the winners.
void appendReplacements(ResultList& list, std::vector<std::uint32_t> numbers)
{
    list.appendEmpty();
    list.appendHeader("【再抽選：" + std::to_string(numbers.size()) + "件】");
    for (std::uint32_t number : numbers)
        list.appendNumber(number - 100);
}

struct Shown {
    std::string title;
    std::string place;
    std::string winner;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& shown)
{
    return out << shown.title << " | " << shown.place << " | " << shown.winner;
}

std::vector<Shown> everyStep(const RevealSequence& sequence)
{
    std::vector<Shown> steps;
    std::string scratch;
    for (std::size_t i = 0; i < sequence.size(); ++i)
        steps.push_back({ sequence.title(i), sequence.positionText(i), std::string(sequence.winnerText(i, scratch)) });
    return steps;
}

class RevealSequenceTest : public ::testing::Test {
protected:
    Status status;
    RevealSequence sequence;
};

} // namespace

TEST(RoundHeaders, OnlyTheDrawsOwnHeadersAreRead)
{
    std::uint32_t round = 0;
    EXPECT_TRUE(parseRoundHeader("【12回目の抽選結果：5件】", round));
    EXPECT_EQ(round, 12u);
    for (const char* other : { "【回目の抽選結果：5件】", "【2回目の抽選結果：5件】x", "2回目", "", "【再抽選：1件】" })
        EXPECT_FALSE(parseRoundHeader(other, round)) << other;
    EXPECT_TRUE(isReplacementHeader("【再抽選：3件】"));
    EXPECT_FALSE(isReplacementHeader("【再抽選：件】"));
    EXPECT_FALSE(isReplacementHeader("【1回目の抽選結果：3件】"));
}

TEST_F(RevealSequenceTest, RoundsTakeThePrizeNamesInDrawOrder)
{
    const ResultList list = drawRounds({ 1, 3 });
    sequence.build(list, status, { "1等", "2等" });
    EXPECT_EQ(everyStep(sequence),
        (std::vector<Shown> { { "1等", "1等 1人中 1人目", "101" }, { "2等", "2等 3人中 1人目", "102" },
            { "2等", "2等 3人中 2人目", "103" }, { "2等", "2等 3人中 3人目", "104" } }));
    EXPECT_EQ(sequence.drawRounds(), 2u);
    EXPECT_EQ(sequence.roundBegin(2), 1u);
    EXPECT_EQ(sequence.roundEnd(2), 4u);
}

TEST_F(RevealSequenceTest, RoundsWithoutANameShowTheirHeaderAndADrawOfOneRoundItsFirstName)
{
    const ResultList rounds = drawRounds({ 1, 1, 1 });
    sequence.build(rounds, status, { "特賞" });
    EXPECT_EQ(sequence.title(0), "特賞");
    EXPECT_EQ(sequence.title(2), "【3回目の抽選結果：1件】");
    EXPECT_EQ(sequence.positionText(2), "【3回目の抽選結果：1件】 1人中 1人目");
    EXPECT_EQ(sequence.drawRounds(), 3u);

    const ResultList single = drawRounds({ 2 });
    sequence.build(single, status, { "特賞", "1等" });
    EXPECT_EQ(sequence.title(1), "特賞");
    EXPECT_EQ(sequence.drawRounds(), 1u);
    sequence.build(single, status, {});
    EXPECT_EQ(sequence.title(0), "抽選結果");
    EXPECT_EQ(sequence.positionText(1), "抽選結果 2人中 2人目");
}

TEST_F(RevealSequenceTest, ASortedAndTrimmedListIsRevealedInDrawOrder)
{
    ResultList list = drawRounds({ 2, 3 });
    auto& rows = list.rows();
    // Sorted descending by text, as the user may leave it; then one winner deleted.
    std::reverse(rows.begin(), rows.end());
    rows.erase(std::find_if(rows.begin(), rows.end(), [&](const ResultList::Row& row) {
        std::string scratch;
        return list.textView(static_cast<std::size_t>(&row - rows.data()), scratch) == "104";
    }));
    sequence.build(list, status, { "1等", "2等" });
    EXPECT_EQ(everyStep(sequence),
        (std::vector<Shown> { { "1等", "1等 2人中 1人目", "101" }, { "1等", "1等 2人中 2人目", "102" },
            { "2等", "2等 2人中 1人目", "103" }, { "2等", "2等 2人中 2人目", "105" } }));
}

TEST_F(RevealSequenceTest, AMillionRowsInReverseComeBackInKeyOrder)
{
    ResultList list;
    list.reset(0, 1, nullptr);
    const std::uint32_t count = 1000000;
    for (std::uint32_t i = 0; i < count; ++i)
        list.appendNumber(i);
    // Keys above 65,535 need both halves of the key in order.
    std::mt19937 shuffle(7);
    std::shuffle(list.rows().begin(), list.rows().end(), shuffle);
    sequence.build(list, status, {});
    ASSERT_EQ(sequence.size(), count);
    for (std::uint32_t i = 0; i < count; i += 9973)
        ASSERT_EQ(sequence.key(i), i);
    EXPECT_EQ(sequence.key(count - 1), count - 1);
}

TEST_F(RevealSequenceTest, AReplacementFollowsTheWinnerItReplacesUnderTheSamePrize)
{
    ResultList list = drawRounds({ 1, 3 });
    // The second winner of 2等 (key 5, number 103) was absent; 201 (key 9) replaced them.
    appendReplacements(list, { 201 });
    status.absent = { 5 };
    status.replaces = { { 9, 5 } };
    sequence.build(list, status, { "1等", "2等" });
    const std::vector<Shown> steps = everyStep(sequence);
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[2], (Shown { "2等", "2等 3人中 2人目", "103" }));
    EXPECT_EQ(steps[3], (Shown { "2等", "2等 再抽選（3人中 2人目の代わり）", "201" }));
    EXPECT_EQ(steps[4], (Shown { "2等", "2等 3人中 3人目", "104" }));
    EXPECT_TRUE(sequence.isAbsent(2));
    EXPECT_FALSE(sequence.isAbsent(3));
    EXPECT_TRUE(sequence.step(3).replacement);
    // The round's grid holds the replacement too; the prize names count only the draw's rounds.
    EXPECT_EQ(sequence.roundEnd(3), 5u);
    EXPECT_EQ(sequence.drawRounds(), 2u);
    EXPECT_EQ(sequence.indexOfKey(9), 3u);

    const WinnersList winners(sequence, HallText());
    EXPECT_EQ(winners.line(2), "2等: 103（欠席）");
    EXPECT_EQ(winners.line(3), "2等: 201（再抽選）");
}

TEST_F(RevealSequenceTest, AReplacedReplacementAndOneWithoutItsWinnerKeepAPlace)
{
    ResultList list = drawRounds({ 2 });
    appendReplacements(list, { 201, 202 }); // keys 2 to 5: empty, header, 201, 202
    appendReplacements(list, { 203 }); // keys 6 to 8
    status.absent = { 0, 4 };
    // 201 replaced the first winner, then was absent and 203 replaced them; 202 says it
    // replaced a row the user has deleted since.
    status.replaces = { { 4, 0 }, { 5, 99 }, { 8, 4 } };
    sequence.build(list, status, { "特賞" });
    std::vector<std::string> winners;
    std::string scratch;
    for (std::size_t i = 0; i < sequence.size(); ++i)
        winners.emplace_back(sequence.winnerText(i, scratch));
    EXPECT_EQ(winners, (std::vector<std::string> { "101", "201", "203", "102", "202" }));
    EXPECT_EQ(sequence.positionText(2), "特賞 再抽選（2人中 1人目の代わり）");
    EXPECT_EQ(sequence.title(4), "【再抽選：2件】");
    EXPECT_TRUE(sequence.step(4).replacement);
}

TEST(RollingPicker, StaysInItsRangeAtTheEdges)
{
    RollingPicker picker(1);
    EXPECT_EQ(picker.below(0), 0u);
    EXPECT_EQ(picker.between(5, 5), 5);
    EXPECT_EQ(picker.between(9, 3), 9);
    std::set<std::int64_t> seen;
    for (int i = 0; i < 2000; ++i) {
        const std::int64_t v = picker.between(1, 6);
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 6);
        seen.insert(v);
        const std::int64_t wide = picker.between(INT64_MIN, INT64_MAX);
        (void)wide;
        ASSERT_LT(picker.below(999999999), 999999999u);
    }
    EXPECT_EQ(seen.size(), 6u);
}
