#include "records/CommitmentText.h"

#include "draw/DrawSeed.h"

#include <gtest/gtest.h>

using namespace kuji;

namespace {

Commitment numberCommitment()
{
    Commitment c;
    c.settings.minimum = 1;
    c.settings.maximum = 100;
    c.settings.counts = { 3, 2 };
    c.workList = WorkListHasher::of(EntryList());
    c.description = "東証 終値\r\n（改行あり）";
    c.dateTime = "2026-12-08 19:00:00 +0900";
    return c;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

} // namespace

TEST(CommitmentText, ReadsBackWhatItWroteAndRefusesAnEditedField)
{
    const std::string text = formatCommitmentText(numberCommitment());
    Commitment read;
    std::string problem;
    ASSERT_TRUE(parseCommitmentText(text, read, problem)) << problem;
    EXPECT_EQ(read, numberCommitment());
    EXPECT_FALSE(parseCommitmentText(replaced(text, "抽選数: 3-2", "抽選数: 3-3"), read, problem));
    EXPECT_NE(problem.find("書き換えられた"), std::string::npos) << problem;
}

// A value written with a raw carriage return instead of its escape reads as the same value
// and so keeps the number; it is refused all the same, as a record refuses it.
TEST(CommitmentText, RefusesACarriageReturnThatEndsNoLine)
{
    const std::string text = formatCommitmentText(numberCommitment());
    Commitment read;
    std::string problem;
    EXPECT_FALSE(parseCommitmentText(replaced(text, "\\r\\n（", "\r\\n（"), read, problem));
    EXPECT_EQ(problem, "10 行目の途中に制御文字 U+000D（復帰）があります。");
    // CR LF line ends, as an editor may leave them, are fine.
    EXPECT_TRUE(parseCommitmentText(replaced(text, "\n", "\r\n"), read, problem)) << problem;
}
