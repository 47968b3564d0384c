// The running program measured from outside, as a user meets it: the time from a hotkey press
// (SendInput) to the item in the log, over 100 presses, against the floor of one hit test and
// one read made from another process (this program started again as a probe); the time from
// a copy in another program to the item, over 100 copies; the processor time the program uses
// while the pointer rests on another window; and, with the pointer resting on a window that
// has stopped responding, how long a message posted to the program's window waits.

#include "BenchInput.h"
#include "BenchMessages.h"
#include "BenchStats.h"
#include "e2e/harness/Clipboard.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/HungTarget.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/ProcessCounters.h"
#include "e2e/harness/Target.h"
#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/reading/ElementReading.h"
#include "support/ChildProcess.h"
#include "support/MessagePump.h"

#include <objbase.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace
{

using namespace mirufon::bench;
using namespace std::chrono_literals;

void Pump()
{
    testsupport::DispatchPending();
}

// The floor, measured in a process of its own as the program reads: one read of the name at
// the point, as a capture's worker makes it, 100 times; prints the median and the worst in ms.
int Probe(int x, int y)
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    struct : mirufon::ReadProgress
    {
        void Answering(std::size_t) override {}
        bool Cancelled() const override { return false; }
    } progress;
    std::vector<double> times;
    for (int round = 0; round < 100; ++round)
    {
        const auto start = BenchClock::now();
        const auto window = reinterpret_cast<std::uintptr_t>(::WindowFromPoint(POINT{x, y}));
        mirufon::ReadRequest request{1, x, y, window, mirufon::WantedTexts{true, false}};
        mirufon::win32::ReadElementAt(request, progress);
        times.push_back(MicrosecondsSince(start) / 1000.0);
        ::Sleep(10);
    }
    std::printf("%.3f %.3f\n", Percentile(times, 0.5), Percentile(times, 1.0));
    ::CoUninitialize();
    return 0;
}

// Starts this program as a probe of the point and reads what it prints.
bool MeasureFloor(POINT point, double& median, double& worst)
{
    testsupport::ChildProcess probe(L"--probe " + std::to_wstring(point.x) + L" " +
                                    std::to_wstring(point.y));
    // The probe reads this process's window: keep answering it while it runs.
    while (probe.Started() && ::WaitForSingleObject(probe.Process(), 10) == WAIT_TIMEOUT)
    {
        Pump();
    }
    const std::string output = probe.ReadAll();
    return std::sscanf(output.c_str(), "%lf %lf", &median, &worst) == 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 4 && std::wcscmp(argv[1], L"--probe") == 0)
    {
        return Probe(std::stoi(argv[2]), std::stoi(argv[3]));
    }
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

    // Idle: the preview keeps reading the element under the resting pointer. Counted from the
    // Unix process that runs the program: under Wine, GetProcessTimes of another process
    // reports far less than that process uses.
    const unsigned long unixProcess = e2e::FindUnixProgram(folder.Name());
    const double cpuBefore = e2e::UnixProcessorSeconds(unixProcess);
    if (cpuBefore < 0.0)
    {
        std::fprintf(stderr, "the program's Unix process was not found\n");
        return 1;
    }
    const auto idleStart = BenchClock::now();
    e2e::PumpMessages(5s);
    const double wall = MicrosecondsSince(idleStart) / 1e6;
    const double cpu = e2e::UnixProcessorSeconds(unixProcess) - cpuBefore;

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
                    std::fprintf(stderr, "round %d was not captured; the log shows \"%s\"\n", round,
                                 e2e::Utf8(e2e::WindowText(log)).c_str());
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
    double floorMedian = 0;
    double floorWorst = 0;
    if (!MeasureFloor(target.ButtonCentre(), floorMedian, floorWorst))
    {
        std::fprintf(stderr, "the floor could not be measured\n");
        return 1;
    }
    const double median = Percentile(latencies, 0.5);
    const double worst = Percentile(latencies, 1.0);
    std::printf("Capture latency, hotkey input to item in the log, 100 presses: median %.1f ms "
                "(%.2fx the floor), 90th percentile %.1f ms, worst %.1f ms (%.2fx the floor's "
                "median)\n",
                median, median / floorMedian, Percentile(latencies, 0.9), worst,
                worst / floorMedian);
    std::printf("  floor, one hit test + one read from another process, 100 reads: median %.1f "
                "ms, worst %.1f ms (capture's worst: %.2fx the floor's worst)\n",
                floorMedian, floorWorst, worst / floorWorst);
    std::printf("Copy capture, copy in another program to item in the log, 100 copies: median "
                "%.1f ms, 90th percentile %.1f ms, worst %.1f ms\n",
                Percentile(copies, 0.5), Percentile(copies, 0.9), Percentile(copies, 1.0));
    // Responsiveness over a hung window.
    e2e::HungTarget hung;
    e2e::MovePointer(hung.ButtonCentre());
    e2e::PumpMessages(500ms);
    std::vector<double> delays;
    if (hung.StopResponding(8s))
    {
        int samples = 0;
        delays = PostedMessageDelays(
            log, [&] { return samples++ < 60 && hung.IsHung(); }, 100ms);
    }
    std::printf("A message posted to the program's window while the pointer rests on a window "
                "that does not respond, %zu messages: median %.1f ms, worst %.1f ms\n",
                delays.size(), Percentile(delays, 0.5), Percentile(delays, 1.0));
    hung.WaitUntilRecovered(15s);
    app.Close();
    return 0;
}
