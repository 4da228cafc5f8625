#include "newstring/TextFileLoad.h"

#include "common/TextCodec.h"
#include "newstring/EditorText.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace kuji;

namespace {

class TextFileLoadTest : public test::TempFolderTest {
protected:
    struct Result {
        std::string text;
        text::Encoding encoding = text::Encoding::Utf8;
        int steps = 0;
    };

    // Loads the bytes as the window does, in slices that end at once, and joins the pieces.
    Result load(const std::string& bytes, std::size_t pieceBytes = 32768)
    {
        TextFileLoad file(write("text.txt", bytes));
        Result result;
        int progress = 0;
        do {
            ++result.steps;
            EXPECT_GE(file.progress(), progress);
            progress = file.progress();
        } while (!file.step(TextFileLoad::Clock::now()));
        EXPECT_TRUE(file.ready());
        result.encoding = file.encoding();
        for (std::string_view piece = file.nextPiece(pieceBytes); !piece.empty(); piece = file.nextPiece(pieceBytes)) {
            EXPECT_LE(piece.size(), pieceBytes + 1);
            result.text += piece;
            EXPECT_GE(file.progress(), progress);
            progress = file.progress();
        }
        EXPECT_EQ(file.progress(), 1000);
        return result;
    }

    static std::string repeated(const std::string& piece, std::size_t bytes)
    {
        std::string text;
        while (text.size() < bytes)
            text += piece;
        return text;
    }

    // Lines enough for several stretches of a megabyte, each line's own text repeating.
    static std::string manyLines(const std::string& line, const std::string& lineBreak, std::size_t bytes)
    {
        std::string text;
        while (text.size() < bytes)
            text += line + std::to_string(text.size() % 997) + lineBreak;
        return text;
    }
};

} // namespace

// Decoding stretch by stretch must give exactly what decoding the whole file gives, in every
// encoding and whatever broken bytes sit at a stretch's edge.
TEST_F(TextFileLoadTest, TheTextIsTheWholeFileDecodedInEveryEncoding)
{
    const std::string utf8 = manyLines("佐藤,abc,\U00020BB7,", "\r\n", 3 << 20);
    const std::string cp932 = *text::toCp932Exact(manyLines("佐藤,ｶﾅ,", "\r\n", 3 << 20));
    struct Case {
        const char* name;
        std::string bytes;
        text::Encoding encoding;
    };
    const Case cases[] = {
        { "UTF-8", utf8, text::Encoding::Utf8 },
        { "CP932", cp932, text::Encoding::Cp932 },
        // A lead byte before each line break, a byte no character starts with, and lines
        // ending in a lone CR or LF.
        { "broken CP932", repeated("name\x82\n\x80\r", 3 << 20), text::Encoding::Cp932 },
        // One byte that is no UTF-8, far into the file, makes all of it CP932.
        { "late CP932", utf8.substr(0, 2 << 20) + "\x82\xA0\r\n" + utf8.substr(0, 1 << 20), text::Encoding::Cp932 },
        { "UTF-8 with its mark", std::string(text::kUtf8Bom) + utf8 + "\xE3\n\xFF", text::Encoding::Utf8Bom },
        { "UTF-16LE", std::string(text::kUtf16LeBom) + text::utf8ToUtf16(utf8, false) + "\n", text::Encoding::Utf16Le },
        { "UTF-16BE", std::string(text::kUtf16BeBom) + text::utf8ToUtf16(utf8, true), text::Encoding::Utf16Be },
        // A lone high surrogate before a line break, the byte LF inside characters, and the
        // bytes of an LF across two characters (U+0A61 U+3000).
        { "broken UTF-16",
            std::string(text::kUtf16LeBom)
                + repeated(std::string("a\0\x3D\xD8\x0A\0\x0A\x30\x0A\0\x61\x0A\0\x30", 14), 3 << 20),
            text::Encoding::Utf16Le },
        // Lines that end in CR alone make one stretch of the whole file.
        { "CR lines", manyLines("name", "\r", 3 << 20), text::Encoding::Utf8 },
        { "empty", "", text::Encoding::Utf8 },
    };
    for (const Case& c : cases) {
        const Result result = load(c.bytes);
        const text::Decoded whole = text::decode(c.bytes);
        EXPECT_EQ(result.encoding, c.encoding) << c.name;
        EXPECT_EQ(whole.encoding, c.encoding) << c.name;
        EXPECT_TRUE(result.text == whole.utf8) << c.name;
        if (c.bytes.size() > (2 << 20)) {
            EXPECT_GT(result.steps, 2) << c.name;
        }
    }
}

TEST_F(TextFileLoadTest, AFileThatCannotBeReadOrHoldsATooLongLineGivesNoText)
{
    TextFileLoad missing(pathOf("missing.txt"));
    EXPECT_TRUE(missing.step(TextFileLoad::Clock::time_point::max()));
    EXPECT_TRUE(missing.failed());
    EXPECT_EQ(missing.error().number, ENOENT);
    EXPECT_TRUE(missing.nextPiece(100).empty());

    TextFileLoad folder(m_dir);
    EXPECT_TRUE(folder.step(TextFileLoad::Clock::time_point::max()));
    EXPECT_TRUE(folder.failed());

    // The long line comes after megabytes of good ones.
    const std::string good = manyLines("name", "\r\n", 3 << 20);
    for (const std::string& bytes : { good + std::string(EditorText::kMaxLineChars + 1, 'x'),
             *text::toCp932Exact(good + "\r\n" + std::string(EditorText::kMaxLineChars, 'x') + "漢\r\n") }) {
        TextFileLoad tooLong(write("long.txt", bytes));
        while (!tooLong.step(TextFileLoad::Clock::now())) { }
        EXPECT_TRUE(tooLong.tooLong());
        EXPECT_FALSE(tooLong.ready());
        EXPECT_TRUE(tooLong.nextPiece(100).empty());
    }
    // A line of the longest length is taken.
    const Result longest = load(std::string(EditorText::kMaxLineChars, 'x') + "\r\n");
    EXPECT_EQ(longest.text.size(), EditorText::kMaxLineChars + 2);
}
