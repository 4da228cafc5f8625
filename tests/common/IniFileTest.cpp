#include "common/IniFile.h"

#include "common/TextCodec.h"

#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kuji;
namespace fs = std::filesystem;

namespace {

class IniFileTest : public test::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        m_path = pathOf("kujitan.ini");
    }
    void TearDown() override
    {
        setBeforeReplaceHook({});
        TempFolderTest::TearDown();
    }

    void put(const std::string& bytes) const { put(m_path, bytes); }
    static void put(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string bytes() const { return bytesOf(m_path); }
    static std::string bytesOf(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    std::size_t filesInDir() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }

    std::string m_path;
};

} // namespace

TEST_F(IniFileTest, MatchesNamesWithoutCaseAndTrimsSpaces)
{
    put("[option]\r\n  MODE =  Yomikomi  \r\n\tdaburi\t=\t1\r\n");
    EXPECT_EQ(myReadIni("Option", "Mode", m_path), "Yomikomi");
    EXPECT_EQ(myReadIni("OPTION", "Daburi", m_path), "1");

    // Writing through another spelling changes the existing key, not a new one.
    EXPECT_TRUE(myWriteIni("Option", "Mode", "Number", m_path));
    EXPECT_EQ(bytes(), "[option]\r\nMODE=Number\r\n\tdaburi\t=\t1\r\n");
}

TEST_F(IniFileTest, MissingFileSectionOrKeyReadsEmpty)
{
    EXPECT_EQ(myReadIni("Option", "Mode", m_path), "");
    EXPECT_FALSE(fs::exists(m_path));

    put("[Option]\r\nMode=Number\r\n; Daburi=1\r\nDaburi\r\n[Reset]\r\n");
    EXPECT_EQ(myReadIni("Option", "Width", m_path), "");
    EXPECT_EQ(myReadIni("Position", "Mode", m_path), "");
    EXPECT_EQ(myReadIni("Reset", "Mode", m_path), "");
    // A comment and a line without "=" are not the key.
    EXPECT_EQ(myReadIni("Option", "Daburi", m_path), "");
    // A key is looked for in its own section only.
    EXPECT_EQ(myReadIni("Reset", "Mode", m_path), "");
}

TEST_F(IniFileTest, ReadDropsOneMatchingPairOfQuotesAndStopsAtNul)
{
    using namespace std::string_literals;
    put("[S]\r\na=\"x y\"\r\nb='z'\r\nc=\"\"q\"\"\r\nd=\"open\r\ne=\"\r\nf=ab\0cd\r\ng=\"mixed'\r\n"s);
    EXPECT_EQ(myReadIni("S", "a", m_path), "x y");
    EXPECT_EQ(myReadIni("S", "b", m_path), "z");
    EXPECT_EQ(myReadIni("S", "c", m_path), "\"q\"");
    EXPECT_EQ(myReadIni("S", "d", m_path), "\"open");
    EXPECT_EQ(myReadIni("S", "e", m_path), "\"");
    EXPECT_EQ(myReadIni("S", "f", m_path), "ab");
    EXPECT_EQ(myReadIni("S", "g", m_path), "\"mixed'");
}

TEST_F(IniFileTest, ValuesThatTrimmingOrQuotesWouldChangeComeBackAsWritten)
{
    for (const std::string value : { " leading", "trailing ", "\"quoted\"", "'single'", "\"", "  ", "a=b", "[x]" }) {
        EXPECT_TRUE(myWriteIni("S", "k", value, m_path)) << value;
        EXPECT_EQ(myReadIni("S", "k", m_path), value);
    }
}

TEST_F(IniFileTest, ReadGivesAtMost255BytesWithoutSplittingACharacter)
{
    const std::string ascii(300, 'x');
    std::string kanji;
    for (int i = 0; i < 200; ++i)
        kanji += "漢"; // two bytes each in CP932
    ASSERT_TRUE(myWriteIni("UseFile", "1", ascii, m_path));
    ASSERT_TRUE(myWriteIni("UseFile", "2", kanji, m_path));
    ASSERT_TRUE(myWriteIni("UseFile", "3", "a" + kanji, m_path));

    EXPECT_EQ(myReadIni("UseFile", "1", m_path), std::string(255, 'x'));
    // 127 characters make 254 bytes; the half of a 128th does not come back.
    const std::string two = myReadIni("UseFile", "2", m_path);
    EXPECT_EQ(two, kanji.substr(0, 127 * 3));
    EXPECT_EQ(text::toCp932Exact(two)->size(), 254u);
    const std::string three = myReadIni("UseFile", "3", m_path);
    EXPECT_EQ(text::toCp932Exact(three)->size(), 255u);
    // The file itself keeps the whole value.
    EXPECT_NE(bytes().find(*text::toCp932Exact(kanji)), std::string::npos);
}

