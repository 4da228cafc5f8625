#include "pickup/PickupCommandState.h"
#include "pickup/PickupTransfer.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace kuji;

namespace {

using Buttons = std::vector<PickupButton>;

// Exactly the listed buttons are enabled.
void expectEnabled(const PickupCommandState& state, const Buttons& on, const char* label)
{
    for (std::size_t i = 0; i < static_cast<std::size_t>(PickupButton::Count); ++i) {
        const auto button = static_cast<PickupButton>(i);
        EXPECT_EQ(state.enabled(button), std::find(on.begin(), on.end(), button) != on.end()) << label << " " << i;
    }
}

// The window as it opens: busy, then idle.
PickupCommandState opened()
{
    PickupCommandState state;
    state.setBusy();
    state.setIdle(0, 0);
    return state;
}

} // namespace

TEST(PickupCommandState, BusyLeavesOnlyStopAndHelpAndATransferNotEvenStop)
{
    PickupCommandState state = opened();
    expectEnabled(state, { PickupButton::Open, PickupButton::Help }, "opened");
    EXPECT_TRUE(state.fileEndEnabled());
    EXPECT_TRUE(state.conditionsEnabled());

    for (bool transfer : { false, true }) {
        state.runCompleted();
        transfer ? state.setBusyForTransfer() : state.setBusy();
        expectEnabled(state,
            transfer ? Buttons { PickupButton::Help } : Buttons { PickupButton::Stop, PickupButton::Help },
            transfer ? "transfer" : "busy");
        EXPECT_FALSE(state.fileEndEnabled());
        EXPECT_FALSE(state.conditionsEnabled());
        EXPECT_TRUE(state.busy());
    }
}

TEST(PickupCommandState, ResultCommandsLiveFromARunToTheNextOperation)
{
    const Buttons results = { PickupButton::Save, PickupButton::Print, PickupButton::AllSelect, PickupButton::Copy,
        PickupButton::Sort, PickupButton::Send };
    const Buttons idle = { PickupButton::Open, PickupButton::Start, PickupButton::Help };
    Buttons afterRun = idle;
    afterRun.insert(afterRun.end(), results.begin(), results.end());

    // After each operation: a completed run offers them; a load, a stopped run and a
    // transfer take them away until the next completed run.
    for (int operation = 0; operation < 3; ++operation) {
        PickupCommandState state = opened();
        state.setBusy();
        state.runCompleted();
        state.setIdle(2, 5);
        expectEnabled(state, afterRun, "after a run");
        operation == 2 ? state.setBusyForTransfer() : state.setBusy();
        if (operation == 0)
            state.runCompleted();
        state.setIdle(2, 5);
        expectEnabled(state, operation == 0 ? afterRun : idle, "after the next operation");
    }
}

TEST(PickupCommandState, StartNeedsConditionsAndRecords)
{
    struct Case {
        std::size_t conditions;
        std::size_t records;
        bool start;
    };
    for (const Case c : { Case { 0, 0, false }, Case { 1, 0, false }, Case { 0, 7, false }, Case { 3, 7, true } }) {
        PickupCommandState state = opened();
        state.refreshStart(c.conditions, c.records);
        EXPECT_EQ(state.enabled(PickupButton::Start), c.start) << c.conditions << " " << c.records;
        state.setBusy();
        state.setIdle(c.conditions, c.records);
        EXPECT_EQ(state.enabled(PickupButton::Start), c.start) << c.conditions << " " << c.records;
    }

    // Rows that arrive while a load runs do not offer Start before the load ends.
    PickupCommandState state = opened();
    state.setBusy();
    state.refreshStart(1, 1);
    EXPECT_FALSE(state.enabled(PickupButton::Start));
}

TEST(PickupTransfer, EntriesFollowTheResultOrder)
{
    const std::vector<std::string> rows = { "c,3", "a,1\r\nx", "", "b,2" };
    const EntryList entries = makeTransferEntries(rows.size(), [&](std::size_t i) { return rows[i]; });
    ASSERT_EQ(entries.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(entries[i].key, i + 1);
        EXPECT_EQ(entries[i].text, rows[i]);
    }
    // Texts made on demand work as well as stored ones.
    EXPECT_EQ(makeTransferEntries(2, [](std::size_t i) { return std::to_string(i * 10); }).text(1), "10");
    EXPECT_TRUE(makeTransferEntries(0, [&](std::size_t i) { return rows[i]; }).empty());
}
