#pragma once

#include "common/Settings.h"

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

// A window put where the settings file says, in twips at its screen's resolution: the size
// (when withSize) first, cut to the screen and grown to the window's minimum, then the place,
// on some screen.
void restoreWindowRect(QWidget* window, const Settings::Rect& twips, bool withSize = true);
// The window's place and size to store, in twips.
Settings::Rect windowRectToStore(QWidget* window);

} // namespace kuji
