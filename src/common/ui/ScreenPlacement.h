#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace kuji {

// Where a window of this size may open at the stored top-left: there, when some screen shows
// part of it; else at the top left of the primary screen, since a position no screen shows
// (a second monitor unplugged since) would hide the window, and a hidden modal window would
// block the program.
QPoint placeOnSomeScreen(const QPoint& topLeft, const QSize& size);

// Where a window comes back to, for storing at its close: a minimised window is restored
// first, so its icon is never stored, and a maximised one gives its normal place. Left and
// top place the frame (as move() does); width and height are the inner size.
QRect restorableGeometry(QWidget* window);

} // namespace kuji
