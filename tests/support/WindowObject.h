#pragma once

// The object behind a window of the tests' own: CreateWindowEx's last argument, kept in
// GWLP_USERDATA from WM_NCCREATE on, so that a static window procedure finds it.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace testsupport
{

// The window's object for this message; null before WM_NCCREATE. WM_NCDESTROY still finds it,
// and nothing after.
template <typename Object> Object* WindowObject(HWND window, UINT message, LPARAM lParam)
{
    if (message == WM_NCCREATE)
    {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* object = reinterpret_cast<Object*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY)
    {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    return object;
}

} // namespace testsupport
