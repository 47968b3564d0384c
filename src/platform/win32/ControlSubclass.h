#pragma once

#include "platform/win32/Handles.h"

#include <functional>
#include <optional>

namespace mirufon::win32
{

// One subclass of a control through SetWindowSubclass, removed again when the object goes (in
// any order with other subclasses of the same control). The handler sees every message first:
// a result consumes the message, nothing passes it on to the control.
class ControlSubclass
{
  public:
    using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

    ControlSubclass(HWND control, Handler handler);
    ControlSubclass(const ControlSubclass&) = delete;
    ControlSubclass& operator=(const ControlSubclass&) = delete;
    ~ControlSubclass();

    bool IsAttached() const { return m_control != nullptr; }

  private:
    static LRESULT CALLBACK Procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data) noexcept;

    HWND m_control;
    Handler m_handler;
};

} // namespace mirufon::win32
