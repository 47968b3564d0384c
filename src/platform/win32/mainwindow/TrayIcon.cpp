#include "platform/win32/mainwindow/TrayIcon.h"

#include "shell/Tray.h"

namespace mirufon::win32
{

TrayIcon::~TrayIcon()
{
    Delete();
}

bool TrayIcon::Add(HWND window, HICON icon, const std::wstring& tip)
{
    m_data = NOTIFYICONDATAW{};
    m_data.cbSize = sizeof m_data;
    m_data.hWnd = window;
    m_data.uID = kTrayIconId;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = kTrayMessage;
    m_data.hIcon = icon;
    const std::wstring text = TrayTip(tip, ARRAYSIZE(m_data.szTip));
    ::lstrcpynW(m_data.szTip, text.c_str(), ARRAYSIZE(m_data.szTip));
    m_shown = ::Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
    return m_shown;
}

void TrayIcon::Delete()
{
    if (m_shown)
    {
        ::Shell_NotifyIconW(NIM_DELETE, &m_data);
        m_shown = false;
    }
}

bool TrayIcon::Restore()
{
    if (!m_shown)
    {
        return false;
    }
    m_shown = ::Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
    return m_shown;
}

} // namespace mirufon::win32
