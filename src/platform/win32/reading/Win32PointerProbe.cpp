#include "platform/win32/reading/Win32PointerProbe.h"

namespace mirufon::win32
{

PointerPosition Win32PointerProbe::Position()
{
    POINT pointer{};
    ::GetCursorPos(&pointer);
    return PointerPosition{pointer.x, pointer.y};
}

PointerTarget Win32PointerProbe::Current()
{
    POINT pointer{};
    ::GetCursorPos(&pointer);
    PointerTarget target;
    target.x = pointer.x;
    target.y = pointer.y;
    HWND under = ::WindowFromPoint(pointer);
    if (!under)
    {
        return target;
    }
    target.overWindow = true;
    target.overOwnWindow = ::GetAncestor(under, GA_ROOT) == m_mainWindow;
    target.thread = ::GetWindowThreadProcessId(under, nullptr);
    target.window = reinterpret_cast<std::uintptr_t>(under);
    return target;
}

} // namespace mirufon::win32
