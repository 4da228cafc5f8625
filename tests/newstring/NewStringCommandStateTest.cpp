#include "newstring/NewStringCommandState.h"

#include <gtest/gtest.h>

using namespace kuji;

TEST(NewStringCommandState, StopIsOfferedOnlyWhileWorkThatCanStopRuns)
{
    const NewStringCommand others[] = { NewStringCommand::Open, NewStringCommand::Save, NewStringCommand::Print,
        NewStringCommand::Send, NewStringCommand::End };
    NewStringCommandState state;
    EXPECT_FALSE(state.enabled(NewStringCommand::Stop));
    for (const bool stoppable : { false, true }) {
        state.setBusy(stoppable);
        EXPECT_EQ(state.enabled(NewStringCommand::Stop), stoppable);
        EXPECT_TRUE(state.enabled(NewStringCommand::Help));
        for (const NewStringCommand command : others)
            EXPECT_FALSE(state.enabled(command));
        EXPECT_FALSE(state.editorEnabled());
        EXPECT_FALSE(state.closeAllowed());
        state.setIdle();
        EXPECT_FALSE(state.enabled(NewStringCommand::Stop));
        for (const NewStringCommand command : others)
            EXPECT_TRUE(state.enabled(command));
        EXPECT_TRUE(state.editorEnabled());
    }
}
