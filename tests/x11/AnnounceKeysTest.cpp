#include "announce/ui/FittedText.h"
#include "announce/ui/FrmAnnounce.h"
#include "app/ui/FrmMain.h"
#include "common/Settings.h"
#include "common/ui/HelpService.h"
#include "entries/ui/ResultListModel.h"
#include "support/CountingSeeds.h"
#include "support/TempFolder.h"
#include "x11/DesktopPlatform.h"
#include "x11/X11Fixture.h"
#include "x11/XTestInput.h"

#include <memory>

using namespace kuji;
using namespace kuji::test;

namespace {

// 発表 driven by keys as the desktop sends them: F11 from the main window, the settings
// dialog's Enter, then Space, the arrows and Escape on the big screen, which holds the
// keyboard with no window manager to give it one.
class X11Announce : public TempFolderTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(input.ready()) << input.why().toStdString();
        TempFolderTest::SetUp();
        // No rolling: each reveal shows its winner at once.
        Settings::Announce announce;
        announce.prizeNames = "1等,2等";
        announce.rollHalfSeconds = 0;
        ASSERT_TRUE(Settings(pathOf("kujitan.ini")).writeAnnounce(announce));
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

    XTestInput input;
    DesktopPlatform platform;
    HelpService help { platform };
    CountingSeeds seeds;
    std::unique_ptr<FrmMain> window;
};

QString shownWinner(QWidget& big)
{
    return big.findChild<FittedText*>(QStringLiteral("lblWinner"))->accessibleName();
}

} // namespace

TEST_F(X11Announce, SpaceArrowsAndEscapeRevealGoBackAndClose)
{
    input.tap('m', { xkey::Alt });
    input.type("1");
    input.tap('b', { xkey::Alt });
    input.type("100");
    input.tap('v', { xkey::Alt });
    input.type("1-3");
    input.tap(xkey::F5);
    const ResultList& results = window->resultModel()->results();
    ASSERT_EQ(results.size(), 7u); // header, winner, empty row, header, three winners

    std::vector<int> steps;
    QString first;
    QString again;
    bool closed = false;
    platform.steps.push_back([&](QWidget&) { input.tap(xkey::Return); });
    platform.steps.push_back([&](QWidget& modal) {
        auto& big = dynamic_cast<FrmAnnounce&>(modal);
        input.tap(xkey::Space);
        steps.push_back(big.current());
        first = shownWinner(big);
        input.tap(xkey::Right);
        steps.push_back(big.current());
        input.tap(xkey::Space);
        steps.push_back(big.current());
        input.tap(xkey::Left);
        input.tap(xkey::Left);
        steps.push_back(big.current());
        again = shownWinner(big);
        input.tap(xkey::End);
        steps.push_back(big.current());
        input.tap(xkey::Escape);
        input.settle();
        closed = !big.isVisible();
    });
    input.tap(xkey::F11);
    ASSERT_EQ(platform.modalCalls, 2);
    EXPECT_EQ(steps, (std::vector<int> { 0, 1, 2, 0, 3 }));
    EXPECT_EQ(first, QString::fromStdString(results.text(1)));
    EXPECT_EQ(again, first);
    EXPECT_TRUE(closed);
    EXPECT_EQ(results.size(), 7u);
}
