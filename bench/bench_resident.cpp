// Old against new in one run: what two builds of the program cost while they sit resident and
// how long their window stalls when other programs misbehave on the clipboard. The builds are
// alternated (old, new, old, new...), each run in a fresh folder, so that a change in the
// machine's load hits both alike. Figures:
//  - idle processor time in four states (running with the pointer resting on another program,
//    stopped, minimized, in the tray), from the Unix processes of the program and of Wine's
//    server, which does the work of every call that crosses processes;
//  - the preview's latency after a pointer move between two elements, after short pauses and
//    after rests of over a second (when the tick has slowed);
//  - new build only: how soon the preview shows a text that changes under a resting pointer;
//  - the main window's message delay while a clipboard viewer after the program hangs, while
//    an owner takes seconds to render its copy, and while another program holds the clipboard
//    open, and whether the copy still arrives.
//
// Usage: bench_resident --old PATH [--new PATH]; the new build defaults to the mirufon.exe
// beside the benchmark.

#include "BenchMessages.h"
#include "BenchStats.h"
#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Clipboard.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/HungTarget.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/ProcessCounters.h"
#include "e2e/harness/Target.h"
#include "e2e/harness/Tray.h"
#include "platform/win32/mainwindow/ControlIds.h"

#include <array>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <optional>
#include <stdexcept>
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
constexpr std::array kBuilds{kOld, kNew};

constexpr int kIdleRounds = 2;
constexpr auto kIdlePeriod = 5s;
// After a state is reached and before it is measured: start-up's last work (the journal's
// first write, the window's first paints) is over by then.
constexpr auto kSettle = 1s;
constexpr int kMoveRounds = 2;
constexpr int kMovesPerRound = 20;
// Moves after the pointer rested longer than the second after which the tick slows.
constexpr int kRestedMovesPerRound = 8;
constexpr int kTextChanges = 20;
constexpr int kHazardRounds = 2;
constexpr auto kHazardLength = 5s;
constexpr auto kDelayGap = 50ms;
// Labels and figures line up in columns.
constexpr int kLabelWidth = 29;

constexpr char kConf[] = "add copy = 1\r\n";
constexpr char kTrayConf[] = "task tray = 1\r\ncustom msg = 0\r\nadd copy = 1\r\n";
constexpr COLORREF kStoppedFrame = RGB(248, 248, 248);
constexpr wchar_t kClipboardErrorTitle[] = L"クリップボードエラー";
constexpr wchar_t kClipboardErrorItem[] = L"%%%% error addclip %%%%";

// Thrown when the benchmark cannot go on; says what failed.
struct BenchFailure : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

void Require(bool ok, const std::string& what)
{
    if (!ok)
    {
        throw BenchFailure(what);
    }
}

