#include "common/ui/CommandTable.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include <stdexcept>

namespace kuji {
namespace {

// The caption without its access key mark: "開く(&O)" gives "開く", "&Open" gives "Open".
QString plainCaption(QString caption)
{
    static const QRegularExpression mark(QStringLiteral("\\(&.\\)"));
    caption.remove(mark);
    caption.remove(QLatin1Char('&'));
    return caption;
}

// The access key of a caption, upper-cased; none for a caption without "&x".
QChar accessKey(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption[i + 1].toUpper();
    }
    return {};
}

bool isPartOfAnother(const QWidget* widget)
{
    for (const QWidget* up = widget->parentWidget(); up; up = up->parentWidget()) {
        if (qobject_cast<const QAbstractItemView*>(up) || qobject_cast<const QAbstractSpinBox*>(up)
            || qobject_cast<const QComboBox*>(up) || qobject_cast<const QLineEdit*>(up)
            || qobject_cast<const QMenu*>(up))
            return true;
    }
    return widget->objectName().startsWith(QLatin1String("qt_"));
}

} // namespace

CommandTable::CommandTable(QWidget* window)
    : m_window(window)
{
}

void CommandTable::add(std::initializer_list<Command> commands)
{
    for (const Command& command : commands) {
        auto* action = new QAction(command.caption, m_window);
        action->setObjectName(QLatin1String(command.name));
        if (!command.shortcuts.isEmpty())
            action->setShortcuts(command.shortcuts);
        if (command.icon)
            action->setIcon(QIcon(QStringLiteral(":/icons/") + QLatin1String(command.icon) + QStringLiteral(".svg")));
        if (!command.toolTip.isEmpty())
            action->setToolTip(command.toolTip);
        if (command.run)
            QObject::connect(action, &QAction::triggered, m_window, command.run);
        // Shortcuts work wherever the window has the focus, menu bar drawn in it or not.
        m_window->addAction(action);
        m_actions.insert(action->objectName(), action);
    }
}

QAction* CommandTable::operator[](const char* name) const
{
    QAction* action = m_actions.value(QLatin1String(name));
    if (!action)
        throw std::logic_error(std::string("no command ") + name);
    return action;
}

void CommandTable::fill(QMenu* menu, const MenuItems& items)
{
    menu->setObjectName(QLatin1String(items.name));
    for (const char* item : items.items) {
        if (item[0] == '-') {
            QAction* separator = menu->addSeparator();
            if (item[1] != '\0')
                separator->setObjectName(QLatin1String(item + 1));
        } else if (item[0] == '>') {
            menu->addMenu(m_submenus.value(QLatin1String(item + 1)));
        } else {
            menu->addAction((*this)[item]);
        }
    }
}

QMenu* CommandTable::addMenu(QMenuBar* bar, const MenuItems& menu)
{
    QMenu* made = bar->addMenu(menu.caption);
    fill(made, menu);
    return made;
}

QMenu* CommandTable::makeSubmenu(const MenuItems& menu)
{
    auto* made = new QMenu(menu.caption, m_window);
    fill(made, menu);
    m_submenus.insert(made->objectName(), made);
    return made;
}

void CommandTable::addToBar(QMenuBar* bar, const char* command)
{
    bar->addAction((*this)[command]);
}

QMenu* CommandTable::makePopup(const MenuItems& menu)
{
    auto* made = new QMenu(menu.caption, m_window);
    fill(made, menu);
    return made;
}

