#include "MainWindowGeometry.h"

#include <algorithm>

MainWindowPlacement mainWindowPlacement(const QSize &screen, const QRect &available,
                                        bool virtualDesktop, const QSize &needed)
{
    MainWindowPlacement placement;
    placement.maximized = !virtualDesktop && (screen.width() < MainWindowGeometry::MinimumWidth ||
                                              screen.height() < MainWindowGeometry::MinimumHeight);
    if (available.isEmpty()) {
        placement.geometry = QRect(QPoint(0, 0), needed);
        return placement;
    }
    const auto share = [](int length) {
        return int(qint64(length) * MainWindowGeometry::ScreenShare / 100);
    };
    const QSize size = QSize(share(available.width()), share(available.height()))
                           .expandedTo(needed)
                           .boundedTo(available.size());
    QRect geometry(QPoint(0, 0), size);
    geometry.moveCenter(available.center());
    // An odd leftover puts the centre half a pixel off: stay on the screen.
    geometry.moveLeft(std::max(geometry.left(), available.left()));
    geometry.moveTop(std::max(geometry.top(), available.top()));
    placement.geometry = geometry;
    return placement;
}
