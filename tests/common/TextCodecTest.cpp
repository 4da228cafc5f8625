#include "common/TextCodec.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <optional>
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

TEST(TextCodec, Utf16WithAByteOrderMarkReadsAsTheSameText)
{
    // A surrogate pair, and characters whose units hold the bytes of CR and LF.
    const std::string text = "𠮷野家\r\n《0A》\u0D0A\u0A0D,\"x\"\n😀";
    for (const bool bigEndian : { false, true }) {
        const std::string bytes = std::string(bigEndian ? kUtf16BeBom : kUtf16LeBom) + utf8ToUtf16(text, bigEndian);
        const Decoded d = decode(bytes);
        EXPECT_EQ(d.utf8, text);
        EXPECT_EQ(d.encoding, bigEndian ? Encoding::Utf16Be : Encoding::Utf16Le);
    }
    EXPECT_EQ(utf8ToUtf16("a𠮷", false), std::string("a\0\x42\xD8\xB7\xDF", 6));

    const std::string fffd = "\xEF\xBF\xBD";
    // An odd last byte, a high surrogate with no low one after it, a low one alone.
    EXPECT_EQ(decode(std::string("\xFF\xFE"
                                 "a\0"
                                 "b",
                         5))
                  .utf8,
        "a" + fffd);
    EXPECT_EQ(decode(std::string("\xFF\xFE"
                                 "\x3D\xD8"
                                 "a\0",
                         6))
                  .utf8,
        fffd + "a");
    EXPECT_EQ(decode(std::string("\xFE\xFF"
                                 "\xDC\x00"
                                 "\xD8\x3D",
                         6))
                  .utf8,
        fffd + fffd);
    EXPECT_EQ(decode(std::string("\xFF\xFE", 2)).utf8, "");
}

TEST(TextCodec, WritesUtf8WhenCp932WouldChangeTheText)
{
    EXPECT_EQ(encodeForSave("abc"), "abc");
    EXPECT_EQ(encodeForSave("名簿"), "\x96\xBC\x95\xEB");
    // U+301C folds into U+FF5E in CP932; U+00E9, U+20BB7 and emoji do not exist there.
    for (const std::string text : { "〜", "café", "吉野と𠮷野", "くじ😀" }) {
        EXPECT_EQ(encodeForSave(text), std::string(kUtf8Bom) + text);
        EXPECT_EQ(decode(encodeForSave(text)).utf8, text);
    }

    // Pieces: CP932 while every piece has a CP932 form, then everything in UTF-8.
    SaveEncoder encoder;
    encoder.append("髙橋\r\n");
    encoder.append("ｶﾅ\r\n");
    EXPECT_EQ(encoder.encoding(), Encoding::Cp932);
    EXPECT_EQ(decode(encoder.bytes()).utf8, "髙橋\r\nｶﾅ\r\n");
    encoder.append("〜\r\n");
    encoder.append("end");
    EXPECT_EQ(encoder.encoding(), Encoding::Utf8Bom);
    EXPECT_EQ(encoder.take(), std::string(kUtf8Bom) + "髙橋\r\nｶﾅ\r\n〜\r\nend");
    encoder.append("a\r\n");
    EXPECT_EQ(encoder.bytes(), "a\r\n");
    encoder.append("😀");
    EXPECT_EQ(encoder.take(), std::string(kUtf8Bom) + "a\r\n😀");
}

// Found by the text-codec and condition-file fuzz targets: half-width "ﾃ｡" is C3 A1 in CP932,
// which a reader takes for UTF-8 "á".
TEST(TextCodec, WritesUtf8WhenTheCp932BytesWouldReadAsUtf8)
{
    for (const std::string text : { "ﾃ｡", "\"1\",\"ﾞｦ\"\"\"\r\n", "竏ｱ鬨租" }) {
        EXPECT_EQ(encodeForSave(text), std::string(kUtf8Bom) + text);
        EXPECT_EQ(decode(encodeForSave(text)).utf8, text);
    }
    // Bytes that read as UTF-8 only together, across pieces, and bytes that never do.
    SaveEncoder encoder;
    encoder.append("ﾃ");
    encoder.append("｡");
    EXPECT_EQ(encoder.encoding(), Encoding::Utf8Bom);
    EXPECT_EQ(encoder.take(), std::string(kUtf8Bom) + "ﾃ｡");
    encoder.append("ﾃ｡");
    encoder.append("名簿");
    EXPECT_EQ(encoder.encoding(), Encoding::Cp932);
    EXPECT_EQ(decode(encoder.take()).utf8, "ﾃ｡名簿");
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

namespace {

std::string utf8Of(char32_t cp)
{
    std::string s;
    if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
    } else {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    s += static_cast<char>(0x80 | (cp & 0x3F));
    return s;
}

// What the system converter makes of text, or nothing when it refuses.
std::optional<std::string> systemConvert(const char* to, const char* from, const std::string& in)
{
    iconv_t cd = iconv_open(to, from);
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char buffer[16];
    char* dst = buffer;
    std::size_t room = sizeof buffer;
    const bool ok = iconv(cd, &src, &left, &dst, &room) != static_cast<std::size_t>(-1) && left == 0;
    iconv_close(cd);
    return ok ? std::optional<std::string>(std::string(buffer, static_cast<std::size_t>(dst - buffer))) : std::nullopt;
}

} // namespace

TEST(TextCodec, EncoderAgreesWithTheSystemConverterOnEveryCharacter)
{
    // A character is written in CP932 exactly when the converter's bytes decode back to it;
    // then the bytes are the converter's own.
    int exact = 0;
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        const std::string ch = utf8Of(cp);
        const auto system = systemConvert("CP932", "UTF-8", ch);
        const bool systemExact = system && systemConvert("UTF-8", "CP932", *system) == ch;
        const auto ours = toCp932Exact(ch);
        ASSERT_EQ(ours.has_value(), systemExact) << std::hex << static_cast<unsigned>(cp);
        if (ours) {
            ASSERT_EQ(*ours, *system) << std::hex << static_cast<unsigned>(cp);
            ++exact;
        }
    }
    EXPECT_GT(exact, 7000);
}

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
