#include "entries/ListJobs.h"
#include "common/FileReading.h"
#include "entries/ListFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace kuji;

namespace {

// Rows of every kind the lists hold: numbers, kana, full-width and half-width forms, equal
// texts under different keys, and empty rows.
struct Rows {
    std::vector<std::uint32_t> keys;
    std::vector<std::string> texts;

    RowKeyOf keyOf() const
    {
        return [this](std::size_t i) { return keys[i]; };
    }
    RowTextOf textOf() const
    {
        return [this](std::size_t i, std::string&) { return std::string_view(texts[i]); };
    }
};

Rows mixedRows(std::size_t count)
{
    const char* pool[] = { "10", "9", "１０", "か", "が", "カ", "a", "A", "", "青木", "abc", "0010" };
    std::mt19937 random(7);
    Rows rows;
    for (std::size_t i = 0; i < count; ++i) {
        rows.keys.push_back(static_cast<std::uint32_t>(random() % (count * 2)));
        const std::size_t pick = random() % (std::size(pool) + 1);
        rows.texts.push_back(pick == std::size(pool) ? std::to_string(random() % 100000) : pool[pick]);
    }
    return rows;
}

// Runs a job in slices that end at once, as a busy window would; returns the slices taken.
template <typename Job> int runSliced(Job& job)
{
    int slices = 1;
    while (!job.step(JobClock::now()))
        ++slices;
    return slices;
}

} // namespace

TEST(ListJobs, ASlicedSortGivesTheOrderOfTheWholeSortInEveryOrder)
{
    for (std::size_t count : { std::size_t { 0 }, std::size_t { 1 }, std::size_t { 1000 }, std::size_t { 70000 } }) {
        const Rows rows = mixedRows(count);
        for (ListOrder order : { ListOrder::DrawOrder, ListOrder::Ascending, ListOrder::Descending }) {
            const RowOrder whole = sortedRowOrder(
                count, order, [&](std::size_t i) { return rows.keys[i]; },
                [&](std::size_t i) { return rows.texts[i]; });
            ListSortJob job(count, order, rows.keyOf(), rows.textOf());
            const int slices = runSliced(job);
            EXPECT_EQ(job.order(), whole) << count << " rows, order " << static_cast<int>(order);
            EXPECT_EQ(job.progress(), 1000);
            if (count == 70000) {
                EXPECT_GT(slices, 4);
            }
        }
    }
}

TEST(ListJobs, ASlicedCopyJoinsTheSelectedRowsAsTheWholeCopyDoes)
{
    const Rows rows = mixedRows(20000);
    RowSelection selection(rows.texts.size());
    for (std::size_t i = 0; i < rows.texts.size(); i += 3)
        selection.set(i, true);
    ListCopyJob job(rows.texts.size(), selection, rows.textOf());
    EXPECT_GT(runSliced(job), 1);
    EXPECT_EQ(
        job.takeText(), joinSelectedTexts(rows.texts.size(), selection, [&](std::size_t i) { return rows.texts[i]; }));
    // A selection made for another list copies nothing.
    ListCopyJob stale(rows.texts.size(), RowSelection(3), rows.textOf());
    runSliced(stale);
    EXPECT_TRUE(stale.takeText().empty());
}

class ListSaveJobTest : public test::TempFolderTest { };

TEST_F(ListSaveJobTest, ASlicedSaveWritesTheBytesOfAListFileAndADroppedOneLeavesTheOldFile)
{
    Rows rows = mixedRows(300000);
    rows.texts[150000] = "〜"; // no exact CP932 form: the whole file turns UTF-8 with its mark
    const std::string path = write("list.csv", "the user's earlier file");
    {
        ListSaveJob dropped(path, rows.texts.size(), rows.textOf());
        EXPECT_FALSE(dropped.step(JobClock::now()));
        EXPECT_FALSE(dropped.step(JobClock::now()));
    }
    std::string bytes;
    ErrorInfo err;
    ASSERT_TRUE(readFileBytes(path, bytes, err));
    EXPECT_EQ(bytes, "the user's earlier file");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_dir))
        ++files;
    EXPECT_EQ(files, 1u) << "no temporary file is left behind";

    ListSaveJob job(path, rows.texts.size(), rows.textOf());
    EXPECT_GT(runSliced(job), 1);
    EXPECT_FALSE(job.failed()) << job.error().description;
    ASSERT_TRUE(readFileBytes(path, bytes, err));
    EXPECT_EQ(bytes, listFileBytes(rows.texts.size(), [&](std::size_t i) { return rows.texts[i]; }));
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");

    ListSaveJob nowhere(pathOf("missing/list.csv"), 1, rows.textOf());
    runSliced(nowhere);
    EXPECT_TRUE(nowhere.failed());
    EXPECT_NE(nowhere.error().number, 0);
}
