#include "e2e/harness/Target.h"

#include "e2e/harness/Input.h"
#include "support/WindowObject.h"

namespace e2e
{

namespace
{

constexpr const wchar_t* kTargetClass = L"MirufonE2eTarget";
constexpr int kIdButton = 1;
constexpr int kIdEdit = 2;
constexpr int kIdLabel = 3;
// Messages the driver's main thread sends the window's own thread.
constexpr UINT kComeToFront = WM_APP + 1;
constexpr UINT kEnd = WM_APP + 2;

void RegisterTargetClass(WNDPROC procedure)
{
    static bool registered = false;
    if (registered)
    {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kTargetClass;
    registered =
        ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                   RECT place, int id)
{
    HWND control = ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, place.left,
                                     place.top, place.right - place.left, place.bottom - place.top,
                                     parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(control, WM_SETFONT,
                   reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

POINT CentreOf(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

} // namespace

TargetWindow::TargetWindow(POINT position, SIZE size)
{
    const HANDLE created = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = std::thread([this, position, size, created] { Serve(position, size, created); });
    ::WaitForSingleObject(created, 10000);
    ::CloseHandle(created);
    if (m_window)
    {
        BringToFront();
    }
}

void TargetWindow::Serve(POINT position, SIZE size, HANDLE created)
{
    RegisterTargetClass(&TargetWindow::WindowProc);
    HWND window = ::CreateWindowExW(
        WS_EX_TOPMOST, kTargetClass, kCaption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, position.x,
        position.y, size.cx, size.cy, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (window)
    {
        // Controls at fixed client positions, apart from each other, so that each centre lies
        // well inside its own control.
        m_button = CreateControl(window, L"BUTTON", kButtonCaption, BS_PUSHBUTTON | WS_TABSTOP,
                                 RECT{20, 20, 220, 56}, kIdButton);
        m_edit = CreateControl(window, L"EDIT", kEditValue, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP,
                               RECT{20, 80, 260, 108}, kIdEdit);
        // SS_NOTIFY: a plain static answers hit tests with HTTRANSPARENT, so the pointer would
        // find the window behind it; with it the label is a window of its own under the
        // pointer and reports clicks.
        m_label = CreateControl(window, L"STATIC", kLabelText, SS_LEFT | SS_NOTIFY,
                                RECT{20, 130, 140, 154}, kIdLabel);
        ::ShowWindow(window, SW_SHOW);
        ::UpdateWindow(window);
    }
    ::SetEvent(created);
    if (!window)
    {
        return;
    }
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

TargetWindow::~TargetWindow()
{
    if (m_window)
    {
        ::PostMessageW(m_window, kEnd, 0, 0);
    }
    if (m_thread.joinable())
    {
        m_thread.join();
    }
}

HWND TargetWindow::Focus() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_window, nullptr), &info);
    return info.hwndFocus;
}

POINT TargetWindow::LastMouseMove() const
{
    const LPARAM last = m_lastMouseMove;
    if (last == -1)
    {
        return POINT{-1, -1};
    }
    return POINT{static_cast<short>(LOWORD(last)), static_cast<short>(HIWORD(last))};
}

POINT TargetWindow::ButtonCentre() const
{
    return CentreOf(m_button);
}

POINT TargetWindow::EditCentre() const
{
    return CentreOf(m_edit);
}

POINT TargetWindow::LabelCentre() const
{
    return CentreOf(m_label);
}

POINT TargetWindow::BlankPoint() const
{
    // The bottom right of the client area, below and beside every control.
    RECT client{};
    ::GetClientRect(m_window, &client);
    POINT point{client.right - 30, client.bottom - 30};
    ::ClientToScreen(m_window, &point);
    return point;
}

void TargetWindow::BringToFront()
{
    SetTopmost(true);
    // The focus can only be set by the window's own thread.
    ::PostMessageW(m_window, kComeToFront, 0, 0);
    WaitUntil([this] { return ::GetForegroundWindow() == m_window; }, 2s);
}

void TargetWindow::SetTopmost(bool topmost)
{
    ::SetWindowPos(m_window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CALLBACK TargetWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = testsupport::WindowObject<TargetWindow>(window, message, lParam);
    if (!self)
    {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY)
    {
        // The object may be on its way out: nothing reaches it after this.
        self->m_window = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (!self->m_window)
    {
        // Messages sent during CreateWindowExW, before it returned the handle.
        self->m_window = window;
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT TargetWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_COMMAND:
        if (LOWORD(wParam) == kIdButton && HIWORD(wParam) == BN_CLICKED)
        {
            ++m_buttonClicks;
        }
        else if (LOWORD(wParam) == kIdLabel && HIWORD(wParam) == STN_CLICKED)
        {
            ++m_labelClicks;
        }
        else if (LOWORD(wParam) == kIdLabel && HIWORD(wParam) == STN_DBLCLK)
        {
            ++m_labelDoubleClicks;
        }
        return 0;
    case WM_CONTEXTMENU:
        ++m_contextMenus;
        return 0;
    case WM_MOUSEMOVE:
        m_lastMouseMove = lParam & 0xFFFFFFFF;
        ++m_mouseMoves;
        return 0;
    case kComeToFront:
        ::SetForegroundWindow(m_window);
        ::SetFocus(m_window);
        return 0;
    case kEnd:
        ::DestroyWindow(m_window);
        ::PostQuitMessage(0);
        return 0;
    case WM_CLOSE:
        // Only the destructor ends the window, so that no handle the test holds goes stale.
        return 0;
    default:
        return ::DefWindowProcW(m_window, message, wParam, lParam);
    }
}

} // namespace e2e