TEST_F(IniFileTest, WritingKeepsUnknownLinesAndOrder)
{
    put("; settings of kujimaru\n"
        "\n"
        "[Kujitan Position]\n"
        "Left=100\n"
        "Colour=blue\n"
        "\n"
        "[Other]\n"
        "x=1\n");
    ASSERT_TRUE(myWriteIni("Kujitan Position", "Left", "-120", m_path));
    ASSERT_TRUE(myWriteIni("Kujitan Position", "Top", "50", m_path));
    ASSERT_TRUE(myWriteIni("Option", "Mode", "Number", m_path));
    // New lines end the way the file's lines do.
    EXPECT_EQ(bytes(),
        "; settings of kujimaru\n"
        "\n"
        "[Kujitan Position]\n"
        "Left=-120\n"
        "Colour=blue\n"
        "Top=50\n"
        "\n"
        "[Other]\n"
        "x=1\n"
        "\n"
        "[Option]\n"
        "Mode=Number\n");
}

TEST_F(IniFileTest, LinesNotChangedAreWrittenBackByteForByte)
{
    const std::string eucComment = "; \xC0\xDF\xC4\xEA\n"; // a comment in EUC-JP
    const std::string odd = "Odd=\x82\n"; // a CP932 lead byte with no trail byte
    const std::string unknown = "[Unknown " + *text::toCp932Exact("日本") + "]\r\nx=\xFF\xFE\r\n";
    const std::string recent = "1=" + *text::toCp932Exact("C:\\名簿.csv");
    put(eucComment + "[Kujitan Position]\nLeft=100\n" + odd + "\n" + unknown + "[UseFile]\n" + recent);

    EXPECT_EQ(myReadIni("UseFile", "1", m_path), "C:\\名簿.csv");
    ASSERT_TRUE(myWriteIni("Kujitan Position", "Left", "-120", m_path));
    ASSERT_TRUE(myWriteIni("Kujitan Position", "Top", "50", m_path));
    ASSERT_TRUE(myWriteIni("UseFile", "2", "/home/一覧.txt", m_path));
    EXPECT_EQ(bytes(),
        eucComment + "[Kujitan Position]\nLeft=-120\n" + odd + "Top=50\n\n" + unknown + "[UseFile]\n" + recent
            + "\n2=" + *text::toCp932Exact("/home/一覧.txt") + "\n");

    // What a start and close of the program does to the recent files keeps the rest too.
    ASSERT_TRUE(myDeleteIniSection("UseFile", m_path));
    ASSERT_TRUE(myWriteIni("UseFile", "1", "C:\\名簿.csv", m_path));
    EXPECT_EQ(bytes().substr(0, eucComment.size()), eucComment);
    EXPECT_NE(bytes().find(odd + "Top=50\n\n" + unknown), std::string::npos);
}

TEST_F(IniFileTest, AFileKeepsItsEncoding)
{
    const std::string utf8 = "; コメント\n; \xC0\xDF\n[UseFile]\n1=/home/ユーザー/名簿.csv\n";
    for (const std::string& mark : { std::string(), std::string(text::kUtf8Bom) }) {
        // UTF-8 stays UTF-8, with its byte-order mark or without, whatever its comments hold.
        put(mark + utf8);
        EXPECT_EQ(myReadIni("UseFile", "1", m_path), "/home/ユーザー/名簿.csv");
        ASSERT_TRUE(myWriteIni("UseFile", "2", "/home/一覧.txt", m_path));
        EXPECT_EQ(bytes(), mark + utf8 + "2=/home/一覧.txt\n");
    }

    for (const bool bigEndian : { false, true }) {
        const std::string mark(bigEndian ? text::kUtf16BeBom : text::kUtf16LeBom);
        put(mark + text::utf8ToUtf16("; 設定\r\n[Option]\r\nMode=Yomikomi\r\n", bigEndian));
        EXPECT_EQ(myReadIni("Option", "Mode", m_path), "Yomikomi");
        ASSERT_TRUE(myWriteIni("Option", "Daburi", "1", m_path));
        EXPECT_EQ(bytes(), mark + text::utf8ToUtf16("; 設定\r\n[Option]\r\nMode=Yomikomi\r\nDaburi=1\r\n", bigEndian));
    }
}

