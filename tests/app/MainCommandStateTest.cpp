#include "app/MainCommandState.h"

#include <gtest/gtest.h>

using namespace kuji;

namespace {

MainCommandState startedUp(bool fileMode)
{
    MainCommandState state;
    state.setBusy();
    state.setIdle(fileMode);
    return state;
}

} // namespace

TEST(MainCommandState, BusyLeavesOnlyStopAndHelp)
{
    MainCommandState state = startedUp(true);
    state.drawCompleted();
    state.setBusy();
    for (std::size_t i = 0; i < static_cast<std::size_t>(MainButton::Count); ++i) {
        const auto button = static_cast<MainButton>(i);
        const bool expected = button == MainButton::Stop || button == MainButton::Help;
        EXPECT_EQ(state.enabled(button), expected) << i;
    }
    EXPECT_FALSE(state.fileEndEnabled());
    EXPECT_FALSE(state.newStringEnabled());
    EXPECT_FALSE(state.framesEnabled());
    EXPECT_TRUE(state.busy());
}

TEST(MainCommandState, EntrySourcesOnlyInFileMode)
{
    MainCommandState number = startedUp(false);
    EXPECT_FALSE(number.enabled(MainButton::Open));
    EXPECT_FALSE(number.enabled(MainButton::PickupRecord));
    EXPECT_FALSE(number.newStringEnabled());
    EXPECT_TRUE(number.enabled(MainButton::Reset));
    EXPECT_FALSE(number.enabled(MainButton::Stop));
    EXPECT_TRUE(number.fileEndEnabled());

    MainCommandState file = startedUp(true);
    EXPECT_TRUE(file.enabled(MainButton::Open));
    EXPECT_TRUE(file.enabled(MainButton::PickupRecord));
    EXPECT_TRUE(file.newStringEnabled());
}

TEST(MainCommandState, ResultCommandsOnlyAfterACompletedDraw)
{
    MainCommandState state = startedUp(false);
    state.refreshStart(true);
    EXPECT_TRUE(state.enabled(MainButton::Start));
    EXPECT_FALSE(state.enabled(MainButton::Save));

    state.setBusy();
    state.drawCompleted();
    state.setIdle(false);
    for (MainButton b : { MainButton::Save, MainButton::Print, MainButton::AllSelect, MainButton::Copy,
             MainButton::Sort, MainButton::Start })
        EXPECT_TRUE(state.enabled(b));

    // A later busy spell (a file read, a mode switch) takes them away until the next draw.
    state.setBusy();
    state.setIdle(true);
    EXPECT_FALSE(state.enabled(MainButton::Save));
    EXPECT_FALSE(state.enabled(MainButton::Copy));
}

TEST(MainCommandState, StartFollowsTheBoxesButNotWhileBusy)
{
    MainCommandState state = startedUp(false);
    EXPECT_FALSE(state.enabled(MainButton::Start));
    state.refreshStart(true);
    EXPECT_TRUE(state.enabled(MainButton::Start));
    state.refreshStart(false);
    EXPECT_FALSE(state.enabled(MainButton::Start));

    state.setBusy();
    state.refreshStart(true);
    EXPECT_FALSE(state.enabled(MainButton::Start));
    state.stopRequested();
    EXPECT_TRUE(state.enabled(MainButton::Start));
}
