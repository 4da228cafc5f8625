#include "records/RecordStore.h"
#include "common/FileReading.h"
#include "records/DrawRecord.h"
#include "records/EntriesCopy.h"
#include "records/RecordChain.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

using namespace kuji;
namespace fs = std::filesystem;

namespace {

DrawRecord numberRecord(const std::string& count = "3")
{
    DrawRecord r;
    r.dateTime = "2026-03-01 14:05:09 +0900";
    r.program = "くじ丸 Version 1.00.0";
    r.settings = { false, false, "1", "100", count };
    r.resultCount = 1;
    r.shownResults = { "42" };
    return r;
}

// A draw from a transferred list: its record with the list's digest, and the list.
std::pair<DrawRecord, std::shared_ptr<const EntryList>> transferRecord(std::shared_ptr<const EntryList> entries)
{
    DrawRecord r = numberRecord();
    r.settings = { true, false, "", std::to_string(entries->size()), "1" };
    r.source = "文字列作成";
    r.sourceIsFile = false;
    r.entryCount = entries->size();
    r.workList = WorkListHasher::of(*entries);
    return { r, entries };
}

std::chrono::system_clock::time_point at(std::int64_t seconds)
{
    return std::chrono::system_clock::time_point(std::chrono::seconds(seconds));
}

class RecordStoreTest : public test::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        m_folder = pathOf("records");
    }

    std::string add(RecordStore& store, DrawRecord record, std::shared_ptr<const EntryList> copy = nullptr,
        RecordStore::Added* out = nullptr)
    {
        RecordStore::Added added;
        ErrorInfo err;
        EXPECT_TRUE(store.add(record, std::move(copy), added, err)) << err.description;
        if (out)
            *out = added;
        return added.path;
    }

    // A file made directly in the folder, of the given size (sparse: no disk used).
    void place(const std::string& name, std::uintmax_t size = 10)
    {
        fs::create_directories(m_folder);
        std::ofstream(m_folder + "/" + name) << "x";
        fs::resize_file(m_folder + "/" + name, size);
    }

    static std::string nameOf(const std::string& path) { return fs::path(path).filename().string(); }

    static DrawRecord parsed(const std::string& path)
    {
        std::string bytes;
        ErrorInfo err;
        EXPECT_TRUE(readFileBytes(path, bytes, err));
        DrawRecord r;
        std::string problem;
        EXPECT_TRUE(parseDrawRecord(bytes, r, problem)) << problem;
        return r;
    }

    static Sha256Digest digestOf(const std::string& path)
    {
        std::string bytes;
        ErrorInfo err;
        EXPECT_TRUE(readFileBytes(path, bytes, err));
        return Sha256::of(bytes);
    }

    static unsigned modeOf(const std::string& path)
    {
        struct stat st { };
        EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
        return st.st_mode & 0777;
    }

    std::vector<std::string> notes(const RecordStore& store) const
    {
        std::vector<RecordSummary> summaries;
        const std::vector<std::string> paths = store.list();
        for (auto it = paths.rbegin(); it != paths.rend(); ++it)
            summaries.push_back(RecordStore::summarize(*it));
        std::vector<std::string> found;
        for (const RecordListItem& item : recordListWithChain(summaries, store.keptChainEnd()))
            if (!item.record)
                found.push_back(item.note);
        return found;
    }

    std::string m_folder;
};

} // namespace

TEST_F(RecordStoreTest, RecordsAreNamedInOrderAndLinkedIntoAChain)
{
    RecordStore store(m_folder);
    std::int64_t now = 1772341509; // 2026-03-01 05:05:09 UTC
    store.setClock([&now] { return at(now); });
    const std::string first = add(store, numberRecord());
    EXPECT_EQ(nameOf(first), "20260301-050509-000000.txt");
    const std::string second = add(store, numberRecord()); // the same instant
    now -= 3600; // the clock set back an hour
    const std::string third = add(store, numberRecord());
    EXPECT_EQ(store.list(), (std::vector<std::string> { third, second, first }));
    EXPECT_EQ(nameOf(second), "20260301-050509-000001.txt");

    // Each record names the one before it by the digest of its whole file.
    EXPECT_EQ(parsed(first).sequence, 1u);
    EXPECT_FALSE(parsed(first).previous.has_value());
    EXPECT_EQ(parsed(second).sequence, 2u);
    EXPECT_EQ(parsed(second).previous, digestOf(first));
    EXPECT_EQ(parsed(third).previous, digestOf(second));
    EXPECT_TRUE(notes(store).empty());

    // Records can hold people's names: the folder and every file are the user's alone.
    EXPECT_EQ(modeOf(m_folder), 0700u);
    EXPECT_EQ(modeOf(third), 0600u);
}

TEST_F(RecordStoreTest, ALooserFolderIsTightenedBeforeAnythingIsWritten)
{
    fs::create_directories(m_folder);
    ::chmod(m_folder.c_str(), 0755);
    RecordStore store(m_folder);
    add(store, numberRecord());
    EXPECT_EQ(modeOf(m_folder), 0700u);

    std::ofstream(pathOf("file")) << "x";
    RecordStore nowhere(pathOf("file/records"));
    RecordStore::Added added;
    ErrorInfo err;
    DrawRecord r = numberRecord();
    EXPECT_FALSE(nowhere.add(r, nullptr, added, err));
    EXPECT_NE(err.number, 0);
    EXPECT_FALSE(err.description.empty());
}

