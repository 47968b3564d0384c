#pragma once

#include "platform/win32/window/Handles.h"

#include <shellapi.h>

#include <string>

namespace mirufon::win32
{

// The program's icon in the notification area. The shell sends mouse events on the icon to
// the window as kTrayMessage, the event in the low word of lParam.
class TrayIcon
{
  public:
    // A message of the program's own: 0x207, the number the shell would otherwise use here, is
    // WM_MBUTTONDOWN, which a real middle click in the window would also send.
    static constexpr UINT kTrayMessage = WM_APP + 2;

    TrayIcon() = default;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon();

    // Adds the icon with the tip; false when the shell refused it.
    bool Add(HWND window, HICON icon, const std::wstring& tip);
    // Removes the icon, if shown.
    void Delete();
    bool IsShown() const { return m_shown; }
    // After the shell restarted (the "TaskbarCreated" broadcast) the icon is gone from it: add
    // it again.
    bool Restore();

  private:
    NOTIFYICONDATAW m_data{};
    bool m_shown = false;
};

} // namespace mirufon::win32
