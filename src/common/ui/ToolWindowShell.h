#pragma once

#include "common/ui/CommandTable.h"
#include "common/ui/WaitCursor.h"

#include <QObject>

#include <functional>
#include <initializer_list>

class QMenuBar;
class QToolBar;
class QVBoxLayout;
class QWidget;

namespace kuji {

class HelpService;
class MainWindowPort;
class Platform;

// What the tool windows (Pickup Record and 文字列作成) share around their own content: the
// menu bar drawn in the window, with the window's menus and then 転送 and ヘルプ on the bar
// itself; the toolbar, with the window's buttons and then 転送 and ヘルプ; the etched line
// below it; the wait cursor of the busy state; and closing, which is refused with a beep while
// work runs and otherwise brings the main window back. 転送 runs send; ヘルプ on the bar opens
// the help's contents and the toolbar's help button the window's own topic.
class ToolWindowShell final : public QObject {
    Q_OBJECT
public:
    ToolWindowShell(QWidget* window, CommandTable& commands, MainWindowPort& main, Platform& platform,
        HelpService& help, int helpTopic, std::function<void()> send);

    // Builds the menu bar and the toolbar into the window (a main window or a dialog) and
    // returns the layout its own content goes in, below the etched line.
    QVBoxLayout* build(std::initializer_list<MenuItems> menus, std::initializer_list<ToolbarButton> buttons);

    QMenuBar* menuBar() const { return m_menuBar; }
    QToolBar* toolbar() const { return m_toolbar; }

    // 転送 on the bar follows its button; the help commands are always on.
    void setSendEnabled(bool enabled);
    // The wait cursor of the busy state.
    void setBusy(bool busy) { m_busyCursor.set(busy); }
    // Whether the window may close now: not while work runs (the user hears a beep); when it
    // may, a hidden main window comes back first, so the program never runs without one.
    bool closing(bool busy);

private:
    QWidget* m_window;
    CommandTable& m_commands;
    MainWindowPort& m_main;
    Platform& m_platform;
    QMenuBar* m_menuBar = nullptr;
    QToolBar* m_toolbar = nullptr;
    BusyCursor m_busyCursor;
};

} // namespace kuji