TEST_F(IniFileTest, Cp932FileTakingAValueItCannotHoldBecomesUtf8WithoutLosingALine)
{
    const std::string comment = "; " + *text::toCp932Exact("設定") + "\r\n";
    const std::string broken = "bad=\x82\r\n";
    put(comment + "[UseFile]\r\n1=" + *text::toCp932Exact("/名簿.csv") + "\r\n" + broken);
    const std::string wide = "/home/café〜/一覧.txt";
    ASSERT_TRUE(myWriteIni("UseFile", "2", wide, m_path));
    // Lines that decode cleanly are converted; the one with an invalid byte keeps its bytes.
    EXPECT_EQ(bytes(),
        std::string(text::kUtf8Bom) + "; 設定\r\n[UseFile]\r\n1=/名簿.csv\r\n" + broken + "2=" + wide + "\r\n");
    EXPECT_EQ(myReadIni("UseFile", "1", m_path), "/名簿.csv");
    EXPECT_EQ(myReadIni("UseFile", "2", m_path), wide);

    ASSERT_TRUE(myWriteIni("UseFile", "3", "/x", m_path));
    EXPECT_EQ(bytes(),
        std::string(text::kUtf8Bom) + "; 設定\r\n[UseFile]\r\n1=/名簿.csv\r\n" + broken + "2=" + wide + "\r\n3=/x\r\n");
}

// Found by the settings-file fuzz target, as the three tests below.
TEST_F(IniFileTest, Utf16LinesKeepTheirUnitsEvenWhenTheyAreNoText)
{
    // A comment with an unpaired surrogate, and a last line ending in half a unit.
    const std::string le(text::kUtf16LeBom);
    const std::string lone("\x00\xD8", 2);
    const std::string before = le + text::utf8ToUtf16("; ", false) + lone + text::utf8ToUtf16("\r\n[Option]\r\n", false)
        + text::utf8ToUtf16("Mode=Number", false) + "\x41";
    put(before);
    EXPECT_EQ(IniFile::load(m_path)->bytes(), before);
    ASSERT_TRUE(myWriteIni("Option", "Daburi", "1", m_path));
    // The half unit cannot stay before another line: that line alone is written from its text.
    EXPECT_EQ(bytes(),
        le + text::utf8ToUtf16("; ", false) + lone
            + text::utf8ToUtf16("\r\n[Option]\r\nMode=Number\uFFFD\r\nDaburi=1\r\n", false));
}

TEST_F(IniFileTest, AValueWhoseCp932BytesReadAsUtf8MakesTheFileUtf8)
{
    put("[Option]\r\nMode=Number\r\n");
    ASSERT_TRUE(myWriteIni("Reset", "File", "ﾃ｡", m_path)); // C3 A1 in CP932: "á" in UTF-8
    EXPECT_EQ(bytes(), std::string(text::kUtf8Bom) + "[Option]\r\nMode=Number\r\n\r\n[Reset]\r\nFile=ﾃ｡\r\n");
    EXPECT_EQ(myReadIni("Reset", "File", m_path), "ﾃ｡");
}

TEST_F(IniFileTest, ANewLineAfterALoneCrStaysALineOfItsOwn)
{
    put("[Option]\nMode=Number\nlast\r");
    ASSERT_TRUE(myWriteIni("Reset", "Daburi", "1", m_path));
    // The blank line before the new section may not start with LF: CR LF would join it to "last".
    EXPECT_EQ(bytes(), "[Option]\nMode=Number\nlast\r\r\n[Reset]\nDaburi=1\n");
}

TEST_F(IniFileTest, PathKeysMayBeReadUpTo4096Bytes)
{
    const std::string path = "/home/" + std::string(290, 'p') + ".csv";
    ASSERT_EQ(path.size(), 300u);
    ASSERT_TRUE(myWriteIni("Reset", "File", path, m_path));
    EXPECT_EQ(myReadIni("Reset", "File", m_path, IniFile::kLongValueBytes), path);
    EXPECT_EQ(myReadIni("Reset", "File", m_path), path.substr(0, 255));

    const std::string huge(5000, 'h');
    ASSERT_TRUE(myWriteIni("UseFile", "1", huge, m_path));
    EXPECT_EQ(myReadIni("UseFile", "1", m_path, IniFile::kLongValueBytes), huge.substr(0, 4096));
}

