#pragma once

#include "platform/Clipboard.h"
#include "platform/win32/window/Handles.h"

#include <memory>

namespace mirufon::win32
{

// The clipboard for the main window: a clipboard format listener (WM_CLIPBOARDUPDATE is posted
// to the window at every change; unlike the viewer chain, nobody has to pass it on and no
// notification is sent while the window waits in a call), and a worker thread that reads and
// empties the clipboard, one job after another. A read's outcome is posted to the window as
// `readDone` with a ClipboardRead as an owned pointer in lParam (TakePayload reclaims it). The
// worker is never waited for: one stuck in a program that never renders its data is left to it,
// and neither the window nor the program's exit waits.
class Win32Clipboard final : public Clipboard
{
  public:
    Win32Clipboard(HWND window, UINT readDone);
    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;
    ~Win32Clipboard() override;

    void StartListening() override;
    void StopListening() override;
    WindowId Foreground() override;
    bool TextAvailable() override;
    void StartRead() override;
    void StartEmpty() override;

  private:
    struct Worker;

    HWND m_window;
    bool m_listening = false;
    std::shared_ptr<Worker> m_worker;
};

} // namespace mirufon::win32
