#include "records/EntriesCopy.h"
#include "draw/DrawSeed.h"

#include <gtest/gtest.h>

using namespace kuji;

namespace {

EntryList awkwardEntries()
{
    EntryList entries;
    for (const char* text :
        { "青木 一郎", "", "two\r\nlines", "12:34", "ends with a break\n", "\"quoted, with comma\"", "" })
        entries.append(text);
    return entries;
}

std::vector<std::string> textsOf(const EntryList& entries)
{
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < entries.size(); ++i)
        texts.emplace_back(entries.text(i));
    return texts;
}

} // namespace

TEST(EntriesCopy, KeepsEveryEntryByteForByte)
{
    const EntryList entries = awkwardEntries();
    const std::string text = EntriesCopy::format(entries);
    EXPECT_TRUE(EntriesCopy::looksLikeCopy(text));
    EXPECT_NE(text.find("\ntwo\\r\\nlines\n"), std::string::npos) << text;
    EntryList read;
    std::string problem;
    ASSERT_TRUE(EntriesCopy::parse(text, read, problem)) << problem;
    EXPECT_EQ(textsOf(read), textsOf(entries));
    EXPECT_EQ(WorkListHasher::of(read), WorkListHasher::of(entries));

    ASSERT_TRUE(EntriesCopy::parse(EntriesCopy::format(EntryList()), read, problem)) << problem;
    EXPECT_TRUE(read.empty());
}

TEST(EntriesCopy, CutShortDamagedOrEditedCopiesAreRefused)
{
    const std::string text = EntriesCopy::format(awkwardEntries());
    EntryList read;
    std::string problem;
    for (std::size_t size = 0; size < text.size(); ++size) {
        EXPECT_FALSE(EntriesCopy::parse(text.substr(0, size), read, problem)) << size;
        EXPECT_TRUE(read.empty()) << size;
    }
    // Same lengths, one letter changed: only the digest can tell.
    std::string edited = text;
    edited[edited.find("青木")] = 'X';
    EXPECT_FALSE(EntriesCopy::parse(edited, read, problem));
    // An editor that turned the line ends into CR LF moved every entry.
    std::string windows;
    for (char c : text)
        windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_FALSE(EntriesCopy::parse(windows, read, problem));
    // A count far beyond what the text holds ends quickly instead of asking for the memory.
    std::string huge = text;
    huge.replace(huge.find("件数: 7"), 9, "件数: 9999999999999999");
    EXPECT_FALSE(EntriesCopy::parse(huge, read, problem));
    EXPECT_FALSE(EntriesCopy::parse("番号,名前\n", read, problem));
}

TEST(EntriesCopy, CopiesOfTheFirstFormatStillReadAndControlCharactersAreRefused)
{
    // Format 1 wrote each entry raw after its length: tabs and line breaks inside entries stand.
    EntryList entries;
    entries.append("青木\t一郎");
    entries.append("two\r\nlines");
    std::string v1 = "くじ丸 エントリーの写し\n記録の形式: 1\nエントリーの件数: 2\nエントリーのSHA-256: ";
    v1.append(toHex(WorkListHasher::of(entries))).append("\n13:青木\t一郎\n10:two\r\nlines\n記録の終わり\n");
    EntryList read;
    std::string problem;
    ASSERT_TRUE(EntriesCopy::parse(v1, read, problem)) << problem;
    EXPECT_EQ(textsOf(read), textsOf(entries));

    std::string hostile = v1;
    const std::size_t tab = hostile.find('\t');
    ASSERT_NE(tab, std::string::npos);
    hostile[tab] = '\x1B';
    EXPECT_FALSE(EntriesCopy::parse(hostile, read, problem));
    EXPECT_EQ(problem, "エントリーの写しの 5 行目に制御文字 U+001B があります。");
    EXPECT_TRUE(read.empty());
    // Format 2 escapes everything, so a raw tab there is damage.
    const std::string v2 = EntriesCopy::format(entries);
    EXPECT_NE(v2.find("\n青木\\x09一郎\n"), std::string::npos) << v2;
    std::string tabbed = v2;
    const std::size_t escaped = tabbed.find("\\x09");
    ASSERT_NE(escaped, std::string::npos);
    tabbed.replace(escaped, 4, 1, '\t');
    EXPECT_FALSE(EntriesCopy::parse(tabbed, read, problem));
}
