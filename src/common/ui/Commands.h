#pragma once

#include <QKeySequence>
#include <QString>

class QAction;
class QObject;
class QToolBar;
class QToolButton;

namespace kuji {

// One command as a window's menu, toolbar and popup menu share it: an action whose object
// name is the program's name for the command ("mnuFileOpen").
QAction* makeCommand(QObject* owner, const char* name, const QString& text, const QKeySequence& shortcut = {});

// The toolbar button of a command, known by its key ("M_Open") as its name and as its "key"
// property. Screen readers call it by the command's tooltip.
QToolButton* addKeyedButton(QToolBar* toolbar, const char* key, QAction* command);

} // namespace kuji
