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
    // Without MOD_NOREPEAT the keyboard's auto-repeat would send the hotkey again and again
    // while its key is held. Wine takes the flag but repeats all the same; the dispatcher
    // drops those repeats.
    return ::RegisterHotKey(m_window, id, modifiers | MOD_NOREPEAT, virtualKey) != FALSE;
}

void Win32HotKeyApi::Unregister(std::int32_t id)
{
    ::UnregisterHotKey(m_window, id);
}

bool Win32HotKeyApi::IsKeyDown(unsigned virtualKey)
{
    return (::GetAsyncKeyState(static_cast<int>(virtualKey)) & 0x8000) != 0;
}

} // namespace mirufon::win32
