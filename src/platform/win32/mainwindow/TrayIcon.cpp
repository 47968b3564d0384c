#include "platform/win32/mainwindow/TrayIcon.h"

#include "platform/win32/mainwindow/MainWindowSignals.h"
#include "platform/win32/window/Dpi.h"
#include "platform/win32/window/WindowIcons.h"
#include "shell/Tray.h"

#include <utility>

namespace mirufon::win32
{
namespace
{

// The notification area draws its icons at the small icon size of the scale of the monitor
// that holds the taskbar.
int TaskbarIconSize()
{
    HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    const int dpi =
        taskbar ? MonitorDpi(::MonitorFromWindow(taskbar, MONITOR_DEFAULTTOPRIMARY)) : ScreenDpi();
    return MetricForDpi(SM_CXSMICON, dpi);
}

} // namespace

bool TrayIcon::CallShell(DWORD message, NOTIFYICONDATAW& data)
{
    return ::Shell_NotifyIconW(message, &data) != FALSE;
}

TrayIcon::TrayIcon(HINSTANCE instance, ShellCall shell)
    : m_instance(instance), m_shell(std::move(shell))
{
}

TrayIcon::~TrayIcon()
{
    Delete();
}

bool TrayIcon::Add(HWND window, const std::wstring& tip)
{
    m_data = NOTIFYICONDATAW{};
    m_data.cbSize = sizeof m_data;
    m_data.hWnd = window;
    m_data.uID = kTrayIconId;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = kTrayMessage;
    const std::wstring text = TrayTip(tip, ARRAYSIZE(m_data.szTip));
    ::lstrcpynW(m_data.szTip, text.c_str(), ARRAYSIZE(m_data.szTip));
    m_offered = true;
    return Offer();
}

bool TrayIcon::Restore()
{
    return m_offered && Offer();
}

// A shell that was too busy to answer in time may have added the icon all the same: then the
// add fails, as the icon is there, and a modification finds it.
bool TrayIcon::Offer()
{
    LoadIconAtTaskbarSize();
    m_shown = m_shell(NIM_ADD, m_data) || m_shell(NIM_MODIFY, m_data);
    return m_shown;
}

void TrayIcon::Delete()
{
    if (m_offered)
    {
        m_shell(NIM_DELETE, m_data);
        m_offered = false;
        m_shown = false;
    }
}

void TrayIcon::RefreshIconSize()
{
    if (!m_shown || TaskbarIconSize() == m_iconSize)
    {
        return;
    }
    // The shell copies the icon it is given, so the one it had may go.
    LoadIconAtTaskbarSize();
    m_shell(NIM_MODIFY, m_data);
}

void TrayIcon::LoadIconAtTaskbarSize()
{
    const int size = TaskbarIconSize();
    if (m_icon && size == m_iconSize)
    {
        return;
    }
    if (UniqueIcon icon = LoadProgramIcon(m_instance, size))
    {
        m_data.hIcon = icon.Get();
        m_icon = std::move(icon);
        m_iconSize = size;
    }
}

} // namespace mirufon::win32
