// The main window's part in the log's files: the Ctrl+S shortcut, the log's context menu and
// the journal's timer; and the shortcuts of the Find dialog.

#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/mainwindow/LogContextMenu.h"
#include "platform/win32/mainwindow/MainWindow.h"
#include "platform/win32/window/WindowTimer.h"

namespace mirufon::win32
{

void MainWindow::CreateShortcuts()
{
    ACCEL shortcuts[] = {{FVIRTKEY | FCONTROL, 'S', kMenuSaveLog},
                         {FVIRTKEY | FCONTROL, 'F', kMenuFind},
                         {FVIRTKEY, VK_F3, kMenuFindNext},
                         {FVIRTKEY | FSHIFT, VK_F3, kMenuFindPrevious}};
    m_shortcuts.Reset(::CreateAcceleratorTableW(shortcuts, ARRAYSIZE(shortcuts)));
}

// Only keys meant for the main window or its controls: the settings dialog and the message
// boxes keep theirs.
bool MainWindow::TranslateShortcut(MSG& message)
{
    if (!m_shortcuts || !Handle() ||
        (message.hwnd != Handle() && !::IsChild(Handle(), message.hwnd)))
    {
        return false;
    }
    return ::TranslateAcceleratorW(Handle(), m_shortcuts.Get(), &message) != 0;
}

void MainWindow::OnLogContextMenu(LPARAM point)
{
    // The save and the find run from the window's own queue, as their shortcuts do, once the
    // menu has gone.
    HWND window = Handle();
    ShowLogContextMenu(m_controls.Log().Handle(), point,
                       LogMenuSave{m_controller->CanSaveLog(), [window]
                                   { ::PostMessageW(window, WM_COMMAND, kMenuSaveLog, 0); }},
                       [window] { ::PostMessageW(window, WM_COMMAND, kMenuFind, 0); });
}

void MainWindow::WakeJournalTimer(std::int64_t milliseconds)
{
    SetTimerAfter(Handle(), kJournalTimer, milliseconds);
}

} // namespace mirufon::win32
