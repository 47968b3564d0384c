#include "platform/win32/reading/Win32PointerProbe.h"

namespace mirufon::win32
{

PointerPosition Win32PointerProbe::Position()
{
    POINT pointer{};
    // Fails on a locked screen and on the system's secure desktop.
    if (!::GetCursorPos(&pointer))
    {
        return PointerPosition{0, 0, false};
    }
    return PointerPosition{pointer.x, pointer.y};
}

PointerTarget Win32PointerProbe::Current()
{
    PointerTarget target;
    POINT pointer{};
    if (!::GetCursorPos(&pointer))
    {
        target.known = false;
        return target;
    }
    target.x = pointer.x;
    target.y = pointer.y;
    HWND under = ::WindowFromPoint(pointer);
    if (!under)
    {
        return target;
    }
    target.overWindow = true;
    target.overOwnWindow = ::GetAncestor(under, GA_ROOT) == m_mainWindow;
    DWORD process = 0;
    target.thread = ::GetWindowThreadProcessId(under, &process);
    target.process = process;
    target.window = reinterpret_cast<std::uintptr_t>(under);
    return target;
}

} // namespace mirufon::win32
