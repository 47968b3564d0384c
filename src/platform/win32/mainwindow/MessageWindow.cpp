#include "platform/win32/mainwindow/MessageWindow.h"

#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/window/Dpi.h"
#include "platform/win32/window/Fonts.h"
#include "shell/Layout.h"
#include "shell/TransientMessage.h"

#include <utility>

namespace mirufon::win32
{
namespace
{

constexpr COLORREF kBackground = RGB(192, 255, 255);
constexpr COLORREF kText = RGB(0, 0, 255);
constexpr UINT_PTR kDisplayTimer = 1;
constexpr UINT_PTR kZoomTimer = 2;
// The label's place in twips; it is larger than the window, which clips it.
constexpr ControlRect kLabel{90, 90, 7995, 4515};

} // namespace

MessageWindow::MessageWindow(HINSTANCE instance, std::function<void()> onClosed,
                             const MonitorLayout& monitors)
    : m_instance(instance), m_onClosed(std::move(onClosed)), m_monitors(monitors),
      m_background(::CreateSolidBrush(kBackground))
{
}

bool MessageWindow::Show(const std::wstring& text, std::int32_t durationMs, HWND placeBy)
{
    if (!RegisterWindowClass(ProgramWindowClass(m_instance, kMessageWindowClass, nullptr)))
    {
        return false;
    }
    // On the main window's monitor, where the user looks for the program, though that window
    // is not shown yet.
    const Monitor monitor = MonitorOfWindow(m_monitors, placeBy);
    const std::int32_t twipsPerPixel = TwipsPerPixel(monitor.dpi);
    const RECT place =
        ToRect(CentredIn(monitor.workArea, ToPixels(kMessageWindowWidth, twipsPerPixel),
                         ToPixels(MessageWindowHeight(text), twipsPerPixel)));
    if (!CreateBoundWindow(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kMessageWindowClass, L"", WS_POPUP,
                           place.left, place.top, place.right - place.left,
                           place.bottom - place.top, nullptr, m_instance))
    {
        return false;
    }
    m_font = CreateProgramFont(FontRole::Message, monitor.dpi);
    m_label = ::CreateWindowExW(
        0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
        ToPixels(kLabel.left, twipsPerPixel), ToPixels(kLabel.top, twipsPerPixel),
        ToPixels(kLabel.width, twipsPerPixel), ToPixels(kLabel.height, twipsPerPixel), Handle(),
        nullptr, m_instance, nullptr);
    ::SendMessageW(m_label, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (StartsCloseTimer(durationMs))
    {
        ::SetTimer(Handle(), kDisplayTimer, static_cast<UINT>(durationMs), nullptr);
    }
    ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(Handle());
    return true;
}

LRESULT MessageWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_TIMER:
        if (wParam == kDisplayTimer)
        {
            OnDisplayTimeOver();
        }
        else if (wParam == kZoomTimer)
        {
            OnZoomStep();
        }
        return 0;
    case WM_ERASEBKGND:
    {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, m_background.Get());
        return 1;
    }
    case WM_CTLCOLORSTATIC:
        ::SetTextColor(reinterpret_cast<HDC>(wParam), kText);
        ::SetBkColor(reinterpret_cast<HDC>(wParam), kBackground);
        return reinterpret_cast<LRESULT>(m_background.Get());
    default:
        return DefaultProcedure(message, wParam, lParam);
    }
}

// The display time is over: the window shrinks, one step per tick.
void MessageWindow::OnDisplayTimeOver()
{
    ::KillTimer(Handle(), kDisplayTimer);
    ::GetWindowRect(Handle(), &m_full);
    m_zoomStep = kZoomFirstStep;
    ::SetTimer(Handle(), kZoomTimer, kZoomStepMs, nullptr);
}

void MessageWindow::OnZoomStep()
{
    if (m_zoomStep < 1)
    {
        ::KillTimer(Handle(), kZoomTimer);
        ::DestroyWindow(Handle());
        return;
    }
    const ZoomFrame frame = ZoomStepFrame(
        ZoomFrame{m_full.left, m_full.top, m_full.right - m_full.left, m_full.bottom - m_full.top},
        m_zoomStep);
    // Size and place in one call: set one after the other, the right and bottom edges would
    // visibly jump at every step.
    ::SetWindowPos(Handle(), nullptr, frame.left, frame.top, frame.width, frame.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    --m_zoomStep;
}

void MessageWindow::OnDestroyed()
{
    if (m_onClosed)
    {
        m_onClosed();
    }
}

} // namespace mirufon::win32
