#pragma once

#include "platform/win32/mainwindow/MainWindow.h"
#include "platform/win32/reading/Win32PointerProbe.h"
#include "platform/win32/reading/Win32ReadWorkers.h"
#include "platform/win32/storage/ProgramFolders.h"
#include "platform/win32/storage/Win32ConfStore.h"
#include "platform/win32/storage/Win32JournalStore.h"
#include "platform/win32/storage/Win32LogFiles.h"
#include "platform/win32/system/Win32Clipboard.h"
#include "platform/win32/system/Win32Clock.h"
#include "platform/win32/system/Win32HotKeyApi.h"
#include "platform/win32/window/ComApartment.h"
#include "shell/AppController.h"

#include <optional>

namespace mirufon::win32
{

// The program's parts, made and wired in this one place. They are made in the order they are
// declared and go in the reverse order, so that whatever a part uses or posts to outlives it.
// The services that need the main window's handle are made in a second step, once the window
// exists (Start).
class Program
{
  public:
    explicit Program(HINSTANCE instance);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Creates the main window, then the services bound to it and the controller, and runs the
    // start-up sequence, which shows the window when it is done. False when the window or one
    // of its controls could not be created: nothing was started then, so nothing is saved
    // (Conf.txt and the journal stay as they are); StartError gives the system's reason.
    bool Start();
    DWORD StartError() const { return m_window.StartError(); }
    // The thread's message loop, until the main window has gone; the process's exit code.
    int Run();

  private:
    // The services bound to the main window's handle: hot keys registered for it, the clipboard
    // that notifies it and posts its reads to it, hit tests from its thread, and the read
    // workers that post their outcomes to it. The workers are made last so that they stop
    // first: none posts anything once they are gone.
    struct WindowServices
    {
        explicit WindowServices(HWND window);

        Win32HotKeyApi hotKeyApi;
        Win32Clipboard clipboard;
        Win32PointerProbe pointer;
        Win32ReadWorkers readWorkers;
    };

    // First and last: the main thread's single-threaded apartment, which the Save dialog and
    // the accessibility layer's callbacks need for as long as anything may call them.
    ComApartment m_com;
    // Where the files are, then the stores made from it. They outlive the controller, which
    // writes to them until its end; the journal's writer finishes its last write as it goes.
    StorageLocations m_storage;
    Win32ConfStore m_conf;
    Win32JournalStore m_journal;
    Win32LogFiles m_logFiles;
    Win32Clock m_clock;
    // The window outlives everything bound to its handle and the controller that drives it.
    MainWindow m_window;
    std::optional<WindowServices> m_services;
    std::optional<AppController> m_controller;
    // Last made, first gone: the window's dialogs close while the controller they call is
    // still there, and from then on no event of the window reaches the controller.
    std::optional<ControllerConnection> m_connection;
};

} // namespace mirufon::win32
