#include "platform/win32/window/Dpi.h"

#include <cmath>

namespace mirufon::win32
{
namespace
{

// The functions that scale by monitor came with Windows 10 version 1607 (user32) and
// Windows 8.1 (shcore); on an earlier Windows 10 every window is drawn at the system's scale,
// which is what the fallbacks give.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
// GetDpiForMonitor with MDT_EFFECTIVE_DPI (0).
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

template <typename Function> Function Export(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<Function>(
                        reinterpret_cast<void (*)()>(::GetProcAddress(module, name)))
                  : nullptr;
}

struct ScalingFunctions
{
    ScalingFunctions()
        : user32(::GetModuleHandleW(L"user32.dll")),
          shcore(::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)),
          dpiForWindow(Export<GetDpiForWindowFunction>(user32, "GetDpiForWindow")),
          metricForDpi(Export<GetSystemMetricsForDpiFunction>(user32, "GetSystemMetricsForDpi")),
          adjustForDpi(
              Export<AdjustWindowRectExForDpiFunction>(user32, "AdjustWindowRectExForDpi")),
          dpiForMonitor(Export<GetDpiForMonitorFunction>(shcore.Get(), "GetDpiForMonitor"))
    {
    }

    HMODULE user32;
    UniqueModule shcore;
    GetDpiForWindowFunction dpiForWindow;
    GetSystemMetricsForDpiFunction metricForDpi;
    AdjustWindowRectExForDpiFunction adjustForDpi;
    GetDpiForMonitorFunction dpiForMonitor;
};

const ScalingFunctions& Scaling()
{
    static const ScalingFunctions functions;
    return functions;
}

int UsableOr(UINT dpi, int fallback)
{
    return dpi > 0 ? static_cast<int>(dpi) : fallback;
}

} // namespace

int ScreenDpi()
{
    HDC screen = ::GetDC(nullptr);
    if (!screen)
    {
        return 96;
    }
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int WindowDpi(HWND window)
{
    const auto dpiForWindow = Scaling().dpiForWindow;
    return UsableOr(dpiForWindow ? dpiForWindow(window) : 0, ScreenDpi());
}

int MonitorDpi(HMONITOR monitor)
{
    UINT x = 0;
    UINT y = 0;
    const auto dpiForMonitor = Scaling().dpiForMonitor;
    if (!dpiForMonitor || FAILED(dpiForMonitor(monitor, 0, &x, &y)))
    {
        return ScreenDpi();
    }
    return UsableOr(x, ScreenDpi());
}

int MetricForDpi(int index, int dpi)
{
    if (const auto metricForDpi = Scaling().metricForDpi)
    {
        return metricForDpi(index, static_cast<UINT>(dpi));
    }
    return ::MulDiv(::GetSystemMetrics(index), dpi, ScreenDpi());
}

RECT OuterRectForDpi(RECT client, DWORD style, bool hasMenu, DWORD exStyle, int dpi)
{
    RECT outer = client;
    const auto adjustForDpi = Scaling().adjustForDpi;
    if (!adjustForDpi ||
        !adjustForDpi(&outer, style, hasMenu ? TRUE : FALSE, exStyle, static_cast<UINT>(dpi)))
    {
        outer = client;
        ::AdjustWindowRectEx(&outer, style, hasMenu ? TRUE : FALSE, exStyle);
    }
    return outer;
}

int ToPixels(std::int32_t twips, std::int32_t twipsPerPixel)
{
    return static_cast<int>(
        std::lround(static_cast<double>(twips) / static_cast<double>(twipsPerPixel)));
}

} // namespace mirufon::win32
