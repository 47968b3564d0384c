#include "platform/win32/mainwindow/MainWindow.h"

#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/storage/ProgramFolders.h"
#include "platform/win32/window/Dpi.h"
#include "platform/win32/window/PostedPayload.h"
#include "platform/win32/window/VersionInfo.h"
#include "platform/win32/window/WindowTimer.h"
#include "shell/AppInfo.h"
#include "shell/Layout.h"

namespace mirufon::win32
{
namespace
{

constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

constexpr UINT kExitTimerMs = 10;

} // namespace

MainWindow::MainWindow(HINSTANCE instance, const MonitorLayout& monitors)
    : m_instance(instance), m_monitors(monitors),
      m_controls(instance, monitors.Displays().systemDpi), m_tray(instance)
{
}

bool MainWindow::Create()
{
    if (!RegisterWindowClass(ProgramWindowClass(
            m_instance, kMainWindowClass, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)))))
    {
        m_startError = ::GetLastError();
        return false;
    }

    // The window as created: its client area is 6555 x 3540 twips, with the menu bar.
    const std::int32_t twipsPerPixel = m_controls.TwipsPerPixel();
    const RECT outer = OuterRectForDpi(RECT{0, 0, ToPixels(kCreatedClientWidth, twipsPerPixel),
                                            ToPixels(kCreatedClientHeight, twipsPerPixel)},
                                       kMainStyle, true, 0, m_controls.Dpi());
    if (!CreateBoundWindow(0, kMainWindowClass, GetAppTitle().c_str(), kMainStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                           nullptr, m_instance))
    {
        // A control that could not be created has told why already.
        m_startError = m_startError != 0 ? m_startError : ::GetLastError();
        return false;
    }
    ::GetWindowRect(Handle(), &m_createdRect);
    return true;
}

MainWindowParts MainWindow::Parts()
{
    return MainWindowParts{*this,
                           *this,
                           *this,
                           *this,
                           *this,
                           m_controls.Log(),
                           m_controls.NameBox(),
                           m_controls.ValueBox(),
                           reinterpret_cast<WindowId>(Handle())};
}

void MainWindow::Connect(AppController& controller)
{
    m_controller = &controller;
}

void MainWindow::Disconnect()
{
    m_settingsDialog.reset();
    m_findDialog.Close();
    m_messageWindow.reset();
    m_controller = nullptr;
}

// False, when a control could not be created: the window is then not created either.
bool MainWindow::OnCreate()
{
    m_menus.Create(Handle());
    m_menus.SetVersionLine(VersionMenuText(ExecutableBaseName(), ReadOwnVersionInfo().companyName));
    if (!m_controls.Create(
            Handle(), [this] { m_controller->SelectAllLog(); },
            [this](LPARAM point) { OnLogContextMenu(point); }, m_startError))
    {
        return false;
    }
    CreateShortcuts();
    m_icons.Apply(Handle(), m_instance, m_controls.Dpi());
    m_taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    // Explorer runs at a lower integrity level than a program run as administrator, and such
    // a program hears from it only what it lets through.
    ::ChangeWindowMessageFilterEx(Handle(), m_taskbarCreated, MSGFLT_ALLOW, nullptr);
    return true;
}

