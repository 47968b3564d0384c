#pragma once

// What a process holds, counted so that it reads the same on Windows and under Wine: Wine 8's
// own counters (GetGuiResources, GetProcessHandleCount) read 0, so there the objects are
// counted in Wine's tables instead. A count that cannot be read is -1.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <vector>

namespace testsupport
{

// The process's GDI objects. process needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ.
long GdiObjectsOf(HANDLE process);
// The process's kernel handles.
long HandlesOf(HANDLE process, DWORD processId);
// The process's windows: its top-level windows and every window below them.
long WindowsOf(DWORD processId);

// The top-level windows of a process, front first.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
// Every window below parent: its children, theirs, and so on.
std::vector<HWND> DescendantsOf(HWND parent);

} // namespace testsupport
