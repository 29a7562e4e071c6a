#pragma once

#include <QRect>
#include <QSize>

// Where the main window opens: at a fixed place and size on a screen large
// enough for it (or on a virtual desktop, whose primary screen says little
// about the room available), maximised otherwise.
struct MainWindowPlacement
{
    bool maximized = false;
    QRect geometry; // used when not maximised
};

namespace MainWindowGeometry {
inline constexpr int MinimumWidth = 1280;
inline constexpr int MinimumHeight = 960;
inline const QRect Normal(208, 162, 1024, 576);
} // namespace MainWindowGeometry

MainWindowPlacement mainWindowPlacement(const QSize &primaryScreen, bool virtualDesktop);
