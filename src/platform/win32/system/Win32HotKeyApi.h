#pragma once

#include "platform/HotKeyApi.h"
#include "platform/win32/window/Handles.h"

namespace mirufon::win32
{

// Global atoms and RegisterHotKey for one window.
class Win32HotKeyApi final : public HotKeyApi
{
  public:
    explicit Win32HotKeyApi(HWND window) : m_window(window) {}
    std::uint16_t AddGlobalAtom(std::wstring_view name) override;
    void DeleteGlobalAtom(std::uint16_t atom) override;
    bool Register(std::int32_t id, unsigned modifiers, unsigned virtualKey) override;
    void Unregister(std::int32_t id) override;
    bool IsKeyDown(unsigned virtualKey) override;

  private:
    HWND m_window;
};

} // namespace mirufon::win32
