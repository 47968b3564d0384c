// A stand-in for a DLL an attacker plants beside the executable under a system library's name.
// Loading it leaves a marker file beside it, so a test can tell whether the program took it.

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
    {
        return TRUE;
    }
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = ::GetModuleFileNameW(instance, path, MAX_PATH * 2);
    if (length > 0 && length < MAX_PATH * 2 - 16)
    {
        ::lstrcatW(path, L".loaded");
        HANDLE marker = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (marker != INVALID_HANDLE_VALUE)
        {
            ::CloseHandle(marker);
        }
    }
    return TRUE;
}
