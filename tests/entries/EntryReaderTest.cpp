#include "entries/EntryReader.h"
#include "common/FilePaths.h"
#include "common/ListRows.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kuji;
using Texts = std::vector<std::string>;

namespace {

class EntryReaderTest : public kuji::test::TempFolderTest {
protected:
    // Reads a file the way the main window does: quote mode for .csv names.
    EntryList load(const std::string& path, std::size_t pieceBytes = std::size_t { 1 } << 20)
    {
        EntryReader reader(pieceBytes);
        ErrorInfo err;
        EXPECT_TRUE(reader.open(path, myIsCsvFile(path), err)) << err.description;
        EntryList rows;
        reader.readAll(rows);
        EXPECT_TRUE(reader.atEnd());
        EXPECT_EQ(reader.entries(), static_cast<std::int32_t>(rows.size()));
        return rows;
    }

    Texts texts(const std::string& name, const std::string& bytes, std::size_t pieceBytes = std::size_t { 1 } << 20)
    {
        Texts out;
        for (const auto& row : load(write(name, bytes), pieceBytes))
            out.emplace_back(row.text);
        return out;
    }
};

struct RecordCase {
    const char* label;
    const char* name;
    std::string bytes;
    Texts expected;
};

TEST_F(EntryReaderTest, RecordRules)
{
    const RecordCase cases[] = {
        { "empty middle line is an entry", "a.txt", "one\n\nthree\n", { "one", "", "three" } },
        { "no entry for the final break", "a.txt", "one\r\ntwo\r\n", { "one", "two" } },
        { "last line without a break", "a.txt", "one\ntwo", { "one", "two" } },
        { "lone CR ends a line", "a.txt", "one\rtwo\r", { "one", "two" } },
        { "CR then CR LF", "a.txt", "one\r\r\ntwo", { "one", "", "two" } },
        { "LF then CR", "a.txt", "one\n\rtwo", { "one", "", "two" } },
        { "only a break", "a.txt", "\n", { "" } },
        { "only breaks", "a.txt", "\r\n\r\n", { "", "" } },
        { "empty file", "a.txt", "", {} },
        { "nothing is trimmed or split", "a.txt", "  a, \"b\" ,\t\n", { "  a, \"b\" ,\t" } },
        { "quoted lines joined in .csv", "a.csv", "x\"1\ny\"2\n", { "x\"1\r\ny\"2" } },
        { "upper-case extension", "A.CSV", "x\"1\ny\"2\n", { "x\"1\r\ny\"2" } },
        { "quotes are plain text in .txt", "a.txt", "x\"1\ny\"2\n", { "x\"1", "y\"2" } },
        { "quoted comma stays", "a.csv", "1,\"a,b\",2\n3\n", { "1,\"a,b\",2", "3" } },
        { "empty line outside quotes", "a.csv", "a\n\nb", { "a", "", "b" } },
        { "empty lines inside quotes", "a.csv", "\"a\n\n\nb\"\nc", { "\"a\r\n\r\n\r\nb\"", "c" } },
        { "odd then odd closes", "a.csv", "a\"\"\"\nb\"\nc", { "a\"\"\"\r\nb\"", "c" } },
        { "lone CR inside quotes becomes CR LF", "a.csv", "\"a\rb\"", { "\"a\r\nb\"" } },
        { "unmatched quote takes the rest", "a.csv", "a\n\"b\nc\nd\n", { "a", "\"b\r\nc\r\nd" } },
        { "unmatched quote with trailing empty lines", "a.csv", "\"b\n\n\n", { "\"b\r\n\r\n" } },
        { "unmatched quote on the last line", "a.csv", "a\nb\"", { "a", "b\"" } },
        { "NUL byte kept", "a.txt", std::string("a\0b\nc", 5), { std::string("a\0b", 3), "c" } },
    };
    for (const RecordCase& c : cases)
        EXPECT_EQ(texts(c.name, c.bytes), c.expected) << c.label;
}

TEST_F(EntryReaderTest, KeysCountAndLinesRunWithoutGaps)
{
    std::string bytes;
    for (int i = 1; i <= 1200; ++i)
        bytes += "entry " + std::to_string(i) + "\r\n";
    const std::string path = write("many.txt", bytes);

    EntryReader reader;
    ErrorInfo err;
    ASSERT_TRUE(reader.open(path, false, err));
    EXPECT_EQ(reader.lineCount(), 1201);
    EXPECT_EQ(reader.lineCount(), myGetLineCount(path));
    EntryList rows;
    reader.readAll(rows);
    ASSERT_EQ(rows.size(), 1200u);
    for (std::size_t i = 0; i < rows.size(); ++i)
        ASSERT_EQ(rows[i].key, i + 1);
    EXPECT_EQ(rows[999].text, "entry 1000");
    EXPECT_EQ(formatSequenceKey(rows[999].key), "000001000");
    EXPECT_EQ(reader.entries(), 1200);
    EXPECT_EQ(reader.linesRead(), 1200);

    // Lines, not entries, drive the progress: three lines make one quoted record.
    ASSERT_TRUE(reader.open(write("q.csv", "\"a\nb\nc\"\n"), true, err));
    rows.clear();
    reader.readAll(rows);
    EXPECT_EQ(reader.entries(), 1);
    EXPECT_EQ(reader.linesRead(), 3);
}

TEST_F(EntryReaderTest, SameEntriesWhateverTheEncodingAndLineEnds)
{
    const Texts lines = { "髙橋 ～ ①", "ｶﾀｶﾅ,\"ﾃｽﾄ\"", "", "東京都1区", "abc" };
    std::string lf;
    for (const std::string& line : lines)
        lf += line + "\n";
    std::string crlf;
    for (const std::string& line : lines)
        crlf += line + "\r\n";

    for (const std::string& utf8 : { lf, crlf }) {
        const auto cp932 = text::toCp932Exact(utf8);
        ASSERT_TRUE(cp932.has_value());
        EXPECT_EQ(texts("cp932.csv", *cp932), lines);
        EXPECT_EQ(texts("utf8.csv", utf8), lines);
        EXPECT_EQ(texts("bom.csv", std::string(text::kUtf8Bom) + utf8), lines);
        // Pieces of a few bytes: every cut between lines still decodes the same.
        EXPECT_EQ(texts("cp932.csv", *cp932, 5), lines);
        EXPECT_EQ(texts("bom.csv", std::string(text::kUtf8Bom) + utf8, 3), lines);
    }

    EntryReader reader;
    ErrorInfo err;
    ASSERT_TRUE(reader.open(write("e.txt", *text::toCp932Exact(lf)), false, err));
    EXPECT_EQ(reader.encoding(), text::Encoding::Cp932);
    ASSERT_TRUE(reader.open(write("e.txt", std::string(text::kUtf8Bom) + "a"), false, err));
    EXPECT_EQ(reader.encoding(), text::Encoding::Utf8Bom);
    EntryList rows;
    reader.readAll(rows);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text, "a"); // the byte-order mark is not part of the first entry
}

