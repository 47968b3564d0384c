#pragma once

namespace mirufon
{

// The icon in the notification area.
class TrayView
{
  public:
    TrayView() = default;
    TrayView(const TrayView&) = delete;
    TrayView& operator=(const TrayView&) = delete;
    virtual ~TrayView() = default;

    // Puts the icon in the notification area and hides the window; false, with the window
    // left as it is, when the shell refused the icon.
    virtual bool EnterTray() = 0;
    // Offers the icon to the shell again (it restarted, or refused it before), the window left
    // as it is; true once the icon is in the notification area.
    virtual bool RestoreTrayIcon() = 0;
    // Shows the window, restored if it was minimized, and brings it to the front; the icon
    // stays.
    virtual void ShowFromTray() = 0;
    // Removes the icon and shows the window without activating it.
    virtual void LeaveTray() = 0;
    // Removes the icon, if shown, at exit.
    virtual void RemoveTrayIcon() = 0;
    // The icon's pop-up menu at the pointer.
    virtual void ShowTrayMenu() = 0;
};

} // namespace mirufon
