#include "pickup/ConditionFile.h"

#include <cerrno>
#include <string>
#include <vector>

#include "common/TextCodec.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace kuji;

namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

Rows pairs(const ConditionFileContent& content)
{
    Rows out;
    for (const ConditionFileRow& row : content.rows)
        out.emplace_back(row.column, row.phrase);
    return out;
}

std::vector<ConditionFileRow> rows(const Rows& from)
{
    std::vector<ConditionFileRow> out;
    for (const auto& [column, phrase] : from)
        out.push_back({ column, phrase });
    return out;
}

class ConditionFileTest : public kuji::test::TempFolderTest { };

} // namespace

TEST_F(ConditionFileTest, SavedListsComeBackUnchanged)
{
    const Rows list = { { "1", "abc" }, { "0", "x,y" } };
    const std::string saved = formatConditionFile(rows(list));
    EXPECT_EQ(saved, "\"1\",\"abc\"\r\n\"0\",\"x,y\"\r\n");
    // Plain text goes to the file as it is.
    EXPECT_EQ(text::encodeForSave(saved), saved);

    ConditionFileContent loaded;
    ErrorInfo err;
    ASSERT_TRUE(readConditionFile(write("and.csv", text::encodeForSave(saved)), 0, loaded, err));
    EXPECT_EQ(pairs(loaded), list);
    EXPECT_EQ(loaded.problem, ConditionFileProblem::None);

    // Quotes inside a field are doubled on the way out and single again on the way in.
    const Rows quoted = { { "2", "a\"b" }, { "1", "\"" }, { "3", "\"\"x\"" }, { "0", "" }, { "\"5", "髙橋 ～" } };
    const std::string savedQuoted = formatConditionFile(rows(quoted));
    EXPECT_EQ(savedQuoted.substr(0, 12), "\"2\",\"a\"\"b\"\r\n");
    EXPECT_EQ(pairs(parseConditionFile(savedQuoted, 0)), quoted);
    // Japanese text is written in CP932 and read back through the shared decoder.
    const std::string bytes = text::encodeForSave(savedQuoted);
    EXPECT_NE(bytes, savedQuoted);
    ASSERT_TRUE(readConditionFile(write("q.csv", bytes), 0, loaded, err));
    EXPECT_EQ(pairs(loaded), quoted);
}

TEST_F(ConditionFileTest, LoadingAppendsToWhateverTheListHolds)
{
    // The window appends what it reads; a file names no list, so any list takes it, twice over.
    const std::string path = write("list.csv", "\"1\",\"abc\"\r\n\"2\",\"def\"\r\n");
    std::vector<ConditionFileRow> notOr = { { "3", "held" } };
    for (int load = 0; load < 2; ++load) {
        ConditionFileContent content;
        ErrorInfo err;
        ASSERT_TRUE(readConditionFile(path, notOr.size(), content, err));
        notOr.insert(notOr.end(), content.rows.begin(), content.rows.end());
    }
    Rows all;
    for (const auto& row : notOr)
        all.emplace_back(row.column, row.phrase);
    EXPECT_EQ(all, (Rows { { "3", "held" }, { "1", "abc" }, { "2", "def" }, { "1", "abc" }, { "2", "def" } }));

    ConditionFileContent content;
    ErrorInfo err;
    EXPECT_FALSE(readConditionFile(m_dir + "/missing.csv", 0, content, err));
    EXPECT_EQ(err.number, ENOENT);
}

TEST_F(ConditionFileTest, ReadingRules)
{
    struct Case {
        const char* label;
        std::string text;
        Rows rows;
        ConditionFileProblem problem = ConditionFileProblem::None;
    };
    const Case cases[] = {
        { "empty file", "", {} },
        { "only spaces and line ends", "  \r\n\r\n \n", {} },
        { "unquoted pair", "2,abc", { { "2", "abc" } } },
        { "one value per line", "1\r\nabc\r\n2\r\ndef\r\n", { { "1", "abc" }, { "2", "def" } } },
        { "fields regardless of lines", "1,a,2\nb\n", { { "1", "a" }, { "2", "b" } } },
        { "CR and LF end lines alike", "\"1\",\"a\"\r\"2\",\"b\"\n\"3\",\"c\"",
            { { "1", "a" }, { "2", "b" }, { "3", "c" } } },
        { "spaces around unquoted fields go", "  2 ,  ab c  \r\n", { { "2", "ab c" } } },
        { "spaces inside quotes stay", " \" 2 \", \" x \" \r\n", { { " 2 ", " x " } } },
        { "text after a closing quote is ignored", "\"1\"xx,\"a\"b\"\r\n\"2\",\"c\"", { { "1", "a" }, { "2", "c" } } },
        { "a quoted comma and line end", "\"0\",\"x,\r\ny\"", { { "0", "x,\r\ny" } } },
        { "an unclosed quote takes the rest", "\"1\",\"ab\r\n", { { "1", "ab\r\n" } } },
        { "an empty line within is an empty field", "1,a\r\n\r\n2,b\r\n", { { "1", "a" }, { "", "2" } },
            ConditionFileProblem::LoneColumn },
        { "final empty lines are ignored", "\"1\",\"a\"\r\n\r\n\r\n  ", { { "1", "a" } } },
        { "a lone column number", "\"1\",\"a\"\r\n\"2\"\r\n", { { "1", "a" } }, ConditionFileProblem::LoneColumn },
        // A comma after the column number promises a phrase: the empty one, at the end of the
        // file as much as before another pair.
        { "an empty last phrase", "\"1\",\"a\"\r\n2,\r\n", { { "1", "a" }, { "2", "" } } },
        { "an empty last phrase without a line end", "\"1\",\"a\"\r\n2,", { { "1", "a" }, { "2", "" } } },
        { "an empty phrase within", "2,\r\n3,x\r\n", { { "2", "" }, { "3", "x" } } },
        { "an empty quoted last phrase after spaces", "\"2\",  \r\n", { { "2", "" } } },
        { "an empty quoted phrase is a phrase", "\"1\",\"\"", { { "1", "" } } },
    };
    for (const Case& c : cases) {
        const ConditionFileContent content = parseConditionFile(c.text, 0);
        EXPECT_EQ(pairs(content), c.rows) << c.label;
        EXPECT_EQ(content.problem, c.problem) << c.label;
    }
}

TEST_F(ConditionFileTest, AListStopsAtItsLimit)
{
    const std::string three = "1,a\r\n2,b\r\n3,c\r\n";
    const ConditionFileContent nearlyFull = parseConditionFile(three, kMaxConditionsPerList - 2);
    EXPECT_EQ(pairs(nearlyFull), (Rows { { "1", "a" }, { "2", "b" } }));
    EXPECT_EQ(nearlyFull.problem, ConditionFileProblem::TooManyConditions);

    EXPECT_EQ(parseConditionFile(three, kMaxConditionsPerList - 3).problem, ConditionFileProblem::None);
    EXPECT_EQ(parseConditionFile("\r\n", kMaxConditionsPerList).problem, ConditionFileProblem::None);
    EXPECT_TRUE(parseConditionFile(three, kMaxConditionsPerList + 5).rows.empty());

    EXPECT_EQ(conditionFileMessage(ConditionFileProblem::TooManyConditions),
        "Error:1つのリストに登録できる条件は32767件までです｡\r\n"
        "       それを超える条件は登録しませんでした｡");
    EXPECT_EQ(conditionFileMessage(ConditionFileProblem::None), "");
}