TEST_F(EntryReaderTest, Utf16FilesGiveTheSameEntriesAsUtf8)
{
    // Records over several lines, a surrogate pair, an emoji, and characters whose units hold
    // the bytes of CR and LF (U+0D0A, U+0A0D, U+300A).
    const std::string utf8 = "名前,\"住所\r\n《東京》\"\r\n𠮷田,\u0D0A\u0A0D\r\n\"a\nb\rc\",😀\r\n\r\nlast";
    for (const char* name : { "u.csv", "u.txt" }) {
        const std::string utf8Path = write(name, utf8);
        const Texts expected = texts(name, utf8);
        ASSERT_EQ(expected.size(), std::string(name) == "u.csv" ? 5u : 8u);
        for (const bool bigEndian : { false, true }) {
            const std::string bytes
                = std::string(bigEndian ? text::kUtf16BeBom : text::kUtf16LeBom) + text::utf8ToUtf16(utf8, bigEndian);
            for (std::size_t piece : { 1, 2, 3, 5, 8, 64, 1 << 20 })
                ASSERT_EQ(texts(name, bytes, piece), expected) << name << " piece " << piece << " be " << bigEndian;

            const std::string path = write(name, bytes);
            EntryReader reader;
            ErrorInfo err;
            ASSERT_TRUE(reader.open(path, myIsCsvFile(path), err));
            EXPECT_EQ(reader.encoding(), bigEndian ? text::Encoding::Utf16Be : text::Encoding::Utf16Le);
            EXPECT_EQ(reader.lineCount(), myGetLineCount(utf8Path));
            EXPECT_EQ(myGetLineCount(path), myGetLineCount(utf8Path));
        }
    }

    // An unpaired surrogate, a lone low one and an odd last byte cost a character each,
    // never a line or a crash.
    const std::string fffd = "\xEF\xBF\xBD";
    const std::string broken("\xFF\xFE"
                             "a\0\n\0"
                             "\x3D\xD8\n\0"
                             "\x00\xDC"
                             "b",
        13);
    for (std::size_t piece : { 1, 2, 3, 1 << 20 })
        EXPECT_EQ(texts("bad.txt", broken, piece), (Texts { "a", fffd, fffd + fffd })) << piece;
}

