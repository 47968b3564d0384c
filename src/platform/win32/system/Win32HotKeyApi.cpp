#include "platform/win32/system/Win32HotKeyApi.h"

#include <string>

namespace mirufon::win32
{

std::uint16_t Win32HotKeyApi::AddGlobalAtom(std::wstring_view name)
{
    return ::GlobalAddAtomW(std::wstring(name).c_str());
}

void Win32HotKeyApi::DeleteGlobalAtom(std::uint16_t atom)
{
    ::GlobalDeleteAtom(atom);
}

bool Win32HotKeyApi::Register(std::int32_t id, unsigned modifiers, unsigned virtualKey)
{
    return ::RegisterHotKey(m_window, id, modifiers, virtualKey) != FALSE;
}

void Win32HotKeyApi::Unregister(std::int32_t id)
{
    ::UnregisterHotKey(m_window, id);
}

} // namespace mirufon::win32