TEST_F(IniFileTest, AWriteKilledBeforeTheRenameLeavesNothingAfterTheNextWrite)
{
    put("[Option]\r\nMode=Yomikomi\r\n");
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setBeforeReplaceHook([](const std::string&) -> bool { ::_exit(0); });
        myWriteIni("Option", "Mode", "Number", m_path);
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(filesInDir(), 2u);
    EXPECT_EQ(myReadIni("Option", "Mode", m_path), "Yomikomi");

    EXPECT_TRUE(myWriteIni("Option", "Daburi", "1", m_path));
    EXPECT_EQ(filesInDir(), 1u);
    EXPECT_EQ(bytes(), "[Option]\r\nMode=Yomikomi\r\nDaburi=1\r\n");
}

TEST_F(IniFileTest, ReadsEveryLineEndAndEncoding)
{
    put("[A]\nk=lf\r\n[B]\rk=cr\r[C]\r\nk=crlf");
    EXPECT_EQ(myReadIni("A", "k", m_path), "lf");
    EXPECT_EQ(myReadIni("B", "k", m_path), "cr");
    EXPECT_EQ(myReadIni("C", "k", m_path), "crlf");

    put("[UseFile]\r\n1=" + *text::toCp932Exact("C:\\くじ\\名簿.csv") + "\r\n");
    EXPECT_EQ(myReadIni("UseFile", "1", m_path), "C:\\くじ\\名簿.csv");
    put(std::string(text::kUtf8Bom) + "[UseFile]\r\n1=/home/ユーザー/é.csv\r\n");
    EXPECT_EQ(myReadIni("usefile", "1", m_path), "/home/ユーザー/é.csv");
    put("[UseFile]\r\n1=/home/ユーザー/名簿.csv\r\n");
    EXPECT_EQ(myReadIni("UseFile", "1", m_path), "/home/ユーザー/名簿.csv");
}

TEST_F(IniFileTest, WritesCp932UnlessAValueNeedsUtf8)
{
    ASSERT_TRUE(myWriteIni("UseFile", "1", "/home/名簿.csv", m_path));
    EXPECT_EQ(bytes(), "[UseFile]\r\n1=" + *text::toCp932Exact("/home/名簿.csv") + "\r\n");

    // U+301C and é have no exact CP932 form: the whole file turns to UTF-8 with a mark.
    const std::string wide = "/home/café〜/一覧.txt";
    ASSERT_TRUE(myWriteIni("UseFile", "2", wide, m_path));
    EXPECT_EQ(bytes(), std::string(text::kUtf8Bom) + "[UseFile]\r\n1=/home/名簿.csv\r\n2=" + wide + "\r\n");
    EXPECT_EQ(myReadIni("UseFile", "2", m_path), wide);
    EXPECT_EQ(myReadIni("UseFile", "1", m_path), "/home/名簿.csv");
}

TEST_F(IniFileTest, RefusesTextThatWouldBreakTheFileApart)
{
    put("[Reset]\r\nFile=/a.csv\r\n");
    const std::string before = bytes();
    EXPECT_FALSE(myWriteIni("Reset", "File", "/a\r\n[Option]\r\nMode=Yomikomi", m_path));
    EXPECT_FALSE(myWriteIni("Reset", "File", "/a\nb", m_path));
    EXPECT_FALSE(myWriteIni("Re]set", "File", "x", m_path));
    EXPECT_FALSE(myWriteIni("Reset", "Fi=le", "x", m_path));
    EXPECT_FALSE(myWriteIni("Reset", "  ", "x", m_path));
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(myReadIni("Option", "Mode", m_path), "");
}

TEST_F(IniFileTest, DeleteRemovesEverySectionOfTheName)
{
    put("[UseFile]\r\n1=/old1\r\n2=/old2\r\n\r\n[Option]\r\nMode=Number\r\n[usefile]\r\n3=/stale\r\n");
    ASSERT_TRUE(myDeleteIniSection("UseFile", m_path));
    EXPECT_EQ(bytes(), "[Option]\r\nMode=Number\r\n");
    ASSERT_TRUE(myWriteIni("UseFile", "1", "/new", m_path));
    EXPECT_EQ(myReadIni("UseFile", "3", m_path), "");
    EXPECT_EQ(myReadIni("Option", "Mode", m_path), "Number");
}

TEST_F(IniFileTest, OnlyTheFirstSectionOfANameIsRead)
{
    put("[Option]\r\nMode=Number\r\n[Other]\r\n[OPTION]\r\nMode=Yomikomi\r\nDaburi=1\r\n");
    EXPECT_EQ(myReadIni("Option", "Mode", m_path), "Number");
    EXPECT_EQ(myReadIni("Option", "Daburi", m_path), "");
}

