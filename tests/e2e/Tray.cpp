#include "e2e/Tray.h"

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

} // namespace

std::optional<POINT> FindTrayIcon()
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

} // namespace e2e
