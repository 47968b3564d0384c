#pragma once

#include "platform/ClipboardChain.h"
#include "platform/win32/Handles.h"

namespace mirufon::win32
{

// The clipboard viewer chain and the clipboard's text, for the main window.
class Win32ClipboardChain final : public ClipboardChainApi
{
  public:
    explicit Win32ClipboardChain(HWND window) : m_window(window) {}

    WindowId JoinChain() override;
    void LeaveChain(WindowId next) override;
    void SendToNext(WindowId next, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
    WindowId Foreground() override;
    bool TextAvailable() override;
    ClipboardRead ReadText() override;

  private:
    HWND m_window;
};

} // namespace mirufon::win32
