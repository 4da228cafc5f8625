#pragma once

#include "support/MainWindowFixture.h"
#include "x11/XTestInput.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace kuji::test {

// Gives a shown window the keyboard, as a click on it would, and waits until the server says
// it has it: without a window manager nothing else does.
inline void focusWindow(QWidget* w)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w)) << w->objectName().toStdString();
}

// The keysym of a letter key Qt names (Qt::Key_F gives "f").
inline unsigned long letterKey(int qtKey)
{
    return static_cast<unsigned long>(qtKey - Qt::Key_A + 'a');
}

// Every menu of a menu bar opens with Alt and its access key, and Escape closes it and then
// gives the keyboard back to the widget that had it.
inline void expectMenusOpenByAltKeys(XTestInput& input, QMenuBar* bar)
{
    QWidget* before = QApplication::focusWidget();
    ASSERT_NE(before, nullptr);
    int menus = 0;
    for (QAction* item : bar->actions()) {
        if (!item->menu() || !item->isVisible())
            continue;
        ++menus;
        const QKeySequence mnemonic = QKeySequence::mnemonic(item->text());
        ASSERT_FALSE(mnemonic.isEmpty()) << item->text().toStdString();
        input.tap(letterKey(mnemonic[0].key()), { xkey::Alt });
        EXPECT_EQ(QApplication::activePopupWidget(), item->menu()) << item->text().toStdString();
        input.tap(xkey::Escape);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << item->text().toStdString();
        if (QApplication::focusWidget() != before)
            input.tap(xkey::Escape);
        EXPECT_EQ(QApplication::focusWidget(), before) << item->text().toStdString();
    }
    EXPECT_GT(menus, 0);
}

// The main window on a real X server, driven through the server.
class X11Fixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(input.ready()) << input.why().toStdString();
        MainWindowFixture::SetUp();
        focusWindow(window.get());
    }

    // Puts the keyboard focus into a widget of the active window, as a click would.
    void focusOn(QWidget* w)
    {
        w->setFocus(Qt::MouseFocusReason);
        input.settle();
        ASSERT_TRUE(w->hasFocus()) << w->objectName().toStdString();
    }

    XTestInput input;
};

} // namespace kuji::test
