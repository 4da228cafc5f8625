#include "common/TextFileScan.h"
#include "common/FileReading.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace kuji;

namespace {

// Line breaks counted the plain way, by bytes or by 16-bit units after a UTF-16 mark.
std::int64_t slowBreaks(const std::string& bytes)
{
    const bool le = bytes.starts_with(text::kUtf16LeBom);
    const bool be = bytes.starts_with(text::kUtf16BeBom);
    std::vector<unsigned> units;
    if (le || be) {
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto a = static_cast<unsigned char>(bytes[i]);
            const auto b = static_cast<unsigned char>(bytes[i + 1]);
            units.push_back(le ? (b << 8 | a) : (a << 8 | b));
        }
    } else {
        for (const char c : bytes)
            units.push_back(static_cast<unsigned char>(c));
    }
    std::int64_t breaks = 0;
    for (std::size_t i = 0; i < units.size(); ++i)
        breaks += units[i] == '\n' || (units[i] == '\r' && (i + 1 == units.size() || units[i + 1] != '\n'));
    return breaks;
}

TEST(TextFileScan, PiecesOfAnySizeAgreeWithTheWholeFile)
{
    // Random files of line ends, ASCII, UTF-8 characters (some cut or broken), CP932 pairs,
    // stray continuation bytes and every byte-order mark, fed in pieces of random length.
    std::mt19937 rng(5);
    const std::vector<std::string> tokens = { "a", "\r", "\n", "\r\n", "\xE3\x81\x82", "\xE3\x81", "\xF0\x9F\x98\x80",
        "\x80", "\x80\x80\x80\x80", "\x82\xA0", "\xC0\xAF", std::string(1, '\0'), "\x0D\x0A\x0A\x0D" };
    const std::vector<std::string> starts = { "", std::string(text::kUtf8Bom), std::string(text::kUtf16LeBom),
        std::string(text::kUtf16BeBom), "\xEF\xBB", "\xFF" };
    for (int round = 0; round < 400; ++round) {
        std::string bytes = starts[rng() % starts.size()];
        const int length = static_cast<int>(rng() % 40);
        for (int i = 0; i < length; ++i)
            bytes += tokens[rng() % tokens.size()];

        const text::Encoding encoding = text::detectEncoding(bytes);
        const bool utf16 = encoding == text::Encoding::Utf16Le || encoding == text::Encoding::Utf16Be;
        const bool valid
            = !utf16 && text::isValidUtf8(std::string_view(bytes).substr(text::byteOrderMark(encoding).size()));
        const std::int64_t breaks = slowBreaks(bytes);
        ASSERT_EQ(countTextLineBreaks(bytes), breaks) << round;

        TextFileScan scan;
        std::size_t seen = 0;
        while (seen < bytes.size()) {
            seen = std::min(bytes.size(), seen + rng() % 6);
            scan.advance(std::string_view(bytes).substr(0, seen), false);
            EXPECT_FALSE(scan.complete());
        }
        scan.advance(bytes, true);
        ASSERT_TRUE(scan.complete());
        EXPECT_EQ(scan.lineBreaks(), breaks) << round;
        EXPECT_EQ(scan.encoding(), encoding) << round;
        EXPECT_EQ(scan.validUtf8(), valid) << round;

        // Starting over forgets the last file.
        scan.reset();
        scan.advance("x\n", true);
        EXPECT_EQ(scan.lineBreaks(), 1);
        EXPECT_EQ(scan.encoding(), text::Encoding::Utf8);
    }
}

} // namespace
