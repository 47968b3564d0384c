// Old against new in one run, over a list view of 10,000 rows by 5 columns in another process
// (this benchmark started again with --list). The builds are alternated (old, new, old, new...),
// each started in a fresh folder, so that a change in the machine's load hits both alike. In
// each run, with the pointer on a cell of the fourth column:
//  - captures (Shift+A): the time from the key press to the item in the log, and whether the
//    item is the cell's own text;
//  - the pointer resting there: the processor time, over 5 s after the preview shows the cell,
//    of the list's process, of the program and of Wine's server (their Unix processes);
//  - a harvest (Shift+L): the time from the key press until the whole harvest is in the log,
//    and the processor time of the list's process, the program and Wine's server meanwhile.
// Before each pair of runs, with no program running, as many bare LVM_GETITEMTEXTW calls as the
// list has cells, each with its own write and read of the list's memory: the harvest's floor,
// timed alike (the processor time of this process in the program's place). On a loaded machine
// every message that crosses processes waits for the other side to be scheduled, so that the
// times spread widely: the processor time hardly does.
//
// Usage: bench_listview --old PATH [--new PATH]; the new build defaults to the mirufon.exe
// beside the benchmark.

#include "BenchFailure.h"
#include "BenchInput.h"
#include "BenchStats.h"
#include "ListProcess.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/ProcessCounters.h"
#include "platform/win32/mainwindow/ControlIds.h"

