#include "common/FilePaths.h"
#include "common/FileReading.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>

#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kuji;

namespace {

class FileRoutinesTest : public kuji::test::TempFolderTest { };

const std::string kProgramDir = "/opt/kujimaru/";

TEST_F(FileRoutinesTest, SplitDialogPathFallsBackToTheProgramFolder)
{
    const std::string file = write("くじ.csv", "x");

    DialogPath split = mySplitDialogPath(file, kProgramDir);
    EXPECT_EQ(split.folder, m_dir + "/");
    EXPECT_EQ(split.folder + split.name, file);
    EXPECT_NE(split.name.find("くじ.csv"), std::string::npos);

    // Nothing typed yet: the program's folder and no name.
    split = mySplitDialogPath("", kProgramDir);
    EXPECT_EQ(split.folder, kProgramDir);
    EXPECT_EQ(split.name, "");

    // A bare name (a label such as a transfer's, or a relative name) keeps its whole text.
    split = mySplitDialogPath("entries.txt", kProgramDir);
    EXPECT_EQ(split.folder, kProgramDir);
    EXPECT_EQ(split.name, "entries.txt");

    // The folder is gone: the name stays, the folder becomes the program's.
    split = mySplitDialogPath(m_dir + "/gone/list.txt", kProgramDir);
    EXPECT_EQ(split.folder, kProgramDir);
    EXPECT_EQ(split.name, "list.txt");

    // A "folder" that is really a file does not count as a folder.
    split = mySplitDialogPath(file + "/inner.txt", kProgramDir);
    EXPECT_EQ(split.folder, kProgramDir);

    // A path ending in "/" is a folder with an empty name.
    split = mySplitDialogPath(m_dir + "/", kProgramDir);
    EXPECT_EQ(split.folder, m_dir + "/");
    EXPECT_EQ(split.name, "");

    split = mySplitDialogPath("/root.txt", kProgramDir);
    EXPECT_EQ(split.folder, "/");
    EXPECT_EQ(split.name, "root.txt");
}

TEST_F(FileRoutinesTest, FileExistsOnlyForRegularFiles)
{
    const std::string file = write("a.txt", "");
    EXPECT_TRUE(myFileExists(file));
    EXPECT_FALSE(myFileExists(""));
    EXPECT_FALSE(myFileExists(file + "/"));
    EXPECT_FALSE(myFileExists(m_dir));
    EXPECT_FALSE(myFileExists(m_dir + "/"));
    EXPECT_FALSE(myFileExists(m_dir + "/missing.txt"));

    const std::string link = m_dir + "/link.txt";
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
    EXPECT_TRUE(myFileExists(link));
    const std::string fifo = m_dir + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(myFileExists(fifo));
}

TEST(FileRoutines, CsvFileIsTheExtensionOfTheFileNameInAnyCase)
{
    EXPECT_TRUE(myIsCsvFile("/data/list.csv"));
    EXPECT_TRUE(myIsCsvFile("/data/LIST.CSV"));
    EXPECT_TRUE(myIsCsvFile("list.Csv"));
    EXPECT_TRUE(myIsCsvFile("/data/list.txt.csv"));
    EXPECT_TRUE(myIsCsvFile("/data/.csv"));

    EXPECT_FALSE(myIsCsvFile("/data/list.txt"));
    EXPECT_FALSE(myIsCsvFile("/data/list.csv.txt"));
    EXPECT_FALSE(myIsCsvFile("/data/list.csvx"));
    EXPECT_FALSE(myIsCsvFile("/data/csv"));
    EXPECT_FALSE(myIsCsvFile("/data.csv/list")); // the dot belongs to a folder
    EXPECT_FALSE(myIsCsvFile(""));
}

TEST_F(FileRoutinesTest, LineCountIsLineBreaksPlusOne)
{
    const struct {
        const char* bytes;
        std::int32_t count;
    } cases[] = {
        { "", 1 },
        { "a", 1 },
        { "a\n", 2 },
        { "a\r\nb", 2 },
        { "a\rb", 2 },
        { "\r\r\n\n", 4 }, // lone CR, CR LF, LF
        { "\n\r", 3 }, // LF then a lone CR: not one break
        { "a\nb\nc\n", 4 },
    };
    for (const auto& c : cases) {
        const std::string path = write("count.txt", c.bytes);
        EXPECT_EQ(myGetLineCount(path), c.count) << '"' << c.bytes << '"';
    }
    EXPECT_EQ(myGetLineCount(m_dir + "/missing.txt"), 1);
    EXPECT_EQ(myGetLineCount(m_dir), 1);
    EXPECT_EQ(myGetLineCount(""), 1);
}

TEST_F(FileRoutinesTest, LineCountOfLargeFilesMatchesTheTextCount)
{
    // A CR LF whose halves fall into two reads is still one break.
    std::string split(std::size_t { 1 } << 20, 'x');
    split[split.size() - 1] = '\r';
    split += "\nend";
    EXPECT_EQ(myGetLineCount(write("split.txt", split)), 2);

    // Random breaks over several read buffers and counting blocks.
    std::mt19937 rng(7);
    const char alphabet[] = { 'a', '\r', '\n', '"', '\xE3' };
    std::string bytes(3 * (std::size_t { 1 } << 20) + 77, ' ');
    for (char& c : bytes)
        c = alphabet[rng() % sizeof alphabet];
    const std::int64_t expected = countLineBreaks(bytes) + 1;
    EXPECT_EQ(myGetLineCount(write("random.txt", bytes)), expected);

    std::int64_t slow = 1;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        slow += bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'));
    EXPECT_EQ(expected, slow);
}

TEST_F(FileRoutinesTest, ReadFileBytesReportsWhyAFileCannotBeRead)
{
    std::string bytes = "stale";
    ErrorInfo err;
    const std::string content("a\0b\r\n", 5);
    ASSERT_TRUE(readFileBytes(write("ok.bin", content), bytes, err));
    EXPECT_EQ(bytes, content);
    EXPECT_EQ(err.number, 0);

    EXPECT_FALSE(readFileBytes(m_dir + "/missing.txt", bytes, err));
    EXPECT_EQ(err.number, ENOENT);
    EXPECT_EQ(err.description, "ファイルが見つかりません。");
    EXPECT_TRUE(bytes.empty());

    EXPECT_FALSE(readFileBytes(m_dir, bytes, err));
    EXPECT_EQ(err.number, EISDIR);

    // The large-file form reads the same bytes and fails the same way.
    FileBytes held;
    ASSERT_TRUE(held.read(write("ok.bin", content), err));
    EXPECT_EQ(held.view(), content);
    FileBytes moved = std::move(held);
    EXPECT_EQ(moved.view(), content);
    EXPECT_TRUE(held.view().empty());
    EXPECT_FALSE(moved.read(m_dir + "/missing.txt", err));
    EXPECT_EQ(err.number, ENOENT);
    EXPECT_TRUE(moved.view().empty());
    ASSERT_TRUE(moved.read(write("empty.txt", ""), err));
    EXPECT_EQ(moved.size(), 0u);

    // A named pipe would block until some writer came; it is refused instead.
    const std::string fifo = m_dir + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(readFileBytes(fifo, bytes, err));
    EXPECT_EQ(err.number, ENODEV);
    EXPECT_FALSE(err.description.empty());

    // Beyond the 32-bit counters: refused before anything is read (the file is sparse).
    const std::string huge = write("huge.txt", "");
    ASSERT_EQ(truncate(huge.c_str(), kMaxReadableFileBytes + 1), 0);
    EXPECT_FALSE(readFileBytes(huge, bytes, err));
    EXPECT_EQ(err.number, EFBIG);
    EXPECT_FALSE(held.read(huge, err));
    EXPECT_EQ(err.number, EFBIG);

    if (geteuid() != 0) {
        const std::string locked = write("locked.txt", "x");
        ASSERT_EQ(chmod(locked.c_str(), 0), 0);
        EXPECT_FALSE(readFileBytes(locked, bytes, err));
        EXPECT_EQ(err.number, EACCES);
    }
}

TEST_F(FileRoutinesTest, PiecemealReadsGiveTheWholeFile)
{
    constexpr auto kPast = std::chrono::steady_clock::time_point::min();
    // Several pieces, a file that grows while it is read (past its first room) and one that
    // shrinks: each read ends with the bytes the file has when its end is reached.
    std::string big(5 * (std::size_t { 1 } << 20) + 3, 'x');
    for (std::size_t i = 0; i < big.size(); i += 977)
        big[i] = static_cast<char>(i % 251);
    const struct {
        const char* label;
        std::string bytes;
        std::string appended;
        std::size_t cutTo; // npos: not cut
    } cases[] = {
        { "several pieces", big, "", std::string::npos },
        { "empty", "", "", std::string::npos },
        { "grows past its room", big, big + "tail", std::string::npos },
        { "grows from empty", "", "a\nb", std::string::npos },
        { "shrinks", big, "", 1000 },
    };
    for (const auto& c : cases) {
        const std::string path = write("p.bin", c.bytes);
        FileBytes file;
        ErrorInfo err;
        ASSERT_TRUE(file.open(path, err)) << c.label;
        EXPECT_TRUE(file.reading());
        if (!c.appended.empty())
            std::ofstream(path, std::ios::binary | std::ios::app) << c.appended;
        if (c.cutTo != std::string::npos) {
            ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(c.cutTo)), 0);
        }
        // A deadline long past still reads a piece each call.
        int calls = 0;
        std::size_t last = 0;
        while (file.reading()) {
            ASSERT_TRUE(file.readSome(kPast, err)) << c.label << err.description;
            ASSERT_TRUE(file.size() > last || !file.reading()) << c.label;
            last = file.size();
            ++calls;
        }
        std::string expected = c.bytes + c.appended;
        if (c.cutTo != std::string::npos)
            expected.resize(c.cutTo);
        EXPECT_TRUE(file.view() == expected) << c.label << " " << file.size() << " " << expected.size();
        if (expected.size() > (std::size_t { 4 } << 20)) {
            EXPECT_GT(calls, 2) << c.label;
        }

