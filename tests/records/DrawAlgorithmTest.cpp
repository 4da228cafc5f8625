// Draw algorithm v1, pinned. The vectors below were checked against an independent
// implementation of the algorithm as its description in draw/DrawSeed.h states it; a record
// drawn with v1 must re-run to these results on every machine, for ever.
#include "records/RecordedDraw.h"

#include <gtest/gtest.h>

#include <map>

using namespace kuji;

namespace {

struct Drawn {
    std::vector<std::string> rows;
    DrawRecord record;
};

Drawn run(const DrawPlan& plan)
{
    ResultList results;
    RecordedDraw draw(plan, results);
    draw.runToEnd();
    Drawn out;
    for (std::size_t i = 0; i < results.size(); ++i)
        out.rows.push_back(results.text(i));
    out.record = draw.record("");
    return out;
}

DrawPlan numberPlan(std::string min, std::string max, std::string count, bool noDup)
{
    DrawPlan plan;
    plan.settings.minimum = std::stoi(min);
    plan.settings.maximum = std::stoi(max);
    plan.settings.minimumLength = min.size();
    plan.settings.noDuplicates = noDup;
    for (std::size_t start = 0;;) {
        const std::size_t dash = count.find('-', start);
        plan.settings.counts.push_back(std::stoi(count.substr(start, dash - start)));
        if (dash == std::string::npos)
            break;
        start = dash + 1;
    }
    plan.boxes = { false, noDup, min, max, count };
    return plan;
}

DrawPlan tenEntriesPlan()
{
    DrawPlan plan;
    auto entries = std::make_shared<EntryList>();
    for (const char* name : { "青木", "井上", "上田", "江藤", "大野", "加藤", "木村", "工藤", "小林", "佐藤" })
        entries->append(name);
    plan.entries = entries;
    plan.settings.fileMode = true;
    plan.settings.counts = { 3, 2 };
    plan.boxes = { true, false, "", "10", "3-2" };
    plan.source = "/tmp/entries.txt";
    plan.sourceIsFile = true;
    for (std::size_t i = 0; i < 32; ++i)
        plan.seed[i] = static_cast<std::uint8_t>(255 - 7 * i);
    return plan;
}

DrawSeed counterSeed(std::uint64_t n)
{
    DrawSeed seed {};
    for (std::size_t i = 0; i < 8; ++i)
        seed[i] = static_cast<std::uint8_t>(n >> (8 * i));
    return seed;
}

} // namespace

TEST(DrawAlgorithmV1, FixedSeedsGiveFixedResults)
{
    DrawPlan rounds = numberPlan("1", "100", "3-2", true);
    for (std::size_t i = 0; i < 32; ++i)
        rounds.seed[i] = static_cast<std::uint8_t>(i);
    DrawPlan padded = numberPlan("001", "999", "6", false);
    padded.seed.fill(0xA5);

    struct Vector {
        const char* name;
        DrawPlan plan;
        std::vector<std::string> rows;
        const char* resultsDigest;
    };
    const Vector vectors[] = {
        { "numbers, rounds, no duplicates", rounds,
            { "【1回目の抽選結果：3件】", "56", "70", "53", "", "【2回目の抽選結果：2件】", "33", "85" },
            "38e4e8078ee2686a969c3bf9ba69c911f47caf19911c151012e6c67dd089df5d" },
        { "numbers with duplicates, padded", padded, { "344", "340", "801", "044", "215", "037" },
            "7e0100faa8da406ecdc755626c0788f4598ea95ccdc18ce976d096bd998ebb7b" },
        { "ten entries, 3-2", tenEntriesPlan(),
            { "【1回目の抽選結果：3件】", "加藤", "上田", "青木", "", "【2回目の抽選結果：2件】", "木村", "工藤" },
            "14105e7437c707f08d9df7709e4f731ae5fd9f1bf5df339dcfc7f02a75c728fd" },
    };
    for (const Vector& v : vectors) {
        const Drawn drawn = run(v.plan);
        EXPECT_EQ(drawn.rows, v.rows) << v.name;
        EXPECT_EQ(toHex(drawn.record.results), v.resultsDigest) << v.name;
        EXPECT_EQ(drawn.record.seed, v.plan.seed) << v.name;
    }
    EXPECT_EQ(toHex(run(tenEntriesPlan()).record.workList),
        "d3f0b56364e74a572d458add3fa180d6093e84bbf474d9ea7be7699311210b1a");
}

