// The cost of one tick of the pointer preview against its floor: the two hit tests and two
// property reads that any tick must make. The pointer rests on Wine's notepad, another
// process, as it would rest on the program a user harvests from. A third row shows a tick
// that writes both boxes every time, changed or not.

#include "BenchStats.h"
#include "platform/win32/Accessibility.h"
#include "platform/win32/EditTextBox.h"
#include "platform/win32/PointerReading.h"

#include <objbase.h>

#include <cstdio>
#include <string>

namespace
{

using namespace mirufon;
using namespace mirufon::bench;

void Pump()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

HWND StartNotepad(PROCESS_INFORMATION& process)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    wchar_t commandLine[] = L"notepad.exe";
    if (!::CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
    {
        return nullptr;
    }
    for (int i = 0; i < 500; ++i)
    {
        if (HWND window = ::FindWindowW(L"Notepad", nullptr); window && ::IsWindowVisible(window))
        {
            return window;
        }
        ::Sleep(20);
    }
    return nullptr;
}

} // namespace

int main()
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    PROCESS_INFORMATION notepad{};
    HWND notepadWindow = StartNotepad(notepad);
    if (!notepadWindow)
    {
        std::fprintf(stderr, "notepad did not start\n");
        return 1;
    }
    ::SetWindowPos(notepadWindow, HWND_TOPMOST, 700, 100, 400, 300, SWP_SHOWWINDOW);
    HWND edit = ::FindWindowExW(notepadWindow, nullptr, L"Edit", nullptr);
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"プレビュー preview text"));
    RECT area{};
    ::GetWindowRect(edit, &area);
    ::SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);

    // A stand-in for the main window with its two preview boxes, shown as in the program.
    HWND main = ::CreateWindowExW(0, L"STATIC", L"preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                  10, 440, 120, nullptr, nullptr, nullptr, nullptr);
    win32::EditTextBox name(::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_READONLY,
                                              10, 10, 400, 20, main, nullptr, nullptr, nullptr));
    win32::EditTextBox value(::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_READONLY,
                                               10, 40, 400, 20, main, nullptr, nullptr, nullptr));
    name.SetCaretToEndOnSet(false);
    value.SetCaretToEndOnSet(false);
    Pump();

    const auto floor = []
    {
        POINT pointer{};
        ::GetCursorPos(&pointer);
        win32::GetAccNameAt(pointer);
        win32::GetAccValueAt(pointer);
    };
    const auto tick = [&] { win32::PreviewTick(main, name, value); };
    const auto writeAlways = [&]
    {
        POINT pointer{};
        ::GetCursorPos(&pointer);
        name.SetText(win32::GetAccNameAt(pointer));
        value.SetText(win32::GetAccValueAt(pointer));
    };

    constexpr int kRounds = 400;
    std::vector<double> floorTimes, tickTimes, alwaysTimes;
    for (int round = -20; round < kRounds; ++round)
    {
        // Interleaved, so that drift in the machine's load hits all three alike. Each sample
        // includes dispatching what the step left to paint.
        const auto time = [](const auto& step)
        {
            const auto start = BenchClock::now();
            step();
            Pump();
            return MicrosecondsSince(start);
        };
        const double f = time(floor);
        const double t = time(tick);
        const double a = time(writeAlways);
        if (round >= 0)
        {
            floorTimes.push_back(f);
            tickTimes.push_back(t);
            alwaysTimes.push_back(a);
        }
    }
    const double floorMedian = Percentile(floorTimes, 0.5);
    std::printf("Pointer preview tick, median of %d, pointer resting on notepad's text\n", kRounds);
    std::printf("%-34s %10s %8s\n", "", "us", "ratio");
    std::printf("%-34s %10.1f %7.2fx\n", "floor (2 hit tests + 2 reads)", floorMedian, 1.0);
    std::printf("%-34s %10.1f %7.2fx\n", "tick (boxes written on change)",
                Percentile(tickTimes, 0.5), Percentile(tickTimes, 0.5) / floorMedian);
    std::printf("%-34s %10.1f %7.2fx\n", "tick writing both boxes always",
                Percentile(alwaysTimes, 0.5), Percentile(alwaysTimes, 0.5) / floorMedian);

    ::DestroyWindow(main);
    ::TerminateProcess(notepad.hProcess, 0);
    ::CloseHandle(notepad.hThread);
    ::CloseHandle(notepad.hProcess);
    ::CoUninitialize();
    return 0;
}