TEST_F(EntryReaderTest, TellsTheLineWhereAnUnclosedQuoteBegan)
{
    const struct {
        const char* name;
        std::string bytes;
        std::int32_t line;
    } cases[] = {
        // Records over two and three lines before the open one.
        { "a.csv", "\"a\nb\"\nc\n\"d\r\ne\r\nf\"\ng\n\"open\nh\n\ni\n", 8 },
        { "a.csv", "\"a\nb\"\n\"c\r\nd\"\n", 0 },
        { "a.csv", "x\ny\"", 2 },
        { "a.csv", "x\ny\"\n", 2 },
        { "a.csv", "\"\"\"\n", 1 },
        { "a.txt", "x\n\"y\n", 0 },
        { "a.csv", "", 0 },
    };
    for (const auto& c : cases) {
        for (std::size_t piece : { 2, 1 << 20 }) {
            EntryReader reader(piece);
            ErrorInfo err;
            ASSERT_TRUE(reader.open(write(c.name, c.bytes), myIsCsvFile(c.name), err));
            EntryList rows;
            while (!reader.atEnd())
                reader.readSome(rows, std::chrono::steady_clock::now());
            EXPECT_EQ(reader.unclosedQuoteLine(), c.line) << c.bytes;
        }
    }
    // The entries stay as read: the open record takes the rest of the file.
    EXPECT_EQ(texts("b.csv", "a\n\"b\nc\n"), (Texts { "a", "\"b\r\nc" }));

    // A new read forgets the last one's open quote.
    EntryReader reader;
    ErrorInfo err;
    EntryList rows;
    ASSERT_TRUE(reader.open(write("c.csv", "\"x\n"), true, err));
    reader.readAll(rows);
    EXPECT_EQ(reader.unclosedQuoteLine(), 1);
    ASSERT_TRUE(reader.open(write("d.csv", "x\n"), true, err));
    EXPECT_EQ(reader.unclosedQuoteLine(), 0);

    EXPECT_EQ(formatUnclosedQuoteWarning(12),
        "Error:12行目で始まる項目の「\"」が閉じられていないため、\r\n"
        "       ファイルの終わりまでをひとつの項目として読み込みました。");
}

TEST_F(EntryReaderTest, InvalidBytesBecomeReplacementCharacters)
{
    const std::string fffd = "\xEF\xBF\xBD";
    // A CP932 lead byte right before a line break must not swallow the break.
    EXPECT_EQ(texts("a.txt", "\x82\xA0\x82\nb\n"), (Texts { "あ" + fffd, "b" }));
    EXPECT_EQ(texts("a.txt", "\x82\xA0\x82\nb\n", 2), (Texts { "あ" + fffd, "b" }));
    EXPECT_EQ(texts("a.txt", std::string(text::kUtf8Bom) + "x\xFFy\nz"), (Texts { "x" + fffd + "y", "z" }));
    EXPECT_EQ(texts("a.txt", std::string(text::kUtf8Bom) + "x\xFFy\nz", 1), (Texts { "x" + fffd + "y", "z" }));
}

