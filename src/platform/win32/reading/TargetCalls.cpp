#include "platform/win32/reading/TargetCalls.h"

namespace mirufon::win32
{

TargetCalls& CallsIntoTargets()
{
    static TargetCalls calls = []
    {
        TargetCalls system{&::SendMessageTimeoutW, &::OpenProcess, &::IsWow64Process, nullptr};
        // Loaded by name: it is missing from Windows before 8.1.
        if (HMODULE user32 = ::GetModuleHandleW(L"user32.dll"))
        {
            system.physicalToLogicalPoint =
                reinterpret_cast<TargetCalls::PhysicalToLogicalPointFunction>(
                    reinterpret_cast<void (*)()>(
                        ::GetProcAddress(user32, "PhysicalToLogicalPointForPerMonitorDPI")));
        }
        return system;
    }();
    return calls;
}

} // namespace mirufon::win32