TEST(DrawAlgorithmV1, PublicValueFixesTheSeedFromPublicInformationAlone)
{
    DrawPlan plan = tenEntriesPlan();
    plan.publicValue = "2026年3月1日 ロト6 01 05 12 23 34 41";
    const Drawn first = run(plan);
    EXPECT_EQ(seedToHex(first.record.seed), "a628a56665d0079ee4cb034b4859a8ca551997c2821a386c3f0dc1ceb66520a2");
    EXPECT_EQ(first.rows,
        (std::vector<std::string> {
            "【1回目の抽選結果：3件】", "江藤", "小林", "工藤", "", "【2回目の抽選結果：2件】", "井上", "工藤" }));
    // The program's own seed plays no part, and neither do the path or the record's date.
    plan.seed.fill(0x11);
    plan.source = "/elsewhere/名簿.txt";
    const Drawn second = run(plan);
    EXPECT_EQ(second.record.seed, first.record.seed);
    EXPECT_EQ(second.rows, first.rows);

    // Any change of the public value, the settings or the work list gives another seed.
    const std::map<std::string, std::function<void(DrawPlan&)>> changes = {
        { "one character of one entry",
            [](DrawPlan& p) {
                auto entries = std::make_shared<EntryList>();
                for (std::size_t i = 0; i < p.entries->size(); ++i)
                    entries->append(i == 4 ? std::string_view("大埜") : p.entries->text(i));
                p.entries = entries;
            } },
        { "the count", [](DrawPlan& p) { p.boxes.count = "3-3"; } },
        { "no duplicates", [](DrawPlan& p) { p.boxes.noDuplicates = true; } },
        { "the public value", [](DrawPlan& p) { p.publicValue = "2026年3月1日 ロト6 01 05 12 23 34 42"; } },
        { "the mode", [](DrawPlan& p) { p.boxes.fileMode = false; } },
        // Fields are framed by their length: moving a character between two fields tells.
        { "a character moved between fields",
            [](DrawPlan& p) {
                p.boxes.maximum.pop_back();
                p.boxes.count.insert(0, 1, '0');
            } },
    };
    for (const auto& [what, change] : changes) {
        DrawPlan changed = plan;
        change(changed);
        EXPECT_NE(run(changed).record.seed, first.record.seed) << what;
    }
}

TEST(DrawAlgorithmV1, SlicedDrawGivesTheSameResultsAndDigests)
{
    DrawPlan plan = numberPlan("1", "1000000", "30000-20000", true);
    plan.publicValue = "beacon 4711";
    const Drawn whole = run(plan);
    ResultList results;
    RecordedDraw draw(plan, results);
    int slices = 0;
    while (!draw.step(std::chrono::steady_clock::now()))
        ++slices;
    EXPECT_GT(slices, 1);
    const DrawRecord sliced = draw.record("");
    EXPECT_EQ(sliced.seed, whole.record.seed);
    EXPECT_EQ(sliced.results, whole.record.results);
    EXPECT_EQ(sliced.shownResults, whole.record.shownResults);
    EXPECT_EQ(sliced.resultCount, 50003u); // two headers and the separator between the rounds
}

TEST(DrawAlgorithmV1, RecordsShowTheFirstTenThousandRowsAsListsDoAndHashThemAll)
{
    DrawPlan plan;
    auto entries = std::make_shared<EntryList>();
    entries->append("line one\r\nline two");
    entries->append(std::string(1500, 'x'));
    plan.entries = entries;
    plan.settings.fileMode = true;
    plan.settings.counts = { 10005 };
    plan.boxes = { true, false, "", "2", "10005" };
    const Drawn drawn = run(plan);
    ASSERT_EQ(drawn.record.resultCount, 10005u);
    ASSERT_EQ(drawn.record.shownResults.size(), RecordedResults::kShownResults);
    for (std::size_t i = 0; i < RecordedResults::kShownResults; ++i)
        EXPECT_EQ(drawn.record.shownResults[i], listDisplayText(drawn.rows[i]));
    // The rows not shown still count: a change in the last row changes the digest.
    RecordedResults all;
    for (std::size_t i = 0; i < drawn.rows.size(); ++i)
        all.add(i + 1 == drawn.rows.size() ? std::string("changed") : drawn.rows[i]);
    EXPECT_NE(all.finish(), drawn.record.results);
}

TEST(DrawFairness, FirstValuesOfSuccessiveSeedsAreUniform)
{
    // Every draw takes its own seed, so the first value of each draw must be uniform across
    // seeds that differ only a little (here: by one).
    std::vector<long> counts(10);
    const DrawPlan plan = numberPlan("1", "10", "1", false);
    for (std::uint64_t n = 0; n < 50000; ++n) {
        DrawPlan seeded = plan;
        seeded.seed = counterSeed(n);
        ++counts[static_cast<std::size_t>(std::stoi(run(seeded).rows[0]) - 1)];
    }
    double chi2 = 0;
    for (long c : counts)
        chi2 += (c - 5000.0) * (c - 5000.0) / 5000.0;
    EXPECT_LT(chi2, 27.88); // upper 0.1% point, 9 degrees of freedom
}