TEST_F(RecordStoreTest, RemovedAndAlteredRecordsShowAsGapsInTheChain)
{
    RecordStore store(m_folder);
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i)
        paths.push_back(add(store, numberRecord(std::to_string(i + 1))));
    ErrorInfo err;
    ASSERT_TRUE(store.remove(paths[2], err));
    ASSERT_TRUE(store.remove(paths[3], err));
    EXPECT_EQ(notes(store), (std::vector<std::string> { "記録 2 と 5 の間の 2 件がありません" }));

    // Removing the newest leaves its mark too, and the next record goes on from it.
    ASSERT_TRUE(store.remove(paths[5], err));
    EXPECT_EQ(notes(store),
        (std::vector<std::string> { "記録 5 の後の 1 件がありません", "記録 2 と 5 の間の 2 件がありません" }));
    const std::string next = add(store, numberRecord());
    EXPECT_EQ(parsed(next).sequence, 7u);

    // One result edited in an old record breaks the link to it.
    std::string text;
    ASSERT_TRUE(readFileBytes(paths[0], text, err));
    text.replace(text.find("000000000 42"), 12, "000000000 43");
    std::ofstream(paths[0], std::ios::binary | std::ios::trunc) << text;
    EXPECT_EQ(notes(store).back(),
        "記録 1 は書き換えられているか差し替えられています（記録 2 に書かれた SHA-256 と合いません）");
}

TEST_F(RecordStoreTest, DrawsFromOneTransferredListShareOneCopyAndKeepEveryRecord)
{
    // Four draws from one list of 60 MB: one copy, and nothing older is pruned.
    auto entries = std::make_shared<EntryList>();
    const std::string row(599, 'x');
    for (int i = 0; i < 100000; ++i)
        entries->append(row + std::to_string(i % 10));
    RecordStore store(m_folder);
    const std::string older = add(store, numberRecord());
    std::vector<std::string> drawn;
    {
        // The first writes the copy, a slice at a time.
        auto [record, list] = transferRecord(entries);
        RecordStore::Writing writing(store, record, list);
        int slices = 1;
        while (!writing.step(std::chrono::steady_clock::now()))
            ++slices;
        EXPECT_GT(slices, 2);
        EXPECT_FALSE(writing.failed()) << writing.error().description;
        drawn.push_back(writing.added().path);
    }
    for (int i = 1; i < 4; ++i) {
        auto [record, list] = transferRecord(entries);
        drawn.push_back(add(store, record, list));
    }
    EXPECT_EQ(store.list().size(), 5u);
    EXPECT_TRUE(fs::exists(older));
    std::size_t copies = 0;
    for (const auto& file : fs::directory_iterator(m_folder))
        copies += file.path().extension() == ".entries";
    EXPECT_EQ(copies, 1u);
    const DrawRecord r = parsed(drawn.back());
    EXPECT_EQ(r.entriesCopy, EntriesCopyState::Kept);
    const std::string copyPath = RecordStore::sharedCopyPath(drawn.back(), r.workList);
    EXPECT_EQ(modeOf(copyPath), 0600u);
    std::string bytes;
    ErrorInfo err;
    ASSERT_TRUE(readFileBytes(copyPath, bytes, err));
    EntryList back;
    std::string problem;
    ASSERT_TRUE(EntriesCopy::parse(bytes, back, problem)) << problem;
    EXPECT_EQ(back.size(), entries->size());

    // The copy stays while a record uses it, and goes with the last.
    for (std::size_t i = 0; i + 1 < drawn.size(); ++i)
        ASSERT_TRUE(store.remove(drawn[i], err));
    EXPECT_TRUE(fs::exists(copyPath));
    ASSERT_TRUE(store.remove(drawn.back(), err));
    EXPECT_FALSE(fs::exists(copyPath));
}

TEST_F(RecordStoreTest, LimitsPruneTheOldestButNeverTheLastRecordAndATooLargeCopyIsNotKept)
{
    RecordStore store(m_folder);
    store.setLimits({ 1000, 4000, 1000 });
    auto small = std::make_shared<EntryList>();
    small->append("Ann");
    auto big = std::make_shared<EntryList>();
    big->append(std::string(2000, 'b'));

    const std::string first = add(store, numberRecord());
    auto [smallRecord, smallList] = transferRecord(small);
    add(store, smallRecord, smallList);
    RecordStore::Added added;
    auto [bigRecord, bigList] = transferRecord(big);
    const std::string third = add(store, bigRecord, bigList, &added);
    EXPECT_TRUE(added.copyTooLarge);
    EXPECT_EQ(parsed(third).entriesCopy, EntriesCopyState::TooLarge);
    EXPECT_FALSE(fs::exists(RecordStore::sharedCopyPath(third, bigRecord.workList)));
    EXPECT_EQ(store.list().size(), 3u);

    // Records that alone pass the limit make room by removing older ones, never the last.
    DrawRecord wide = numberRecord();
    wide.resultCount = 3;
    wide.shownResults = { std::string(2500, 'w'), std::string(2500, 'w'), "x" };
    add(store, wide);
    const std::string last = add(store, wide);
    EXPECT_EQ(store.list(), std::vector<std::string> { last });
    EXPECT_FALSE(fs::exists(first));
    // The copy of the small list lost its record, so it went too.
    EXPECT_FALSE(fs::exists(RecordStore::sharedCopyPath(last, smallRecord.workList)));
}

