#include "common/ui/ScreenPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

namespace kuji {

QPoint placeOnSomeScreen(const QPoint& topLeft, const QSize& size)
{
    const QRect wanted(topLeft, size);
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(wanted))
            return topLeft;
    return QGuiApplication::primaryScreen()->availableGeometry().topLeft();
}

} // namespace kuji