TEST_F(EntryReaderTest, PiecesAndSlicesGiveTheSameRowsAsOneGo)
{
    // Random files mixing quotes, every kind of line end and CP932 characters, some cut in
    // half, read with pieces of every small size.
    std::mt19937 rng(11);
    const std::vector<std::string> tokens
        = { "a", "bc", "\"", "\r", "\n", "\r\n", "\x82\xA0", "\x82", ",", std::string(1, '\0') };
    for (int round = 0; round < 40; ++round) {
        std::string bytes;
        const int length = static_cast<int>(rng() % 60);
        for (int i = 0; i < length; ++i)
            bytes += tokens[rng() % tokens.size()];
        for (const char* name : { "r.txt", "r.csv" }) {
            const Texts whole = texts(name, bytes);
            for (std::size_t piece : { 1, 2, 3, 7, 16 })
                ASSERT_EQ(texts(name, bytes, piece), whole) << "piece " << piece << " round " << round;
        }
        // Without quotes the entries are the decoded text cut at its line breaks.
        std::string decoded = text::decode(bytes).utf8;
        Texts expected;
        std::string line;
        for (std::size_t i = 0; i < decoded.size(); ++i) {
            if (decoded[i] == '\r' || decoded[i] == '\n') {
                expected.push_back(line);
                line.clear();
                if (decoded[i] == '\r' && i + 1 < decoded.size() && decoded[i + 1] == '\n')
                    ++i;
            } else {
                line += decoded[i];
            }
        }
        if (!line.empty())
            expected.push_back(line);
        ASSERT_EQ(texts("r.txt", bytes), expected) << "round " << round;
    }

    // Slices that end at once still make progress and add up to the whole file.
    std::string bytes;
    for (int i = 0; i < 5000; ++i)
        bytes += (i % 7 == 0 ? "\"x\ny\"" : "line") + std::to_string(i) + "\n";
    const std::string path = write("slices.csv", bytes);
    const EntryList whole = load(path);

    EntryReader reader(4096);
    ErrorInfo err;
    ASSERT_TRUE(reader.open(path, true, err));
    EntryList sliced;
    int slices = 0;
    std::int32_t lastLines = 0;
    while (!reader.atEnd()) {
        const std::size_t added = reader.readSome(sliced, std::chrono::steady_clock::now());
        ASSERT_GT(added, 0u);
        ASSERT_GT(reader.linesRead(), lastLines);
        lastLines = reader.linesRead();
        ++slices;
    }
    EXPECT_GT(slices, 1);
    EXPECT_EQ(reader.readSome(sliced, std::chrono::steady_clock::now()), 0u);
    ASSERT_EQ(sliced.size(), whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i) {
        ASSERT_EQ(sliced[i].key, whole[i].key);
        ASSERT_EQ(sliced[i].text, whole[i].text);
    }
}

TEST_F(EntryReaderTest, SlicedLoadingChangesNothing)
{
    // Files of several read pieces in each way of splitting them; every slice ends at once.
    std::string lines;
    for (int i = 0; lines.size() < (std::size_t { 5 } << 20); ++i)
        lines += (i % 5 == 0 ? "\"髙橋\r\n" + std::to_string(i) + "\"" : "entry " + std::to_string(i)) + "\r\n";
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        { "u.csv", lines },
        { "s.csv", *text::toCp932Exact(lines) },
        { "b.txt", std::string(text::kUtf8Bom) + lines + "\xFF" },
        { "w.csv", std::string(text::kUtf16LeBom) + text::utf8ToUtf16(lines, false) },
    };
    constexpr auto kPast = std::chrono::steady_clock::time_point::min();
    for (const auto& c : cases) {
        const std::string path = write(c.name, c.bytes);
        EntryReader whole;
        ErrorInfo err;
        ASSERT_TRUE(whole.open(path, myIsCsvFile(path), err));
        EXPECT_TRUE(whole.loaded());
        EntryList expected;
        whole.readAll(expected);

        // Through load(), then readSome().
        EntryReader sliced;
        ASSERT_TRUE(sliced.start(path, myIsCsvFile(path), err));
        EXPECT_FALSE(sliced.loaded());
        EXPECT_FALSE(sliced.atEnd());
        int loadSlices = 1;
        while (!sliced.load(kPast))
            ++loadSlices;
        EXPECT_GT(loadSlices, 1) << c.name;
        EXPECT_TRUE(sliced.loaded());
        EXPECT_EQ(sliced.lineCount(), whole.lineCount()) << c.name;
        EXPECT_EQ(sliced.lineCount(), myGetLineCount(path)) << c.name;
        EXPECT_EQ(sliced.encoding(), whole.encoding()) << c.name;
        EntryList rows;
        while (!sliced.atEnd())
            sliced.readSome(rows, kPast);

        // Through readSome() alone: no entry before the count is known.
        EntryReader direct;
        ASSERT_TRUE(direct.start(path, myIsCsvFile(path), err));
        EntryList directRows;
        int emptySlices = 0;
        while (!direct.atEnd()) {
            const std::size_t added = direct.readSome(directRows, kPast);
            if (added == 0)
                ++emptySlices;
            else
                EXPECT_TRUE(direct.loaded());
        }
        EXPECT_GT(emptySlices, 0) << c.name;

        for (const EntryList* got : { &rows, &directRows }) {
            ASSERT_EQ(got->size(), expected.size()) << c.name;
            for (std::size_t i = 0; i < expected.size(); ++i)
                ASSERT_EQ((*got)[i].text, expected[i].text) << c.name << " entry " << i;
        }
        EXPECT_EQ(sliced.linesRead(), whole.linesRead());
        EXPECT_EQ(direct.unclosedQuoteLine(), whole.unclosedQuoteLine());
    }
}

