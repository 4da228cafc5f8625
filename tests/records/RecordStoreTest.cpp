#include "records/RecordStore.h"
#include "records/DrawRecord.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

using namespace kuji;
namespace fs = std::filesystem;

namespace {

class RecordStoreTest : public test::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        m_folder = pathOf("records");
    }

    std::string add(RecordStore& store, std::string_view text, std::optional<std::string_view> copy = std::nullopt)
    {
        std::string path;
        ErrorInfo err;
        EXPECT_TRUE(store.add(text, copy, path, err)) << err.description;
        return path;
    }

    // A record file made directly, dated by its name, of the given size (sparse: no disk used).
    void place(const std::string& name, std::uintmax_t size = 10)
    {
        fs::create_directories(m_folder);
        std::ofstream(m_folder + "/" + name) << "x";
        fs::resize_file(m_folder + "/" + name, size);
    }

    static std::string nameOf(const std::string& path) { return fs::path(path).filename().string(); }

    std::string m_folder;
};

std::chrono::system_clock::time_point at(std::int64_t seconds)
{
    return std::chrono::system_clock::time_point(std::chrono::seconds(seconds));
}

} // namespace

TEST_F(RecordStoreTest, RecordsAreNamedInTheOrderTheyWereWrittenWhateverTheClock)
{
    RecordStore store(m_folder);
    std::int64_t now = 1772341509; // 2026-03-01 05:05:09 UTC
    store.setClock([&now] { return at(now); });
    const std::string first = add(store, "one");
    EXPECT_EQ(nameOf(first), "20260301-050509-000000.txt");
    const std::string second = add(store, "two"); // the same instant
    now -= 3600; // the clock set back an hour
    const std::string third = add(store, "three", "copy");
    EXPECT_EQ(store.list(), (std::vector<std::string> { third, second, first }));
    EXPECT_EQ(nameOf(second), "20260301-050509-000001.txt");

    std::string bytes;
    ErrorInfo err;
    ASSERT_TRUE(readFileBytes(RecordStore::entriesCopyPath(third), bytes, err));
    EXPECT_EQ(bytes, "copy");
    // Records can hold people's names: the folder is the user's alone.
    struct stat st { };
    ASSERT_EQ(::stat(m_folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    EXPECT_TRUE(store.remove(third, err));
    EXPECT_FALSE(fs::exists(third));
    EXPECT_FALSE(fs::exists(RecordStore::entriesCopyPath(third)));
    EXPECT_TRUE(store.remove(third, err)) << "a record already gone is no failure";
    EXPECT_EQ(store.list().size(), 2u);
}

TEST_F(RecordStoreTest, TheThousandAndFirstRecordRemovesTheOldest)
{
    // A thousand records of earlier days, the oldest with its entries copy, and a file of the
    // user's own that is no record.
    for (int i = 0; i < 1000; ++i)
        place("2025" + std::string(i < 500 ? "0101" : "0102") + "-000000-" + std::to_string(100000 + i) + ".txt");
    const std::string oldest = m_folder + "/20250101-000000-100000.txt";
    place("20250101-000000-100000.txt.entries");
    place("notes.txt");

    RecordStore store(m_folder);
    const std::string added = add(store, "new");
    const std::vector<std::string> kept = store.list();
    EXPECT_EQ(kept.size(), RecordStore::kMaxRecords);
    EXPECT_EQ(kept.front(), added);
    EXPECT_FALSE(fs::exists(oldest));
    EXPECT_FALSE(fs::exists(RecordStore::entriesCopyPath(oldest)));
    EXPECT_TRUE(fs::exists(m_folder + "/20250101-000000-100001.txt"));
    EXPECT_TRUE(fs::exists(m_folder + "/notes.txt"));
}

TEST_F(RecordStoreTest, BeyondTwoHundredMegabytesTheOldestGoButNeverTheNewest)
{
    const std::uintmax_t mb = 1024 * 1024;
    place("20250101-000000-000001.txt", 90 * mb);
    place("20250101-000000-000002.txt", 10 * mb);
    place("20250101-000000-000002.txt.entries", 80 * mb);
    place("20250101-000000-000003.txt", 20 * mb);
    RecordStore store(m_folder);
    store.setClock([] { return at(1772341509); });
    // 200 MB and a few bytes: the oldest goes, and 110 MB remain.
    add(store, "new");
    EXPECT_EQ(store.list().size(), 3u);
    EXPECT_FALSE(fs::exists(m_folder + "/20250101-000000-000001.txt"));

    // A new record larger than the limit on its own (here by an entries copy of 250 MB that
    // waits under the name it will get) stays: only older records make room.
    place("20260301-050509-000001.txt.entries", 250 * mb);
    EXPECT_EQ(nameOf(add(store, "newer")), "20260301-050509-000001.txt");
    EXPECT_EQ(store.list().size(), 1u);
}

TEST_F(RecordStoreTest, AFolderThatCannotBeMadeIsReported)
{
    std::ofstream(pathOf("file")) << "x";
    RecordStore store(pathOf("file/records"));
    std::string path;
    ErrorInfo err;
    EXPECT_FALSE(store.add("record", std::nullopt, path, err));
    EXPECT_NE(err.number, 0);
    EXPECT_FALSE(err.description.empty());
}

TEST_F(RecordStoreTest, SummariesReadTheBeginningOfEachRecord)
{
    DrawRecord r;
    r.dateTime = "2026-03-01 14:05:09 +0900";
    r.settings = { false, false, "1", "100000", "20000" };
    r.resultCount = 20000;
    for (int i = 0; i < 10000; ++i)
        r.shownResults.push_back(std::to_string(i * 7));
    RecordStore store(m_folder);
    const std::string good = add(store, formatDrawRecord(r));
    const std::string bad = add(store, "くじ丸 抽選記録\ngarbage\n");
    const RecordSummary summary = RecordStore::summarize(good);
    EXPECT_TRUE(summary.readable);
    EXPECT_EQ(summary.dateTime, r.dateTime);
    EXPECT_EQ(summary.count, "20000");
    EXPECT_EQ(summary.resultCount, 20000u);
    EXPECT_EQ(summary.firstResults, (std::vector<std::string> { "0", "7", "14", "21", "28", "35" }));
    EXPECT_FALSE(RecordStore::summarize(bad).readable);
}
