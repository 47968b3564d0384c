#pragma once

// The program's icon in the notification area. Wine draws tray icons inside the taskbar window
// of its virtual desktop, so there the icon is found by its colour; Windows tells where it is
// (Shell_NotifyIconGetRect), on the taskbar or among the hidden icons.

#include "e2e/harness/Harness.h"
#include "e2e/harness/SystemChecks.h"

#include <optional>
#include <string>

namespace e2e
{

// The centre of the program's tray icon on screen, if the taskbar shows it.
std::optional<POINT> FindTrayIcon();

// Waits for the program's icon on the taskbar. When Windows keeps it among the hidden icons
// instead, where no click reaches it, gives the reason the tray tests cannot run here.
struct TrayIconOnTaskbar
{
    std::optional<POINT> centre;
    std::optional<std::string> hidden;
};
TrayIconOnTaskbar WaitForTrayIcon(std::chrono::milliseconds timeout);

} // namespace e2e

// Names the centre of the program's tray icon `icon` once it is on the taskbar: skips the test
// where Windows keeps it hidden, fails it where it never comes.
#define E2E_TRAY_ICON(icon, timeout)                                                               \
    const ::e2e::TrayIconOnTaskbar icon##OnTaskbar = ::e2e::WaitForTrayIcon(timeout);              \
    E2E_SKIP_IF(icon##OnTaskbar.hidden);                                                           \
    ASSERT_TRUE(icon##OnTaskbar.centre.has_value()) << "no icon in the tray";                      \
    [[maybe_unused]] const POINT icon = *icon##OnTaskbar.centre
