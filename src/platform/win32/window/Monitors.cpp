#include "platform/win32/window/Monitors.h"

#include "platform/win32/window/Dpi.h"

#include <vector>

namespace mirufon::win32
{
namespace
{

// The strip the user takes hold of: the caption and the frame above it.
std::int32_t TitleBarHeight(int dpi)
{
    return MetricForDpi(SM_CYCAPTION, dpi) + MetricForDpi(SM_CYSIZEFRAME, dpi) +
           MetricForDpi(SM_CXPADDEDBORDER, dpi);
}

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM monitors)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(handle, &info))
    {
        const int dpi = MonitorDpi(handle);
        reinterpret_cast<std::vector<Monitor>*>(monitors)->push_back(
            Monitor{ToPixelRect(info.rcWork), dpi, TitleBarHeight(dpi)});
    }
    return TRUE;
}

class SystemMonitorLayout final : public MonitorLayout
{
  public:
    DisplayAreas Displays() const override
    {
        DisplayAreas displays;
        ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor,
                              reinterpret_cast<LPARAM>(&displays.monitors));
        displays.systemDpi = ScreenDpi();
        return displays;
    }

    int WindowDpi(HWND window) const override { return win32::WindowDpi(window); }
};

} // namespace

const MonitorLayout& SystemMonitors()
{
    static const SystemMonitorLayout layout;
    return layout;
}

PixelRect ToPixelRect(const RECT& rect)
{
    return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
}

RECT ToRect(const PixelRect& rect)
{
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

RECT RestoredWindowRect(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!::IsIconic(window) || !::GetWindowPlacement(window, &placement))
    {
        return rect;
    }
    // A minimized window is parked far off the screens. Its restored rectangle is given in
    // workspace coordinates, which start at the top-left corner of its monitor's work area:
    // with the taskbar at the top or the left they differ from the screen's by its size.
    rect = placement.rcNormalPosition;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info))
    {
        ::OffsetRect(&rect, info.rcWork.left - info.rcMonitor.left,
                     info.rcWork.top - info.rcMonitor.top);
    }
    return rect;
}

Monitor MonitorOfWindow(const MonitorLayout& layout, HWND window)
{
    const DisplayAreas displays = layout.Displays();
    if (displays.monitors.empty())
    {
        const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        return Monitor{ToPixelRect(screen), displays.systemDpi, 0};
    }
    return MonitorHolding(displays, ToPixelRect(RestoredWindowRect(window)));
}

} // namespace mirufon::win32
