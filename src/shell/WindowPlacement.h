#pragma once

#include "settings/ConfFile.h"

#include <cstdint>
#include <vector>

namespace mirufon
{

// A rectangle on the desktop in pixels; right and bottom lie just outside it.
struct PixelRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A monitor as a top-level window meets it: its work area (without the taskbar), its scale in
// dots per inch, and the height of a window's title bar there (its top frame included).
struct Monitor
{
    PixelRect workArea;
    int dpi = 96;
    std::int32_t titleBarHeight = 0;
};

// Every monitor, and the system's scale (the primary screen's when the user signed in).
struct DisplayAreas
{
    std::vector<Monitor> monitors;
    int systemDpi = 96;
};

// A top-level window's outer rectangle in pixels and the scale it is drawn at (that of the
// monitor holding it).
struct WindowPixels
{
    PixelRect rect;
    int dpi = 96;

    friend bool operator==(const WindowPixels&, const WindowPixels&) = default;
};

// How much of the title bar must lie on a screen for the user to take hold of it.
inline constexpr std::int32_t kReachableTitleBarPixels = 100;

// Conf.txt's twips for a window. The desktop is one plane of pixels whatever the monitors'
// scales, so the left and top edges are written at the system's scale, one factor for every
// point, and read back at it they name the same pixel on whichever monitor it lies. The width
// and height are lengths on the window's own monitor, written at its scale: 6555 twips are
// 437 pixels at 100 % and 655 at 150 %, the same window to the eye. A window on the primary
// screen, at the system's scale, is written as before, and an older file reads as it did.
WindowGeometry StoredGeometryOf(const WindowPixels& window, int systemDpi);

// Where a window stored as `stored` opens, and at which scale. The edges are read at the
// system's scale; the size at the scale of the monitor that the window so sized covers most
// (the one nearest to its top-left corner when it covers none). A window whose title bar then
// offers a strip 100 pixels wide (the whole bar when the window is narrower) and its full
// height inside one work area stays exactly there. Any other is moved onto that monitor's
// work area: as far into it as it fits, its top-left corner at the work area's when it is
// larger. Without any monitor the stored values are taken as pixels at the system's scale.
WindowPixels PlaceStoredWindow(const WindowGeometry& stored, const DisplayAreas& displays);

// The monitor that covers most of the rectangle; the nearest one when none covers any of it.
// The monitors must not be empty.
const Monitor& MonitorHolding(const DisplayAreas& displays, const PixelRect& rect);

// A window of the given size centred on a work area, moved as little as needed to lie inside
// it (its top-left corner at the work area's when it is larger).
PixelRect CentredIn(const PixelRect& workArea, std::int32_t width, std::int32_t height);

} // namespace mirufon
