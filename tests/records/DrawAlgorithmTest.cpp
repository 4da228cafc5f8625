// Draw algorithms v1 and v2, pinned. The vectors below were checked against an independent
// implementation of the algorithms as the help page describes them
// (tests/records/reference/kujimaru_check.py); a record drawn with either must re-run to these
// results on every machine, for ever.
#include "draw/PublicValue.h"
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
    plan.algorithm = kAlgorithmV1;
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
    plan.algorithm = kAlgorithmV1;
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

namespace {

std::shared_ptr<const EntryList> tenEntries()
{
    auto entries = std::make_shared<EntryList>();
    for (const char* name : { "青木", "井上", "上田", "江藤", "大野", "加藤", "木村", "工藤", "小林", "佐藤" })
        entries->append(name);
    return entries;
}

// The commitment a public draw of these boxes was promised by.
Commitment promiseFor(const DrawPlan& plan, std::string description)
{
    const std::uint64_t n = plan.settings.fileMode ? plan.entries->size() : 0;
    Commitment c;
    c.settings = plan.canonical(n);
    c.entryCount = n;
    c.workList = WorkListHasher::of(plan.settings.fileMode ? *plan.entries : EntryList());
    c.description = std::move(description);
    c.dateTime = "2026-12-08 19:00:00 +0900";
    return c;
}

// A v2 public draw of the boxes as typed, under the commitment made from them.
DrawPlan publicPlan(const DrawBoxTexts& boxes, std::shared_ptr<const EntryList> entries, std::string value)
{
    PlannedDraw planned = planFromBoxes(boxes, std::move(entries));
    EXPECT_EQ(planned.validation.code, 0) << planned.validation.message;
    DrawPlan plan = planned.plan;
    plan.commitment = promiseFor(plan, "2026年12月24日 年末ジャンボ 1等 組と番号（例: 12組123456）");
    plan.publicValue = std::move(value);
    return plan;
}

std::vector<std::string> valuesOf(const std::vector<std::string>& rows)
{
    std::vector<std::string> values;
    for (const std::string& row : rows)
        if (!row.empty() && row.rfind("【", 0) != 0)
            values.push_back(std::to_string(std::stoll(row)));
    return values;
}

} // namespace

TEST(DrawAlgorithmV2, FixedInputsGiveFixedSeedsAndResults)
{
    struct Vector {
        const char* name;
        DrawPlan plan;
        const char* commitment;
        const char* seed;
        std::vector<std::string> rows;
        const char* resultsDigest;
    };
    const Vector vectors[] = {
        { "numbers, rounds, no duplicates",
            publicPlan({ false, true, "1", "100", "3-2" }, nullptr, "01 05 12 23 34 41"),
            "0aecf4b6b5e486cd9e6182ad12ffb0ef744675c4b3012ec86d696e6af6077408",
            "9916517b0a587d8348ae336c7c93a48d408e1128386905c1dfadb573f2806af9",
            { "【1回目の抽選結果：3件】", "60", "26", "81", "", "【2回目の抽選結果：2件】", "43", "65" },
            "44c799eed0951628bb9e37ea1d8eed9e3758b17e0e7fc138bbd40e3f696b7989" },
        { "numbers with duplicates, padded",
            publicPlan({ false, false, "001", "999", "6" }, nullptr, "１２組１２３４５６"),
            "0cf4f8f232b08a789aba8921e8027b8afd80597e1a7c56abdc502daac1d7862f",
            "494e0b68727ddd339c6be83ef1fd83cde3a9cd9ef7ae3a46c489399f9b0db661",
            { "629", "356", "817", "597", "634", "599" },
            "2083205401d670854834b32b8dcfd6ad84d0d92711c391127125f226812f40e3" },
        { "ten entries, 3-2", publicPlan({ true, true, "/tmp/名簿.txt", "10", "3-2" }, tenEntries(), "beacon 4711"),
            "b4c92eede3e838836dcceb167c464ffbf6b9d145ead0023a5b9994e3c1823c66",
            "fa76daea83105fcc20f1e6706a8c1bbfcef791b32a5bc2144826a80e9325fea1",
            { "【1回目の抽選結果：3件】", "佐藤", "上田", "小林", "", "【2回目の抽選結果：2件】", "木村", "工藤" },
            "5c7ea2666e83b0f068d2924fa5a40ecfdffac2409243c1fd5dba947c422bc76b" },
    };
    for (const Vector& v : vectors) {
        EXPECT_EQ(toHex(kuji::commitmentNumber(*v.plan.commitment)), v.commitment) << v.name;
        const Drawn drawn = run(v.plan);
        EXPECT_EQ(seedToHex(drawn.record.seed), v.seed) << v.name;
        EXPECT_EQ(drawn.rows, v.rows) << v.name;
        EXPECT_EQ(toHex(drawn.record.results), v.resultsDigest) << v.name;
    }
}

