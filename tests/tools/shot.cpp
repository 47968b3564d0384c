// Waits for the running program's main window, saves a screenshot of it and closes it as its
// close box would. Used by scripts/run on machines without a display.
//   mirufon-shot <screenshot.bmp> [seconds to wait before the shot]

#include "e2e/harness/Harness.h"
#include "platform/win32/mainwindow/ControlIds.h"

#include <cstdio>
#include <string>

namespace
{

HWND FindMainWindow()
{
    HWND window = nullptr;
    e2e::WaitUntil(
        [&]
        {
            window = ::FindWindowW(mirufon::win32::kMainWindowClass, nullptr);
            return window && ::IsWindowVisible(window);
        },
        std::chrono::seconds(30));
    return window;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: mirufon-shot <screenshot.bmp> [seconds]\n");
        return 2;
    }
    const HWND window = FindMainWindow();
    if (!window)
    {
        std::fprintf(stderr, "the main window did not appear\n");
        return 1;
    }
    const int seconds = argc > 2 ? _wtoi(argv[2]) : 3;
    e2e::WaitUntil([] { return false; }, std::chrono::seconds(seconds));
    const bool saved = e2e::SaveWindowScreenshot(window, argv[1]);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    const bool ended = process && ::WaitForSingleObject(process, 15000) == WAIT_OBJECT_0;
    if (process)
    {
        ::CloseHandle(process);
    }
    if (!saved)
    {
        std::fprintf(stderr, "could not save the screenshot\n");
    }
    if (!ended)
    {
        std::fprintf(stderr, "the program did not end after WM_CLOSE\n");
    }
    return saved && ended ? 0 : 1;
}
