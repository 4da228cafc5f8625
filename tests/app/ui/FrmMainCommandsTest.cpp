#include "support/MainWindowFixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>

using namespace kuji;
using kuji::test::MainWindowFixture;

namespace {

class FrmMainCommands : public MainWindowFixture { };

} // namespace

TEST_F(FrmMainCommands, FirstStartIsNumberModeWithStartUnavailable)
{
    EXPECT_TRUE(child<QRadioButton>("optSuji")->isChecked());
    EXPECT_EQ(window->windowTitle(), "くじ丸");
    EXPECT_FALSE(action("mnuRunStart")->isEnabled());
    EXPECT_FALSE(window->toolbarButton("M_Start")->isEnabled());
    EXPECT_FALSE(action("mnuRunStop")->isEnabled());
    for (const char* name : { "mnuFileOpen", "mnuToolPickupRecord", "mnuToolNewString", "mnuFileSave", "mnuFilePrint",
             "mnuHensyuCopy", "mnuHensyuDelete" })
        EXPECT_FALSE(action(name)->isEnabled()) << name;
    for (const char* name : { "mnuHelpHelp", "mnuHelpVersion", "mnuFileEnd", "mnuResetStandard" })
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    EXPECT_FALSE(child<QToolButton>("cmdFile")->isEnabled());
    EXPECT_GE(window->width(), 376);
}

TEST_F(FrmMainCommands, StartFollowsTheThreeBoxes)
{
    auto* min = child<QLineEdit>("txtSaisyo");
    typeSettings("1", "2", "");
    EXPECT_FALSE(action("mnuRunStart")->isEnabled());
    QTest::keyClicks(child<QLineEdit>("txtTyusen"), "1");
    EXPECT_TRUE(action("mnuRunStart")->isEnabled());
    EXPECT_TRUE(window->toolbarButton("M_Start")->isEnabled());
    min->clear();
    EXPECT_FALSE(action("mnuRunStart")->isEnabled());
    EXPECT_FALSE(window->toolbarButton("M_Start")->isEnabled());
}

TEST_F(FrmMainCommands, EntrySourcesStayOffInNumberModeAfterADraw)
{
    typeSettings("1", "10", "3");
    trigger("mnuRunStart");
    EXPECT_FALSE(action("mnuFileOpen")->isEnabled());
    EXPECT_FALSE(action("mnuToolPickupRecord")->isEnabled());
    EXPECT_FALSE(action("mnuToolNewString")->isEnabled());
    // Delete has no button of its own and follows Copy.
    EXPECT_EQ(action("mnuHensyuDelete")->isEnabled(), action("mnuHensyuCopy")->isEnabled());
    // Pickup Record in number mode does nothing even when triggered directly.
    action("mnuToolPickupRecord")->trigger();
    EXPECT_TRUE(window->isVisible());
}

// The drop-down items of the toolbar run the menus' commands: one action each.
TEST_F(FrmMainCommands, DropDownItemsRunTheMenusCommands)
{
    typeSettings("1", "10", "3");
    trigger("mnuRunStart");
    const std::pair<const char*, const char*> items[] = { { "M_SortAsc1", "mnuHensyuSortAsc1" },
        { "M_SortDesc", "mnuHensyuSortDesc" }, { "M_ResetCustomSet", "mnuResetCustomSet" } };
    for (const auto& [item, command] : items) {
        QSignalSpy ran(action(command), &QAction::triggered);
        QAction* entry = window->findChild<QAction*>(QLatin1String(item));
        ASSERT_NE(entry, nullptr) << item;
        entry->trigger();
        EXPECT_EQ(ran.count(), 1) << item;
    }
}

TEST_F(FrmMainCommands, WindowNeverShrinksBelowItsMinimum)
{
    window->resize(100, 80);
    EXPECT_GE(window->width(), 376);
    EXPECT_GE(window->height(), 225);
}

TEST_F(FrmMainCommands, ClickingTheChosenModeAgainKeepsWhatWasTyped)
{
    typeSettings("1", "9", "2");
    QTest::mouseClick(child<QRadioButton>("optSuji"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>("txtSaisyo")->text(), "1");
    EXPECT_TRUE(action("mnuRunStart")->isEnabled());
}

TEST_F(FrmMainCommands, ExitClosesTheIdleWindow)
{
    trigger("mnuFileEnd");
    EXPECT_FALSE(window->isVisible());
}
