#include "common/ui/ToolWindowShell.h"

#include "common/ui/HelpService.h"
#include "common/ui/MainWindowPort.h"
#include "common/ui/Platform.h"
#include "common/ui/WindowParts.h"

#include <QAction>
#include <QFrame>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace kuji {

ToolWindowShell::ToolWindowShell(QWidget* window, CommandTable& commands, MainWindowPort& main, Platform& platform,
    HelpService& help, int helpTopic, std::function<void()> send)
    : QObject(window)
    , m_window(window)
    , m_commands(commands)
    , m_main(main)
    , m_platform(platform)
{
    m_commands.add({
        // On the menu bar a command with an icon would show the icon instead of its caption,
        // so the toolbar's 転送 is an action of its own that follows the menu command's state.
        { "mnuSend", QStringLiteral("転送(&S)"), {}, nullptr, {}, send },
        { "actSend", QStringLiteral("転送"), {}, "send", QStringLiteral("転送"), send },
        { "mnuHelp", QStringLiteral("ヘルプ(&H)"), {}, nullptr, {}, [&help] { help.showContents(); } },
        // The toolbar's help button opens the window's own topic, not the contents.
        { "actHelpTopic", QStringLiteral("ヘルプ"), {}, "help", QStringLiteral("ヘルプ"),
            [&help, helpTopic] { help.showTopic(static_cast<HelpTopic>(helpTopic)); } },
    });
}

QVBoxLayout* ToolWindowShell::build(
    std::initializer_list<MenuItems> menus, std::initializer_list<ToolbarButton> buttons)
{
    m_menuBar = new QMenuBar(m_window);
    m_menuBar->setObjectName(QStringLiteral("mnuBar"));
    m_menuBar->setAccessibleName(QStringLiteral("メニュー バー"));
    // Drawn in the window, so 転送 and ヘルプ stay where the user sees them.
    m_menuBar->setNativeMenuBar(false);
    for (const MenuItems& menu : menus)
        m_commands.addMenu(m_menuBar, menu);
    // Two commands sit on the menu bar itself, without a menu below them.
    m_commands.addToBar(m_menuBar, "mnuSend");
    m_commands.addToBar(m_menuBar, "mnuHelp");

    std::vector<ToolbarButton> all(buttons);
    all.push_back({ "" });
    all.push_back({ "M_Send", "actSend" });
    all.push_back({ "" });
    all.push_back({ "M_Help", "actHelpTopic" });
    m_toolbar = m_commands.makeToolbar(m_window, {});
    for (const ToolbarButton& button : all)
        m_commands.addToToolbar(m_toolbar, button);

    QVBoxLayout* content = nullptr;
    if (auto* main = qobject_cast<QMainWindow*>(m_window)) {
        main->setMenuBar(m_menuBar);
        main->addToolBar(m_toolbar);
        main->setContextMenuPolicy(Qt::NoContextMenu);
        auto* central = new QWidget(m_window);
        central->setObjectName(QStringLiteral("centralArea"));
        main->setCentralWidget(central);
        content = new QVBoxLayout(central);
    } else {
        content = new QVBoxLayout(m_window);
        content->setMenuBar(m_menuBar);
        content->addWidget(m_toolbar);
    }
    content->setContentsMargins(0, 0, 0, 0);
    content->setSpacing(0);
    content->addWidget(makeEtchedLine(m_window));
    return content;
}

void ToolWindowShell::setSendEnabled(bool enabled)
{
    m_commands["actSend"]->setEnabled(enabled);
    m_commands["mnuSend"]->setEnabled(enabled);
}

bool ToolWindowShell::closing(bool busy)
{
    if (busy) {
        m_platform.beep();
        return false;
    }
    if (m_main.mainWidget()->isHidden())
        m_main.showMainWindow();
    return true;
}

} // namespace kuji
