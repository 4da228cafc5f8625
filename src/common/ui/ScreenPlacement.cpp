#include "common/ui/ScreenPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace kuji {

QPoint placeOnSomeScreen(const QPoint& topLeft, const QSize& size)
{
    const QRect wanted(topLeft, size);
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(wanted))
            return topLeft;
    return QGuiApplication::primaryScreen()->availableGeometry().topLeft();
}

QRect restorableGeometry(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    if (window->isMaximized() || window->isFullScreen()) {
        const QPoint frameOffset = window->geometry().topLeft() - window->pos();
        const QRect normal = window->normalGeometry();
        return { normal.topLeft() - frameOffset, normal.size() };
    }
    return { window->pos(), window->size() };
}

void restoreWindowRect(QWidget* window, const Settings::Rect& twips, bool withSize)
{
    const QScreen* screen = window->screen();
    const double dpi = screen->logicalDotsPerInch();
    if (withSize) {
        const QSize screenSize = screen->geometry().size();
        const int width = std::min(twips.width, pixelsToTwips(screenSize.width(), dpi));
        const int height = std::min(twips.height, pixelsToTwips(screenSize.height(), dpi));
        // A stored size below the minimum (none at the first opening) grows to the minimum.
        window->resize(twipsToPixels(width, dpi), twipsToPixels(height, dpi));
    }
    window->move(
        placeOnSomeScreen(QPoint(twipsToPixels(twips.left, dpi), twipsToPixels(twips.top, dpi)), window->size()));
}

Settings::Rect windowRectToStore(QWidget* window)
{
    const QRect normal = restorableGeometry(window);
    const double dpi = window->screen()->logicalDotsPerInch();
    return { pixelsToTwips(normal.x(), dpi), pixelsToTwips(normal.y(), dpi), pixelsToTwips(normal.width(), dpi),
        pixelsToTwips(normal.height(), dpi) };
}

} // namespace kuji
