#include "app/VerifyCommand.h"
#include "draw/ReplacementDraw.h"
#include "records/DrawRecord.h"
#include "records/EntriesCopy.h"
#include "records/RecordStore.h"
#include "records/RecordedDraw.h"
#include "records/ReplacementRun.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

using namespace kuji;

// The replacement algorithm, pinned. The values come from tests/records/reference, an
// implementation of its own written from the help page.
TEST(ReplacementDraw, PinnedVectors)
{
    DrawSeed drawSeed;
    drawSeed.fill(0x42);
    EXPECT_EQ(seedToHex(publicReplacementSeed(drawSeed, 1)),
        "e79ded9a1590ee6571d0580067a6190277a1384efff61b8b6474f7a2bf116cb2");
    EXPECT_EQ(seedToHex(publicReplacementSeed(drawSeed, 2)),
        "9e93027ccf133d84ed3429737a2a7aedd17bf9a2872a98d0d5be35f0248a2041");

    // The generator gives 3, 2, 8, 5, 4, 0, 7, …: excluded and repeated positions are passed over.
    DrawSeed seed;
    seed.fill(0x07);
    RandomSource noDuplicates(seed);
    EXPECT_EQ(
        drawReplacementPositions(noDuplicates, 10, { 0, 2, 3, 5 }, 3, true), std::vector<std::uint32_t>({ 8, 4, 7 }));
    RandomSource duplicates(seed);
    EXPECT_EQ(
        drawReplacementPositions(duplicates, 10, { 0, 2, 3, 5 }, 3, false), std::vector<std::uint32_t>({ 3, 2, 8 }));

    RandomSource any(seed);
    EXPECT_FALSE(drawReplacementPositions(any, 10, { 0, 1, 2, 3, 4, 5, 6, 7 }, 3, true));
    EXPECT_EQ(drawReplacementPositions(any, 10, { 0, 1, 2, 3, 4, 5, 6, 7 }, 2, true)->size(), 2u);
}

namespace {

class ReplacementTest : public test::TempFolderTest {
protected:
    // A completed draw from a transfer of ten names, its record and entries copy in the folder.
    struct Run {
        ResultList results;
        std::unique_ptr<ReplacementRun> replacements;
        std::uint64_t sequence = 1;
        std::string drawPath;
    };

    static DrawPlan tenNames(std::int32_t count, bool noDuplicates = true)
    {
        DrawPlan plan;
        auto entries = std::make_shared<EntryList>();
        for (const char* name : { "青木", "井上", "上田", "江藤", "大野", "加藤", "木村", "工藤", "小林", "佐藤" })
            entries->append(name);
        plan.entries = entries;
        plan.settings.fileMode = true;
        plan.settings.noDuplicates = noDuplicates;
        plan.settings.counts = { count };
        plan.boxes = { true, noDuplicates, "", "10", std::to_string(count) };
        plan.source = "文字列作成";
        plan.seed.fill(0x31);
        return plan;
    }

    static DrawPlan madePublic(DrawPlan plan)
    {
        Commitment c;
        c.settings = plan.canonical(plan.entries->size());
        c.entryCount = plan.entries->size();
        c.workList = WorkListHasher::of(*plan.entries);
        c.description = "beacon";
        c.dateTime = "2026-02-20 09:00:00 +0900";
        plan.commitment = c;
        plan.publicValue = "7f3a 99";
        return plan;
    }

    std::unique_ptr<Run> draw(const DrawPlan& plan, const std::string& name = "draw.txt")
    {
        auto run = std::make_unique<Run>();
        RecordedDraw drawn(plan, run->results);
        drawn.runToEnd();
        DrawRecord r = drawn.record("2026-03-01 14:05:09 +0900");
        r.sequence = 1;
        r.entriesCopy = EntriesCopyState::Kept;
        run->drawPath = pathOf(name);
        std::ofstream(RecordStore::sharedCopyPath(run->drawPath, r.workList), std::ios::binary)
            << EntriesCopy::format(*plan.entries);
        const std::string text = formatDrawRecord(r);
        std::ofstream(run->drawPath, std::ios::binary) << text;
        run->replacements
            = std::make_unique<ReplacementRun>(run->results, plan, drawn.seed(), plan.publicValue.has_value());
        run->replacements->setDrawRecord(r, Sha256::of(text));
        return run;
    }

