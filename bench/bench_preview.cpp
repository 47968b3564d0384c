// The cost of one tick of the pointer preview against the old floor: two hit tests and two
// property reads, which a tick made when each property took its own hit test. A tick now reads
// both with one hit test, on a worker; the main window's thread only looks up the window
// under the pointer. The pointer rests on Wine's notepad, another process, as it would rest
// on the program a user harvests from.

#include "BenchStats.h"
#include "platform/win32/reading/Accessibility.h"
#include "platform/win32/reading/ElementReading.h"
#include "platform/win32/reading/Win32PointerProbe.h"
#include "support/MessagePump.h"

#include <objbase.h>

#include <cstdio>
#include <string>

namespace
{

using namespace mirufon;
using namespace mirufon::bench;

void Pump()
{
    testsupport::DispatchPending();
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

    Pump();

    const auto floor = []
    {
        POINT pointer{};
        ::GetCursorPos(&pointer);
        ReadTarget target;
        target.x = pointer.x;
        target.y = pointer.y;
        win32::MsaaReader().Read(target, WantedTexts{true, false});
        win32::MsaaReader().Read(target, WantedTexts{false, true});
    };
    // Nobody listens for long texts here: a preview asks for the beginning only.
    struct : ReadProgress
    {
        void Answering(std::size_t) override {}
        bool Cancelled() const override { return false; }
    } progress;
    const auto read = [&]
    {
        POINT pointer{};
        ::GetCursorPos(&pointer);
        // The tick's probe finds the window on the main window's thread; the read starts there.
        const auto window = reinterpret_cast<std::uintptr_t>(::WindowFromPoint(pointer));
        ReadRequest request{
            1, pointer.x, pointer.y, window, WantedTexts{true, true}, kPreviewChars};
        win32::ReadElementAt(request, progress);
    };
    win32::Win32PointerProbe probe(nullptr);
    const auto ownThread = [&] { probe.Current(); };

    constexpr int kRounds = 400;
    std::vector<double> floorTimes, readTimes, ownTimes;
    for (int round = -20; round < kRounds; ++round)
    {
        // Interleaved, so that drift in the machine's load hits all alike.
        const auto time = [](const auto& step)
        {
            const auto start = BenchClock::now();
            step();
            return MicrosecondsSince(start);
        };
        const double f = time(floor);
        const double r = time(read);
        const double o = time(ownThread);
        if (round >= 0)
        {
            floorTimes.push_back(f);
            readTimes.push_back(r);
            ownTimes.push_back(o);
        }
    }
    const double floorMedian = Percentile(floorTimes, 0.5);
    std::printf("Pointer preview tick, median of %d, pointer resting on notepad's text\n", kRounds);
    std::printf("%-40s %10s %8s\n", "", "us", "ratio");
    std::printf("%-40s %10.1f %7.2fx\n", "old floor (2 hit tests + 2 reads)", floorMedian, 1.0);
    std::printf("%-40s %10.1f %7.2fx\n", "tick's read (one hit test, on a worker)",
                Percentile(readTimes, 0.5), Percentile(readTimes, 0.5) / floorMedian);
    std::printf("%-40s %10.1f %7.2fx\n", "tick's share of the window's thread",
                Percentile(ownTimes, 0.5), Percentile(ownTimes, 0.5) / floorMedian);

    ::TerminateProcess(notepad.hProcess, 0);
    ::CloseHandle(notepad.hThread);
    ::CloseHandle(notepad.hProcess);
    ::CoUninitialize();
    return 0;
}
