#include "platform/win32/reading/OleAcc.h"

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
}

bool HitTestAt(POINT screenPoint, HitObject& hit) noexcept
{
    const auto hitTest = OleAccLibrary::Instance().HitTest();
    if (hitTest == nullptr)
    {
        return false;
    }
    hitTest(screenPoint, hit.accessible.GetAddressOf(), hit.child.Put());
    return hit.accessible != nullptr;
}

} // namespace mirufon::win32
