#include "platform/win32/reading/OleAcc.h"

#include <utility>

namespace mirufon::win32
{
namespace
{

// Through void (*)(), which GCC accepts as a generic function pointer type.
template <typename Function> Function Export(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

} // namespace

const OleAccLibrary& OleAccLibrary::Instance()
{
    static const OleAccLibrary library;
    return library;
}

OleAccLibrary::OleAccLibrary()
    : m_module(::LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
{
    if (!m_module)
    {
        return;
    }
    m_hitTest = Export<AccessibleObjectFromPointFunction>(m_module, "AccessibleObjectFromPoint");
    m_windowOf = Export<WindowFromAccessibleObjectFunction>(m_module, "WindowFromAccessibleObject");
    m_children = Export<AccessibleChildrenFunction>(m_module, "AccessibleChildren");
    m_objectOfWindow =
        Export<AccessibleObjectFromWindowFunction>(m_module, "AccessibleObjectFromWindow");
}

LONG RoleOf(IAccessible& object, const VARIANT& child) noexcept
{
    OwnedVariant role;
    if (object.get_accRole(child, role.Put()) != S_OK || role.Borrow().vt != VT_I4)
    {
        return 0;
    }
    return role.Borrow().lVal;
}

namespace
{

// How long a browser is given to build its accessibility tree after the first request.
constexpr DWORD kFirstContactPauseMs = 150;

bool IsBrowserWindow(POINT screenPoint)
{
    wchar_t name[64] = L"";
    HWND window = ::WindowFromPoint(screenPoint);
    return window && ::GetClassNameW(window, name, 64) > 0 &&
           ::CompareStringOrdinal(name, 7, L"Chrome_", 7, FALSE) == CSTR_EQUAL;
}

// Only the document or the window came back, not an element inside it.
bool IsWholeWindow(const HitObject& hit) noexcept
{
    const VARIANT child = hit.child.Borrow();
    if (child.vt == VT_I4 && child.lVal != CHILDID_SELF)
    {
        return false;
    }
    switch (RoleOf(*hit.accessible.Get(), child))
    {
    case ROLE_SYSTEM_DOCUMENT:
    case ROLE_SYSTEM_WINDOW:
    case ROLE_SYSTEM_CLIENT:
    case ROLE_SYSTEM_PANE:
        return true;
    default:
        return false;
    }
}

bool HitTestOnce(POINT screenPoint, HitObject& hit) noexcept
{
    const auto hitTest = OleAccLibrary::Instance().HitTest();
    if (hitTest == nullptr)
    {
        return false;
    }
    hitTest(screenPoint, hit.accessible.GetAddressOf(), hit.child.Put());
    return hit.accessible != nullptr;
}

} // namespace

bool HitTestAt(POINT screenPoint, HitObject& hit) noexcept
{
    if (!HitTestOnce(screenPoint, hit))
    {
        return false;
    }
    if (!IsWholeWindow(hit) || !IsBrowserWindow(screenPoint))
    {
        return true;
    }
    ::Sleep(kFirstContactPauseMs);
    HitObject again;
    if (HitTestOnce(screenPoint, again))
    {
        // Each owner then releases what it holds.
        std::swap(hit.accessible, again.accessible);
        std::swap(*hit.child.Put(), *again.child.Put());
    }
    return true;
}

} // namespace mirufon::win32
