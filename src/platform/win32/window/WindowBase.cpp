#include "platform/win32/window/WindowBase.h"

#include "platform/win32/window/SystemMessage.h"

#include <string>

namespace mirufon::win32
{

void ReportHandlerFailure(const wchar_t* where) noexcept
{
    std::wstring line = L"mirufon: a handler of ";
    line += where;
    line += L" failed; the message was dropped\n";
    ::OutputDebugStringW(line.c_str());
}

WindowBase::~WindowBase()
{
    if (m_window)
    {
        // The object is going: the window must not reach it any more.
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        ::DestroyWindow(m_window);
    }
}

WNDCLASSEXW WindowBase::ProgramWindowClass(HINSTANCE instance, const wchar_t* name,
                                           HBRUSH background)
{
    WNDCLASSEXW windowClass{};
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    // Shared: a class keeps the icons it was registered with, and icons loaded anew for every
    // window of it (the settings dialog opens many times) would never be freed.
    windowClass.hIcon = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, LR_SHARED));
    return windowClass;
}

bool WindowBase::RegisterWindowClass(WNDCLASSEXW windowClass)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(windowClass.hInstance, windowClass.lpszClassName, &existing))
    {
        return true;
    }
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &WindowBase::Procedure;
    if (::RegisterClassExW(&windowClass) != 0)
    {
        return true;
    }
    ReportFailure(std::wstring(L"RegisterClassExW ") + windowClass.lpszClassName, ::GetLastError());
    return false;
}

HWND WindowBase::CreateBoundWindow(DWORD exStyle, const wchar_t* className, const wchar_t* text,
                                   DWORD style, int left, int top, int width, int height,
                                   HWND parent, HINSTANCE instance)
{
    ::CreateWindowExW(exStyle, className, text, style, left, top, width, height, parent, nullptr,
                      instance, this);
    return m_window;
}

LRESULT WindowBase::DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::Procedure(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept
{
    if (message == WM_NCCREATE)
    {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = static_cast<WindowBase*>(create->lpCreateParams);
        self->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
    {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY)
    {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_window = nullptr;
        GuardedHandler(0, L"a window's end",
                       [self]
                       {
                           self->OnDestroyed();
                           return LRESULT{0};
                       });
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return GuardedHandler(0, L"a window procedure",
                          [&] { return self->OnMessage(message, wParam, lParam); });
}

} // namespace mirufon::win32
