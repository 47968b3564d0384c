#pragma once

#include "platform/Clipboard.h"
#include "platform/win32/window/Handles.h"

#include <functional>
#include <memory>

namespace mirufon::win32
{

// How the clipboard's worker posts a read's outcome: PostMessageW, unless a test puts a failing
// one in.
using PostToWindow = std::function<BOOL(HWND, UINT, WPARAM, LPARAM)>;

// The clipboard for the main window: a clipboard format listener (WM_CLIPBOARDUPDATE is posted
// to the window at every change; unlike the viewer chain, nobody has to pass it on and no
// notification is sent while the window waits in a call), and a worker thread that reads and
// empties the clipboard, one job after another. A read's outcome is posted to the window as
// `readDone` with a ClipboardRead as an owned pointer in lParam (TakePayload reclaims it); a
// post the system refuses (the window's queue is full) is tried again kClipboardRetryMs later
// until it goes through. The worker is never waited for: one stuck in a program that never
// renders its data is left to it, and neither the window nor the program's exit waits.
class Win32Clipboard final : public Clipboard
{
  public:
    Win32Clipboard(HWND window, UINT readDone, PostToWindow post = {});
    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;
    ~Win32Clipboard() override;

    void StartListening() override;
    void StopListening() override;
    WindowId Foreground() override;
    bool TextAvailable() override;
    std::optional<ClipboardRead> StartRead() override;
    void StartEmpty() override;

  private:
    struct Worker;

    HWND m_window;
    bool m_listening = false;
    std::shared_ptr<Worker> m_worker;
};

} // namespace mirufon::win32