TEST_F(EntryReaderTest, ManyLoneCrLinesReadInLinearTime)
{
    // A file without any LF: each line must not search the rest of the file for one.
    std::string bytes;
    for (int i = 0; i < 1000000; ++i)
        bytes += "ab\r";
    EntryReader reader;
    ErrorInfo err;
    ASSERT_TRUE(reader.open(write("mac.txt", bytes), false, err));
    EntryList rows;
    reader.readAll(rows);
    EXPECT_EQ(rows.size(), 1000000u);
    EXPECT_EQ(rows[rows.size() - 1].text, "ab");
}

TEST_F(EntryReaderTest, UnreadableFilesAreReportedNotThrown)
{
    EntryReader reader;
    ErrorInfo err;
    EXPECT_FALSE(reader.open(m_dir + "/missing.txt", false, err));
    EXPECT_EQ(err.number, ENOENT);
    EXPECT_FALSE(err.description.empty());
    EXPECT_TRUE(reader.atEnd());
    EntryList rows;
    EXPECT_EQ(reader.readAll(rows), 0u);
    EXPECT_TRUE(rows.empty());

    EXPECT_FALSE(reader.open(m_dir, false, err));
    EXPECT_EQ(err.number, EISDIR);

    // A sliced read is refused at its start, for the same reasons.
    const std::string huge = write("huge.txt", "");
    ASSERT_EQ(truncate(huge.c_str(), kMaxReadableFileBytes + 1), 0);
    for (const auto& [path, number] :
        { std::pair { m_dir + "/missing.txt", ENOENT }, std::pair { m_dir, EISDIR }, std::pair { huge, EFBIG } }) {
        EXPECT_FALSE(reader.open(path, false, err));
        EXPECT_EQ(err.number, number);
        err = {};
        EXPECT_FALSE(reader.start(path, false, err));
        EXPECT_EQ(err.number, number);
        EXPECT_TRUE(reader.atEnd());
        EXPECT_FALSE(reader.failed());
        EXPECT_TRUE(reader.load(std::chrono::steady_clock::time_point::min()));
        EXPECT_EQ(reader.readAll(rows), 0u);
    }

    if (geteuid() != 0) {
        const std::string locked = write("locked.txt", "x\n");
        ASSERT_EQ(chmod(locked.c_str(), 0), 0);
        EXPECT_FALSE(reader.open(locked, false, err));
        EXPECT_EQ(err.number, EACCES);
    }

    // A failed open after a good one leaves nothing of the earlier file behind.
    ASSERT_TRUE(reader.open(write("ok.txt", "a\nb\n"), false, err));
    EXPECT_FALSE(reader.open(m_dir + "/missing.txt", false, err));
    EXPECT_EQ(reader.readAll(rows), 0u);
    EXPECT_EQ(reader.entries(), 0);
}

} // namespace
