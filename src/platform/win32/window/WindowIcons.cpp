#include "platform/win32/window/WindowIcons.h"

#include "platform/win32/window/Dpi.h"

#include <utility>

namespace mirufon::win32
{

UniqueIcon LoadProgramIcon(HINSTANCE instance, int size)
{
    return UniqueIcon(static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

void WindowIcons::Apply(HWND window, HINSTANCE instance, int dpi)
{
    UniqueIcon small = LoadProgramIcon(instance, MetricForDpi(SM_CXSMICON, dpi));
    UniqueIcon large = LoadProgramIcon(instance, MetricForDpi(SM_CXICON, dpi));
    if (!small || !large)
    {
        return;
    }
    // The window lets go of the old icons here; only then may they be destroyed.
    ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.Get()));
    m_small = std::move(small);
    m_large = std::move(large);
}

} // namespace mirufon::win32
