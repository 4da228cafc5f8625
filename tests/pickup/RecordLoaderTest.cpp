#include "pickup/RecordLoader.h"
#include "common/FilePaths.h"
#include "common/FileReading.h"
#include "pickup/RecordFields.h"

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "common/TextCodec.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace kuji;
using Texts = std::vector<std::string>;

namespace {

// What the data-error dialog was asked, in order.
struct Asked {
    std::string lines;
    std::string record;
    bool operator==(const Asked&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Asked& asked)
{
    return out << "{" << asked.lines << ": " << asked.record << "}";
}

struct LoadResult {
    RecordLoader::Outcome outcome = RecordLoader::Outcome::None;
    std::int32_t separators = -1;
    Texts rows;
    std::vector<Asked> asked;
};

// The dialog's part: answers one question. The default skips.
using Answer = std::function<void(RecordLoader&)>;

Texts texts(const EntryList& rows)
{
    Texts out;
    for (const auto& row : rows)
        out.emplace_back(row.text);
    return out;
}

class RecordLoaderTest : public kuji::test::TempFolderTest {
protected:
    // Drives a load the way the window does: slices, and a dialog for every question.
    LoadResult load(
        RecordLoader& loader, const std::string& path, const Answer& answer = skipIt, bool slicesEndAtOnce = false)
    {
        LoadResult result;
        auto state = loader.start(path);
        while (state != RecordLoader::State::Finished) {
            if (state == RecordLoader::State::Question) {
                result.asked.push_back({ loader.question().lineText(), loader.question().record });
                answer(loader);
            }
            state = slicesEndAtOnce ? loader.step(std::chrono::steady_clock::time_point::min()) : loader.runToPause();
        }
        result.separators = loader.separatorCount();
        result.outcome = loader.outcome();
        result.rows = texts(loader.rows());
        return result;
    }

    LoadResult load(const std::string& name, const std::string& bytes, const Answer& answer = skipIt)
    {
        RecordLoader loader;
        return load(loader, write(name, bytes), answer);
    }

