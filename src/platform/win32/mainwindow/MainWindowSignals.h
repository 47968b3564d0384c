#pragma once

#include <windows.h>

namespace mirufon::win32
{

// Every timer and private message of the main window, in one place, so that no two share a
// number: a timer firing under another's id runs the wrong handler and leaves its own undone.

// The main window's timers.
enum MainWindowTimer : UINT_PTR
{
    // The pointer preview's tick.
    kPreviewTimer = 1,
    // Ends the process should the shutdown stall after the settings were saved (a window of
    // another program that does not answer, say): its only job is ExitProcess.
    kExitTimer,
    // Wakes the controller when a read of the element under the pointer reaches its deadline.
    kReadTimer,
    // Wakes the controller when the journal's next write is due.
    kJournalTimer,
    // Wakes the controller for the tray icon's next attempt.
    kTrayTimer,
    // Watches the keys of the hotkeys just pressed until they are released.
    kKeyWatchTimer,
};

// Messages of the main window's own.
enum MainWindowMessage : UINT
{
    // Mouse events on the tray icon, the event in the low word of lParam. A message of the
    // program's own: 0x207, the number the shell would otherwise use here, is WM_MBUTTONDOWN,
    // which a real middle click in the window would also send.
    kTrayMessage = WM_APP + 2,
    // The message window was closed.
    kMessageWindowClosed,
    // A read of another program, or of the clipboard, has ended.
    kReadDone,
    kClipboardReadDone,
    // Shows the boxes queued to be shown after the current message.
    kShowLaterMessages,
};

} // namespace mirufon::win32
