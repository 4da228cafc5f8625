#include "common/ui/Commands.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

namespace kuji {

QAction* makeCommand(QObject* owner, const char* name, const QString& text, const QKeySequence& shortcut)
{
    auto* action = new QAction(text, owner);
    action->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

QToolButton* addKeyedButton(QToolBar* toolbar, const char* key, QAction* command)
{
    auto* button = new QToolButton(toolbar);
    button->setObjectName(QLatin1String(key));
    button->setProperty("key", QLatin1String(key));
    button->setDefaultAction(command);
    button->setAutoRaise(true);
    button->setAccessibleName(command->toolTip());
    toolbar->addWidget(button);
    return button;
}

} // namespace kuji
