#include "app/ui/FrmMain.h"
#include "common/ui/HelpService.h"
#include "pickup/ui/FrmPickupRecord.h"
#include "pickup/ui/PickupRecordTool.h"
#include "support/CountingSeeds.h"
#include "support/TempFolder.h"
#include "x11/DesktopPlatform.h"
#include "x11/X11Fixture.h"

#include <QLineEdit>
#include <QRadioButton>

#include <memory>

using namespace kuji;
using namespace kuji::test;

namespace {

// The main window with the desktop's real message boxes, file dialogs and modal windows. With
// no window manager the server leaves the keyboard nowhere when a window it had goes away;
// the program must hand it back, or the next keys are lost.
class X11Focus : public TempFolderTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(input.ready()) << input.why().toStdString();
        TempFolderTest::SetUp();
        window = std::make_unique<FrmMain>(platform, seeds, help, pathOf("kujitan.ini"), pathOf("records"));
        window->show();
        focusWindow(window.get());
    }

    void TearDown() override
    {
        window.reset();
        help.closeAll();
        TempFolderTest::TearDown();
    }

    QLineEdit* box(const char* name) const { return window->findChild<QLineEdit*>(QLatin1String(name)); }

    // After a modal window has gone: the main window has the keyboard again, and typing goes
    // on in the box that had it.
    void expectTypingGoesOnIn(QLineEdit* b, const char* typed, const QString& expected)
    {
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), 2000));
        input.type(typed);
        EXPECT_EQ(b->text(), expected);
    }

    XTestInput input;
    DesktopPlatform platform;
    HelpService help { platform };
    CountingSeeds seeds;
    std::unique_ptr<FrmMain> window;
};

} // namespace

TEST_F(X11Focus, AfterAMessageBoxTheBoxTypedInKeepsTheKeyboard)
{
    input.tap('m', { xkey::Alt });
    input.type("5");
    input.tap('b', { xkey::Alt });
    input.type("1");
    input.tap('v', { xkey::Alt });
    input.type("1");
    // The minimum above the maximum: Start answers with an error box, closed with Enter.
    QString shown;
    platform.steps.push_back([&](QWidget& modal) {
        shown = modal.windowTitle();
        input.tap(xkey::Return);
    });
    input.tap(xkey::F5);
    ASSERT_EQ(platform.modalCalls, 1);
    EXPECT_EQ(shown, "エラー");
    expectTypingGoesOnIn(box("txtTyusen"), "2", "12");
}

TEST_F(X11Focus, AfterThePrintDialogAndTheVersionWindowTheKeyboardComesBack)
{
    input.tap('m', { xkey::Alt });
    input.type("1");
    input.tap('b', { xkey::Alt });
    input.type("3");
    input.tap('v', { xkey::Alt });
    input.type("1");
    input.tap(xkey::F5);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->longWork().isRunning(); }));
    // Back to the count box, which its access key leaves all selected.
    input.tap('v', { xkey::Alt });
    input.tap(xkey::End);
    // Ctrl+P, then Escape in the print dialog.
    QString shown;
    platform.steps.push_back([&](QWidget& modal) {
        shown = modal.objectName();
        input.tap(xkey::Escape);
    });
    input.tap('p', { xkey::Control });
    ASSERT_EQ(platform.modalCalls, 1);
    EXPECT_EQ(shown, "frmPrint");
    expectTypingGoesOnIn(box("txtTyusen"), "2", "12");

    // ヘルプ ▸ バージョン情報 from the keyboard; Escape closes it.
    platform.steps.push_back([&](QWidget& modal) {
        shown = modal.objectName();
        input.tap(xkey::Escape);
    });
    input.tap('h', { xkey::Alt });
    input.tap('v');
    ASSERT_EQ(platform.modalCalls, 2);
    EXPECT_EQ(shown, "frmAbout");
    expectTypingGoesOnIn(box("txtTyusen"), "3", "123");
}

TEST_F(X11Focus, AfterTheFileDialogAndTheStringWindowTheKeyboardComesBack)
{
    input.tap('y', { xkey::Alt });
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window->findChild<QRadioButton*>(QStringLiteral("optYomikomi"))->isChecked(); }));
    input.tap('v', { xkey::Alt });
    input.type("1");
    // Ctrl+O opens the desktop's file dialog; Escape cancels it.
    QString shown;
    platform.steps.push_back([&](QWidget& modal) {
        shown = modal.metaObject()->className();
        input.tap(xkey::Escape);
    });
    input.tap('o', { xkey::Control });
    ASSERT_EQ(platform.modalCalls, 1);
    EXPECT_EQ(shown, "QFileDialog");
    expectTypingGoesOnIn(box("txtTyusen"), "2", "12");

    // ツール ▸ 文字列作成, typed into, and closed by ファイル ▸ 終了.
    platform.steps.push_back([&](QWidget& modal) {
        shown = modal.objectName();
        input.type("abc");
        input.tap('f', { xkey::Alt });
        input.tap('x');
    });
    input.tap('t', { xkey::Alt });
    input.tap('s');
    ASSERT_EQ(platform.modalCalls, 2);
    EXPECT_EQ(shown, "frmNewString");
    expectTypingGoesOnIn(box("txtTyusen"), "3", "123");
}

// Pickup Record is not a modal window: it takes the main window's place until it closes.
TEST_F(X11Focus, PickupRecordTakesTheKeyboardAndGivesItBack)
{
    input.tap('y', { xkey::Alt });
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window->findChild<QRadioButton*>(QStringLiteral("optYomikomi"))->isChecked(); }));
    input.tap('v', { xkey::Alt });
    input.type("1");
    input.tap('t', { xkey::Alt });
    input.tap('p');
    FrmPickupRecord* tool = window->findChild<PickupRecordTool*>()->window();
    ASSERT_NE(tool, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowActive(tool, 2000));
    // A click puts the keyboard into a column box.
    auto* column = tool->findChild<QLineEdit*>(QStringLiteral("txtInANDNo"));
    input.click(column->mapToGlobal(column->rect().center()));
    input.type("7");
    EXPECT_EQ(QApplication::focusWidget(), column);
    EXPECT_EQ(column->text(), "7");
    input.tap('f', { xkey::Alt });
    input.tap('x');
    EXPECT_TRUE(QTest::qWaitFor([this] { return window->isVisible(); }));
    expectTypingGoesOnIn(box("txtTyusen"), "2", "12");
}
