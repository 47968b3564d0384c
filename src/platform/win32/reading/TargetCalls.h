#pragma once

#include "platform/win32/window/Handles.h"

namespace mirufon::win32
{

// The system calls through which the readers reach another program, in one place, so that a
// test can stand in for a Windows that Wine cannot show: a program run as administrator, which
// refuses messages and its memory (error 5); a program of the other bitness; a window that is
// not per-monitor aware on a scaled monitor, which reads points in its own logical units.
struct TargetCalls
{
    using SendMessageTimeoutFunction = decltype(&::SendMessageTimeoutW);
    using OpenProcessFunction = decltype(&::OpenProcess);
    using IsWow64ProcessFunction = decltype(&::IsWow64Process);
    using PhysicalToLogicalPointFunction = BOOL(WINAPI*)(HWND, LPPOINT);

    SendMessageTimeoutFunction sendMessageTimeout;
    OpenProcessFunction openProcess;
    IsWow64ProcessFunction isWow64Process;
    // PhysicalToLogicalPointForPerMonitorDPI; null where the system lacks it (before Windows
    // 8.1, where no window sees the screen in other units than ours).
    PhysicalToLogicalPointFunction physicalToLogicalPoint;
};

// The calls the readers make: the system's own, unless a test has put others in their place.
TargetCalls& CallsIntoTargets();

} // namespace mirufon::win32