    // Replaces the winners of these keys; the record goes to the folder. Empty when refused.
    std::string replace(Run& run, const std::vector<std::uint32_t>& keys, std::uint8_t seedByte = 0x55)
    {
        DrawSeed seed;
        seed.fill(seedByte);
        ReplacementRun::Outcome outcome
            = run.replacements->replace(run.results, keys, seed, "2026-03-01 14:06:00 +0900");
        if (outcome.refused)
            return {};
        EXPECT_TRUE(outcome.record);
        outcome.record->sequence = ++run.sequence;
        const std::string text = formatDrawRecord(*outcome.record);
        const std::string path = pathOf("replacement-" + std::to_string(run.sequence) + ".txt");
        std::ofstream(path, std::ios::binary) << text;
        run.replacements->recordWritten(Sha256::of(text));
        return path;
    }

    static std::vector<std::string> winners(const ResultList& results)
    {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < results.size(); ++i) {
            std::uint32_t position = 0;
            if (results.drawnIndex(i, position))
                out.push_back(results.text(i));
        }
        return out;
    }

    static int verify(const std::string& path, std::string* output = nullptr)
    {
        const char* argv[] = { "kujimaru", "--verify", path.c_str() };
        std::ostringstream out;
        std::ostringstream err;
        const int status = runVerifyCommand(3, argv, out, err).value_or(-1);
        if (output)
            *output = out.str() + err.str();
        return status;
    }

    static void edit(const std::string& path, const std::string& from, const std::string& to)
    {
        std::ifstream in(path, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), {});
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text.replace(at, from.size(), to);
    }
};

} // namespace

TEST_F(ReplacementTest, AnAbsentWinnerIsReplacedByNoneDrawnBeforeAndEveryRecordVerifies)
{
    auto run = draw(tenNames(3));
    const std::vector<std::string> first = winners(run->results);
    ASSERT_EQ(first.size(), 3u);

    // Winner 2 is absent: one replacement, after an empty row and its header.
    const std::string once = replace(*run, { 1 });
    ASSERT_FALSE(once.empty());
    ASSERT_EQ(run->results.size(), 6u);
    EXPECT_EQ(run->results.text(4), "【再抽選：1件】");
    EXPECT_EQ(run->results.key(5), 5u);
    const std::string replacement = run->results.text(5);
    EXPECT_EQ(std::count(first.begin(), first.end(), replacement), 0);
    EXPECT_TRUE(run->replacements->isAbsent(1));
    std::uint32_t absent = 0;
    EXPECT_TRUE(run->replacements->replacedWinner(5, absent));
    EXPECT_EQ(absent, 1u);
    // An absent winner is not replaced twice; the replacement itself may be absent too.
    EXPECT_FALSE(run->replacements->isReplaceable(1));
    EXPECT_FALSE(run->replacements->isReplaceable(4));

    std::string output;
    EXPECT_EQ(verify(once, &output), 0) << output;
    EXPECT_NE(output.find("再抽選"), std::string::npos);

    // The second replacement leaves out all four drawn before it, and follows the first.
    const std::string twice = replace(*run, { 5, 0 });
    ASSERT_FALSE(twice.empty());
    const std::vector<std::string> all = winners(run->results);
    ASSERT_EQ(all.size(), 6u);
    EXPECT_EQ(std::set<std::string>(all.begin(), all.end()).size(), 6u);
    EXPECT_EQ(verify(twice, &output), 0) << output;
    EXPECT_EQ(verify(run->drawPath), 0);
    // The records window tells a replacement from a draw.
    EXPECT_EQ(RecordStore::summarize(run->drawPath).replacement, 0u);
    EXPECT_EQ(RecordStore::summarize(twice).replacement, 2u);
}

