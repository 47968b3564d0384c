#pragma once

#include "platform/win32/window/Handles.h"

#include <oleacc.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string>
#include <string_view>

namespace mirufon::win32
{

// oleacc.dll is not a Known DLL. Linked at load time, a file of that name placed beside the
// executable would be loaded in its place before any of our code runs, so the library is
// loaded on first use, from the system folder only. It is never unloaded: a read that was
// abandoned in another program may still be running in its code when the program ends.
// Only the types of its functions are taken from the header: the functions themselves come
// from GetProcAddress, and are null when the library or the function is missing.
class OleAccLibrary
{
  public:
    using AccessibleObjectFromPointFunction = decltype(&::AccessibleObjectFromPoint);
    using WindowFromAccessibleObjectFunction = decltype(&::WindowFromAccessibleObject);
    using AccessibleChildrenFunction = decltype(&::AccessibleChildren);
    using AccessibleObjectFromWindowFunction = decltype(&::AccessibleObjectFromWindow);

    static const OleAccLibrary& Instance();

    OleAccLibrary(const OleAccLibrary&) = delete;
    OleAccLibrary& operator=(const OleAccLibrary&) = delete;

    AccessibleObjectFromPointFunction HitTest() const { return m_hitTest; }
    WindowFromAccessibleObjectFunction WindowOf() const { return m_windowOf; }
    AccessibleChildrenFunction Children() const { return m_children; }
    AccessibleObjectFromWindowFunction ObjectOfWindow() const { return m_objectOfWindow; }

  private:
    OleAccLibrary();

    HMODULE m_module;
    AccessibleObjectFromPointFunction m_hitTest = nullptr;
    WindowFromAccessibleObjectFunction m_windowOf = nullptr;
    AccessibleChildrenFunction m_children = nullptr;
    AccessibleObjectFromWindowFunction m_objectOfWindow = nullptr;
};

// Owns a VARIANT that a callee filled in; clearing it releases whatever it holds (a child
// given as VT_DISPATCH carries a reference).
class OwnedVariant
{
  public:
    OwnedVariant() { ::VariantInit(&m_value); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
    ~OwnedVariant() { ::VariantClear(&m_value); }

    VARIANT* Put() { return &m_value; }
    // A bitwise copy for an [in] parameter: the callee borrows it and does not clear it.
    VARIANT Borrow() const { return m_value; }

  private:
    VARIANT m_value;
};

// Owns a BSTR that a callee allocated for us.
class OwnedBstr
{
  public:
    OwnedBstr() = default;
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
    ~OwnedBstr() { ::SysFreeString(m_value); }

    BSTR* Put() { return &m_value; }

    // The text up to its first NUL, if any: the boxes the text goes into end it there anyway.
    std::wstring Text() const
    {
        if (m_value == nullptr)
        {
            return {};
        }
        const std::wstring_view all(m_value, ::SysStringLen(m_value));
        return std::wstring(all.substr(0, all.find(L'\0')));
    }

  private:
    BSTR m_value = nullptr;
};

// The object at a point and its child identifier, both adopted as they come back: the object
// with the reference it was handed out with, the child identifier to be cleared.
struct HitObject
{
    Microsoft::WRL::ComPtr<IAccessible> accessible;
    OwnedVariant child;
};

// The accessible object at the screen point (AccessibleObjectFromPoint). The return code is
// not examined: what matters is whether an object came back. A browser's window (Chromium's,
// and the programs built on it) builds its accessibility tree only when first asked, giving
// just its document or window meanwhile: it is asked once more, a moment later. COM must be
// initialised on the calling thread.
bool HitTestAt(POINT screenPoint, HitObject& hit) noexcept;

// The role of the object itself (not of a child); 0 when it tells none.
LONG RoleOf(IAccessible& object, const VARIANT& child) noexcept;

} // namespace mirufon::win32
