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

namespace {

std::string utf8Of(std::u16string_view line)
{
    std::string out;
    EditorText::appendUtf8(line, out);
    return out;
}

} // namespace

TEST(EditorText, DocumentLinesBecomeUtf8WithTheirSeparatorsAsLineBreaks)
{
    EXPECT_EQ(utf8Of(u""), "");
    EXPECT_EQ(utf8Of(u"abc 佐藤ｶﾅ"), "abc 佐藤ｶﾅ");
    // A no-break space stays what it is.
    EXPECT_EQ(utf8Of(u"a\u00A0b"), "a\u00A0b");
    EXPECT_EQ(utf8Of(u"x\u2028y\u2029z\u2028"), "x\r\ny\r\nz\r\n");
    // A pair makes one character of four bytes; a lone half is no character.
    EXPECT_EQ(utf8Of(u"\U00020BB7野家"), "\U00020BB7野家");
    const char16_t loneHigh[] = { 0xD842, u'a' };
    const char16_t loneLow[] = { u'a', 0xDFB7 };
    EXPECT_EQ(utf8Of(std::u16string_view(loneHigh, 2)), "\uFFFDa");
    EXPECT_EQ(utf8Of(std::u16string_view(loneLow, 2)), "a\uFFFD");
    // Long lines go through the buffer in several fills, characters whole.
    std::u16string longLine;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        longLine += u"ab漢\U00020BB7";
        expected += "ab漢\U00020BB7";
    }
    EXPECT_EQ(utf8Of(longLine), expected);
}

TEST(EditorText, PiecesNeverCutACharacterOrALineBreakInTwo)
{
    // Short and long lines, every line break the editor knows, CR LF pairs and characters of
    // two, three and four bytes, cut into pieces of many sizes.
    std::u16string text;
    for (int i = 0; i < 300; ++i) {
        text += std::u16string(static_cast<std::size_t>(i % 23), u'x') + u"佐\U00020BB7";
        text += i % 5 == 0 ? u"\r\n" : i % 5 == 1 ? u"\n" : i % 5 == 2 ? u"\r" : i % 5 == 3 ? u"\u2029" : u"";
    }
    // A line far longer than a piece, of pairs alone.
    for (int i = 0; i < 200; ++i)
        text += u"\U00020BB7";
    text += u"\r\n";
    std::string utf8;
    EditorText::appendUtf8(text, utf8);
    for (const std::size_t size : { 4u, 5u, 7u, 16u, 100u, 4096u }) {
        std::u16string joined;
        for (std::size_t from = 0; from < text.size();) {
            const std::size_t end = EditorText::pieceEnd(text, from, size);
            ASSERT_GT(end, from);
            if (end < text.size()) {
                EXPECT_FALSE(text[end] >= 0xDC00 && text[end] <= 0xDFFF) << size << " at " << end;
                EXPECT_FALSE(text[end - 1] == u'\r' && text[end] == u'\n') << size << " at " << end;
                // Within reach of an LF, the piece ends after it.
                const std::size_t lf = text.rfind(u'\n', std::min(from + size, text.size() - 1));
                if (lf != std::u16string::npos && lf >= from) {
                    EXPECT_EQ(end, lf + 1);
                }
            }
            joined += text.substr(from, end - from);
            from = end;
        }
        EXPECT_EQ(joined, text);

        std::string joined8;
        for (std::size_t from = 0; from < utf8.size();) {
            const std::size_t end = EditorText::pieceEnd(utf8, from, size);
            ASSERT_GT(end, from);
            if (end < utf8.size()) {
                EXPECT_NE(static_cast<unsigned char>(utf8[end]) & 0xC0, 0x80) << size << " at " << end;
                EXPECT_FALSE(utf8[end - 1] == '\r' && utf8[end] == '\n') << size << " at " << end;
            }
            joined8 += utf8.substr(from, end - from);
            from = end;
        }
        EXPECT_EQ(joined8, utf8);
    }
    // A piece of the rest when little remains.
    EXPECT_EQ(EditorText::pieceEnd(std::string_view("abc"), 1, 100), 3u);
}

TEST(EditorText, PastedLinesOverTheLimitAreFoundInUtf16)
{
    const std::u16string limit(10, u'a');
    const std::u16string over(11, u'a');
    std::u16string pairs;
    for (int i = 0; i < 10; ++i)
        pairs += u"\U00020BB7";
    EXPECT_FALSE(EditorText::hasLineLongerThan(std::u16string_view(), 10));
    EXPECT_FALSE(EditorText::hasLineLongerThan(limit, 10));
    EXPECT_TRUE(EditorText::hasLineLongerThan(over, 10));
    // Ten characters of two units each are ten characters.
    EXPECT_FALSE(EditorText::hasLineLongerThan(pairs, 10));
    EXPECT_TRUE(EditorText::hasLineLongerThan(pairs + u"x", 10));
    for (const std::u16string lineBreak : { u"\r\n", u"\n", u"\r", u"\u2028", u"\u2029" }) {
        EXPECT_FALSE(EditorText::hasLineLongerThan(limit + lineBreak + limit, 10));
        EXPECT_TRUE(EditorText::hasLineLongerThan(limit + lineBreak + over, 10));
    }
    // Looked through a piece at a time, cut anywhere (inside a pair, between CR and LF), a
    // text gives the answer of the whole.
    for (const std::u16string& text : { limit + u"\r\n" + pairs, pairs + u"\r\n" + pairs + u"x", over, limit + over }) {
        for (std::size_t size = 1; size <= 7; ++size) {
            EditorText::LineLengthCheck check(10);
            bool tooLong = false;
            for (std::size_t from = 0; from < text.size(); from += size)
                tooLong = check.add(std::u16string_view(text).substr(from, size));
            EXPECT_EQ(tooLong, EditorText::hasLineLongerThan(text, 10)) << size;
        }
    }
}