        // The one-go forms read the same.
        std::string whole;
        ASSERT_TRUE(readFileBytes(path, whole, err));
        EXPECT_TRUE(whole == expected) << c.label;
        ASSERT_TRUE(file.read(path, err));
        EXPECT_FALSE(file.reading());
        EXPECT_TRUE(file.view() == expected) << c.label;
    }

    // Refused files fail at open, as the one-go forms do; release ends a read half-way.
    FileBytes file;
    ErrorInfo err;
    const std::string huge = write("huge.txt", "");
    ASSERT_EQ(truncate(huge.c_str(), kMaxReadableFileBytes + 1), 0);
    const std::string fifo = m_dir + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& [path, number] : { std::pair { m_dir + "/missing.txt", ENOENT }, std::pair { m_dir, EISDIR },
             std::pair { huge, EFBIG }, std::pair { fifo, ENODEV } }) {
        ASSERT_TRUE(file.open(write("ok.txt", big), err));
        ASSERT_TRUE(file.readSome(kPast, err));
        EXPECT_FALSE(file.open(path, err)) << path;
        EXPECT_EQ(err.number, number) << path;
        EXPECT_FALSE(file.reading());
        EXPECT_TRUE(file.view().empty());
    }
    ASSERT_TRUE(file.open(write("ok.txt", big), err));
    ASSERT_TRUE(file.readSome(kPast, err));
    file.release();
    EXPECT_FALSE(file.reading());
    EXPECT_TRUE(file.readSome(kPast, err));
    EXPECT_TRUE(file.view().empty());
}

} // namespace

