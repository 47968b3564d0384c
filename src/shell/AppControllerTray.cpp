// The controller's sequences around the icon in the notification area: going there at
// start-up, the icon's mouse events and menu, and keeping the icon there when the shell
// restarts or is slow to take it.

#include "shell/AppController.h"
#include "shell/Tray.h"

namespace mirufon
{

// The window stays hidden while the icon is being added: at sign-in the taskbar may not be
// ready yet for a program that starts with Windows.
void AppController::EnterTrayAtStart()
{
    m_trayIconWanted = true;
    m_inTray = true;
    if (!m_tray.EnterTray())
    {
        RetryTrayIcon();
    }
}

void AppController::OnTrayEvent(unsigned mouseEvent)
{
    switch (TrayActionFor(mouseEvent))
    {
    case TrayAction::OpenSettings:
        OpenSettings();
        break;
    case TrayAction::ShowPopupMenu:
        m_tray.ShowTrayMenu();
        break;
    case TrayAction::None:
        break;
    }
}

void AppController::ShowFromTray()
{
    m_tray.ShowFromTray();
    m_inTray = false;
    UpdatePreview();
}

void AppController::LeaveTray()
{
    EndTrayIcon();
    m_tray.LeaveTray();
    m_settings.startInTray = 0;
    m_inTray = false;
    UpdatePreview();
}

void AppController::OnTaskbarCreated()
{
    if (!m_trayIconWanted || m_shutDown)
    {
        return;
    }
    if (m_tray.RestoreTrayIcon())
    {
        m_trayAttemptsLeft = 0;
        m_timers.WakeTrayTimer(-1);
        return;
    }
    RetryTrayIcon();
}

void AppController::RetryTrayIcon()
{
    m_trayAttemptsLeft = kTrayIconRetries;
    m_timers.WakeTrayTimer(kTrayIconRetryMs);
}

void AppController::OnTrayTimer()
{
    if (!m_trayIconWanted || m_trayAttemptsLeft == 0 || m_shutDown)
    {
        return;
    }
    if (m_tray.RestoreTrayIcon())
    {
        m_trayAttemptsLeft = 0;
        return;
    }
    if (--m_trayAttemptsLeft > 0)
    {
        m_timers.WakeTrayTimer(kTrayIconRetryMs);
        return;
    }
    // The icon is still wanted: a later restart of the shell adds it, and the window stays.
    if (m_inTray)
    {
        m_inTray = false;
        m_frame.ShowWindow();
        UpdatePreview();
    }
}

// The icon is to go for good: no attempt to add it is left pending.
void AppController::EndTrayIcon()
{
    m_trayIconWanted = false;
    m_trayAttemptsLeft = 0;
    m_timers.WakeTrayTimer(-1);
}

} // namespace mirufon