#include <array>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace
{

using namespace mirufon::bench;
using namespace std::chrono_literals;
using mirufon::win32::kIdLog;
using mirufon::win32::kIdPreviewName;

constexpr std::size_t kOld = 0;
constexpr std::size_t kNew = 1;
constexpr const char* kBuildNames[] = {"old", "new"};

constexpr int kRounds = 3;
constexpr int kPressesPerRun = 15;
constexpr auto kRestPeriod = 5s;
constexpr auto kCaptureTimeout = 10s;
constexpr auto kCapturePoll = 1ms;
// Polled more slowly: the polls cost Wine's server time that counts toward the harvest's.
constexpr auto kHarvestPoll = 20ms;
// A harvest of the whole list has taken over half a minute on a loaded machine.
constexpr auto kHarvestTimeout = 300s;
// The new build's harvest against the bare calls: at most this.
constexpr double kHarvestGoal = 0.6;

// What a harvest of the whole list gives: the headings, then every row, cells split by tabs.
std::wstring WholeHarvest()
{
    const auto line = [](const std::function<std::wstring(int)>& cell)
    {
        std::wstring text = cell(0);
        for (int column = 1; column < kListColumns; ++column)
        {
            text += L'\t' + cell(column);
        }
        return text;
    };
    std::wstring harvest = line(ListHeading);
    for (int row = 0; row < kListRows; ++row)
    {
        harvest += L"\r\n" + line([row](int column) { return ListCellText(row, column); });
    }
    return harvest;
}

// Polls, without pumping, until done() holds; the milliseconds since start, nothing after the
// timeout.
std::optional<double> MillisecondsUntil(const std::function<bool()>& done,
                                        BenchClock::time_point start,
                                        std::chrono::milliseconds timeout,
                                        std::chrono::milliseconds poll)
{
    while (!done())
    {
        if (BenchClock::now() - start > timeout)
        {
            return std::nullopt;
        }
        ::Sleep(static_cast<DWORD>(poll.count()));
    }
    return MicrosecondsSince(start) / 1000.0;
}

// The Unix processes whose processor time counts: the list's, the reader's (the program, or
// this benchmark for the bare calls) and Wine's server.
using Processes = std::array<unsigned long, 3>;
constexpr std::size_t kReader = 1;

// Seconds of processor time each has used so far. 0 stands for this process: Wine gives its
// own times as /proc shows its Unix process's (another process's it gives far too low).
std::array<double, 3> ProcessorSeconds(const Processes& processes)
{
    std::array<double, 3> seconds{};
    for (std::size_t i = 0; i < processes.size(); ++i)
    {
        if (processes[i] == 0)
        {
            FILETIME created{}, exited{}, kernel{}, user{};
            ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
            const auto ticks = [](FILETIME time)
            { return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime; };
            seconds[i] = static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
            continue;
        }
        seconds[i] = e2e::UnixProcessorSeconds(processes[i]);
        Require(seconds[i] >= 0.0, "the processor time of a Unix process could not be read");
    }
    return seconds;
}

double Sum(const std::array<double, 3>& seconds)
{
    return seconds[0] + seconds[1] + seconds[2];
}

// What one build gave over the runs.
struct Figures
{
    std::vector<double> harvests;
    // Seconds of processor time of the three processes in each harvest.
    std::vector<double> harvestSeconds;
    int wholeHarvests = 0;
    std::vector<double> captures;
    int ownTexts = 0;
    // The items captured other than the cell's own text, and how often.
    std::map<std::wstring, int> otherTexts;
    std::wstring preview;
    // Seconds of processor time while the pointer rested: the list's process, the program,
    // Wine's server; and of wall time.
    std::array<double, 3> rested{};
    double restedWall = 0.0;
};

// One build started in a folder of its own, closed at the end.
class Run
{
  public:
    Run(const std::wstring& program, const ListProcess& list, const Processes& others)
        : m_list(list), m_processes(others)
    {
        m_app.emplace(m_folder, L"mirufon.exe", program);
        m_main = m_app->MainWindow();
        Require(m_main != nullptr, "the program did not start: " + e2e::Utf8(program) + " " +
                                       e2e::Utf8(m_app->StartError()));
        Require(::WindowFromPoint(list.PointedCell()) == list.List(),
                "the list's cell is covered by another window");
        m_processes[kReader] = e2e::FindUnixProgram(m_folder.Name());
        Require(m_processes[kReader] != 0, "the program's Unix process was not found");
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    ~Run() { m_app->Close(); }

    void MeasureInto(Figures& figures)
    {
        Capture(figures);
        Rest(figures);
        Harvest(figures);
    }

  private:
    HWND Log() const { return e2e::Control(m_main, kIdLog); }
    std::size_t LogLength() const
    {
        return static_cast<std::size_t>(::SendMessageW(Log(), WM_GETTEXTLENGTH, 0, 0));
    }

    std::wstring Preview() const { return e2e::WindowText(e2e::Control(m_main, kIdPreviewName)); }
    std::string PreviewShows() const
    {
        return "; the preview shows \"" + e2e::Utf8(Preview()) + "\"";
    }

    bool PointerOnCell() const
    {
        POINT now{};
        return ::GetCursorPos(&now) && now.x == m_list.PointedCell().x &&
               now.y == m_list.PointedCell().y;
    }

    // Puts the pointer on the cell. Under Wine's virtual desktop a late motion event sometimes
    // puts it back where it was for a while: it is moved again until it stays for a moment.
    void PlacePointer() const
    {
        const auto stays = [&]
        {
            const auto start = BenchClock::now();
            while (PointerOnCell())
            {
                if (BenchClock::now() - start > 300ms)
                {
                    return true;
                }
                ::Sleep(5);
            }
            return false;
        };
        Require(e2e::WaitUntil([&] { return e2e::MovePointer(m_list.PointedCell()) && stays(); },
                               10s),
                "the pointer did not stay on the cell");
    }

    // Empties the log (the preview too) with the pointer resting on the cell, waits until the
    // preview shows what the program reads there again, and returns that.
    std::wstring ClearAndAwaitPreview()
    {
        PlacePointer();
        ::PostMessageW(m_main, WM_COMMAND, mirufon::win32::kMenuClear, 0);
        Require(e2e::WaitUntil([&] { return LogLength() == 0; }, 5s), "the log was not cleared");
        std::wstring shown;
        Require(e2e::WaitUntil(
                    [&]
                    {
                        shown = Preview();
                        return !shown.empty();
                    },
                    10s),
                "the preview showed nothing over the cell");
        return shown;
    }

    // With the pointer resting on the cell and the log empty, presses Shift with the key and
    // returns the milliseconds until the log holds something. Pressed again when the pointer
    // was found elsewhere afterwards; nothing after the timeout.
    std::optional<double> PressAndTime(WORD key, std::chrono::milliseconds timeout,
                                       std::chrono::milliseconds poll)
    {
        for (int tries = 0; tries < 10; ++tries)
        {
            m_preview = ClearAndAwaitPreview();
            m_secondsAtPress = ProcessorSeconds(m_processes);
            const auto start = BenchClock::now();
            SendShiftChord(key);
            const std::optional<double> took =
                MillisecondsUntil([&] { return LogLength() > 0; }, start, timeout, poll);
            if (PointerOnCell())
            {
                return took;
            }
        }
        throw BenchFailure("the pointer kept leaving the cell");
    }

    void Capture(Figures& figures)
    {
        const std::wstring own = ListCellText(kPointedRow, kPointedColumn);
        for (int press = 0; press < kPressesPerRun; ++press)
        {
            const std::optional<double> latency = PressAndTime('A', kCaptureTimeout, kCapturePoll);
            Require(latency.has_value(), "a capture did not reach the log" + PreviewShows());
            figures.preview = m_preview;
            figures.captures.push_back(*latency);
            const std::wstring item = e2e::WindowText(Log());
            if (item == own)
            {
                ++figures.ownTexts;
            }
            else
            {
                ++figures.otherTexts[item];
            }
        }
    }

    // Measured again when the pointer was found elsewhere afterwards.
    void Rest(Figures& figures)
    {
        for (int tries = 0; tries < 10; ++tries)
        {
            ClearAndAwaitPreview();
            const std::array<double, 3> before = ProcessorSeconds(m_processes);
            const auto start = BenchClock::now();
            ::Sleep(static_cast<DWORD>(std::chrono::milliseconds(kRestPeriod).count()));
            const double wall = MicrosecondsSince(start) / 1e6;
            const std::array<double, 3> after = ProcessorSeconds(m_processes);
            if (PointerOnCell())
            {
                figures.restedWall += wall;
                for (std::size_t i = 0; i < after.size(); ++i)
                {
                    figures.rested[i] += after[i] - before[i];
                }
                return;
            }
        }
        throw BenchFailure("the pointer kept leaving the cell");
    }

    void Harvest(Figures& figures)
    {
        const std::optional<double> took = PressAndTime('L', kHarvestTimeout, kHarvestPoll);
        Require(took.has_value(), "the harvest did not reach the log" + PreviewShows());
        figures.harvests.push_back(*took);
        figures.harvestSeconds.push_back(Sum(ProcessorSeconds(m_processes)) -
                                         Sum(m_secondsAtPress));
        static const std::wstring whole = WholeHarvest();
        figures.wholeHarvests += e2e::WindowText(Log()) == whole ? 1 : 0;
    }

    const ListProcess& m_list;
    Processes m_processes;
    // Their processor time just before the last press.
    std::array<double, 3> m_secondsAtPress{};
    e2e::TempFolder m_folder;
    std::optional<e2e::App> m_app;
    HWND m_main = nullptr;
    // What the preview showed before the last press.
    std::wstring m_preview;
};

std::string Ratio(double over, double under)
{
    if (under <= 0.0)
    {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", over / under);
    return text;
}

// The samples, one after another.
std::string Samples(const std::vector<double>& samples, const char* format)
{
    std::string text;
    for (const double sample : samples)
    {
        char one[32];
        std::snprintf(one, sizeof one, format, sample);
        text += (text.empty() ? "" : " ") + std::string(one);
    }
    return text;
}

// Times and processor times of the harvests, or of the bare calls.
struct Reads
{
    std::vector<double> ms;
    std::vector<double> seconds;
};

void PrintHarvest(const std::array<Figures, 2>& figures, const Reads& bare)
{
    const double bareMs = Percentile(bare.ms, 0.5);
    const double bareSeconds = Percentile(bare.seconds, 0.5);
    std::printf("Harvest, Shift+L to the whole harvest in the log, and the processor time of the "
                "list's process, the reader and Wine's server meanwhile; medians of %d (runs in "
                "brackets):\n",
                kRounds);
    std::array<double, 2> ms{};
    std::array<double, 2> seconds{};
    for (const std::size_t build : {kOld, kNew})
    {
        const Figures& f = figures[build];
        ms[build] = Percentile(f.harvests, 0.5);
        seconds[build] = Percentile(f.harvestSeconds, 0.5);
        std::printf("  %s  %6.0f ms = %s x the bare calls (%s)   processor %5.1f s = %s x (%s)   "
                    "whole and right %d of %d\n",
                    kBuildNames[build], ms[build], Ratio(ms[build], bareMs).c_str(),
                    Samples(f.harvests, "%.0f").c_str(), seconds[build],
                    Ratio(seconds[build], bareSeconds).c_str(),
                    Samples(f.harvestSeconds, "%.1f").c_str(), f.wholeHarvests,
                    static_cast<int>(f.harvests.size()));
    }
    std::printf("  %d bare LVM_GETITEMTEXTW calls, each with a write and a read of the list's "
                "memory: %.0f ms, %.1f us a cell (%s)   processor %.1f s (%s)\n",
                kListRows * kListColumns, bareMs, 1000.0 * bareMs / (kListRows * kListColumns),
                Samples(bare.ms, "%.0f").c_str(), bareSeconds,
                Samples(bare.seconds, "%.1f").c_str());
    std::printf("  new/old: time %s, processor %s; goal for new, at most %.1f x the bare calls' "
                "time: %s\n",
                Ratio(ms[kNew], ms[kOld]).c_str(), Ratio(seconds[kNew], seconds[kOld]).c_str(),
                kHarvestGoal, ms[kNew] <= kHarvestGoal * bareMs ? "met" : "MISSED");
}

void PrintCaptures(const std::array<Figures, 2>& figures)
{
    std::printf("Capture over the cell of row %d, column %d, Shift+A to the item in the log, %d "
                "presses each:\n",
                kPointedRow, kPointedColumn, kRounds * kPressesPerRun);
    for (const auto& [name, fraction] : {std::pair{"median", 0.5}, std::pair{"90th pct", 0.9}})
    {
        const double oldMs = Percentile(figures[kOld].captures, fraction);
        const double newMs = Percentile(figures[kNew].captures, fraction);
        std::printf("  %-9s old %7.1f ms   new %7.1f ms   new/old %s\n", name, oldMs, newMs,
                    Ratio(newMs, oldMs).c_str());
    }
    for (const std::size_t build : {kOld, kNew})
    {
        std::printf("  %s: the cell's own text \"%s\" %d of %d", kBuildNames[build],
                    e2e::Utf8(ListCellText(kPointedRow, kPointedColumn)).c_str(),
                    figures[build].ownTexts, static_cast<int>(figures[build].captures.size()));
        for (const auto& [text, count] : figures[build].otherTexts)
        {
            std::printf(", \"%s\" %d", e2e::Utf8(text).c_str(), count);
        }
        std::printf("; preview \"%s\"\n", e2e::Utf8(figures[build].preview).c_str());
    }
}

void PrintRest(const std::array<Figures, 2>& figures)
{
    std::printf("Pointer resting on that cell, processor time over %lld s after the preview "
                "shows it, %% of one core, %d runs each:\n",
                static_cast<long long>(kRestPeriod.count()), kRounds);
    constexpr const char* names[] = {"the list's process", "the program", "Wine's server"};
    const auto percent = [&](std::size_t build, std::size_t process)
    {
        const Figures& f = figures[build];
        return process < 3 ? 100.0 * f.rested[process] / f.restedWall
                           : 100.0 * (f.rested[0] + f.rested[1] + f.rested[2]) / f.restedWall;
    };
    for (std::size_t process = 0; process <= 3; ++process)
    {
        const double oldPercent = percent(kOld, process);
        const double newPercent = percent(kNew, process);
        std::printf("  %-19s old %6.2f   new %6.2f   new/old %s\n",
                    process < 3 ? names[process] : "all three", oldPercent, newPercent,
                    Ratio(newPercent, oldPercent).c_str());
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && std::wcscmp(argv[1], L"--list") == 0)
    {
        return ServeList();
    }
    std::array<std::wstring, 2> programs{L"", e2e::BuiltProgram()};
    bool understood = argc % 2 == 1;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const bool isNew = std::wcscmp(argv[i], L"--new") == 0;
        understood = understood && (isNew || std::wcscmp(argv[i], L"--old") == 0);
        programs[isNew ? kNew : kOld] = argv[i + 1];
    }
    if (!understood || programs[kOld].empty())
    {
        std::fprintf(stderr, "usage: bench_listview --old PATH [--new PATH] (program files; the "
                             "new defaults to the mirufon.exe beside this)\n");
        return 2;
    }
    std::printf("Old against new over a list view of %d rows x %d columns in another process, "
                "alternated run by run, %d runs each (old %s, new %s)\n",
                kListRows, kListColumns, kRounds, e2e::Utf8(programs[kOld]).c_str(),
                e2e::Utf8(programs[kNew]).c_str());
    std::fflush(stdout);
    try
    {
        const ListProcess list;
        Require(list.List() != nullptr, "the list's process did not start");
        const unsigned long server = e2e::FindWineServer();
        const unsigned long listProcess = e2e::FindUnixCommand(L"bench_listview.exe --list");
        Require(server != 0 && listProcess != 0,
                "the Unix processes of the list or of Wine's server were not found");
        // This process reads in the program's place for the bare calls.
        const Processes bareReaders{listProcess, 0, server};
        std::array<Figures, 2> figures;
        Reads bare;
        for (int round = 0; round < kRounds; ++round)
        {
            std::size_t chars = 0;
            const std::array<double, 3> before = ProcessorSeconds(bareReaders);
            bare.ms.push_back(BareListReads(list.List(), chars));
            bare.seconds.push_back(Sum(ProcessorSeconds(bareReaders)) - Sum(before));
            Require(chars > 0, "the bare calls read nothing");
            for (const std::size_t build : {kOld, kNew})
            {
                Run(programs[build], list, bareReaders).MeasureInto(figures[build]);
            }
        }
        PrintHarvest(figures, bare);
        PrintCaptures(figures);
        PrintRest(figures);
    }
    catch (const BenchFailure& failure)
    {
        std::fprintf(stderr, "bench_listview: %s\n", failure.what());
        return 1;
    }
    return 0;
}
