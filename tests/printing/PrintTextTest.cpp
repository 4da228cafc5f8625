#include "printing/PrintText.h"

#include <gtest/gtest.h>

using namespace kuji;

TEST(PrintText, WidthIsCp932BytesElseEastAsianWidth)
{
    const struct {
        const char* text;
        std::size_t width;
    } cases[] = {
        { "", 0 }, { "abc 123", 7 }, { "ｱｲｳ", 3 }, // half-width katakana: one byte each
        { "あ漢字", 6 }, { "ＡＢ", 4 }, { "αБ", 4 }, // Greek and Cyrillic are double-byte in CP932
        { "①Ⅱ", 4 }, // NEC special characters
        { "é", 1 }, // not in CP932, ambiguous: narrow
        { "〜", 2 }, // U+301C only folds into U+FF5E in CP932, but is wide
        { "한글", 4 }, // not in CP932, wide
        { "𠮷", 2 }, // supplementary plane kanji
        { "😀", 2 }, { "a\tb", 3 }, // a control character prints as one space
        { "\x7F\xC2\x85", 2 }, // DEL and a C1 control
        { "a\xFF"
          "b",
            3 }, // a malformed byte prints as one U+FFFD
        { "\xE3\x81", 2 }, // a cut sequence: each byte alone
    };
    for (const auto& c : cases)
        EXPECT_EQ(print::displayWidth(std::string_view(c.text)), c.width) << c.text;
}

TEST(PrintText, ControlCharactersPrintAsSpaces)
{
    const struct {
        std::string text;
        std::string printed;
    } cases[] = {
        { "plain あ𠮷", "plain あ𠮷" },
        { "a\tb", "a b" },
        { "\r\n", "  " },
        { std::string("x\0y", 3), "x y" },
        { "\x7F"
          "end",
            " end" },
        { "\xC2\x85\xC2\xA0", " \xC2\xA0" }, // NEL is a control, no-break space is not
        { "a\xFF", "a\xEF\xBF\xBD" },
    };
    for (const auto& c : cases) {
        std::string out = "kept:";
        print::appendPrintable(c.text, out);
        EXPECT_EQ(out, "kept:" + c.printed) << c.text;
        EXPECT_EQ(print::displayWidth(c.printed), print::displayWidth(c.text)) << c.text;
    }
}
