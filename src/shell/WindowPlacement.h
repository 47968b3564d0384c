#pragma once

#include "settings/ConfFile.h"

#include <cstdint>
#include <vector>

namespace mirufon
{

// A rectangle on the desktop in twips; right and bottom lie just outside it.
struct DesktopRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// What the screens offer a top-level window, in twips: each monitor's work area (without the
// taskbar), the height of a window's title bar (its top frame included) and the scale.
struct DisplayAreas
{
    std::vector<DesktopRect> workAreas;
    std::int32_t titleBarHeight = 0;
    std::int32_t twipsPerPixel = 15;
};

// How much of the title bar must lie on a screen for the user to take hold of it.
inline constexpr std::int32_t kReachableTitleBarPixels = 100;

// Where the window goes for the stored geometry. A window whose title bar offers a strip
// 100 pixels wide (the whole bar when the window is narrower) and its full height inside one
// work area stays exactly where it was stored. Any other is moved, at its stored size, onto
// the work area nearest to it: as far into it as it fits, its top-left corner at the work
// area's when it is larger. Without any work area the stored geometry is kept.
WindowGeometry KeepTitleBarReachable(const WindowGeometry& stored, const DisplayAreas& displays);

} // namespace mirufon
