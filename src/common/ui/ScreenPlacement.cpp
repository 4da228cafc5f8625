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

} // namespace kuji
