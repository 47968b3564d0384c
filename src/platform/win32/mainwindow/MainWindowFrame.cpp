// The main window itself: where it stands on the monitors and at which scale, how it shows, and
// the state its menus and controls draw.

#include "platform/ScopedFlag.h"
#include "platform/win32/mainwindow/MainWindow.h"

namespace mirufon::win32
{

DefaultGeometry MainWindow::CreatedGeometry() const
{
    const std::int32_t twipsPerPixel = m_controls.TwipsPerPixel();
    DefaultGeometry geometry;
    geometry.screenWidth = ::GetSystemMetrics(SM_CXSCREEN) * twipsPerPixel;
    geometry.screenHeight = ::GetSystemMetrics(SM_CYSCREEN) * twipsPerPixel;
    geometry.windowWidth = (m_createdRect.right - m_createdRect.left) * twipsPerPixel;
    geometry.windowHeight = (m_createdRect.bottom - m_createdRect.top) * twipsPerPixel;
    return geometry;
}

DisplayAreas MainWindow::Displays() const
{
    return m_monitors.Displays();
}

// The controls are drawn at the placement's scale before the move, so that the window arrives
// at its size already drawn for that monitor; the window system has the last word on the scale.
void MainWindow::PlaceWindow(const WindowPixels& placement)
{
    if (placement.dpi != m_controls.Dpi())
    {
        m_controls.SetDpi(placement.dpi);
    }
    {
        const ScopedFlag placing(m_placing);
        const RECT r = ToRect(placement.rect);
        ::SetWindowPos(Handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (const int dpi = m_monitors.WindowDpi(Handle()); dpi != m_controls.Dpi())
    {
        m_controls.SetDpi(dpi);
    }
    m_icons.Apply(Handle(), m_instance, m_controls.Dpi());
}

WindowPixels MainWindow::CurrentPlacement() const
{
    return WindowPixels{ToPixelRect(RestoredWindowRect(Handle())), m_controls.Dpi()};
}

// The window moved to a monitor of another scaling: new twips per pixel, fonts, icons and
// layout. The size the system suggests is taken unless the program is placing the window
// itself, at a size already chosen for that monitor.
void MainWindow::OnDpiChanged(int dotsPerInch, const RECT& suggested)
{
    m_controls.SetDpi(dotsPerInch);
    m_icons.Apply(Handle(), m_instance, dotsPerInch);
    if (!m_placing)
    {
        ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top,
                       suggested.right - suggested.left, suggested.bottom - suggested.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_controls.LayOut();
    m_tray.RefreshIconSize();
}

void MainWindow::LayOut()
{
    m_controls.LayOut();
}

void MainWindow::ShowWindow()
{
    ::ShowWindow(Handle(), SW_SHOW);
    ::UpdateWindow(Handle());
}

void MainWindow::SetInputEnabled(bool enabled)
{
    ::EnableWindow(Handle(), enabled ? TRUE : FALSE);
}

void MainWindow::RequestClose()
{
    ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

void MainWindow::ShowRunState(bool running)
{
    m_menus.ShowRunState(running);
    m_controls.ShowRunState(running);
}

void MainWindow::ShowAlwaysOnTopCheck(bool checked)
{
    m_menus.ShowAlwaysOnTopCheck(checked);
}

void MainWindow::SetTopMost(bool topMost)
{
    ::SetWindowPos(Handle(), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::ShowKeyLabels(const KeyLabels& labels)
{
    m_controls.ShowKeyLabels(labels);
}

bool MainWindow::IsForeground() const
{
    return ::GetForegroundWindow() == Handle();
}

void MainWindow::HoldSessionEnd(const std::wstring& reason)
{
    ::ShutdownBlockReasonCreate(Handle(), reason.c_str());
}

void MainWindow::ReleaseSessionEnd()
{
    ::ShutdownBlockReasonDestroy(Handle());
}

} // namespace mirufon::win32
