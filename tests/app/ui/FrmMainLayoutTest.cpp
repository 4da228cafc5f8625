#include "common/IniFile.h"
#include "support/MainWindowFixture.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

using namespace kuji;
using kuji::test::MainWindowFixture;

namespace {

class FrmMainLayout : public MainWindowFixture {
protected:
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        QApplication::setFont(m_font);
    }

    // Everything the first window shows lies inside it, whole.
    void expectNothingHiddenOrCut()
    {
        QApplication::processEvents();
        auto* bar = window->menuBar();
        for (QAction* menu : bar->actions()) {
            const QRect place = bar->actionGeometry(menu);
            EXPECT_FALSE(place.isEmpty()) << menu->text().toStdString();
            EXPECT_TRUE(bar->rect().contains(place)) << menu->text().toStdString();
        }
        for (const char* extension : { "qt_menubar_ext_button", "qt_toolbar_ext_button" }) {
            for (auto* button : window->findChildren<QToolButton*>(QLatin1String(extension)))
                EXPECT_FALSE(button->isVisible()) << extension;
        }
        auto* toolbar = child<QToolBar>("tlbMain");
        for (auto* button : toolbar->findChildren<QToolButton*>()) {
            if (button->property("key").isValid()) {
                EXPECT_TRUE(button->isVisible()) << button->objectName().toStdString();
                EXPECT_TRUE(toolbar->rect().contains(button->geometry())) << button->objectName().toStdString();
            }
        }
        for (const char* frame : { "fraMode", "fraSet" }) {
            for (auto* button : child<QWidget>(frame)->findChildren<QAbstractButton*>())
                EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
            for (auto* label : child<QWidget>(frame)->findChildren<QLabel*>())
                EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        }
    }

    QFont m_font = QApplication::font();
};

} // namespace

TEST_F(FrmMainLayout, FirstWindowShowsEveryMenuButtonAndCaptionAtAnyFontSize)
{
    EXPECT_EQ(window->size(), window->minimumSize());
    expectNothingHiddenOrCut();

    QFont large = m_font;
    large.setPointSizeF(m_font.pointSizeF() * 1.5);
    QApplication::setFont(large);
    openWindow();
    EXPECT_EQ(window->size(), window->minimumSize());
    expectNothingHiddenOrCut();
}

TEST_F(FrmMainLayout, SmallerStoredSizeIsRaisedToTheMinimum)
{
    window.reset();
    myWriteIni("Kujitan Position", "Width", "1500", settingsPath());
    myWriteIni("Kujitan Position", "Height", "1500", settingsPath());
    openWindow();
    EXPECT_EQ(window->size(), window->minimumSize());
    expectNothingHiddenOrCut();
}

TEST_F(FrmMainLayout, PositionBeyondEveryScreenComesBackOnThePrimaryScreen)
{
    window.reset();
    myWriteIni("Kujitan Position", "Left", "300000", settingsPath());
    myWriteIni("Kujitan Position", "Top", "300000", settingsPath());
    openWindow();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window->pos(), screen.topLeft());
    // What is stored on exit is where the window really was.
    window->move(screen.topLeft() + QPoint(30, 45));
    ASSERT_TRUE(window->close());
    EXPECT_EQ(myReadIni("Kujitan Position", "Left", settingsPath()), std::to_string((screen.left() + 30) * 15));
}
