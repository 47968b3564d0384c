#pragma once

// The program's icon in the notification area of Wine's virtual desktop. Wine draws tray icons
// inside the taskbar window itself, so the icon is found by its colour there.

#include "e2e/Harness.h"

#include <optional>

namespace e2e
{

// The centre of the program's tray icon on screen, if the taskbar shows it.
std::optional<POINT> FindTrayIcon();

} // namespace e2e
