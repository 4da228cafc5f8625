#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QPushButton;
class QToolBar;
class QToolButton;
class QWidget;

namespace kuji {

// One command of a window: the one action its menus, toolbar and popup menu share.
struct Command {
    const char* name; // the program's name for it, the action's object name: "mnuFileOpen"
    QString caption; // with its access key: "開く(&O)"
    QList<QKeySequence> shortcuts = {};
    const char* icon = nullptr; // an icon of :/icons/, without ".svg"
    QString toolTip = {}; // the toolbar button's tooltip and its name for screen readers
    std::function<void()> run = {}; // what it does; a component may connect it instead
};

// Where a command appears. A menu lists command names; "-" is a separator, "-name" a
// separator with an object name, and ">name" the submenu of that name (declared before).
struct MenuItems {
    const char* name; // the menu's object name: "mnuFile"
    QString caption; // "ファイル(&F)"
    std::vector<const char*> items;
};

// A toolbar button: the command it runs, known by its key ("M_Open"); an empty key is a
// separator. A button with a drop-down lists items of its own (key, the toolbar's caption,
// the command it runs), the button itself running the first command.
struct ToolbarButton {
    struct DropItem {
        const char* key; // an empty command makes a separator with this object name
        QString caption;
        const char* command;
    };
    const char* key;
    const char* command = nullptr;
    std::vector<DropItem> dropDown = {};
};

// A window's commands as data, and what is built from them: the actions, the menus of the
// menu bar, a popup menu and the toolbar with its keyed buttons, every button named for
// screen readers by its command's tooltip. The window declares its tables once; menus,
// toolbar and popup all run the same actions.
class CommandTable {
public:
    explicit CommandTable(QWidget* window);

    // Makes the actions, in the window's ownership.
    void add(std::initializer_list<Command> commands);
    // The action of a command; every name the window uses must have been added.
    QAction* operator[](const char* name) const;

    // A menu of the menu bar, or a submenu for a later ">name" item.
    QMenu* addMenu(QMenuBar* bar, const MenuItems& menu);
    QMenu* makeSubmenu(const MenuItems& menu);
    // A command right on the menu bar (Pickup Record's 転送).
    void addToBar(QMenuBar* bar, const char* command);
    // A popup menu over a list.
    QMenu* makePopup(const MenuItems& menu);
    // The window's toolbar, fixed under the menu bar; the window places it.
    QToolBar* makeToolbar(QWidget* parent, std::initializer_list<ToolbarButton> buttons);
    // One more button (or separator) at the end of a toolbar.
    void addToToolbar(QToolBar* toolbar, const ToolbarButton& button);
    // A toolbar button by its key, or null.
    QToolButton* button(const QString& key) const;
    // A push button that runs a command: its caption and enabled state follow the command, and
    // screen readers call it by the caption without its access key mark.
    QPushButton* makeButton(const char* objectName, const char* command, QWidget* parent) const;

private:
    void fill(QMenu* menu, const MenuItems& items);

    QWidget* m_window;
    QHash<QString, QAction*> m_actions;
    QHash<QString, QMenu*> m_submenus;
    QHash<QString, QToolButton*> m_buttons;
};

// What every window's commands and controls must keep, checked over a whole window: each
// command's object name is its own; within a menu no access key is used twice; every keyed
// toolbar button runs a command; every control a user can reach has an accessible name.
// One line per fault; none when all is well.
QStringList commandTableFaults(const QWidget& window);

} // namespace kuji
