#include "platform/win32/Win32Clipboard.h"

namespace mirufon::win32
{

bool Win32Clipboard::Empty()
{
    OpenedClipboard clipboard(m_owner);
    return clipboard.IsOpen() && ::EmptyClipboard();
}

void Win32MessagePump::SleepThenDispatch(int milliseconds)
{
    ::Sleep(static_cast<DWORD>(milliseconds));
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        if (message.message == WM_QUIT)
        {
            // Leave the quit for the main loop, which ends the program.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

} // namespace mirufon::win32
