#include "common/TextCodec.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <random>

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
    EXPECT_FALSE(isValidUtf8("\xC0\xAF")); // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80")); // surrogate
}

namespace {

// The system converter, one refused byte at a time turned into U+FFFD: what the fast
// decoder must match exactly.
std::string referenceCp932(std::string_view bytes)
{
    iconv_t cd = iconv_open("UTF-8", "CP932");
    std::string out;
    char* src = const_cast<char*>(bytes.data());
    std::size_t left = bytes.size();
    while (left > 0) {
        char buffer[64];
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out.append("\xEF\xBF\xBD");
            ++src;
            --left;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace

TEST(TextCodec, TableDecoderMatchesTheSystemConverter)
{
    std::mt19937 random(3);
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        const int length = static_cast<int>(random() % 200);
        for (int i = 0; i < length; ++i) {
            // Mostly bytes of the lead and trail ranges, some ASCII and line breaks.
            const unsigned pick = random() % 10;
            bytes.push_back(static_cast<char>(pick < 2 ? "\r\na\""[random() % 4] : 0x80 + random() % 0x80));
        }
        ASSERT_EQ(cp932ToUtf8(bytes), referenceCp932(bytes)) << round;
    }
    // Every two-byte code once.
    std::string all;
    for (int lead = 0x81; lead <= 0xFC; ++lead)
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            all += { static_cast<char>(lead), static_cast<char>(trail) };
    EXPECT_EQ(cp932ToUtf8(all), referenceCp932(all));
}
