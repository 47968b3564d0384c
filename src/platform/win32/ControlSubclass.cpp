#include "platform/win32/ControlSubclass.h"

#include "platform/win32/WindowBase.h"

#include <commctrl.h>

#include <utility>

namespace mirufon::win32
{

// Each object is its own subclass id, so several subclasses of one control never collide.
ControlSubclass::ControlSubclass(HWND control, Handler handler)
    : m_control(control), m_handler(std::move(handler))
{
    if (!m_control ||
        !::SetWindowSubclass(m_control, &ControlSubclass::Procedure,
                             reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this)))
    {
        m_control = nullptr;
    }
}

ControlSubclass::~ControlSubclass()
{
    if (m_control && ::IsWindow(m_control))
    {
        ::RemoveWindowSubclass(m_control, &ControlSubclass::Procedure,
                               reinterpret_cast<UINT_PTR>(this));
    }
}

LRESULT CALLBACK ControlSubclass::Procedure(HWND control, UINT message, WPARAM wParam,
                                            LPARAM lParam, UINT_PTR id, DWORD_PTR data) noexcept
{
    auto* self = reinterpret_cast<ControlSubclass*>(data);
    if (message == WM_NCDESTROY)
    {
        // The control is going: the subclass goes with it, before the object does.
        ::RemoveWindowSubclass(control, &ControlSubclass::Procedure, id);
        self->m_control = nullptr;
        return ::DefSubclassProc(control, message, wParam, lParam);
    }
    return GuardedHandler(0, L"a control's subclass",
                          [&]
                          {
                              if (const std::optional<LRESULT> result =
                                      self->m_handler(control, message, wParam, lParam))
                              {
                                  return *result;
                              }
                              return ::DefSubclassProc(control, message, wParam, lParam);
                          });
}

} // namespace mirufon::win32
