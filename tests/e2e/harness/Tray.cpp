#include "e2e/harness/Tray.h"

#include "e2e/harness/SystemChecks.h"
#include "platform/win32/mainwindow/ControlIds.h"
#include "shell/Tray.h"

#include <shellapi.h>

#include <algorithm>

namespace e2e
{
namespace
{

// The icon's own blue.
constexpr COLORREF kIconBlue = RGB(0x1E, 0x5B, 0xD8);

bool IsIconBlue(COLORREF colour)
{
    const auto within = [](int a, int b) { return a - b <= 6 && b - a <= 6; };
    return within(GetRValue(colour), GetRValue(kIconBlue)) &&
           within(GetGValue(colour), GetGValue(kIconBlue)) &&
           within(GetBValue(colour), GetBValue(kIconBlue));
}

// Where Windows shows the icon of a main window of the program, if it shows one; its centre
// lies over the taskbar or, for a hidden icon, elsewhere.
std::optional<POINT> WindowsTrayIcon()
{
    for (HWND main = nullptr;
         (main = ::FindWindowExW(nullptr, main, mirufon::win32::kMainWindowClass, nullptr));)
    {
        NOTIFYICONIDENTIFIER icon{};
        icon.cbSize = sizeof icon;
        icon.hWnd = main;
        icon.uID = mirufon::kTrayIconId;
        RECT rect{};
        if (SUCCEEDED(::Shell_NotifyIconGetRect(&icon, &rect)) && !::IsRectEmpty(&rect))
        {
            return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        }
    }
    return std::nullopt;
}

bool OverTaskbar(POINT point)
{
    const HWND root = ::GetAncestor(::WindowFromPoint(point), GA_ROOT);
    return root && ClassName(root) == L"Shell_TrayWnd";
}

std::optional<POINT> WineTrayIcon()
{
    HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!taskbar || !::IsWindowVisible(taskbar))
    {
        return std::nullopt;
    }
    RECT bar{};
    ::GetWindowRect(taskbar, &bar);
    // Tray icons sit at the right end of the taskbar.
    const RECT area{std::max(bar.left, bar.right - 200), bar.top, bar.right, bar.bottom};
    const std::vector<COLORREF> pixels = ScreenPixels(area);
    const LONG width = area.right - area.left;
    LONG left = bar.right, right = bar.left - 1, top = bar.bottom, bottom = bar.top - 1;
    int hits = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
    {
        if (IsIconBlue(pixels[i]))
        {
            const LONG x = area.left + static_cast<LONG>(i) % width;
            const LONG y = area.top + static_cast<LONG>(i) / width;
            ++hits;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (hits < 20)
    {
        return std::nullopt;
    }
    return POINT{(left + right) / 2, (top + bottom) / 2};
}

} // namespace

std::optional<POINT> FindTrayIcon()
{
    if (UnderWine())
    {
        return WineTrayIcon();
    }
    const std::optional<POINT> icon = WindowsTrayIcon();
    return icon && OverTaskbar(*icon) ? icon : std::nullopt;
}

TrayIconOnTaskbar WaitForTrayIcon(std::chrono::milliseconds timeout)
{
    TrayIconOnTaskbar found;
    if (WaitUntil([&] { return (found.centre = FindTrayIcon()).has_value(); }, timeout) ||
        UnderWine() || !WindowsTrayIcon())
    {
        return found;
    }
    found.hidden = "Windows keeps the program's icon among the hidden icons, where no click "
                   "reaches it (with all icons shown on the taskbar the tray tests run)";
    return found;
}

} // namespace e2e
