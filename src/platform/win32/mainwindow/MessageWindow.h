#pragma once

#include "platform/win32/window/Handles.h"
#include "platform/win32/window/Monitors.h"
#include "platform/win32/window/WindowBase.h"

#include <cstdint>
#include <functional>
#include <string>

namespace mirufon::win32
{

// A short message in a small borderless topmost window: shown for a while, then it shrinks
// towards its bottom-right corner and closes. Everything runs on timers of the window; nobody
// waits for it. onClosed runs when the window has gone; it must not destroy this object from
// inside (post to the owner instead).
class MessageWindow final : public WindowBase
{
  public:
    MessageWindow(HINSTANCE instance, std::function<void()> onClosed,
                  const MonitorLayout& monitors = SystemMonitors());

    // Creates and shows the window with the text for durationMs (a display time of 0 or less
    // keeps it up), centred on the monitor of `placeBy` and sized for its scale. False when the
    // window could not be created; onClosed does not run then.
    bool Show(const std::wstring& text, std::int32_t durationMs, HWND placeBy);

  private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;
    void OnDisplayTimeOver();
    void OnZoomStep();

    HINSTANCE m_instance;
    std::function<void()> m_onClosed;
    const MonitorLayout& m_monitors;
    HWND m_label = nullptr;
    UniqueFont m_font;
    UniqueBrush m_background;
    RECT m_full{};
    int m_zoomStep = 0;
};

} // namespace mirufon::win32