TEST_F(IniFileTest, DeletingWhatIsNotThereWritesNothing)
{
    EXPECT_FALSE(myDeleteIniSection("UseFile", m_path));
    EXPECT_FALSE(fs::exists(m_path));
    put("[Option]\nMode=Number\n");
    EXPECT_FALSE(myDeleteIniSection("UseFile", m_path));
    EXPECT_EQ(bytes(), "[Option]\nMode=Number\n");
}

TEST_F(IniFileTest, FailureBeforeTheRenameLeavesTheOldFile)
{
    put("[Option]\r\nMode=Yomikomi\r\n");
    std::string seenNewFile;
    setBeforeReplaceHook([&](const std::string& newFile) {
        seenNewFile = newFile;
        // The new file is complete by now.
        EXPECT_EQ(bytesOf(newFile), "[Option]\r\nMode=Number\r\n");
        return false;
    });
    EXPECT_FALSE(myWriteIni("Option", "Mode", "Number", m_path));
    EXPECT_EQ(fs::path(seenNewFile).parent_path(), fs::path(m_dir));
    EXPECT_EQ(bytes(), "[Option]\r\nMode=Yomikomi\r\n");
    EXPECT_EQ(filesInDir(), 1u); // the abandoned new file is gone

    setBeforeReplaceHook({});
    EXPECT_TRUE(myWriteIni("Option", "Mode", "Number", m_path));
    EXPECT_EQ(myReadIni("Option", "Mode", m_path), "Number");
    EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(IniFileTest, UnwritableLocationIsSilentAndHarmless)
{
    // A folder that cannot exist: its parent is a regular file (this holds even for root).
    put(m_dir + "/plain", "not a folder");
    const std::string path = m_dir + "/plain/kujitan.ini";
    EXPECT_EQ(myReadIni("Option", "Mode", path), "");
    EXPECT_FALSE(myWriteIni("Option", "Mode", "Number", path));
    EXPECT_FALSE(myDeleteIniSection("Option", path));
    EXPECT_EQ(bytesOf(m_dir + "/plain"), "not a folder");

    // A folder in the place of the file is neither read nor replaced.
    fs::create_directory(m_path);
    EXPECT_EQ(myReadIni("Option", "Mode", m_path), "");
    EXPECT_FALSE(myWriteIni("Option", "Mode", "Number", m_path));
    EXPECT_TRUE(fs::is_directory(m_path));
}

TEST_F(IniFileTest, ReadOnlyFileIsLeftAloneAndAReadOnlyFolderIsWrittenInPlace)
{
    const std::string original = "[Option]\r\nMode=Yomikomi\r\n";
    put(original);
    const auto writeAsUser = [&](const char* key, const char* value) {
        return kuji::test::runUnprivileged([&] { return myWriteIni("Option", key, value, m_path) ? 0 : 1; });
    };
    const auto perms = [](int bits) { return static_cast<fs::perms>(bits); };

    fs::permissions(m_dir, fs::perms::all);
    fs::permissions(m_path, perms(0444));
    const int readOnly = writeAsUser("Mode", "Number");
    if (readOnly == kuji::test::kCannotDropRights)
        GTEST_SKIP() << "cannot run a process without rights here";
    EXPECT_EQ(readOnly, 1);
    EXPECT_EQ(bytes(), original);

    // A folder that takes no new file, a file that may be written: the file is rewritten.
    fs::permissions(m_path, perms(0666));
    fs::permissions(m_dir, perms(0555));
    EXPECT_EQ(writeAsUser("Mode", "Number"), 0);
    EXPECT_EQ(bytes(), "[Option]\r\nMode=Number\r\n");

    // An existing file that cannot be read is not overwritten with a profile missing its keys.
    fs::permissions(m_dir, fs::perms::all);
    fs::permissions(m_path, perms(0222));
    EXPECT_EQ(writeAsUser("Daburi", "1"), 1);
    EXPECT_EQ(bytes(), "[Option]\r\nMode=Number\r\n");
}

TEST_F(IniFileTest, ReplacingKeepsTheFileModeAndFollowsALink)
{
    const std::string real = m_dir + "/real.ini";
    put(real, "[Option]\r\nMode=Number\r\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, m_path);

    ASSERT_TRUE(myWriteIni("Option", "Daburi", "1", m_path));
    EXPECT_TRUE(fs::is_symlink(m_path));
    EXPECT_EQ(bytesOf(real), "[Option]\r\nMode=Number\r\nDaburi=1\r\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
