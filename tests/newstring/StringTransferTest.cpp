#include "newstring/StringTransfer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kuji;

namespace {

struct Entry {
    std::uint32_t key;
    std::string text;
    bool operator==(const Entry&) const = default;
};

std::vector<Entry> entriesOf(const EntryList& list)
{
    std::vector<Entry> out;
    for (const auto& entry : list)
        out.push_back({ entry.key, std::string(entry.text) });
    return out;
}

std::vector<Entry> transfer(const std::string& text)
{
    StringTransfer run(text);
    run.runToEnd();
    return entriesOf(run.takeEntries());
}

} // namespace

TEST(StringTransfer, LinesBecomeEntriesKeyedByTheirPlaceAmongTheNonEmptyOnes)
{
    struct Case {
        const char* text;
        std::vector<Entry> expected;
    };
    const Case cases[] = {
        { "a\r\n\r\nb\r\n", { { 1, "a" }, { 2, "b" } } },
        { "x", { { 1, "x" } } },
        { "", {} },
        { "\r\n\r\n", {} },
        // The last line without a break is taken whole, last character included.
        { "first\r\nlast", { { 1, "first" }, { 2, "last" } } },
        // Lines stand as they are: spaces, tabs and full-width spaces make entries.
        { "   \r\n\t\r\n　", { { 1, "   " }, { 2, "\t" }, { 3, "　" } } },
        { " a \r\n\r\n\r\n佐藤\r\n", { { 1, " a " }, { 2, "佐藤" } } },
        // Only CR LF ends a line; a lone CR or LF is part of the line's text.
        { "p\rq\r\nr\ns", { { 1, "p\rq" }, { 2, "r\ns" } } },
        { "\r\r\n", { { 1, "\r" } } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(transfer(c.text), c.expected) << c.text;
}

TEST(StringTransfer, SlicingChangesNothingAndEverySliceMovesOn)
{
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += i % 7 == 0 ? std::string() + "\r\n" : "name" + std::to_string(i) + "\r\n";
    text += "tail";
    const std::vector<Entry> whole = transfer(text);

    StringTransfer sliced(text, 20001);
    int slices = 0;
    std::int64_t before = 0;
    while (!sliced.step(StringTransfer::Clock::now())) {
        ++slices;
        EXPECT_GT(sliced.linesDone(), before);
        before = sliced.linesDone();
    }
    EXPECT_GT(slices, 10);
    EXPECT_TRUE(sliced.done());
    EXPECT_EQ(sliced.linesDone(), 20001);
    EXPECT_EQ(sliced.entryCount(), whole.size());
    EXPECT_EQ(entriesOf(sliced.takeEntries()), whole);
    EXPECT_EQ(whole.back(), (Entry { static_cast<std::uint32_t>(whole.size()), "tail" }));
    // Handed over once: the transfer keeps nothing.
    EXPECT_TRUE(sliced.takeEntries().empty());
}

// The window hands the text over in pieces as it gathers them from the editor; where the
// pieces end, inside a line or between lines, changes nothing.
TEST(StringTransfer, TextFromASourceInPiecesGivesTheEntriesOfTheWholeText)
{
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += i % 9 == 0 ? std::string("\r\n") : "佐藤" + std::to_string(i) + " \r\n";
    text += "last";
    const std::vector<Entry> whole = transfer(text);
    for (const std::size_t pieceBytes : { 1u, 3u, 100u, 70000u }) {
        std::size_t next = 0;
        int emptyPieces = 0;
        StringTransfer::TextSource source = [&](std::string& out) {
            if (next >= text.size())
                return false;
            // Now and then a piece of nothing, as a window may give.
            if (++emptyPieces % 7 == 0)
                return true;
            std::size_t end = std::min(text.size(), next + pieceBytes);
            // Never inside a CR LF.
            if (end < text.size() && text[end - 1] == '\r')
                ++end;
            out.append(text, next, end - next);
            next = end;
            return true;
        };
        StringTransfer sliced(source, 0, text.size());
        while (!sliced.step(StringTransfer::Clock::now())) { }
        EXPECT_EQ(sliced.linesDone(), 5001);
        EXPECT_EQ(entriesOf(sliced.takeEntries()), whole) << pieceBytes;
    }
    // A source with nothing gives nothing.
    StringTransfer empty([](std::string&) { return false; }, 0, 0);
    empty.runToEnd();
    EXPECT_TRUE(empty.takeEntries().empty());
}
