#include "e2e/Tray.h"

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
    HDC dc = ::GetDC(nullptr);
    LONG left = bar.right, right = bar.left - 1, top = bar.bottom, bottom = bar.top - 1;
    int hits = 0;
    // Tray icons sit at the right end of the taskbar.
    for (LONG y = bar.top; y < bar.bottom; ++y)
    {
        for (LONG x = bar.right - 1; x >= bar.right - 200 && x >= bar.left; --x)
        {
            if (IsIconBlue(::GetPixel(dc, x, y)))
            {
                ++hits;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ::ReleaseDC(nullptr, dc);
    if (hits < 20)
    {
        return std::nullopt;
    }
    return POINT{(left + right) / 2, (top + bottom) / 2};
}

} // namespace e2e