std::string Ratio(double oldFigure, double newFigure)
{
    if (oldFigure <= 0.0)
    {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", newFigure / oldFigure);
    return text;
}

// A varying period, so that inputs do not fall into step with the program's timers.
std::chrono::milliseconds VaryingPause(int sample)
{
    return std::chrono::milliseconds(150 + sample * 73 % 200);
}

// The same, longer than a second: a rest.
std::chrono::milliseconds VaryingRest(int sample)
{
    return std::chrono::milliseconds(1200 + sample * 137 % 400);
}

// Where the program runs: with its window on screen, or in the tray.
enum class Mode
{
    Window,
    Tray,
};

// One build started in a folder of its own, with copy capture on, closed at the end.
class Session
{
  public:
    Session(const std::wstring& program, Mode mode)
    {
        Require(e2e::WriteBytes(m_folder.File(L"Conf.txt"), mode == Mode::Tray ? kTrayConf : kConf),
                "cannot write Conf.txt");
        m_app.emplace(m_folder, L"mirufon.exe", program);
        // Start-up is over when the window shows, or in the tray when it exists.
        Require(e2e::WaitUntil(
                    [&]
                    {
                        m_main = m_app->FindWindowOf(mirufon::win32::kMainWindowClass, L"");
                        return m_main && (mode == Mode::Tray || ::IsWindowVisible(m_main));
                    },
                    30s),
                "the program did not start: " + e2e::Utf8(program) + " " +
                    e2e::Utf8(m_app->StartError()));
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session()
    {
        if (m_app)
        {
            m_app->Close();
        }
    }

    const e2e::App& App() const { return *m_app; }
    HWND Main() const { return m_main; }
    HWND Log() const { return e2e::Control(m_main, kIdLog); }
    HWND PreviewName() const { return e2e::Control(m_main, kIdPreviewName); }
    unsigned long UnixProcess() const { return e2e::FindUnixProgram(m_folder.Name()); }

    // Waits until the preview shows the name: the program is up and reads under the pointer.
    void WaitForPreview(const std::wstring& name) const
    {
        std::wstring shown;
        Require(e2e::WaitUntil(
                    [&]
                    {
                        shown = e2e::WindowText(PreviewName());
                        return shown == name;
                    },
                    10s),
                "the preview showed \"" + e2e::Utf8(shown) + "\", not \"" + e2e::Utf8(name) + "\"");
    }

    // Waits until the log ends with the text.
    bool LogEndsWith(const std::wstring& text) const
    {
        return e2e::WaitUntil(
            [&]
            {
                const std::wstring log = e2e::WindowText(Log());
                return log.size() >= text.size() &&
                       log.compare(log.size() - text.size(), text.size(), text) == 0;
            },
            10s);
    }

  private:
    e2e::TempFolder m_folder;
    std::optional<e2e::App> m_app;
    HWND m_main = nullptr;
};

// Whether the pointer is on the point, as every program sees it.
bool PointerIs(POINT point)
{
    POINT now{};
    return ::GetCursorPos(&now) && now.x == point.x && now.y == point.y;
}

// Whether the pointer stays on the point for the period, polled without pumping.
bool PointerStays(POINT point, std::chrono::milliseconds period)
{
    const auto start = BenchClock::now();
    while (BenchClock::now() - start < period)
    {
        if (!PointerIs(point))
        {
            return false;
        }
        ::Sleep(2);
    }
    return true;
}

// The milliseconds from start until the control shows the text, polled without pumping (the
// windows the program reads live on threads of their own); nothing after the timeout.
std::optional<double> MillisecondsUntilText(HWND control, const std::wstring& text,
                                            BenchClock::time_point start)
{
    while (e2e::WindowText(control) != text)
    {
        if (BenchClock::now() - start > 5s)
        {
            return std::nullopt;
        }
        ::Sleep(1);
    }
    return MicrosecondsSince(start) / 1000.0;
}

// --- Idle processor time ---

enum class IdleState
{
    Resting,
    Stopped,
    Minimized,
    InTray,
};
constexpr std::array kIdleStates{IdleState::Resting, IdleState::Stopped, IdleState::Minimized,
                                 IdleState::InTray};
constexpr const char* kIdleStateNames[] = {"resting on another window", "stopped (Shift+G)",
                                           "minimized", "in the tray"};

// Seconds of processor time of the program's and the server's Unix processes, and of wall time.
struct ProcessorTime
{
    double program = 0.0;
    double server = 0.0;
    double wall = 0.0;

    ProcessorTime& operator+=(const ProcessorTime& other)
    {
        program += other.program;
        server += other.server;
        wall += other.wall;
        return *this;
    }
    double ProgramPercent() const { return 100.0 * program / wall; }
    double ServerPercent() const { return 100.0 * server / wall; }
    double TotalPercent() const { return ProgramPercent() + ServerPercent(); }
};

// Puts a freshly started session into the state and returns once it is there.
void Enter(const Session& session, IdleState state, const e2e::TargetWindow& target)
{
    if (state == IdleState::InTray)
    {
        Require(e2e::WaitUntil([] { return e2e::FindTrayIcon().has_value(); }, 10s),
                "no icon in the tray");
        Require(!::IsWindowVisible(session.Main()), "the window shows while in the tray");
        return;
    }
    session.WaitForPreview(target.ButtonCaption());
    if (state == IdleState::Stopped)
    {
        Require(e2e::PressChord({VK_SHIFT}, 'G'), "Shift+G was refused");
        Require(static_cast<bool>(e2e::WaitForLogFrame(session.Main(), kStoppedFrame)),
                "the stop did not settle");
    }
    else if (state == IdleState::Minimized)
    {
        ::ShowWindow(session.Main(), SW_MINIMIZE);
        Require(e2e::WaitUntil([&] { return ::IsIconic(session.Main()) != FALSE; }, 5s),
                "the window was not minimized");
    }
}

// Sleeps through the period, so that nothing of the driver's own runs meanwhile but its
// windows' threads, and returns what the two Unix processes used.
ProcessorTime MeasureIdle(unsigned long program, unsigned long server)
{
    const double programBefore = e2e::UnixProcessorSeconds(program);
    const double serverBefore = e2e::UnixProcessorSeconds(server);
    const auto start = BenchClock::now();
    ::Sleep(static_cast<DWORD>(std::chrono::milliseconds(kIdlePeriod).count()));
    ProcessorTime used;
    used.wall = MicrosecondsSince(start) / 1e6;
    used.program = e2e::UnixProcessorSeconds(program) - programBefore;
    used.server = e2e::UnixProcessorSeconds(server) - serverBefore;
    Require(programBefore >= 0.0 && serverBefore >= 0.0 && used.program >= 0.0 &&
                used.server >= 0.0,
            "the processor time could not be read");
    return used;
}

ProcessorTime IdleRun(const std::wstring& program, IdleState state, const e2e::TargetWindow& target,
                      unsigned long server)
{
    if (state == IdleState::InTray)
    {
        // The icon of an earlier run may linger until the taskbar repaints.
        Require(e2e::WaitUntil([] { return !e2e::FindTrayIcon().has_value(); }, 5s),
                "an earlier icon stayed in the tray");
    }
    const Session session(program, state == IdleState::InTray ? Mode::Tray : Mode::Window);
    Enter(session, state, target);
    const unsigned long unixProcess = session.UnixProcess();
    Require(unixProcess != 0, "the program's Unix process was not found");
    ::Sleep(static_cast<DWORD>(std::chrono::milliseconds(kSettle).count()));
    return MeasureIdle(unixProcess, server);
}

void MeasureAndPrintIdle(const std::array<std::wstring, 2>& programs,
                         const e2e::TargetWindow& target)
{
    const unsigned long server = e2e::FindWineServer();
    Require(server != 0, "Wine's server for this prefix was not found");
    std::printf("Idle processor time, %% of one core: program + Wine's server (the server alone "
                "in brackets), %d x %lld s each:\n",
                kIdleRounds, static_cast<long long>(kIdlePeriod.count()));
    for (const IdleState state : kIdleStates)
    {
        std::array<ProcessorTime, 2> used{};
        for (int round = 0; round < kIdleRounds; ++round)
        {
            for (const std::size_t build : kBuilds)
            {
                used[build] += IdleRun(programs[build], state, target, server);
            }
        }
        std::printf("  %-*s old %6.2f (%5.2f)   new %6.2f (%5.2f)   new/old %s\n", kLabelWidth - 2,
                    kIdleStateNames[static_cast<int>(state)], used[kOld].TotalPercent(),
                    used[kOld].ServerPercent(), used[kNew].TotalPercent(),
                    used[kNew].ServerPercent(),
                    Ratio(used[kOld].TotalPercent(), used[kNew].TotalPercent()).c_str());
        std::fflush(stdout);
    }
}

// --- The preview ---

// Puts the pointer on the point until it stays there and waits until the preview shows the
// name.
void PlacePointer(const Session& session, POINT point, const std::wstring& name)
{
    Require(e2e::WaitUntil(
                [&]
                {
                    ::SetCursorPos(point.x, point.y);
                    return PointerStays(point, 300ms);
                },
                10s),
            "the pointer did not stay on its point");
    session.WaitForPreview(name);
}

// Moves the pointer to the point with SetCursorPos and returns the milliseconds until the
// preview shows the name. Under Wine's virtual desktop a late motion event sometimes puts the
// pointer back where it was for a while: then it is moved again, counted in movedAgain, and
// the time counts from that move. Nothing after the timeout.
std::optional<double> MoveAndTime(HWND preview, POINT point, const std::wstring& name,
                                  int& movedAgain)
{
    const auto deadline = BenchClock::now() + 5s;
    auto start = BenchClock::now();
    ::SetCursorPos(point.x, point.y);
    while (e2e::WindowText(preview) != name)
    {
        if (BenchClock::now() > deadline)
        {
            return std::nullopt;
        }
        if (!PointerIs(point))
        {
            ++movedAgain;
            start = BenchClock::now();
            ::SetCursorPos(point.x, point.y);
        }
        ::Sleep(1);
    }
    return MicrosecondsSince(start) / 1000.0;
}

// The preview's latencies after moves of the pointer, and how often Wine put it back.
struct MoveRun
{
    std::vector<double> latencies;
    int movedAgain = 0;
};

using Pause = std::chrono::milliseconds (*)(int sample);

// Moves the pointer between the target's button and its label and measures each move, with
// the pauses between them. A pointer that does not stay put after a move is put back before
// the next.
MoveRun MoveLatencies(const std::wstring& program, const e2e::TargetWindow& target, int moves,
                      Pause pause)
{
    const Session session(program, Mode::Window);
    const std::array<POINT, 2> points{target.ButtonCentre(), target.LabelCentre()};
    const std::array<std::wstring, 2> names{target.ButtonCaption(), e2e::TargetWindow::kLabelText};
    PlacePointer(session, points[0], names[0]);
    MoveRun run;
    for (int move = 1; move <= moves; ++move)
    {
        const std::size_t to = static_cast<std::size_t>(move % 2);
        const std::optional<double> latency =
            MoveAndTime(session.PreviewName(), points[to], names[to], run.movedAgain);
        Require(latency.has_value(), "the preview did not follow a move");
        run.latencies.push_back(*latency);
        if (!PointerStays(points[to], pause(move)))
        {
            ++run.movedAgain;
            PlacePointer(session, points[to], names[to]);
        }
    }
    PlacePointer(session, points[0], names[0]);
    return run;
}

struct PercentileRow
{
    const char* name;
    double fraction;
};

// One line per row: the percentile of the old and the new build's samples, and their ratio.
void PrintPercentiles(const std::array<std::vector<double>, 2>& samples,
                      std::initializer_list<PercentileRow> rows, int indent)
{
    for (const PercentileRow& row : rows)
    {
        const double oldFigure = Percentile(samples[kOld], row.fraction);
        const double newFigure = Percentile(samples[kNew], row.fraction);
        std::printf("%*s%-*s old %7.1f ms   new %7.1f ms   new/old %s\n", indent, "",
                    kLabelWidth - indent, row.name, oldFigure, newFigure,
                    Ratio(oldFigure, newFigure).c_str());
    }
}

void MeasureAndPrintMoves(const std::array<std::wstring, 2>& programs,
                          const e2e::TargetWindow& target, int moves, Pause pause,
                          const char* after)
{
    std::array<std::vector<double>, 2> latencies;
    std::array<int, 2> movedAgain{};
    for (int round = 0; round < kMoveRounds; ++round)
    {
        for (const std::size_t build : kBuilds)
        {
            const MoveRun run = MoveLatencies(programs[build], target, moves, pause);
            latencies[build].insert(latencies[build].end(), run.latencies.begin(),
                                    run.latencies.end());
            movedAgain[build] += run.movedAgain;
        }
    }
    std::printf("Preview latency after a move %s (SetCursorPos to the new name in the "
                "preview, button <-> label), %d moves each (moved again after Wine put the "
                "pointer back: old %d, new %d):\n",
                after, kMoveRounds * moves, movedAgain[kOld], movedAgain[kNew]);
    PrintPercentiles(latencies, {{"median", 0.5}, {"90th percentile", 0.9}, {"worst", 1.0}}, 2);
    std::fflush(stdout);
}

// The button's caption changes under the resting pointer; the milliseconds from each change
// until the preview shows it.
std::vector<double> ChangeLatencies(const std::wstring& program, const e2e::TargetWindow& target)
{
    const Session session(program, Mode::Window);
    const POINT button = target.ButtonCentre();
    PlacePointer(session, button, target.ButtonCaption());
    std::vector<double> latencies;
    for (int change = 0; change < kTextChanges; ++change)
    {
        const std::wstring text = L"変更 changed " + std::to_wstring(change);
        const auto start = BenchClock::now();
        ::SetWindowTextW(target.Button(), text.c_str());
        const std::optional<double> latency =
            MillisecondsUntilText(session.PreviewName(), text, start);
        Require(latency.has_value(), "the preview did not show a changed text");
        latencies.push_back(*latency);
        ::Sleep(static_cast<DWORD>(VaryingPause(change).count()));
    }
    ::SetWindowTextW(target.Button(), target.ButtonCaption().c_str());
    return latencies;
}

void MeasureAndPrintChanges(const std::wstring& newProgram, const e2e::TargetWindow& target)
{
    const std::vector<double> latencies = ChangeLatencies(newProgram, target);
    std::printf("Preview of a text that changes under the resting pointer (new only; the old "
                "reads every tick), %d changes: median %.1f ms, worst %.1f ms\n",
                kTextChanges, Percentile(latencies, 0.5), Percentile(latencies, 1.0));
    std::fflush(stdout);
}

// --- Clipboard hazards ---

struct HazardRun
{
    std::vector<double> delays;
    bool arrived = false;
};

// A window in the clipboard viewer chain for the object's life.
class ViewerChainEntry
{
  public:
    explicit ViewerChainEntry(HWND window) : m_window(window), m_next(::SetClipboardViewer(window))
    {
    }
    ViewerChainEntry(const ViewerChainEntry&) = delete;
    ViewerChainEntry& operator=(const ViewerChainEntry&) = delete;
    ~ViewerChainEntry() { ::ChangeClipboardChain(m_window, m_next); }

  private:
    HWND m_window;
    HWND m_next;
};

std::vector<double> DelaysWhile(const Session& session, const std::function<bool()>& lasting)
{
    return PostedMessageDelays(session.Log(), lasting, kDelayGap);
}

// A viewer that joined the chain before the program stops responding, then a copy is made:
// a program in the chain passes the change on to it.
HazardRun HungNextViewer(const std::wstring& program, e2e::TargetWindow& target,
                         const std::wstring& text)
{
    e2e::HungTarget viewer;
    Require(viewer.Started(), "the viewer window did not start");
    const ViewerChainEntry entry(viewer.Handle());
    const Session session(program, Mode::Window);
    session.WaitForPreview(target.ButtonCaption());
    target.BringToFront();
    Require(viewer.StopResponding(kHazardLength), "the viewer did not stop responding");
    Require(e2e::SetClipboardText(target.Handle(), text), "the copy failed");
    HazardRun run;
    run.delays = DelaysWhile(session, [&] { return viewer.IsHung(); });
    Require(viewer.WaitUntilRecovered(10s), "the viewer did not recover");
    run.arrived = session.LogEndsWith(text);
    return run;
}

// The clipboard's owner takes seconds to render the copy that the program asks for.
HazardRun SlowOwner(const std::wstring& program, e2e::TargetWindow& target,
                    const std::wstring& text)
{
    const Session session(program, Mode::Window);
    session.WaitForPreview(target.ButtonCaption());
    e2e::HungTarget owner;
    Require(owner.Started(), "the owner window did not start");
    target.BringToFront();
    Require(owner.OfferSlowText(text, kHazardLength), "the slow copy could not be offered");
    Require(e2e::WaitUntil([&] { return owner.IsHung(); }, 3s), "nobody asked for the copy");
    HazardRun run;
    run.delays = DelaysWhile(session, [&] { return owner.IsHung(); });
    run.arrived = session.LogEndsWith(text);
    return run;
}

// Another program holds the clipboard open while the program hears of a change, by the
// viewer chain's message and by the listener's; after its tries it shows the error box, and
// once that is dismissed, the error item. A text is on the clipboard before the program starts,
// as a program reads only a clipboard that holds one.
HazardRun HeldOpen(const std::wstring& program, e2e::TargetWindow& target)
{
    Require(e2e::SetClipboardText(target.Handle(), L"held"), "the copy failed");
    const Session session(program, Mode::Window);
    session.WaitForPreview(target.ButtonCaption());
    target.BringToFront();
    e2e::ClipboardHold hold(target.Handle());
    Require(hold.Held(), "the clipboard could not be held");
    const auto start = BenchClock::now();
    ::SendNotifyMessageW(session.Main(), WM_DRAWCLIPBOARD,
                         reinterpret_cast<WPARAM>(target.Handle()), 0);
    ::PostMessageW(session.Main(), WM_CLIPBOARDUPDATE, 0, 0);
    HazardRun run;
    run.delays = DelaysWhile(session, [&] { return BenchClock::now() - start < kHazardLength; });
    hold.Release();
    const HWND box = e2e::WaitForMessageBox(session.App(), kClipboardErrorTitle, 10s);
    Require(box != nullptr, "no clipboard error box");
    Require(e2e::DismissMessageBox(box), "the clipboard error box stayed");
    run.arrived = session.LogEndsWith(kClipboardErrorItem);
    return run;
}

using Hazard = std::function<HazardRun(const std::wstring& program, int run)>;

void MeasureAndPrintHazard(const char* name, const std::array<std::wstring, 2>& programs,
                           const Hazard& hazard)
{
    std::array<std::vector<double>, 2> delays;
    std::array<int, 2> arrived{};
    int run = 0;
    for (int round = 0; round < kHazardRounds; ++round)
    {
        for (const std::size_t build : kBuilds)
        {
            const HazardRun result = hazard(programs[build], run++);
            delays[build].insert(delays[build].end(), result.delays.begin(), result.delays.end());
            arrived[build] += result.arrived ? 1 : 0;
        }
    }
    std::printf("  %s:\n", name);
    PrintPercentiles(delays, {{"worst", 1.0}, {"median", 0.5}}, 4);
    std::printf("    %-*s old %d of %d        new %d of %d%s\n", kLabelWidth - 4, "copies arrived",
                arrived[kOld], kHazardRounds, arrived[kNew], kHazardRounds,
                arrived[kOld] + arrived[kNew] == 2 * kHazardRounds ? "" : "   (MISSING)");
    std::fflush(stdout);
}

void MeasureAndPrintHazards(const std::array<std::wstring, 2>& programs, e2e::TargetWindow& target)
{
    std::printf("The main window's message delay while a clipboard hazard lasts (about %lld s), "
                "%d runs each (a message posted to the log every %lld ms):\n",
                static_cast<long long>(kHazardLength.count()), kHazardRounds,
                static_cast<long long>(kDelayGap.count()));
    const auto copyText = [](const wchar_t* hazard, int run)
    { return std::wstring(L"コピー copy ") + hazard + L" " + std::to_wstring(run); };
    MeasureAndPrintHazard("a viewer after the program in the chain stops responding", programs,
                          [&](const std::wstring& program, int run)
                          { return HungNextViewer(program, target, copyText(L"viewer", run)); });
    MeasureAndPrintHazard("the owner takes 5 s to render the copy", programs,
                          [&](const std::wstring& program, int run)
                          { return SlowOwner(program, target, copyText(L"owner", run)); });
    MeasureAndPrintHazard("another program holds the clipboard open (error item arrived)", programs,
                          [&](const std::wstring& program, int)
                          { return HeldOpen(program, target); });
}

// --- Arguments ---

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The old and the new program's paths from --old PATH and --new PATH; empty on a bad line.
std::optional<std::array<std::wstring, 2>> ProgramsFrom(int argc, wchar_t** argv)
{
    std::array<std::wstring, 2> programs{L"", e2e::BuiltProgram()};
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::wstring option = argv[i];
        if (option != L"--old" && option != L"--new")
        {
            return std::nullopt;
        }
        programs[option == L"--old" ? kOld : kNew] = argv[i + 1];
    }
    if (argc % 2 == 0 || !IsFile(programs[kOld]) || !IsFile(programs[kNew]))
    {
        return std::nullopt;
    }
    return programs;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const auto programs = ProgramsFrom(argc, argv);
    if (!programs)
    {
        std::fprintf(stderr, "usage: bench_resident --old PATH [--new PATH] (both existing "
                             "program files; the new defaults to the mirufon.exe beside this)\n");
        return 2;
    }
    std::printf("Old against new, alternated run by run (old %s, new %s): idle processor time, "
                "preview latency, message delays under clipboard hazards\n",
                e2e::Utf8((*programs)[kOld]).c_str(), e2e::Utf8((*programs)[kNew]).c_str());
    std::fflush(stdout);
    try
    {
        e2e::TargetWindow target;
        target.BringToFront();
        Require(e2e::MovePointer(target.ButtonCentre()), "the pointer could not be placed");
        MeasureAndPrintIdle(*programs, target);
        MeasureAndPrintMoves(*programs, target, kMovesPerRound, VaryingPause,
                             "after 150 to 350 ms at rest");
        MeasureAndPrintMoves(*programs, target, kRestedMovesPerRound, VaryingRest,
                             "after 1.2 to 1.6 s at rest");
        MeasureAndPrintChanges((*programs)[kNew], target);
        MeasureAndPrintHazards(*programs, target);
    }
    catch (const BenchFailure& failure)
    {
        std::fprintf(stderr, "bench_resident: %s\n", failure.what());
        return 1;
    }
    return 0;
}
