#include "entries/ListFile.h"
#include "common/FilePaths.h"

#include "entries/EntryReader.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace kuji;
using Texts = std::vector<std::string>;

namespace {

class ListFileTest : public kuji::test::TempFolderTest {
protected:
    static std::string bytesOf(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    static std::string bytesFor(const Texts& values)
    {
        return listFileBytes(values.size(), [&](std::size_t i) -> const std::string& { return values[i]; });
    }
    Texts readBack(const std::string& path) const
    {
        EntryReader reader;
        ErrorInfo err;
        EXPECT_TRUE(reader.open(path, myIsCsvFile(path), err));
        EntryList rows;
        reader.readAll(rows);
        Texts out;
        for (const auto& row : rows)
            out.emplace_back(row.text);
        return out;
    }
};

} // namespace

TEST_F(ListFileTest, OneValuePerLineAsItStands)
{
    const struct {
        const char* label;
        Texts values;
        std::string bytes;
    } cases[] = {
        { "empty list", {}, "" },
        { "values with quotes and commas", { "1,\"a\",b", "  x  " }, "1,\"a\",b\r\n  x  \r\n" },
        { "round header and separator rows", { "1回目", "7", "", "2回目", "3" },
            *text::toCp932Exact("1回目\r\n7\r\n\r\n2回目\r\n3\r\n") },
        { "a record of two lines", { "\"a\r\nb\"", "c" }, "\"a\r\nb\"\r\nc\r\n" },
        { "editor text as one value", { "p\r\nq" }, "p\r\nq\r\n" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(bytesFor(c.values), c.bytes) << c.label;
}

TEST_F(ListFileTest, SavesCp932UnlessAValueNeedsUtf8AndReadsBackIdentical)
{
    const Texts japanese = { "髙橋", "ｶﾀｶﾅ", "～①" };
    ErrorInfo err;
    // The name's extension changes nothing.
    for (const char* name : { "/r.csv", "/r.txt", "/r.xls" }) {
        const std::string path = m_dir + name;
        ASSERT_TRUE(saveListFile(
            path, japanese.size(), [&](std::size_t i) { return japanese[i]; }, err));
        EXPECT_EQ(bytesOf(path), *text::toCp932Exact("髙橋\r\nｶﾀｶﾅ\r\n～①\r\n"));
        EXPECT_EQ(readBack(path), japanese);
    }

    // One value CP932 cannot hold, however late, makes the whole file UTF-8.
    for (const std::string odd : { "𠮷野", "〜", "😀", "café" }) {
        Texts values(1000, "髙橋");
        values.push_back(odd);
        const std::string path = m_dir + "/u.txt";
        ListFile file;
        for (const std::string& v : values)
            file.add(v);
        EXPECT_EQ(file.encoding(), text::Encoding::Utf8Bom);
        ASSERT_TRUE(file.save(path, err)) << err.description;
        EXPECT_EQ(bytesOf(path).substr(0, 3), text::kUtf8Bom);
        EXPECT_EQ(readBack(path), values) << odd;
    }
}