    static void skipIt(RecordLoader& loader) { EXPECT_TRUE(loader.skip()); }
};

struct JudgeCase {
    const char* label;
    const char* name;
    std::string bytes;
    std::int32_t separators;
    Texts rows;
    std::vector<Asked> asked;
};

TEST_F(RecordLoaderTest, RecordsAreJudgedByTheFirstRecordsCommas)
{
    const JudgeCase cases[] = {
        { "a blank line is bad data", "a.csv", "a,b\r\n\r\nc,d\r\n", 1, { "a,b", "c,d" }, { { "2", "" } } },
        { "a blank line is bad with no commas either", "a.txt", "a\n\nb\n", 0, { "a", "b" }, { { "2", "" } } },
        { "separator count 0 takes comma-free records", "a.txt", "x\ny\na,b\nz\n", 0, { "x", "y", "z" },
            { { "3", "a,b" } } },
        { "a blank first line fixes 0 and is itself bad", "a.csv", "\r\nx\r\ny,z\r\n", 0, { "x" },
            { { "1", "" }, { "3", "y,z" } } },
        { "quoted commas separate and quotes stay", "a.csv", "a,\"b,c\",d\r\n1,2,3,4\r\n1,\"2,3\",4\r\n1,2,3\r\n", 3,
            { "a,\"b,c\",d", "1,2,3,4", "1,\"2,3\",4" }, { { "4", "1,2,3" } } },
        { "too many commas is bad too", "a.txt", "a,b\na,b,c\n", 1, { "a,b" }, { { "2", "a,b,c" } } },
        { "a .csv record over lines 7 to 9 is one record", "a.csv",
            "h,1\r\nh,2\r\nh,3\r\nh,4\r\nh,5\r\nh,6\r\nx\"p,\r\nq,\r\nr\"\r\nh,10\r\nbad\r\n", 1,
            { "h,1", "h,2", "h,3", "h,4", "h,5", "h,6", "h,10" },
            { { "7-9", "x\"p,\r\nq,\r\nr\"" }, { "11", "bad" } } },
        { "the same lines in .txt are three records", "a.txt",
            "h,1\r\nh,2\r\nh,3\r\nh,4\r\nh,5\r\nh,6\r\nx\"p,\r\nq,\r\nr\"\r\nh,10\r\nbad\r\n", 1,
            { "h,1", "h,2", "h,3", "h,4", "h,5", "h,6", "x\"p,", "q,", "h,10" }, { { "9", "r\"" }, { "11", "bad" } } },
        { "an unbalanced quote takes the rest of a .csv file", "a.CSV", "a,b\n\"c,d\ne,f\n", 1, { "a,b" },
            { { "2-3", "\"c,d\r\ne,f" } } },
        { "a quoted first record over two lines", "a.csv", "\"a\nb\",c\nd,e\n", 1, { "\"a\r\nb\",c", "d,e" }, {} },
    };
    for (const JudgeCase& c : cases) {
        const LoadResult result = load(c.name, c.bytes);
        EXPECT_EQ(result.outcome, RecordLoader::Outcome::Loaded) << c.label;
        EXPECT_EQ(result.separators, c.separators) << c.label;
        EXPECT_EQ(result.rows, c.rows) << c.label;
        EXPECT_EQ(result.asked, c.asked) << c.label;
    }
}

TEST_F(RecordLoaderTest, TheQuestionShowsWhatTheDialogNeeds)
{
    RecordLoader loader;
    const std::string path = write("会員.csv", *text::toCp932Exact("名前,年齢\r\n佐藤\r\n\"鈴木\r\n\",20\r\n"));
    ASSERT_EQ(loader.start(path), RecordLoader::State::Reading);
    ASSERT_EQ(loader.runToPause(), RecordLoader::State::Question);
    const DataErrorQuestion& q = loader.question();
    EXPECT_EQ(q.fileName, myGetFileName(path, false));
    EXPECT_EQ(q.fileLabel(), "ﾌｧｲﾙ名: " + q.fileName);
    EXPECT_TRUE(q.fileName.ends_with("会員.csv"));
    EXPECT_EQ(q.rowLabel(), "行 番号: 2");
    EXPECT_EQ(q.record, "佐藤");
    EXPECT_EQ(q.separatorCount, 1);
    EXPECT_EQ(q.fieldsFound, 1u);
    EXPECT_TRUE(q.editable);

    // Nothing moves on until the question is answered.
    EXPECT_EQ(loader.runToPause(), RecordLoader::State::Question);
    EXPECT_EQ(loader.recordsRead(), 2);
    ASSERT_TRUE(loader.skip());
    EXPECT_FALSE(loader.skip());
    EXPECT_EQ(loader.runToPause(), RecordLoader::State::Finished);
    EXPECT_EQ(texts(loader.rows()), (Texts { "名前,年齢", "\"鈴木\r\n\",20" }));
    EXPECT_EQ(loader.path(), path);
    EXPECT_EQ(loader.skippedCount(), 1);
    EXPECT_EQ(loader.linesRead(), 4);
}

TEST_F(RecordLoaderTest, FixNeedsTheRightNumberOfCommas)
{
    RecordLoader loader;
    int attempts = 0;
    const LoadResult result
        = load(loader, write("f.csv", "a,b,c\r\nbad\r\nd,e,f\r\n\r\ng,h,i\r\n"), [&](RecordLoader& l) {
              ++attempts;
              const std::string before = l.question().record;
              // Too few, too many, and nothing: refused without a word, the question stays.
              for (const char* wrong : { "x,y", "x,y,z,w", "" }) {
                  EXPECT_FALSE(l.fix(wrong)) << wrong;
                  EXPECT_EQ(l.state(), RecordLoader::State::Question);
                  EXPECT_EQ(l.question().record, before);
              }
              // Line breaks of the text box become CR LF, like those of a record read from the file.
              EXPECT_TRUE(l.fix(attempts == 1 ? "fixed,1\n,x" : "fixed,2,x"));
              EXPECT_FALSE(l.fix("late,too,x"));
          });
    EXPECT_EQ(result.outcome, RecordLoader::Outcome::Loaded);
    // Each correction stands after the rows read before its bad record.
    EXPECT_EQ(result.rows, (Texts { "a,b,c", "fixed,1\r\n,x", "d,e,f", "fixed,2,x", "g,h,i" }));
    EXPECT_EQ(loader.fixedCount(), 2);
    EXPECT_EQ(loader.skippedCount(), 0);
}

TEST_F(RecordLoaderTest, SkipAllLastsForOneLoad)
{
    const std::string path = write("s.txt", "a,b\nbad1\na,c\nbad2\nbad3\na,d\n");
    RecordLoader loader;
    const LoadResult first = load(loader, path, [](RecordLoader& l) { EXPECT_TRUE(l.skipAll()); });
    EXPECT_EQ(first.asked, (std::vector<Asked> { { "2", "bad1" } }));
    EXPECT_EQ(first.rows, (Texts { "a,b", "a,c", "a,d" }));
    EXPECT_EQ(loader.skippedCount(), 3);

    // The same loader asks again on its next load.
    const LoadResult second = load(loader, path);
    EXPECT_EQ(second.asked.size(), 3u);
    EXPECT_EQ(second.rows, first.rows);
}

TEST_F(RecordLoaderTest, LoadsThatDoNotCompleteLeaveNothing)
{
    RecordLoader loader;
    // A completed load first, so that leftovers would show.
    ASSERT_EQ(load(loader, write("good.csv", "a,b\nc,d\n")).rows.size(), 2u);

    const auto expectNothing = [&](RecordLoader::Outcome outcome, const char* label) {
        EXPECT_EQ(loader.state(), RecordLoader::State::Finished) << label;
        EXPECT_EQ(loader.outcome(), outcome) << label;
        EXPECT_TRUE(loader.rows().empty()) << label;
        EXPECT_TRUE(loader.path().empty()) << label;
        EXPECT_EQ(loader.separatorCount(), 0) << label;
        EXPECT_EQ(loader.recordsRead(), 0) << label;
    };

    loader.start(write("empty.csv", ""));
    loader.runToPause();
    expectNothing(RecordLoader::Outcome::Empty, "empty file");

    // Files that cannot be opened end the load at once.
    EXPECT_EQ(loader.start(m_dir + "/missing.csv"), RecordLoader::State::Finished);
    expectNothing(RecordLoader::Outcome::ReadFailed, "missing file");
    EXPECT_EQ(loader.error().number, ENOENT);

    EXPECT_EQ(loader.start(m_dir), RecordLoader::State::Finished);
    expectNothing(RecordLoader::Outcome::ReadFailed, "a folder");
    EXPECT_EQ(loader.error().number, EISDIR);

    // Stopped between slices: a few hundred records are judged per slice.
    std::string many;
    for (int i = 0; i < 3000; ++i)
        many += "r," + std::to_string(i) + "\n";
    ASSERT_EQ(loader.start(write("many.txt", many)), RecordLoader::State::Reading);
    loader.step(std::chrono::steady_clock::time_point::min());
    EXPECT_EQ(loader.separatorCount(), 1);
    EXPECT_GT(loader.rows().size(), 0u);
    EXPECT_LT(loader.rows().size(), 3000u);
    loader.requestStop();
    EXPECT_EQ(loader.step(std::chrono::steady_clock::time_point::max()), RecordLoader::State::Finished);
    expectNothing(RecordLoader::Outcome::Stopped, "stopped");

    // Stopped while the dialog waits: the question goes away with the load.
    ASSERT_EQ(loader.start(write("q.txt", "a,b\nbad\nc,d\n")), RecordLoader::State::Reading);
    ASSERT_EQ(loader.runToPause(), RecordLoader::State::Question);
    loader.requestStop();
    EXPECT_FALSE(loader.skip());
    loader.runToPause();
    expectNothing(RecordLoader::Outcome::Stopped, "stopped at a question");
}

TEST_F(RecordLoaderTest, ARunawayFirstRecordIsRefused)
{
    // The count is kept in 16 bits: 32767 commas still load, one more is refused.
    RecordLoader loader;
    const std::string limit(kMaxRecordSeparators, ',');
    const LoadResult fits = load(loader, write("w.csv", limit + "\r\n" + limit + "\r\n"));
    EXPECT_EQ(fits.outcome, RecordLoader::Outcome::Loaded);
    EXPECT_EQ(fits.separators, kMaxRecordSeparators);
    EXPECT_EQ(fits.rows.size(), 2u);

    // An unclosed quote on line 1 makes the whole file its first record.
    std::string runaway = "\"a";
    for (int i = 0; i < 40000; ++i)
        runaway += "\nx,y";
    ASSERT_EQ(loader.start(write("r.csv", runaway)), RecordLoader::State::Reading);
    EXPECT_EQ(loader.runToPause(), RecordLoader::State::Finished);
    EXPECT_EQ(loader.outcome(), RecordLoader::Outcome::TooManySeparators);
    EXPECT_EQ(loader.message(),
        "Error:1件目のレコードのカンマが多すぎるため、このファイルは読み込めません｡\r\n"
        "       カンマは1件のレコードに32767個までです｡");
    EXPECT_TRUE(loader.rows().empty());
    EXPECT_TRUE(loader.path().empty());
    EXPECT_EQ(loader.separatorCount(), 0);
}

TEST_F(RecordLoaderTest, AnUnclosedQuoteIsReportedByItsFirstLine)
{
    struct Case {
        const char* name;
        const char* bytes;
        std::int32_t line;
    };
    const Case cases[] = {
        { "u.csv", "a,b\r\nc,\"d\r\ne,f\r\ng,h\r\n", 2 },
        { "u.csv", "a,b\r\nc,\"d\"\r\ne,f\r\n", 0 },
        { "u.csv", "a,b\r\nc,d\"", 2 },
        { "u.csv", "\"a,b\r\n", 1 },
        { "u.txt", "a,b\r\nc,\"d\r\ne,f\r\n", 0 },
    };
    for (const Case& c : cases) {
        RecordLoader loader;
        load(loader, write(c.name, c.bytes));
        EXPECT_EQ(loader.unclosedQuoteLine(), c.line) << c.bytes;
    }
}

TEST_F(RecordLoaderTest, HugeBadRecordsCanOnlyBeSkipped)
{
    struct Case {
        std::string record;
        bool editable;
    };
    // Characters count, not bytes: 400,000 kana take 1.2 MB and are still editable.
    std::string kana;
    for (int i = 0; i < 400'000; ++i)
        kana += "あ";
    const Case cases[] = {
        { std::string(kMaxEditableRecordChars, 'x'), true },
        { std::string(kMaxEditableRecordChars + 1, 'x'), false },
        { kana, true },
    };
    for (const Case& c : cases) {
        RecordLoader loader;
        ASSERT_EQ(loader.start(write("h.txt", "a,b\n" + c.record + "\nc,d\n")), RecordLoader::State::Reading);
        ASSERT_EQ(loader.runToPause(), RecordLoader::State::Question);
        EXPECT_EQ(loader.question().editable, c.editable);
        EXPECT_EQ(loader.fix("ok,1"), c.editable);
        if (!c.editable) {
            EXPECT_TRUE(loader.skip());
        }
        EXPECT_EQ(loader.runToPause(), RecordLoader::State::Finished);
        EXPECT_EQ(loader.rows().size(), c.editable ? 3u : 2u);
    }
}

TEST_F(RecordLoaderTest, SlicesAndPiecesChangeNothing)
{
    // Good, bad, blank and multi-line records in a file far larger than a few slices.
    std::string bytes;
    for (int i = 0; i < 4000; ++i) {
        switch (i % 11) {
        case 3:
            bytes += "bad" + std::to_string(i) + "\r\n";
            break;
        case 5:
            bytes += "\r\n";
            break;
        case 7:
            bytes += "\"q" + std::to_string(i) + "\r\nline\",2,3\r\n";
            break;
        case 9:
            bytes += "\"q,\r\n\",x\r\n";
            break;
        default:
            bytes += "髙橋" + std::to_string(i) + ",b,c\r\n";
            break;
        }
    }
    const std::string path = write("big.csv", *text::toCp932Exact(bytes));
    // Every third question is corrected, the others skipped.
    const auto answer = [](RecordLoader& l) {
        if (l.question().firstLine % 3 == 0)
            EXPECT_TRUE(l.fix("fix," + l.question().lineText() + ",z"));
        else
            EXPECT_TRUE(l.skip());
    };

    RecordLoader whole;
    const LoadResult expected = load(whole, path, answer);
    EXPECT_EQ(expected.outcome, RecordLoader::Outcome::Loaded);
    EXPECT_EQ(whole.linesRead(), 4000 + 4000 / 11 * 2);
    EXPECT_EQ(whole.recordsRead(), 4000);
    EXPECT_GT(whole.fixedCount(), 0);

    for (std::size_t piece : { 7, 4096 }) {
        RecordLoader sliced(piece);
        const LoadResult result = load(sliced, path, answer, true);
        EXPECT_EQ(result.rows, expected.rows) << piece;
        EXPECT_EQ(result.asked, expected.asked) << piece;
        EXPECT_EQ(sliced.linesRead(), whole.linesRead());
    }
}

TEST_F(RecordLoaderTest, ReadingALargeFileIsSlicedToo)
{
    // A file of several read pieces, with bad records on the way.
    std::string bytes;
    for (int i = 0; bytes.size() < (std::size_t { 5 } << 20); ++i)
        bytes += (i % 1000 == 999 ? "bad" : "r,") + std::to_string(i) + "\r\n";
    const std::string path = write("large.txt", *text::toCp932Exact(bytes));
    RecordLoader whole;
    const LoadResult expected = load(whole, path);

    // Slices that end at once: the first ones only read, and the count comes before any
    // record is judged.
    RecordLoader sliced;
    ASSERT_EQ(sliced.start(path), RecordLoader::State::Reading);
    EXPECT_EQ(sliced.lineCount(), 0);
    int readingSlices = 0;
    while (sliced.lineCount() == 0) {
        ASSERT_EQ(sliced.step(std::chrono::steady_clock::time_point::min()), RecordLoader::State::Reading);
        if (sliced.lineCount() == 0) {
            EXPECT_EQ(sliced.recordsRead(), 0);
            ++readingSlices;
        }
    }
    EXPECT_GT(readingSlices, 0);
    EXPECT_EQ(sliced.lineCount(), whole.lineCount());
    EXPECT_EQ(sliced.lineCount(), myGetLineCount(path));
    EXPECT_EQ(sliced.separatorCount(), 1);

    // Stopped while reading: nothing is left.
    RecordLoader stopped;
    ASSERT_EQ(stopped.start(path), RecordLoader::State::Reading);
    stopped.step(std::chrono::steady_clock::time_point::min());
    stopped.requestStop();
    EXPECT_EQ(stopped.step(std::chrono::steady_clock::time_point::max()), RecordLoader::State::Finished);
    EXPECT_EQ(stopped.outcome(), RecordLoader::Outcome::Stopped);
    EXPECT_TRUE(stopped.rows().empty());
    EXPECT_TRUE(stopped.path().empty());

    const LoadResult result = load(sliced, path, skipIt, true);
    EXPECT_EQ(result.outcome, RecordLoader::Outcome::Loaded);
    EXPECT_EQ(result.rows, expected.rows);
    EXPECT_EQ(result.asked, expected.asked);
    EXPECT_EQ(result.asked.size(), static_cast<std::size_t>(whole.recordsRead() / 1000));
}

TEST(RecordFields, FieldsAreTheTextsBetweenCommas)
{
    const std::string_view record = "a,\"b,c\",,d";
    const Texts expected = { "a", "\"b", "c\"", "", "d", "" };
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(recordField(record, i), expected[i]) << i;
    EXPECT_EQ(countFields(""), 0u);
    EXPECT_EQ(countFields(","), 2u);
    EXPECT_FALSE(hasFieldCount("", 0));
    EXPECT_TRUE(hasFieldCount(" ", 0));

    EXPECT_EQ(myGetFileName("/home/a.b/list.csv", false), "list.csv");
    EXPECT_EQ(myGetFileName("/home/a.b/list.v2.csv", true), "list.v2");
    EXPECT_EQ(myGetFileName("/home/a.b/", false), "");
    EXPECT_EQ(myGetFileName("list.csv", false), "list.csv");
    EXPECT_EQ(myRemoveExtension("noext"), "noext");
}

} // namespace