TEST_F(RecordStoreTest, TheThousandAndFirstRecordRemovesTheOldestAndLeftoversAreCleaned)
{
    for (int i = 0; i < 1000; ++i)
        place("2025" + std::string(i < 500 ? "0101" : "0102") + "-000000-" + std::to_string(100000 + i) + ".txt");
    const std::string oldest = m_folder + "/20250101-000000-100000.txt";
    place("20250101-000000-100000.txt.entries");
    place("notes.txt");
    // A copy no record uses, and a temporary file of a write cut short an hour ago.
    place(std::string(64, 'a') + ".entries");
    place(".20250101-000000-100001.txt.kujimaru-tmp");
    fs::last_write_time(m_folder + "/.20250101-000000-100001.txt.kujimaru-tmp",
        fs::file_time_type::clock::now() - std::chrono::hours(2));
    place(".fresh.kujimaru-tmp");

    RecordStore store(m_folder);
    const std::string added = add(store, numberRecord());
    const std::vector<std::string> kept = store.list();
    EXPECT_EQ(kept.size(), RecordStore::kMaxRecords);
    EXPECT_EQ(kept.front(), added);
    EXPECT_FALSE(fs::exists(oldest));
    EXPECT_FALSE(fs::exists(RecordStore::legacyCopyPath(oldest)));
    EXPECT_TRUE(fs::exists(m_folder + "/20250101-000000-100001.txt"));
    EXPECT_TRUE(fs::exists(m_folder + "/notes.txt"));
    EXPECT_FALSE(fs::exists(m_folder + "/" + std::string(64, 'a') + ".entries"));
    EXPECT_FALSE(fs::exists(m_folder + "/.20250101-000000-100001.txt.kujimaru-tmp"));
    EXPECT_TRUE(fs::exists(m_folder + "/.fresh.kujimaru-tmp")) << "a write of another instance may still run";
}

TEST_F(RecordStoreTest, SummariesReadRecordsStrictlyAndCommitmentsWaitInTheFolder)
{
    DrawRecord r = numberRecord("20000");
    r.resultCount = 20000;
    r.shownResults.clear();
    for (int i = 0; i < 10000; ++i)
        r.shownResults.push_back(std::to_string(i * 7));
    RecordStore store(m_folder);
    const std::string good = add(store, r);
    const RecordSummary summary = RecordStore::summarize(good);
    EXPECT_TRUE(summary.readable) << summary.problem;
    EXPECT_EQ(summary.sequence, 1u);
    EXPECT_EQ(summary.count, "20000");
    EXPECT_EQ(summary.firstResults, (std::vector<std::string> { "0", "7", "14", "21", "28", "35" }));
    // An ESC far down the file makes the record one --verify refuses, and the list says so.
    std::string text;
    ErrorInfo err;
    ASSERT_TRUE(readFileBytes(good, text, err));
    text.replace(text.find("000009999 69993"), 15, "000009999 \x1B[2K");
    std::ofstream(good, std::ios::binary | std::ios::trunc) << text;
    const RecordSummary bad = RecordStore::summarize(good);
    EXPECT_FALSE(bad.readable);
    EXPECT_EQ(bad.problem, "10016 行目に制御文字 U+001B があります。");

    Commitment c;
    c.settings = { false, true, 1, 100, { 5 } };
    c.workList = WorkListHasher::of(EntryList());
    c.description = "年末ジャンボ 1等";
    c.dateTime = "2026-12-08 19:00:00 +0900";
    std::string problem;
    EXPECT_FALSE(store.loadCommitment(problem).has_value());
    ASSERT_TRUE(store.saveCommitment(c, err));
    EXPECT_EQ(store.loadCommitment(problem), c);
    EXPECT_EQ(modeOf(m_folder + "/commitment.txt"), 0600u);
    // A commitment altered in the folder is no commitment.
    ASSERT_TRUE(readFileBytes(m_folder + "/commitment.txt", text, err));
    text.replace(text.find("抽選数: 5"), 11, "抽選数: 6");
    std::ofstream(m_folder + "/commitment.txt", std::ios::binary | std::ios::trunc) << text;
    EXPECT_FALSE(store.loadCommitment(problem).has_value());
    EXPECT_NE(problem.find("予告番号"), std::string::npos) << problem;
    ASSERT_TRUE(store.clearCommitment(err));
    EXPECT_FALSE(store.loadCommitment(problem).has_value());
    EXPECT_TRUE(problem.empty());
}
