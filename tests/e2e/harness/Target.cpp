#include "e2e/harness/Target.h"

#include "e2e/harness/Input.h"
#include "support/ControlItems.h"
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

} // namespace

TargetWindow::TargetWindow(POINT position, SIZE size)
    : m_thread([this, position, size] { return Build(position, size); })
{
    if (m_window)
    {
        BringToFront();
    }
}

TargetWindow::~TargetWindow() = default;

std::vector<HWND> TargetWindow::Build(POINT position, SIZE size)
{
    testsupport::RegisterTestClass(kTargetClass, &TargetWindow::WindowProc);
    HWND window = ::CreateWindowExW(
        WS_EX_TOPMOST, kTargetClass, kCaption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, position.x,
        position.y, size.cx, size.cy, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!window)
    {
        return {};
    }
    // Controls at fixed client positions, apart from each other, so that each centre lies well
    // inside its own control.
    m_button =
        testsupport::AddControl(window, L"BUTTON", kButtonCaption, BS_PUSHBUTTON | WS_TABSTOP,
                                RECT{20, 20, 220, 56}, kIdButton);
    m_edit = testsupport::AddControl(window, L"EDIT", kEditValue,
                                     WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP,
                                     RECT{20, 80, 260, 108}, kIdEdit);
    // SS_NOTIFY: a plain static answers hit tests with HTTRANSPARENT, so the pointer would find
    // the window behind it; with it the label is a window of its own under the pointer and
    // reports clicks.
    m_label = testsupport::AddControl(window, L"STATIC", kLabelText, SS_LEFT | SS_NOTIFY,
                                      RECT{20, 130, 140, 154}, kIdLabel);
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    return {window};
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
    return testsupport::CentreOf(m_button);
}

POINT TargetWindow::EditCentre() const
{
    return testsupport::CentreOf(m_edit);
}

POINT TargetWindow::LabelCentre() const
{
    return testsupport::CentreOf(m_label);
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
    case WM_CLOSE:
        // Only the destructor ends the window, so that no handle the test holds goes stale.
        return 0;
    default:
        return ::DefWindowProcW(m_window, message, wParam, lParam);
    }
}

} // namespace e2e
