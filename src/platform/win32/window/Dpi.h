#pragma once

#include "platform/win32/window/Handles.h"

#include <cstdint>

namespace mirufon::win32
{

// The system's dots per inch (the primary screen's when the user signed in) as the
// per-monitor aware program sees it; 96 when the screen reports nothing usable.
int ScreenDpi();

// The scale a window is drawn at: that of the monitor holding it.
int WindowDpi(HWND window);

// A monitor's scale (its effective dots per inch).
int MonitorDpi(HMONITOR monitor);

// A system metric (GetSystemMetrics' index) at a scale.
int MetricForDpi(int index, int dpi);

// The outer rectangle of a window of this style whose client area is `client`, with the
// frame, caption and menu bar of a window drawn at the scale.
RECT OuterRectForDpi(RECT client, DWORD style, bool hasMenu, DWORD exStyle, int dpi);

// Twips to whole pixels, rounded to the nearest.
int ToPixels(std::int32_t twips, std::int32_t twipsPerPixel);

} // namespace mirufon::win32
