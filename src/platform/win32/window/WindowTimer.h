#pragma once

#include "platform/win32/window/Handles.h"

#include <algorithm>
#include <cstdint>

namespace mirufon::win32
{

// Sets the window's timer to fire once after about this many milliseconds (within what
// SetTimer takes, at most a minute: the owner sets it again when it fires early), replacing an
// earlier setting; a negative time kills it.
inline void SetTimerAfter(HWND window, UINT_PTR id, std::int64_t milliseconds)
{
    if (milliseconds < 0)
    {
        ::KillTimer(window, id);
        return;
    }
    const auto delay =
        static_cast<UINT>(std::clamp<std::int64_t>(milliseconds, USER_TIMER_MINIMUM, 60000));
    ::SetTimer(window, id, delay, nullptr);
}

} // namespace mirufon::win32
