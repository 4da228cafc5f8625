#pragma once

#include "support/MainWindowFixture.h"
#include "x11/XTestInput.h"

#include <QWidget>

namespace kuji::test {

// The main window on a real X server, driven through the server. Without a window manager
// nothing hands a window the keyboard: the fixture does what a click on it would.
class X11Fixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(input.ready()) << input.why().toStdString();
        MainWindowFixture::SetUp();
        focusWindow(window.get());
    }

    // Gives a shown window the keyboard and waits until the server says it has it.
    static void focusWindow(QWidget* w)
    {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w)) << w->objectName().toStdString();
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
