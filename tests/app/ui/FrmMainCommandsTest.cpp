#include "support/MainWindowFixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
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

TEST_F(FrmMainCommands, ToolbarKeysTooltipsAndDropDowns)
{
    const std::pair<const char*, const char*> buttons[]
        = { { "M_Open", "開く" }, { "M_Save", "保存" }, { "M_Print", "印刷" }, { "M_AllSelect", "すべて選択" },
              { "M_Copy", "コピー" }, { "M_Sort", "昇順に並べ替え" }, { "M_PickupRecord", "Pickup Record" },
              { "M_Start", "開始" }, { "M_Stop", "停止" }, { "M_Reset", "標準リセット" }, { "M_Help", "ヘルプ" } };
    for (const auto& [key, tip] : buttons) {
        QToolButton* button = window->toolbarButton(key);
        ASSERT_NE(button, nullptr) << key;
        EXPECT_EQ(button->property("key").toString(), key);
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(tip)) << key;
    }
    EXPECT_EQ(window->toolbarButton("M_Open")->defaultAction(), action("mnuFileOpen"));
    EXPECT_EQ(window->toolbarButton("M_Sort")->defaultAction(), action("mnuHensyuSortAsc2"));

    QMenu* sort = window->toolbarButton("M_Sort")->menu();
    ASSERT_NE(sort, nullptr);
    QStringList captions;
    for (QAction* a : sort->actions())
        captions << a->objectName() + "=" + a->text();
    EXPECT_EQ(captions,
        QStringList({ "M_SortAsc1=抽選順に並べ替え", "M_SortAsc2=昇順に並べ替え", "M_SortDesc=降順に並べ替え" }));
    QMenu* reset = window->toolbarButton("M_Reset")->menu();
    ASSERT_NE(reset, nullptr);
    ASSERT_EQ(reset->actions().size(), 4);
    EXPECT_TRUE(reset->actions()[2]->isSeparator());
    EXPECT_EQ(reset->actions()[3]->text(), "現在の状態をカスタムリセットの設定にする");
}

TEST_F(FrmMainCommands, MenusCarryTheirCaptionsAndShortcuts)
{
    EXPECT_EQ(action("mnuFileOpen")->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(action("mnuFileSave")->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(action("mnuFilePrint")->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(action("mnuRunStart")->shortcut(), QKeySequence("F5"));
    EXPECT_EQ(action("mnuHelpHelp")->shortcut(), QKeySequence("F1"));
    EXPECT_EQ(action("mnuFileUseItem0")->text(), "なし");
    EXPECT_FALSE(action("mnuFileUseItem0")->isEnabled());
    for (int i = 1; i <= 10; ++i)
        EXPECT_FALSE(action(("mnuFileUseItem" + std::to_string(i)).c_str())->isVisible());
    QMenu* popup = child<QMenu>("mnuPopup");
    QStringList popupItems;
    for (QAction* a : popup->actions())
        if (!a->isSeparator())
            popupItems << a->objectName();
    EXPECT_EQ(popupItems,
        QStringList({ "mnuHensyuAllSelect", "mnuHensyuCopy", "mnuHensyuDelete", "mnuHensyuSortAsc1",
            "mnuHensyuSortAsc2", "mnuHensyuSortDesc" }));
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
