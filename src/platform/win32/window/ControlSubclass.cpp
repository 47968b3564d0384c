#include "platform/win32/window/ControlSubclass.h"

#include "platform/win32/window/WindowBase.h"

#include <commctrl.h>

#include <utility>

namespace mirufon::win32
{

// Each state is its own subclass id, so several subclasses of one control never collide.
ControlSubclass::ControlSubclass(HWND control, Handler handler) : m_state(std::make_shared<State>())
{
    m_state->handler = std::move(handler);
    const auto id = reinterpret_cast<UINT_PTR>(m_state.get());
    if (control && ::SetWindowSubclass(control, &ControlSubclass::Procedure, id,
                                       reinterpret_cast<DWORD_PTR>(m_state.get())))
    {
        m_state->control = control;
    }
}

ControlSubclass::~ControlSubclass()
{
    if (m_state->control && ::IsWindow(m_state->control))
    {
        ::RemoveWindowSubclass(m_state->control, &ControlSubclass::Procedure,
                               reinterpret_cast<UINT_PTR>(m_state.get()));
    }
    m_state->control = nullptr;
}

LRESULT CALLBACK ControlSubclass::Procedure(HWND control, UINT message, WPARAM wParam,
                                            LPARAM lParam, UINT_PTR id, DWORD_PTR data) noexcept
{
    // The subclass is in place, so its object, and with it the state, still exists; this call
    // keeps the state alive should the object go before the handler returns.
    const std::shared_ptr<State> state = reinterpret_cast<State*>(data)->shared_from_this();
    if (message == WM_NCDESTROY)
    {
        // The control is going: the subclass goes with it, before the object does.
        ::RemoveWindowSubclass(control, &ControlSubclass::Procedure, id);
        state->control = nullptr;
        return ::DefSubclassProc(control, message, wParam, lParam);
    }
    return GuardedHandler(0, L"a control's subclass",
                          [&]
                          {
                              if (const std::optional<LRESULT> result =
                                      state->handler(control, message, wParam, lParam))
                              {
                                  return *result;
                              }
                              return ::DefSubclassProc(control, message, wParam, lParam);
                          });
}

} // namespace mirufon::win32