TEST_F(FileRoutinesTest, ReadTextFileDecodesEveryEncodingTheProgramReads)
{
    const std::string text = "髙橋,\"𠮷\"\r\n～";
    const struct {
        std::string bytes;
        text::Encoding encoding;
    } cases[] = {
        { *text::toCp932Exact("髙橋,\"\"\r\n～"), text::Encoding::Cp932 },
        { text, text::Encoding::Utf8 },
        { std::string(text::kUtf8Bom) + text, text::Encoding::Utf8Bom },
        { std::string(text::kUtf16LeBom) + text::utf8ToUtf16(text, false), text::Encoding::Utf16Le },
        { std::string(text::kUtf16BeBom) + text::utf8ToUtf16(text, true), text::Encoding::Utf16Be },
    };
    for (const auto& c : cases) {
        text::Decoded decoded;
        ErrorInfo err;
        ASSERT_TRUE(readTextFile(write("t.txt", c.bytes), decoded, err));
        EXPECT_EQ(decoded.encoding, c.encoding);
        EXPECT_EQ(decoded.utf8, c.encoding == text::Encoding::Cp932 ? "髙橋,\"\"\r\n～" : text);
    }
    text::Decoded decoded;
    ErrorInfo err;
    EXPECT_FALSE(readTextFile(m_dir + "/missing.txt", decoded, err));
    EXPECT_EQ(err.number, ENOENT);
}
