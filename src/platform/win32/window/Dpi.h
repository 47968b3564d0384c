#pragma once

#include "platform/win32/window/Handles.h"

#include <cstdint>

namespace mirufon::win32
{

// The primary screen's dots per inch as the (DPI-aware) program sees it; 96 when the screen
// reports nothing usable.
int ScreenDpi();

// Twips to whole pixels, rounded to the nearest.
int ToPixels(std::int32_t twips, std::int32_t twipsPerPixel);

} // namespace mirufon::win32
