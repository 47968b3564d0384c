#pragma once

#include "platform/win32/window/Handles.h"

#include <shellapi.h>

#include <functional>
#include <string>

namespace mirufon::win32
{

// The program's icon in the notification area, drawn at the size of the taskbar's scale. The
// shell sends mouse events on the icon to the window as kTrayMessage.
class TrayIcon
{
  public:
    // The shell's Shell_NotifyIconW; the Win32 layer's tests stand in a shell that refuses.
    using ShellCall = std::function<bool(DWORD message, NOTIFYICONDATAW& data)>;
    static bool CallShell(DWORD message, NOTIFYICONDATAW& data);

    explicit TrayIcon(HINSTANCE instance, ShellCall shell = &TrayIcon::CallShell);
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon();

    // Offers the icon with the tip; false when the shell did not take it.
    bool Add(HWND window, const std::wstring& tip);
    // Offers the icon added before once more (the shell restarted and forgot it, or did not
    // take it before), at the size of the taskbar's scale now; true once the shell has it.
    bool Restore();
    // Removes the icon, if it was ever offered.
    void Delete();
    // The taskbar's scale may have changed: the icon is drawn anew at its size.
    void RefreshIconSize();

  private:
    bool Offer();
    void LoadIconAtTaskbarSize();

    HINSTANCE m_instance;
    ShellCall m_shell;
    NOTIFYICONDATAW m_data{};
    UniqueIcon m_icon;
    int m_iconSize = 0;
    bool m_offered = false;
    bool m_shown = false;
};

} // namespace mirufon::win32
