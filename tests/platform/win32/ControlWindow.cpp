#include "platform/win32/ControlWindow.h"

#include "support/MessagePump.h"

#include <string>

namespace mirufon::win32::testing
{
namespace
{

constexpr wchar_t kClassName[] = L"MirufonControlTestWindow";

void RegisterOnce()
{
    static const bool registered = []
    {
        INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX),
                                    ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&common);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClassName;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

} // namespace

ControlWindow::ControlWindow(POINT position, SIZE size)
{
    RegisterOnce();
    m_window =
        ::CreateWindowExW(WS_EX_TOPMOST, kClassName, L"読み取り試験",
                          WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, position.x, position.y, size.cx,
                          size.cy, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetForegroundWindow(m_window);
}

ControlWindow::~ControlWindow()
{
    ::DestroyWindow(m_window);
}

HWND ControlWindow::Add(const wchar_t* className, const wchar_t* text, DWORD style, RECT place,
                        HWND parent) const
{
    return ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, place.left,
                             place.top, place.right - place.left, place.bottom - place.top,
                             parent ? parent : m_window, nullptr, ::GetModuleHandleW(nullptr),
                             nullptr);
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    return testsupport::DispatchUntil(condition, timeout, std::chrono::milliseconds(10));
}

} // namespace mirufon::win32::testing
