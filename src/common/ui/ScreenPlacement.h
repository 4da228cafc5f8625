#pragma once

#include <QPoint>
#include <QSize>

namespace kuji {

// Where a window of this size may open at the stored top-left: there, when some screen shows
// part of it; else at the top left of the primary screen, since a position no screen shows
// (a second monitor unplugged since) would hide the window, and a hidden modal window would
// block the program.
QPoint placeOnSomeScreen(const QPoint& topLeft, const QSize& size);

} // namespace kuji
