#pragma once

#include "platform/win32/window/Handles.h"
#include "shell/WindowPlacement.h"

namespace mirufon::win32
{

// The monitors as the window system reports them, and the scale a window is drawn at. The
// program asks the system; the Win32 layer's tests stand in a layout that Wine cannot show
// (a second monitor at another scale).
class MonitorLayout
{
  public:
    MonitorLayout() = default;
    MonitorLayout(const MonitorLayout&) = delete;
    MonitorLayout& operator=(const MonitorLayout&) = delete;
    virtual ~MonitorLayout() = default;

    // Every monitor's work area, scale and title bar height, and the system's scale.
    virtual DisplayAreas Displays() const = 0;
    // The scale the window is drawn at.
    virtual int WindowDpi(HWND window) const = 0;
};

// The system's monitors.
const MonitorLayout& SystemMonitors();

PixelRect ToPixelRect(const RECT& rect);
RECT ToRect(const PixelRect& rect);

// Where a window is, or for a minimized one where it comes back, in screen coordinates.
RECT RestoredWindowRect(HWND window);

// The monitor that holds most of the window (the nearest one when none does); a hidden window
// is held where it would show, a minimized one where it comes back.
Monitor MonitorOfWindow(const MonitorLayout& layout, HWND window);

} // namespace mirufon::win32
