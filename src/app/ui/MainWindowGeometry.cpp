#include "MainWindowGeometry.h"

MainWindowPlacement mainWindowPlacement(const QSize &primaryScreen, bool virtualDesktop)
{
    MainWindowPlacement placement;
    placement.geometry = MainWindowGeometry::Normal;
    placement.maximized =
        !virtualDesktop && (primaryScreen.width() < MainWindowGeometry::MinimumWidth ||
                            primaryScreen.height() < MainWindowGeometry::MinimumHeight);
    return placement;
}
