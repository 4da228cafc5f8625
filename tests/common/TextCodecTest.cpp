#include "common/TextCodec.h"

#include <gtest/gtest.h>

using namespace kuji::text;

TEST(TextCodec, DetectsEncodingAndDropsByteOrderMark)
{
    const std::string japanese = "髙橋～①ｶﾀｶﾅ";
    const auto cp = toCp932Exact(japanese);
    ASSERT_TRUE(cp.has_value());

    EXPECT_EQ(decode(*cp).utf8, japanese);
    EXPECT_EQ(decode(*cp).encoding, Encoding::Cp932);
    EXPECT_EQ(decode(japanese).encoding, Encoding::Utf8);
    const Decoded withBom = decode(std::string(kUtf8Bom) + japanese);
    EXPECT_EQ(withBom.utf8, japanese);
    EXPECT_EQ(withBom.encoding, Encoding::Utf8Bom);
}

TEST(TextCodec, InvalidBytesBecomeReplacementCharacters)
{
    // A lone lead byte at the end of CP932 text, and a stray continuation byte after a BOM.
    EXPECT_EQ(decode("a\x82").utf8, "a\xEF\xBF\xBD");
    EXPECT_EQ(decode(std::string(kUtf8Bom) + "x\x80y").utf8, "x\xEF\xBF\xBDy");
    // NUL bytes are content, not terminators.
    EXPECT_EQ(decode(std::string("a\0b", 3)).utf8, std::string("a\0b", 3));
}

TEST(TextCodec, WritesUtf8WhenCp932WouldChangeTheText)
{
    EXPECT_EQ(encodeForFile("abc"), "abc");
    // U+301C folds into U+FF5E in CP932, and U+00E9 does not exist there.
    EXPECT_EQ(encodeForFile("〜"), std::string(kUtf8Bom) + "〜");
    EXPECT_EQ(encodeForFile("café"), std::string(kUtf8Bom) + "café");
    EXPECT_EQ(decode(encodeForFile("〜")).utf8, "〜");
}

TEST(TextCodec, TruncatesByEncodedBytesWithoutSplittingCharacters)
{
    EXPECT_EQ(truncateToEncodedBytes("abcdef", 4), "abcd");
    // Each kanji is two bytes in CP932: 5 bytes hold two of them.
    EXPECT_EQ(truncateToEncodedBytes("漢字漢字", 5), "漢字");
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));  // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // surrogate
}