TEST(DrawAlgorithmV2, ThePaddingOfTheBoxesAndTheWritingOfThePublicValueChooseNothing)
{
    const std::string value = "01 05 12 23 34 41";
    const Drawn plain = run(publicPlan({ false, true, "1", "100", "5" }, nullptr, value));
    DrawPlan padded = publicPlan({ false, true, "01", "0100", "05" }, nullptr, value);
    // Promised with the boxes written plainly, drawn with them padded: the same draw.
    padded.commitment = publicPlan({ false, true, "1", "100", "5" }, nullptr, value).commitment;
    const Drawn again = run(padded);
    EXPECT_EQ(again.record.seed, plain.record.seed);
    EXPECT_EQ(valuesOf(again.rows), valuesOf(plain.rows));
    EXPECT_EQ(again.record.results, plain.record.results) << "the results digest hashes values, not their writing";
    EXPECT_EQ(again.rows.front().size(), 2u) << "the padding still shows in the results";

    for (const char* written :
        { "0105 12 2334\t41", "０１　０５　１２　２３　３４　４１", " 01\u00A005 12 23 34 41 " }) {
        const Drawn other = run(publicPlan({ false, true, "1", "100", "5" }, nullptr, written));
        EXPECT_EQ(other.record.seed, plain.record.seed) << written;
    }
    EXPECT_EQ(normalizePublicValue("１２組　１２３４５６"), "12組123456");
    const Drawn otherValue = run(publicPlan({ false, true, "1", "100", "5" }, nullptr, "01 05 12 23 34 42"));
    EXPECT_NE(otherValue.record.seed, plain.record.seed);
}

TEST(DrawAlgorithmV2, APublicDrawThatIsNotTheOnePromisedDrawsNothing)
{
    const DrawPlan promised = publicPlan({ true, true, "", "10", "3-2" }, tenEntries(), "beacon 4711");
    struct Case {
        const char* what;
        DrawBoxTexts boxes;
        std::shared_ptr<const EntryList> entries;
        std::vector<std::string> refusal;
    };
    auto reordered = std::make_shared<EntryList>();
    for (const char* name : { "井上", "青木", "上田", "江藤", "大野", "加藤", "木村", "工藤", "小林", "佐藤" })
        reordered->append(name);
    const Case cases[] = {
        { "another count", { true, true, "", "10", "3-3" }, tenEntries(),
            { "抽選数が予告と違います（予告: 3-2、今: 3-3）" } },
        { "duplicates allowed", { true, false, "", "10", "3-2" }, tenEntries(),
            { "ダブり無しが予告と違います（予告: あり、今: なし）" } },
        { "the entries in another order", { true, true, "", "10", "3-2" }, reordered,
            { "エントリーの内容（SHA-256）が予告と違います（予告: " + toHex(WorkListHasher::of(*tenEntries()))
                + "、今: " + toHex(WorkListHasher::of(*reordered)) + "）" } },
        { "number mode", { false, true, "1", "10", "3-2" }, nullptr,
            { "モードが予告と違います（予告: 読込抽選モード、今: 数字抽選モード）" } },
    };
    for (const Case& c : cases) {
        DrawPlan plan = publicPlan(c.boxes, c.entries, "beacon 4711");
        plan.commitment = promised.commitment;
        ResultList results;
        RecordedDraw draw(plan, results);
        draw.runToEnd();
        EXPECT_TRUE(draw.done()) << c.what;
        EXPECT_EQ(draw.refusal(), c.refusal) << c.what;
        EXPECT_TRUE(results.empty()) << c.what;
    }
    DrawPlan numbers = publicPlan({ false, true, "1", "100", "5" }, nullptr, "x");
    numbers.commitment = publicPlan({ false, true, "1", "101", "6" }, nullptr, "x").commitment;
    ResultList results;
    RecordedDraw draw(numbers, results);
    draw.runToEnd();
    EXPECT_EQ(draw.refusal(),
        (std::vector<std::string> {
            "最大値が予告と違います（予告: 101、今: 100）", "抽選数が予告と違います（予告: 6、今: 5）" }));
    // A public value without any commitment proves nothing, so it is refused too.
    numbers.commitment.reset();
    RecordedDraw bare(numbers, results);
    bare.runToEnd();
    EXPECT_TRUE(bare.refused());
}

TEST(DrawAlgorithmV2, TheResultsDigestHashesEveryDrawnValueWhateverTheSlices)
{
    const DrawPlan plan = publicPlan({ false, true, "0001", "1000000", "30000-20000" }, nullptr, "beacon 4711");
    ResultList results;
    RecordedDraw draw(plan, results);
    int slices = 0;
    while (!draw.step(std::chrono::steady_clock::now()))
        ++slices;
    EXPECT_GT(slices, 1);
    // The values, as a checker reads them off the rows: four bytes each, headers left out.
    std::string values;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const std::string row = results.text(i);
        if (row.empty() || row.rfind("【", 0) == 0)
            continue;
        const auto value = static_cast<std::uint32_t>(std::stoul(row));
        for (int shift = 0; shift < 32; shift += 8)
            values += static_cast<char>((value >> shift) & 0xFF);
    }
    const DrawRecord record = draw.record("");
    EXPECT_EQ(record.resultCount, 50003u);
    EXPECT_EQ(record.results, Sha256::of(values));
    EXPECT_EQ(record.shownResults.size(), RecordedResults::kShownResults);
    EXPECT_EQ(record.shownResults[1], results.text(1));
}
