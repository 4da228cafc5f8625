#include "entries/RecentFiles.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace kuji;
using Paths = std::vector<std::string>;

namespace {

std::string file(int n)
{
    return "/data/entries" + std::to_string(n) + ".csv";
}

TEST(RecentFiles, NewestFirstAndAtMostTen)
{
    RecentFiles recent;
    EXPECT_TRUE(recent.placeholderVisible());
    for (int n = 1; n <= 11; ++n)
        recent.add(file(n));
    ASSERT_EQ(recent.paths().size(), 10u);
    EXPECT_FALSE(recent.placeholderVisible());
    // Slot 1 holds the eleventh file; the first one fell off the end.
    for (int slot = 0; slot < 10; ++slot)
        EXPECT_EQ(recent.paths()[static_cast<std::size_t>(slot)], file(11 - slot));
}

TEST(RecentFiles, ReadingAListedFileMovesItToTheTop)
{
    RecentFiles recent;
    for (int n = 5; n >= 1; --n)
        recent.add(file(n));
    ASSERT_EQ(recent.paths(), (Paths { file(1), file(2), file(3), file(4), file(5) }));

    recent.add(file(4)); // slot 4
    EXPECT_EQ(recent.paths(), (Paths { file(4), file(1), file(2), file(3), file(5) }));

    // A full list re-reading its last slot keeps all ten.
    for (int n = 10; n >= 1; --n)
        recent.add(file(n));
    recent.add(file(10));
    ASSERT_EQ(recent.paths().size(), 10u);
    EXPECT_EQ(recent.paths().front(), file(10));
    EXPECT_EQ(recent.paths().back(), file(9));
}

TEST(RecentFiles, PathsCompareAsExactText)
{
    RecentFiles recent;
    recent.add("/data/List.csv");
    recent.add("/data/list.csv");
    EXPECT_EQ(recent.paths(), (Paths { "/data/list.csv", "/data/List.csv" }));
    recent.remove("/data/LIST.csv");
    EXPECT_EQ(recent.paths().size(), 2u);
}

TEST(RecentFiles, RemoveAndClearBringBackThePlaceholder)
{
    RecentFiles recent;
    recent.add(file(1));
    recent.remove(file(1));
    EXPECT_TRUE(recent.paths().empty());
    EXPECT_TRUE(recent.placeholderVisible());

    for (int n = 3; n >= 1; --n)
        recent.add(file(n));
    recent.remove(file(2));
    EXPECT_EQ(recent.paths(), (Paths { file(1), file(3) }));
    recent.remove(file(9)); // not listed: nothing changes
    EXPECT_EQ(recent.paths(), (Paths { file(1), file(3) }));

    recent.clear();
    EXPECT_TRUE(recent.placeholderVisible());

    recent.add("");
    EXPECT_TRUE(recent.placeholderVisible());
}

TEST(RecentFiles, LoadingKeepsTheStoredOrderAndCollapsesRepeats)
{
    // Keys "1" to "10" as stored; key "3" repeats key "1" and key "2" is empty.
    const Paths stored = { "/a.csv", "", "/a.csv", "/b.txt", "/c.txt" };
    RecentFiles recent;
    recent.add("/older.txt"); // loading adds to what is there
    recent.load(stored);
    EXPECT_EQ(recent.paths(), (Paths { "/a.csv", "/b.txt", "/c.txt", "/older.txt" }));

    // Saving writes the slots in order, so loading them again gives the same list.
    RecentFiles again;
    again.load(recent.paths());
    EXPECT_EQ(again.paths(), recent.paths());
}

} // namespace
