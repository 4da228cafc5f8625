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
    EXPECT_NE(text.find("\n10:two\r\nlines\n"), std::string::npos);
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