QToolBar* CommandTable::makeToolbar(QWidget* parent, std::initializer_list<ToolbarButton> buttons)
{
    auto* toolbar = new QToolBar(QStringLiteral("tlbMain"), parent);
    toolbar->setObjectName(QStringLiteral("tlbMain"));
    toolbar->setAccessibleName(QStringLiteral("ツール バー"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(24, 24));
    toolbar->toggleViewAction()->setEnabled(false);
    for (const ToolbarButton& wanted : buttons)
        addToToolbar(toolbar, wanted);
    return toolbar;
}

void CommandTable::addToToolbar(QToolBar* toolbar, const ToolbarButton& wanted)
{
    if (!wanted.key || wanted.key[0] == '\0') {
        toolbar->addSeparator();
        return;
    }
    QAction* command = (*this)[wanted.command];
    auto* button = new QToolButton(toolbar);
    button->setObjectName(QLatin1String(wanted.key));
    button->setProperty("key", QLatin1String(wanted.key));
    button->setDefaultAction(command);
    button->setAutoRaise(true);
    button->setAccessibleName(command->toolTip());
    toolbar->addWidget(button);
    m_buttons.insert(QLatin1String(wanted.key), button);
    if (wanted.dropDown.empty())
        return;
    // The drop-down's items carry the toolbar's captions and run the menus' commands.
    auto* menu = new QMenu(button);
    for (const ToolbarButton::DropItem& item : wanted.dropDown) {
        if (!item.command) {
            menu->addSeparator()->setObjectName(QLatin1String(item.key));
            continue;
        }
        QAction* entry = menu->addAction(item.caption);
        entry->setObjectName(QLatin1String(item.key));
        QObject::connect(entry, &QAction::triggered, (*this)[item.command], &QAction::trigger);
    }
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
}

QToolButton* CommandTable::button(const QString& key) const
{
    return m_buttons.value(key);
}

QPushButton* CommandTable::makeButton(const char* objectName, const char* command, QWidget* parent) const
{
    QAction* action = (*this)[command];
    auto* button = new QPushButton(action->text(), parent);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    const auto follow = [button, action] {
        button->setText(action->text());
        button->setEnabled(action->isEnabled());
        button->setAccessibleName(plainCaption(action->text()));
    };
    follow();
    QObject::connect(action, &QAction::changed, button, follow);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    return button;
}

QStringList commandTableFaults(const QWidget& window)
{
    QStringList faults;
    QSet<QString> names;
    for (const QAction* action : window.findChildren<QAction*>(Qt::FindDirectChildrenOnly)) {
        if (action->objectName().isEmpty() || action->isSeparator())
            continue;
        if (names.contains(action->objectName()))
            faults << QStringLiteral("two commands are named %1").arg(action->objectName());
        names.insert(action->objectName());
    }
    for (const QMenu* menu : window.findChildren<QMenu*>()) {
        QHash<QChar, QString> keys;
        for (const QAction* item : menu->actions()) {
            const QChar key = accessKey(item->text());
            if (key.isNull())
                continue;
            if (keys.contains(key))
                faults << QStringLiteral("%1: %2 and %3 share the access key %4")
                              .arg(menu->objectName(), keys.value(key), item->text(), key);
            keys.insert(key, item->text());
        }
    }
    if (const auto* main = qobject_cast<const QMainWindow*>(&window); main && main->menuBar()) {
        QHash<QChar, QString> keys;
        for (const QAction* item : main->menuBar()->actions()) {
            const QChar key = accessKey(item->text());
            if (!key.isNull() && keys.contains(key))
                faults << QStringLiteral("menu bar: %1 and %2 share the access key %3")
                              .arg(keys.value(key), item->text(), key);
            keys.insert(key, item->text());
        }
    }
    for (const QToolButton* button : window.findChildren<QToolButton*>()) {
        const QString key = button->property("key").toString();
        if (!key.isEmpty() && !button->defaultAction())
            faults << QStringLiteral("the toolbar button %1 runs no command").arg(key);
    }
    QSet<const QWidget*> labelled;
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (label->buddy() && !plainCaption(label->text()).isEmpty())
            labelled.insert(label->buddy());
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        const bool reachable = qobject_cast<const QAbstractButton*>(control) || qobject_cast<const QLineEdit*>(control)
            || qobject_cast<const QComboBox*>(control) || qobject_cast<const QAbstractItemView*>(control)
            || qobject_cast<const QPlainTextEdit*>(control) || qobject_cast<const QTextEdit*>(control)
            || qobject_cast<const QAbstractSpinBox*>(control);
        if (!reachable || isPartOfAnother(control))
            continue;
        QString name = control->accessibleName();
        if (name.isEmpty())
            if (const auto* button = qobject_cast<const QAbstractButton*>(control))
                name = plainCaption(button->text());
        if (name.isEmpty() && !labelled.contains(control))
            faults << QStringLiteral("%1 has no accessible name").arg(control->objectName());
    }
    return faults;
}

} // namespace kuji