TEST_F(ReplacementTest, APublicDrawGivesTheSameReplacementEveryTime)
{
    auto one = draw(madePublic(tenNames(3)), "one.txt");
    auto two = draw(madePublic(tenNames(3)), "two.txt");
    // The seed a user passes is not used: the draw's seed decides.
    replace(*one, { 2 }, 0x01);
    replace(*two, { 2 }, 0x02);
    EXPECT_EQ(winners(one->results), winners(two->results));
}

TEST_F(ReplacementTest, WhenEveryEntryIsDrawnAReplacementIsRefusedAndNothingChanges)
{
    auto run = draw(tenNames(10));
    EXPECT_EQ(run->replacements->positionsLeft(), 0u);
    EXPECT_TRUE(replace(*run, { 3 }).empty());
    EXPECT_EQ(run->results.size(), 10u);
    EXPECT_FALSE(run->replacements->isAbsent(3));

    // Nine drawn: one is left for one absent winner, not for two.
    auto nine = draw(tenNames(9), "nine.txt");
    EXPECT_TRUE(replace(*nine, { 0, 1 }).empty());
    EXPECT_FALSE(replace(*nine, { 0 }).empty());

    // With duplicates allowed every entry can come again.
    auto duplicates = draw(tenNames(10, false), "duplicates.txt");
    EXPECT_FALSE(replace(*duplicates, { 3 }).empty());
}

TEST_F(ReplacementTest, ARecordThatDoesNotFollowFromTheRunIsAMismatchOrUnreadable)
{
    auto run = draw(tenNames(3));
    const std::string path = replace(*run, { 1 });
    const std::string pristine = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }();
    const auto restore = [&] { std::ofstream(path, std::ios::binary | std::ios::trunc) << pristine; };

    // Another absent winner named than the one the run had there.
    edit(path, "欠席: 000000001=", "欠席: 000000000=");
    std::string output;
    EXPECT_EQ(verify(path, &output), 1) << output;
    restore();

    // A replacement that is not what the seed gives.
    const std::string seedLine = pristine.substr(pristine.find("シード: ") + 11, 64);
    edit(path, seedLine, std::string(64, 'a'));
    EXPECT_EQ(verify(path, &output), 1) << output;
    restore();

    // The draw it follows cannot be checked (its entries are gone): neither can this one.
    for (const auto& file : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        if (file.path().extension() == ".entries")
            std::filesystem::remove(file.path());
    EXPECT_EQ(verify(path, &output), 2) << output;
    EXPECT_NE(output.find("前の記録: "), std::string::npos) << output;

    // The draw's record was altered, so no file has the digest the replacement links to.
    edit(run->drawPath, "2026-03-01 14:05:09", "2026-03-01 14:05:10");
    EXPECT_EQ(verify(path, &output), 2) << output;
    EXPECT_NE(output.find("同じフォルダーにありません"), std::string::npos) << output;
}

// A public draw and two replacements for the independent checker written from the help
// (tests/records/reference), copied into the folder KUJIMARU_REFERENCE_RECORDS names, with the
// entries copy as ten-names.entries. tests/CMakeLists.txt runs the checker on them next.
TEST_F(ReplacementTest, APublicRunForTheReferenceChecker)
{
    const char* folder = std::getenv("KUJIMARU_REFERENCE_RECORDS");
    if (!folder)
        GTEST_SKIP() << "writes only for the reference checker's test";
    auto run = draw(madePublic(tenNames(3)));
    ASSERT_FALSE(replace(*run, { 1 }).empty());
    ASSERT_FALSE(replace(*run, { 5, 0 }).empty());
    namespace fs = std::filesystem;
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& file : fs::directory_iterator(pathOf(""))) {
        const bool copy = file.path().extension() == ".entries";
        fs::copy_file(file.path(), fs::path(folder) / (copy ? fs::path("ten-names.entries") : file.path().filename()));
    }
}
