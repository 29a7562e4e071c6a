#pragma once

#include <QRect>
#include <QSize>

// Where the main window opens. It always gets an explicit place and size,
// maximised or not: without a window manager nothing honours the maximised
// state, and a window left at its own small size cuts the tool windows off.
struct MainWindowPlacement
{
    bool maximized = false;
    QRect geometry;
};

namespace MainWindowGeometry {
// A primary screen smaller than this (and no virtual desktop, whose primary
// screen says little about the room available) opens the window maximised
// as well.
inline constexpr int MinimumWidth = 1280;
inline constexpr int MinimumHeight = 960;
// The share of the available screen the window takes, in percent.
inline constexpr int ScreenShare = 90;
// The largest minimum size of a tool window in the document area, its
// sub-window frame included: every tool shows its last row of controls at
// this size (a test measures them all against it).
inline constexpr QSize LargestToolWindow(1120, 600);
} // namespace MainWindowGeometry

// `screen` is the primary screen's size, `available` its available geometry
// (without panels), `needed` the window size that shows the largest tool
// window whole. The window takes most of the available screen, never less
// than `needed` where the screen has room for it, never more than the
// screen, centred; with no screen at all it takes `needed`.
MainWindowPlacement mainWindowPlacement(const QSize &screen, const QRect &available,
                                        bool virtualDesktop, const QSize &needed);
