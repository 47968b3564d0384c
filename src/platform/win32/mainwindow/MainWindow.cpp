#include "platform/win32/mainwindow/MainWindow.h"

#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/reading/ElementReading.h"
#include "platform/win32/storage/ProgramFolders.h"
#include "platform/win32/window/Dpi.h"
#include "platform/win32/window/PostedPayload.h"
#include "platform/win32/window/VersionInfo.h"
#include "platform/win32/window/WindowTimer.h"
#include "shell/AppInfo.h"
#include "shell/Layout.h"

#include <algorithm>

namespace mirufon::win32
{
namespace
{

constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

constexpr UINT kExitTimerMs = 10;

} // namespace

MainWindow::MainWindow(HINSTANCE instance)
    : m_instance(instance), m_controls(instance), m_tray(instance), m_storage(LocateOwnStorage()),
      m_conf(m_storage.conf, m_storage.confStartingPoint),
      m_journal(m_storage.journalFolder, m_storage.earlierJournalFolder)
{
}

MainWindow::~MainWindow()
{
    // The dialogs go before the window they belong to and the controller they call.
    m_settingsDialog.reset();
    m_findDialog.Close();
    m_messageWindow.reset();
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
    if (!m_controller)
    {
        // Creating the controls or the services failed.
        ::DestroyWindow(Handle());
        return false;
    }
    ::GetWindowRect(Handle(), &m_createdRect);
    m_controller->Start();
    return true;
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
    m_hotKeyApi.emplace(Handle());
    m_clipboard.emplace(Handle(), kClipboardReadDone);
    m_pointer.emplace(Handle());
    m_readWorkers.emplace(Handle(), kReadDone, &ReadAtPoint);
    const MainWindowParts window{*this,
                                 *this,
                                 *this,
                                 *this,
                                 *this,
                                 m_controls.Log(),
                                 m_controls.NameBox(),
                                 m_controls.ValueBox(),
                                 reinterpret_cast<WindowId>(Handle())};
    m_controller.emplace(
        AppServices{window,
                    {*m_hotKeyApi, *m_clipboard, *m_pointer, *m_readWorkers, m_clock},
                    {m_conf, m_journal, m_logFiles}});
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
            OnReadOutcome(std::move(*outcome));
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

void MainWindow::OnCommand(int id)
{
    switch (id)
    {
    case kMenuRunState:
        m_controller->ToggleRunState();
        break;
    case kMenuAlwaysOnTop:
        m_controller->ToggleAlwaysOnTop();
        break;
    case kMenuClear:
    case kMenuTrayClear:
        m_controller->ClearAll();
        break;
    case kMenuHelp:
    case kMenuTrayHelp:
        OpenHelpPage();
        break;
    case kMenuHotKeyHelp:
        m_controller->ShowHotKeyHelp();
        break;
    case kMenuSettings:
    case kMenuTraySettings:
        m_controller->OpenSettings();
        break;
    case kMenuTrayShow:
        m_controller->ShowFromTray();
        break;
    case kMenuLeaveTray:
        m_controller->LeaveTray();
        break;
    case kMenuQuit:
        m_controller->Quit();
        break;
    case kMenuSaveLog:
        m_controller->SaveLog();
        break;
    case kMenuFind:
        OpenFindDialog();
        break;
    case kMenuFindNext:
        FindAgain(SearchDirection::Down);
        break;
    case kMenuFindPrevious:
        FindAgain(SearchDirection::Up);
        break;
    default:
        break;
    }
}

void MainWindow::OnTimer(UINT_PTR id)
{
    if (id == kPreviewTimer)
    {
        m_controller->OnPreviewTick();
    }
    else if (id == kReadTimer)
    {
        m_controller->OnReadTimer();
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

// The window moved to a monitor of another scaling: new twips per pixel, fonts, icons and
// layout. The size the system suggests is taken unless the program is placing the window
// itself, at a size already chosen for that monitor.
void MainWindow::OnDpiChanged(int dotsPerInch, const RECT& suggested)
{
    m_controls.SetDpi(dotsPerInch);
    m_icons.Apply(Handle(), m_instance, dotsPerInch);
    if (!m_controls.IsPlacing())
    {
        ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top,
                       suggested.right - suggested.left, suggested.bottom - suggested.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_controls.LayOut();
    m_tray.RefreshIconSize();
}

void MainWindow::OnReadOutcome(ReadOutcome outcome)
{
    if (outcome.answering)
    {
        m_controller->OnAnswering(outcome.id, outcome.chars);
    }
    else if (outcome.failed)
    {
        m_controller->OnReadFailed(outcome.id);
    }
    else if (outcome.kind == ReadKind::Harvest)
    {
        m_controller->OnHarvestDone(outcome.id, std::move(outcome.result.harvest));
    }
    else
    {
        m_controller->OnReadDone(outcome.id, outcome.result.texts);
    }
}

void MainWindow::OnMessageWindowClosed()
{
    m_messageWindow.reset();
    m_controller->OnTransientMessageClosed();
}

DefaultGeometry MainWindow::CreatedGeometry() const
{
    return m_controls.CreatedGeometry(m_createdRect);
}

DisplayAreas MainWindow::Displays() const
{
    return m_controls.Displays();
}

void MainWindow::PlaceWindow(const WindowPixels& placement)
{
    m_controls.PlaceWindow(placement);
    m_icons.Apply(Handle(), m_instance, m_controls.Dpi());
}

WindowPixels MainWindow::CurrentPlacement() const
{
    return m_controls.CurrentPlacement();
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

void MainWindow::SetPreviewRunning(bool running)
{
    m_previewTicking = running;
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
    if (m_previewTicking)
    {
        ::SetTimer(Handle(), kPreviewTimer, static_cast<UINT>(milliseconds), nullptr);
    }
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

void MainWindow::ShowTransientMessage(const std::wstring& text, int durationMs)
{
    // The controller hears of the close through a message of the window's own, so that the
    // message window is not destroyed from inside its own handler.
    HWND window = Handle();
    m_messageWindow = std::make_unique<MessageWindow>(
        m_instance, [window] { ::PostMessageW(window, kMessageWindowClosed, 0, 0); });
    if (!m_messageWindow->Show(text, durationMs, window))
    {
        // Nothing was shown: start-up goes on as if it had been.
        ::PostMessageW(window, kMessageWindowClosed, 0, 0);
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
