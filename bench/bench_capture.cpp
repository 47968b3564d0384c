// The running program measured from outside, as a user meets it: the time from a hotkey press
// (SendInput) to the item in the log, over 100 presses; the time from a copy in another
// program to the item, over 100 copies; and the processor time the program uses while the
// pointer rests on another window.

#include "BenchStats.h"
#include "e2e/Clipboard.h"
#include "e2e/Harness.h"
#include "e2e/Input.h"
#include "e2e/Target.h"
#include "platform/win32/ControlIds.h"

#include <cstdio>

namespace
{

using namespace mirufon::bench;
using namespace std::chrono_literals;

void Pump()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void SendShiftChord(WORD key)
{
    INPUT inputs[4]{};
    const WORD keys[4] = {VK_SHIFT, key, key, VK_SHIFT};
    for (int i = 0; i < 4; ++i)
    {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ::SendInput(4, inputs, sizeof(INPUT));
}

double CpuSeconds(HANDLE process)
{
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetProcessTimes(process, &created, &exited, &kernel, &user);
    const auto seconds = [](FILETIME t)
    {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

} // namespace

int main()
{
    e2e::TempFolder folder;
    e2e::WriteBytes(folder.File(L"Conf.txt"), "add copy = 1\r\n");
    e2e::App app(folder);
    const HWND main = app.MainWindow();
    if (!main)
    {
        std::fprintf(stderr, "the program did not start: %ls\n", app.StartError().c_str());
        return 1;
    }
    e2e::TargetWindow target;
    target.BringToFront();
    e2e::MovePointer(target.ButtonCentre());
    e2e::PumpMessages(500ms);

    // Idle: the preview keeps reading the element under the resting pointer.
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, app.ProcessId());
    const double cpuBefore = CpuSeconds(process);
    const auto idleStart = BenchClock::now();
    e2e::PumpMessages(5s);
    const double wall = MicrosecondsSince(idleStart) / 1e6;
    const double cpu = CpuSeconds(process) - cpuBefore;
    ::CloseHandle(process);

    // Latency: from the input to the log's new length.
    HWND log = ::GetDlgItem(main, mirufon::win32::kIdLog);
    const auto measure = [&](const auto& act, std::vector<double>& latencies)
    {
        for (int round = 0; round < 100; ++round)
        {
            const LRESULT before = ::SendMessageW(log, WM_GETTEXTLENGTH, 0, 0);
            const auto start = BenchClock::now();
            act(round);
            while (::SendMessageW(log, WM_GETTEXTLENGTH, 0, 0) == before)
            {
                // The program reads the driver's window: keep answering it.
                Pump();
                if (MicrosecondsSince(start) > 5e6)
                {
                    std::fprintf(stderr, "round %d was not captured\n", round);
                    return false;
                }
            }
            latencies.push_back(MicrosecondsSince(start) / 1000.0);
            e2e::PumpMessages(30ms);
        }
        return true;
    };
    std::vector<double> latencies;
    std::vector<double> copies;
    if (!measure([](int) { SendShiftChord('A'); }, latencies) ||
        !measure([&](int round)
                 { e2e::SetClipboardText(target.Handle(), L"copy " + std::to_wstring(round)); },
                 copies))
    {
        return 1;
    }

    std::printf("Idle with the pointer resting on another window: %.2f%% of one core "
                "(%.3f s of processor time in %.1f s)\n",
                100.0 * cpu / wall, cpu, wall);
    std::printf("Capture latency, hotkey input to item in the log, 100 presses: median %.1f ms, "
                "90th percentile %.1f ms, worst %.1f ms\n",
                Percentile(latencies, 0.5), Percentile(latencies, 0.9), Percentile(latencies, 1.0));
    std::printf("Copy capture, copy in another program to item in the log, 100 copies: median "
                "%.1f ms, 90th percentile %.1f ms, worst %.1f ms\n",
                Percentile(copies, 0.5), Percentile(copies, 0.9), Percentile(copies, 1.0));
    app.Close();
    return 0;
}
