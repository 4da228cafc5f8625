#include "printing/UpDownState.h"

#include <gtest/gtest.h>

using namespace kuji;

namespace {

struct TextCase {
    const char* input;
    const char* shown;
};

} // namespace

TEST(UpDownState, ChangedTextKeepsTheBoxInRange)
{
    const TextCase cases[] = {
        { "", "10" }, // cleared
        { "250", "100" }, // a third digit typed
        { "101", "100" },
        { "100", "100" },
        { "0", "0" },
        { "05", "05" }, // stays as typed until read
        { "1a", "10" }, // pasted
        { " 5", "10" },
        { "-5", "10" },
        { "-0", "10" },
        { "32767", "100" },
        { "32768", "10" }, // not a 16-bit number
        { "0000000000000000000042", "0000000000000000000042" },
    };
    for (const auto& c : cases) {
        UpDownState box;
        EXPECT_EQ(box.textChanged(c.input), c.shown) << c.input;
        EXPECT_EQ(box.textChanged(box.text()), c.shown) << "second pass of " << c.input;
    }
}

TEST(UpDownState, WrittenValueGoesThroughTheNumber)
{
    const TextCase cases[] = {
        { "abc", "10" },
        { "40000", "10" },
        { "-5", "10" },
        { "150", "100" },
        { "007", "7" },
        { "", "10" },
        { "-32768", "10" },
        { "-32769", "10" },
        { "55", "55" },
    };
    for (const auto& c : cases) {
        UpDownState box;
        box.textChanged("42");
        box.setValue(c.input);
        EXPECT_EQ(box.text(), c.shown) << c.input;
    }
}

TEST(UpDownState, ReadValueDropsLeadingZeros)
{
    UpDownState box;
    box.textChanged("05");
    EXPECT_EQ(box.value(), "5");
    EXPECT_EQ(box.number(), 5);
    box.textChanged("000");
    EXPECT_EQ(box.value(), "0");
}

TEST(UpDownState, OnlyDigitsAndControlKeysAreTyped)
{
    for (char32_t c : { U'0', U'5', U'9', char32_t { 8 }, char32_t { 13 }, char32_t { 31 } })
        EXPECT_TRUE(UpDownState::acceptsCharacter(c)) << static_cast<int>(c);
    for (char32_t c : { U' ', U'-', U'/', U':', U'a', char32_t { 127 }, U'１', U'〇' })
        EXPECT_FALSE(UpDownState::acceptsCharacter(c)) << static_cast<int>(c);
}

TEST(UpDownState, ArrowsStepWithinTheRange)
{
    UpDownState box;
    box.textChanged("007");
    box.stepUp();
    EXPECT_EQ(box.text(), "8");
    box.textChanged("100");
    box.stepUp();
    EXPECT_EQ(box.text(), "100");
    box.stepDown();
    EXPECT_EQ(box.text(), "99");
    box.textChanged("0");
    box.stepDown();
    EXPECT_EQ(box.text(), "0");
}
