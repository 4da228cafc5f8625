#include "common/IniFile.h"
#include "common/Settings.h"
#include "common/ui/HelpService.h"
#include "common/ui/HelpViewer.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <fstream>
#include <iterator>

using namespace kuji;
using kuji::test::MainWindowFixture;

namespace {

class FrmMainSettings : public MainWindowFixture { };

} // namespace

TEST_F(FrmMainSettings, FirstStartUsesTheDefaults)
{
    EXPECT_TRUE(child<QRadioButton>("optSuji")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("chkDaburi")->isChecked());
    for (const char* box : { "txtSaisyo", "txtSaidai", "txtTyusen" })
        EXPECT_TRUE(child<QLineEdit>(box)->text().isEmpty());
    EXPECT_FALSE(action("mnuRunStart")->isEnabled());
    EXPECT_EQ(window->pos(), QPoint(0, 0));
    EXPECT_EQ(window->size(), window->minimumSize());
}

TEST_F(FrmMainSettings, PositionModeAndOptionComeBackAfterARestart)
{
    window->move(40, 30);
    window->resize(600, 450);
    QTest::mouseClick(child<QRadioButton>("optYomikomi"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("chkDaburi"), Qt::LeftButton);
    ASSERT_TRUE(window->close());

    EXPECT_EQ(myReadIni("Option", "Mode", settingsPath()), "Yomikomi");
    EXPECT_EQ(myReadIni("Option", "Daburi", settingsPath()), "1");
    EXPECT_EQ(myReadIni("Kujitan Position", "Width", settingsPath()), "9000");

    openWindow();
    EXPECT_EQ(window->pos(), QPoint(40, 30));
    EXPECT_EQ(window->size(), QSize(600, 450));
    EXPECT_TRUE(child<QRadioButton>("optYomikomi")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("chkDaburi")->isChecked());
    EXPECT_TRUE(action("mnuFileOpen")->isEnabled());
    EXPECT_TRUE(window->findChild<QMenu*>("mnuFileUse")->isEnabled());
}

TEST_F(FrmMainSettings, StoredValuesAreCheckedWhenReadBack)
{
    window.reset();
    myWriteIni("Kujitan Position", "Left", "-120", settingsPath());
    myWriteIni("Kujitan Position", "Top", "x", settingsPath());
    myWriteIni("Kujitan Position", "Width", "99999999", settingsPath());
    myWriteIni("Option", "Mode", "yomikomi", settingsPath());
    openWindow();
    EXPECT_EQ(window->pos(), QPoint(0, 0));
    // Wider than the screen comes back as wide as the screen.
    EXPECT_EQ(window->width(), window->screen()->geometry().width());
    EXPECT_TRUE(child<QRadioButton>("optSuji")->isChecked());
}

TEST_F(FrmMainSettings, ClosingWhileMinimisedStoresTheRestoredGeometry)
{
    window->move(50, 60);
    window->resize(500, 400);
    window->showMinimized();
    QApplication::processEvents();
    ASSERT_TRUE(window->close());
    openWindow();
    EXPECT_EQ(window->pos(), QPoint(50, 60));
    EXPECT_EQ(window->size(), QSize(500, 400));
}

TEST_F(FrmMainSettings, AnUnwritableSettingsFileNeverStopsTheProgram)
{
    window.reset();
    // A settings path below a regular file can be neither created nor written, even by root.
    const QString blocker = writeFile("blocker", "x");
    window
        = std::make_unique<FrmMain>(platform, seeds, help, (blocker + "/kujitan.ini").toStdString(), recordsFolder());
    window->show();
    EXPECT_TRUE(child<QRadioButton>("optSuji")->isChecked());
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(FrmMainSettings, HelpOpensContentsOrTheMainWindowTopic)
{
    trigger("mnuHelpHelp");
    EXPECT_TRUE(help.isOpen());
    EXPECT_EQ(help.currentSource(), HelpViewer::contentsUrl());
    window->toolbarButton("M_Help")->click();
    EXPECT_EQ(help.currentSource(), HelpService::topicUrl(kHelpTopicMainWindow));
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(help.currentSource(), HelpViewer::contentsUrl());
    // Closing the main window closes the help with it.
    ASSERT_TRUE(window->close());
    EXPECT_FALSE(help.isOpen());
}

TEST_F(FrmMainSettings, VersionWindowOpensCentredAndModal)
{
    QString caption;
    bool modal = false;
    QPoint centre;
    platform.modalAnswers.push_back([&](QDialog& about) {
        caption = about.windowTitle();
        modal = about.isModal();
        centre = about.geometry().center();
        return int(QDialog::Accepted);
    });
    trigger("mnuHelpVersion");
    EXPECT_EQ(platform.modalWindows, QStringList({ "frmAbout" }));
    EXPECT_EQ(caption, "バージョン情報");
    EXPECT_TRUE(modal);
    EXPECT_LE((centre - window->geometry().center()).manhattanLength(), 30);
}

TEST_F(FrmMainSettings, LinesTheProgramDoesNotKnowSurviveAStartAndAnExit)
{
    window.reset();
    // A comment in EUC-JP, one with bytes valid in no encoding, and a section of another tool.
    const std::string foreign
        = "; \xC6\xFC\xCB\xDC\xB8\xEC\r\n;\xFF\xFE\x80 broken\r\n[Other Tool]\r\nKey=\x82\xA0\r\n";
    const std::string path = settingsPath();
    std::ofstream(path, std::ios::binary) << foreign << "[Option]\r\nMode=Number\r\n";
    openWindow();
    ASSERT_TRUE(window->close());
    std::ifstream in(path, std::ios::binary);
    const std::string after { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    EXPECT_EQ(after.substr(0, foreign.size()), foreign);
    EXPECT_NE(after.find("[Kujitan Position]"), std::string::npos);
}

TEST_F(FrmMainSettings, AUtf8SettingsFileStaysUtf8)
{
    window.reset();
    const std::string path = settingsPath();
    std::ofstream(path, std::ios::binary) << "; くじ丸の設定\r\n[Option]\r\nMode=Yomikomi\r\n";
    openWindow();
    ASSERT_TRUE(window->close());
    std::ifstream in(path, std::ios::binary);
    const std::string after { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    EXPECT_EQ(after.rfind("; くじ丸の設定\r\n", 0), 0u) << after;
    EXPECT_EQ(myReadIni("Option", "Mode", path), "Yomikomi");
}