bool MainWindow::TranslateDialogMessage(MSG& message)
{
    return (m_settingsDialog && m_settingsDialog->TranslateDialogMessage(message)) ||
           m_findDialog.TranslateDialogMessage(message) || TranslateShortcut(message);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == m_taskbarCreated && m_taskbarCreated != 0)
    {
        // The shell restarted: without the icon a program in the tray could not be reached.
        if (m_controller)
        {
            m_controller->OnTaskbarCreated();
        }
        return 0;
    }
    if (message == m_findDialog.RequestMessage() && message != 0)
    {
        OnFindRequest(lParam);
        return 0;
    }
    switch (message)
    {
    case WM_CREATE:
        return OnCreate() ? 0 : -1;
    case WM_SIZE:
        if (m_controller)
        {
            m_controller->OnMinimized(wParam == SIZE_MINIMIZED);
        }
        m_controls.LayOut();
        return 0;
    case WM_PAINT:
        m_controls.Paint();
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_COMMAND:
        if (lParam == 0)
        {
            OnCommand(LOWORD(wParam));
        }
        else if (LOWORD(wParam) == kIdLog && HIWORD(wParam) == EN_CHANGE && m_controller)
        {
            m_controller->OnLogEdited();
        }
        return 0;
    case WM_HOTKEY:
        m_controller->OnHotKey(static_cast<std::int32_t>(wParam));
        return 0;
    case WM_CLIPBOARDUPDATE:
        m_controller->OnClipboardChanged();
        return 0;
    case kClipboardReadDone:
        if (const std::optional<ClipboardRead> read = TakePayload<ClipboardRead>(lParam))
        {
            m_controller->OnClipboardRead(*read);
        }
        return 0;
    case kTrayMessage:
        m_controller->OnTrayEvent(LOWORD(lParam));
        return 0;
    case kMessageWindowClosed:
        OnMessageWindowClosed();
        return 0;
    case kShowLaterMessages:
        ShowLaterMessages();
        return 0;
    case FindDialog::kActivationMessage:
        m_controller->OnFindDialogActive(wParam != 0);
        return 0;
    case kReadDone:
        if (std::optional<ReadOutcome> outcome = TakePayload<ReadOutcome>(lParam))
        {
            m_controller->Reads().OnReadOutcome(std::move(*outcome));
        }
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(m_controls.ControlColours(reinterpret_cast<HDC>(wParam),
                                                                   reinterpret_cast<HWND>(lParam)));
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DISPLAYCHANGE:
        m_tray.RefreshIconSize();
        break;
    case WM_CLOSE:
        m_controller->Shutdown(ShutdownCause::Closed);
        ::DestroyWindow(Handle());
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
        {
            m_controller->Shutdown(ShutdownCause::SessionEnding);
        }
        return 0;
    case WM_DESTROY:
        // A window that never started (its creation failed) leaves the thread's queue alone:
        // the box that tells of the failure follows.
        if (m_controller)
        {
            ::PostQuitMessage(0);
        }
        return 0;
    default:
        break;
    }
    return DefaultProcedure(message, wParam, lParam);
}

void MainWindow::OnTimer(UINT_PTR id)
{
    if (id == kPreviewTimer)
    {
        m_controller->Preview().OnTick();
    }
    else if (id == kReadTimer)
    {
        m_controller->Reads().OnReadTimer();
    }
    else if (id == kKeyWatchTimer)
    {
        m_controller->OnKeyWatchTick();
    }
    else if (id == kJournalTimer)
    {
        ::KillTimer(Handle(), kJournalTimer);
        m_controller->OnJournalTimer();
    }
    else if (id == kTrayTimer)
    {
        ::KillTimer(Handle(), kTrayTimer);
        m_controller->OnTrayTimer();
    }
    else if (id == kExitTimer)
    {
        ::ExitProcess(0);
    }
}

void MainWindow::SetPreviewRunning(bool running)
{
    if (running)
    {
        ::SetTimer(Handle(), kPreviewTimer, static_cast<UINT>(kPreviewTickMs), nullptr);
    }
    else
    {
        ::KillTimer(Handle(), kPreviewTimer);
    }
}

void MainWindow::SetPreviewInterval(std::int64_t milliseconds)
{
    ::SetTimer(Handle(), kPreviewTimer, static_cast<UINT>(milliseconds), nullptr);
}

void MainWindow::SetKeyWatchRunning(bool running)
{
    if (running)
    {
        ::SetTimer(Handle(), kKeyWatchTimer, static_cast<UINT>(kKeyReleaseCheckMs), nullptr);
    }
    else
    {
        ::KillTimer(Handle(), kKeyWatchTimer);
    }
}

void MainWindow::ArmExitTimer()
{
    ::SetTimer(Handle(), kExitTimer, kExitTimerMs, nullptr);
}

void MainWindow::Beep()
{
    ::MessageBeep(MB_ICONWARNING);
}

void MainWindow::WakeReadTimer(std::int64_t milliseconds)
{
    SetTimerAfter(Handle(), kReadTimer, milliseconds);
}

void MainWindow::WakeTrayTimer(std::int64_t milliseconds)
{
    SetTimerAfter(Handle(), kTrayTimer, milliseconds);
}

} // namespace mirufon::win32
