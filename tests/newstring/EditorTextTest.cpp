#include "newstring/EditorText.h"

#include <gtest/gtest.h>

#include <string>

using namespace kuji;

TEST(EditorText, LinesOverTheLimitAreFoundWhereverTheyBreak)
{
    const std::string limit(10, 'a');
    const std::string over(11, 'a');
    // Ten kanji are thirty bytes and still ten characters.
    std::string kanji;
    for (int i = 0; i < 10; ++i)
        kanji += "漢";
    struct Case {
        std::string text;
        bool tooLong;
    };
    const Case cases[] = {
        { "", false },
        { limit, false },
        { over, true },
        { kanji, false },
        { kanji + "字", true },
        { limit + "\r\n" + limit + "\r\n", false },
        { limit + "\r\n" + over, true },
        // Each of LF, CR LF and a lone CR ends a line in the editor.
        { limit + "\n" + limit + "\r" + limit + "\r\n" + limit, false },
        { limit + "\r" + over + "\n", true },
        { over.substr(0, 5) + "\r" + over.substr(5) + "\r" + over, true },
        // So do the line and paragraph separators, which the window turns into line breaks.
        { limit + "\u2028" + limit + "\u2029" + limit, false },
        { limit + "\u2028" + over, true },
        // A character whose bytes begin like a separator's (U+2020) is no break.
        { limit + "\u2020" + limit, true },
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditorText::hasLineLongerThan(c.text, 10), c.tooLong) << c.text;
    EXPECT_FALSE(EditorText::hasLineLongerThan(std::string(EditorText::kMaxLineChars, 'x')));
    EXPECT_TRUE(EditorText::hasLineLongerThan(std::string(EditorText::kMaxLineChars + 1, 'x')));
}

TEST(EditorText, ASaveEndsWithExactlyOneLineBreak)
{
    // The list file adds CR LF after the value.
    EXPECT_EQ(EditorText::saveValue("p\r\nq"), "p\r\nq");
    EXPECT_EQ(EditorText::saveValue("p\r\nq\r\n"), "p\r\nq");
    // Only one break goes: blank lines the user typed at the end stay.
    EXPECT_EQ(EditorText::saveValue("p\r\n\r\n"), "p\r\n");
    EXPECT_EQ(EditorText::saveValue("\r\n"), "");
    EXPECT_EQ(EditorText::saveValue(""), std::nullopt);
}

TEST(EditorText, PrintedLinesKeepTheEmptyOnes)
{
    EXPECT_EQ(EditorText::printLines("a\r\n\r\nb"), (std::vector<std::string> { "a", "", "b" }));
    EXPECT_EQ(EditorText::printLines("a\r\n"), (std::vector<std::string> { "a", "" }));
    EXPECT_EQ(EditorText::printLines(""), (std::vector<std::string> { "" }));
}
