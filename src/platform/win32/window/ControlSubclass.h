#pragma once

#include "platform/win32/window/Handles.h"

#include <functional>
#include <memory>
#include <optional>

namespace mirufon::win32
{

// One subclass of a control through SetWindowSubclass, removed again when the object goes (in
// any order with other subclasses of the same control). The handler sees every message first:
// a result consumes the message, nothing passes it on to the control. The object may go while
// its handler runs (a handler that shows a message box pumps messages, and one of them may
// close the window): the handler, and what it holds, then lives until it has returned.
class ControlSubclass
{
  public:
    using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

    ControlSubclass(HWND control, Handler handler);
    ControlSubclass(const ControlSubclass&) = delete;
    ControlSubclass& operator=(const ControlSubclass&) = delete;
    ~ControlSubclass();

  private:
    // Shared by the object and every call of the procedure that is running.
    struct State : std::enable_shared_from_this<State>
    {
        HWND control = nullptr;
        Handler handler;
    };

    static LRESULT CALLBACK Procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data) noexcept;

    std::shared_ptr<State> m_state;
};

} // namespace mirufon::win32
