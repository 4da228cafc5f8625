#include "pickup/PickupRun.h"
#include "pickup/PickupFilter.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace kuji;
using Lines = std::vector<std::string>;

namespace {

struct Lists {
    std::vector<Condition> inAnd {};
    std::vector<Condition> inOr {};
    std::vector<Condition> outAnd {};
    std::vector<Condition> outOr {};

    ConditionSet set() const { return { inAnd, inOr, outAnd, outOr }; }
};

Lines kept(const Lists& lists, const Lines& records)
{
    const PickupFilter filter(lists.set());
    Lines out;
    for (const std::string& record : records) {
        if (filter.keeps(record))
            out.push_back(record);
    }
    return out;
}

TEST(PickupFilter, AndListWithWholeLineAndField)
{
    const Lists lists { { { "0", "A" }, { "2", "B" } } };
    EXPECT_EQ(
        kept(lists, { "A,B,x", "x,B,A", "A,x,B", "x,x,x", "B,A", "xAx,yBy" }), (Lines { "A,B,x", "x,B,A", "xAx,yBy" }));
}

TEST(PickupFilter, RemoveListsDecideTogether)
{
    const Lines records { "x,y", "x,n", "n,y", "n,n" };
    // Both remove lists filled: only a record meeting both is removed.
    EXPECT_EQ(kept({ {}, {}, { { "1", "x" } }, { { "2", "y" } } }, records), (Lines { "x,n", "n,y", "n,n" }));
    // One of them filled: that list alone decides.
    EXPECT_EQ(kept({ {}, {}, { { "1", "x" } }, {} }, records), (Lines { "n,y", "n,n" }));
    EXPECT_EQ(kept({ {}, {}, {}, { { "2", "y" } } }, records), (Lines { "x,n", "n,n" }));
    // NOT AND needs all of its conditions, NOT OR one of its own.
    EXPECT_EQ(kept({ {}, {}, { { "1", "x" }, { "2", "y" } }, {} }, records), (Lines { "x,n", "n,y", "n,n" }));
    EXPECT_EQ(kept({ {}, {}, {}, { { "1", "x" }, { "2", "y" } } }, records), (Lines { "n,n" }));
    // Keep and remove lists together.
    EXPECT_EQ(kept({ {}, { { "1", "x" }, { "2", "y" } }, {}, { { "0", "n" } } }, records), (Lines { "x,y" }));
}

TEST(PickupFilter, FieldsAndColumnTexts)
{
    const Lines records { "a,,b", "a,b,c", "q,\"b,c\",d", "p,b," };
    // Column 0 is the whole line, commas included.
    EXPECT_EQ(kept({ { { "0", ",," } } }, records), (Lines { "a,,b" }));
    // Every comma separates, quotes or not.
    EXPECT_EQ(kept({ { { "3", "c\"" } } }, records), (Lines { "q,\"b,c\",d" }));
    EXPECT_EQ(kept({ { { "03", "c\"" } } }, records), (Lines { "q,\"b,c\",d" }));
    // An empty phrase is met by every field the record has, the empty last one too.
    EXPECT_EQ(kept({ { { "3", "" } } }, records), records);
    EXPECT_EQ(kept({ { { "4", "" } } }, records), (Lines { "q,\"b,c\",d" }));
    // Column texts that name no field are never met, and the run goes on.
    for (const char* column : { "5", "", "-1", "+1", " 1", "1 ", "x", "99999999999999999999999" }) {
        EXPECT_EQ(kept({ { { column, "" } } }, records), Lines {}) << column;
        EXPECT_EQ(kept({ {}, {}, {}, { { column, "" } } }, records), records) << column;
    }
}

TEST(PickupFilter, ListsAreReadOnlyAsFarAsTheirAnswer)
{
    struct OrderCase {
        const char* label;
        Lists lists;
        const char* record;
        std::uint64_t tested;
    };
    const OrderCase cases[] = {
        { "NOT OR stops at its first hit, OR is skipped once removed",
            { {}, { { "0", "y" } }, {}, { { "0", "x" }, { "0", "x" } } }, "x", 1 },
        { "NOT AND stops at its first miss, NOT OR then cannot remove",
            { {}, {}, { { "0", "q" }, { "0", "x" } }, { { "0", "x" } } }, "x", 1 },
        { "AND stops at its first miss, OR is skipped", { { { "0", "q" }, { "0", "x" } }, { { "0", "x" } } }, "x", 1 },
        { "OR stops at its first hit", { { { "0", "x" } }, { { "0", "x" }, { "0", "q" } } }, "x", 2 },
        { "all lists read in full",
            { { { "0", "x" } }, { { "0", "q" }, { "0", "x" } }, { { "0", "x" } }, { { "0", "q" } } }, "x", 5 },
    };
    for (const OrderCase& c : cases) {
        const PickupFilter filter(c.lists.set());
        filter.keeps(c.record);
        EXPECT_EQ(filter.conditionsTested(), c.tested) << c.label;
    }
}

std::shared_ptr<EntryList> makeRecords(std::size_t count)
{
    auto records = std::make_shared<EntryList>();
    for (std::size_t i = 0; i < count; ++i)
        records->append(std::to_string(i) + "," + (i % 3 == 0 ? "A" : "B") + std::to_string(i % 100));
    return records;
}

Lines texts(const PickupResult& result)
{
    Lines out;
    for (std::size_t i = 0; i < result.size(); ++i)
        out.emplace_back(result.text(i));
    return out;
}

const Lists kSliceLists { { { "2", "A*" } }, {}, {}, { { "0", "7" } } };

TEST(PickupRun, TimeSlicedRunMatchesOneGo)
{
    const auto records = makeRecords(20000);
    PickupRun whole(records, PickupFilter(kSliceLists.set()));
    whole.runToEnd();
    ASSERT_TRUE(whole.done());
    EXPECT_FALSE(whole.stopped());

    PickupRun sliced(records, PickupFilter(kSliceLists.set()));
    int slices = 0;
    std::size_t lastProcessed = 0;
    while (!sliced.step(std::chrono::steady_clock::now())) {
        ++slices;
        EXPECT_GT(sliced.processed(), lastProcessed);
        lastProcessed = sliced.processed();
    }
    EXPECT_GT(slices, 1);
    EXPECT_EQ(sliced.processed(), 20000u);
    EXPECT_EQ(sliced.total(), 20000u);

    Lines expected;
    for (std::size_t i = 0; i < records->size(); ++i) {
        const std::string line(records->text(i));
        if (line.find(",A") != std::string::npos && line.find('7') == std::string::npos)
            expected.push_back(line);
    }
    EXPECT_EQ(texts(whole.result()), expected);
    EXPECT_EQ(texts(sliced.result()), expected);
    EXPECT_EQ(sliced.keptCount(), expected.size());
    EXPECT_EQ(texts(sliced.takeResult()), expected);
}

TEST(PickupRun, StopDropsWhatWasKept)
{
    PickupRun run(makeRecords(20000), PickupFilter(kSliceLists.set()));
    run.step(std::chrono::steady_clock::now());
    ASSERT_GT(run.keptCount(), 0u);
    ASSERT_FALSE(run.done());
    run.stop();
    EXPECT_TRUE(run.done());
    EXPECT_TRUE(run.stopped());
    EXPECT_EQ(run.keptCount(), 0u);
    EXPECT_TRUE(run.step(std::chrono::steady_clock::now()));
    EXPECT_TRUE(run.result().empty());
}

TEST(PickupRun, NoRecordsOrNoneKeptIsACompleteRun)
{
    PickupRun none(std::make_shared<EntryList>(), PickupFilter(kSliceLists.set()));
    EXPECT_TRUE(none.step(std::chrono::steady_clock::now()));
    EXPECT_FALSE(none.stopped());

    PickupRun nothingKept(makeRecords(10), PickupFilter(Lists { { { "9", "" } } }.set()));
    nothingKept.runToEnd();
    EXPECT_TRUE(nothingKept.done());
    EXPECT_FALSE(nothingKept.stopped());
    EXPECT_EQ(nothingKept.keptCount(), 0u);
}

} // namespace
