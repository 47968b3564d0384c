#include "platform/win32/settingsdialog/KeyListInput.h"

#include <commctrl.h>

namespace mirufon::win32
{
namespace
{

// Asked only for the messages that need it: asked for every message, the list's own
// CB_GETDROPPEDSTATE would come back here without end.
bool IsDroppedDown(HWND list)
{
    return ::SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

std::optional<LRESULT> OnKeyDown(HWND dialog, const FocusChangeGuard& refuse, HWND list, WPARAM key,
                                 LPARAM lParam)
{
    switch (key)
    {
    case VK_TAB:
        if (!refuse(nullptr))
        {
            if (HWND next = ::GetNextDlgTabItem(dialog, list, IsKeyDown(VK_SHIFT)))
            {
                ::SetFocus(next);
            }
        }
        return 0;
    case VK_ESCAPE:
        return IsDroppedDown(list) ? std::nullopt : std::optional<LRESULT>(0);
    case VK_RETURN:
        if (IsDroppedDown(list))
        {
            return ::DefSubclassProc(list, WM_KEYDOWN, VK_ESCAPE, lParam);
        }
        return 0;
    default:
        return 0;
    }
}

} // namespace

std::optional<LRESULT> OnKeyListMessage(HWND dialog, const FocusChangeGuard& refuse, HWND list,
                                        UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_GETDLGCODE:
    {
        LRESULT code = ::DefSubclassProc(list, message, wParam, lParam);
        const auto* pending = reinterpret_cast<const MSG*>(lParam);
        if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_TAB)
        {
            code |= DLGC_WANTTAB;
        }
        return code;
    }
    case WM_KEYDOWN:
        return OnKeyDown(dialog, refuse, list, wParam, lParam);
    case WM_SYSKEYDOWN:
        if (wParam == VK_UP || wParam == VK_DOWN)
        {
            return 0;
        }
        return std::nullopt;
    case WM_CHAR:
        return 0;
    case WM_MOUSEWHEEL:
        return IsDroppedDown(list) ? std::nullopt : std::optional<LRESULT>(0);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return refuse(list) ? std::optional<LRESULT>(0) : std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<LRESULT> OnFocusGateMessage(const FocusChangeGuard& refuse, HWND control,
                                          UINT message)
{
    if ((message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) && refuse(control))
    {
        return 0;
    }
    return std::nullopt;
}

} // namespace mirufon::win32
