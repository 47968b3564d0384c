// Capture latency with the journal on against off, measured from outside as a user meets it:
// the time from a hotkey press (SendInput) to the item in the log, 100 presses each on a log of
// 1 MB, the two modes alternated in blocks of 25 so that both see the same machine. With the
// journal on, its text is taken every 2 s on the program's main thread and written on a worker;
// with it off (no folder can hold it), nothing is.

#include "BenchInput.h"
#include "BenchStats.h"
#include "e2e/harness/Clipboard.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/LogFiles.h"
#include "e2e/harness/Target.h"
#include "platform/win32/mainwindow/ControlIds.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace
{

using namespace mirufon::bench;
using namespace std::chrono_literals;

constexpr int kBlocks = 4;
constexpr int kPressesPerBlock = 25;
constexpr std::size_t kLogChars = std::size_t{1} << 20;
// A brisk user's pace; a block then spans a few of the journal's 2 s periods.
constexpr auto kPause = 150ms;

void Pump()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// Lines of captured items, Japanese and ASCII, tab-separated, to about 1 MB of characters.
std::wstring LongLog()
{
    std::wstring log;
    for (int line = 0; log.size() < kLogChars; ++line)
    {
        log += L"項目 item " + std::to_wstring(line) + L"\t値 value\r\n";
    }
    log.resize(kLogChars);
    return log;
}

// Presses Shift+A and waits, answering this thread's windows, until the log's length differs
// from before: the time from just before the input.
bool PressAndTime(HWND log, double& milliseconds)
{
    const LRESULT before = ::SendMessageW(log, WM_GETTEXTLENGTH, 0, 0);
    const auto start = BenchClock::now();
    SendShiftChord('A');
    while (::SendMessageW(log, WM_GETTEXTLENGTH, 0, 0) == before)
    {
        Pump();
        if (MicrosecondsSince(start) > 5e6)
        {
            return false;
        }
    }
    milliseconds = MicrosecondsSince(start) / 1000.0;
    return true;
}

// Pastes the long log at the end of the log, as a user would, and puts the pointer back on
// the target's button. (A WM_SETTEXT of that size sent from another process overflows the
// receiving thread's stack under Wine.)
bool FillLog(HWND main, HWND log, const e2e::TargetWindow& target)
{
    const LRESULT before = ::SendMessageW(log, WM_GETTEXTLENGTH, 0, 0);
    if (!e2e::SetClipboardText(target.Handle(), LongLog()))
    {
        return false;
    }
    RECT box{};
    ::GetWindowRect(log, &box);
    e2e::ClickAt(POINT{(box.left + box.right) / 2, (box.top + box.bottom) / 2});
    if (!e2e::WaitUntil([&] { return ::GetForegroundWindow() == main; }, 5s))
    {
        return false;
    }
    e2e::PressChord({VK_CONTROL}, VK_END);
    e2e::PressChord({VK_CONTROL}, 'V');
    const bool filled = e2e::WaitUntil(
        [&] {
            return ::SendMessageW(log, WM_GETTEXTLENGTH, 0, 0) >=
                   before + static_cast<LRESULT>(kLogChars);
        },
        60s);
    e2e::MovePointer(target.ButtonCentre());
    return filled;
}

// When the file was last written; nothing when it does not exist.
std::optional<ULONGLONG> WriteTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
    {
        return std::nullopt;
    }
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

// One run of the program with a 1 MB log and kPressesPerBlock timed captures. Without the
// journal, a file stands where its folder would go.
bool RunBlock(bool journal, const e2e::TargetWindow& target, std::vector<double>& latencies,
              int& writes, std::size_t& journalBytes)
{
    e2e::TempFolder folder;
    if (!journal)
    {
        e2e::WriteBytes(folder.File(L"Mirufon"), "");
    }
    e2e::App app(folder);
    const HWND main = app.MainWindow();
    if (!main)
    {
        std::fprintf(stderr, "the program did not start: %ls\n", app.StartError().c_str());
        return false;
    }
    const HWND log = ::GetDlgItem(main, mirufon::win32::kIdLog);
    e2e::MovePointer(target.ButtonCentre());
    double ignored = 0;
    // The first capture replaces the introduction; then the log is made 1 MB long.
    if (!PressAndTime(log, ignored))
    {
        return false;
    }
    if (!FillLog(main, log, target))
    {
        std::fprintf(stderr, "the log could not be filled\n");
        return false;
    }
    const std::wstring journalPath = e2e::JournalOf(folder);
    std::optional<ULONGLONG> lastWrite = WriteTime(journalPath);
    for (int press = 0; press < kPressesPerBlock; ++press)
    {
        double milliseconds = 0;
        if (!PressAndTime(log, milliseconds))
        {
            std::fprintf(stderr,
                         "press %d of a block with the journal %s was not captured (log of "
                         "%lld characters)\n",
                         press, journal ? "on" : "off",
                         static_cast<long long>(::SendMessageW(log, WM_GETTEXTLENGTH, 0, 0)));
            return false;
        }
        latencies.push_back(milliseconds);
        e2e::PumpMessages(kPause);
        const std::optional<ULONGLONG> written = WriteTime(journalPath);
        if (written && written != lastWrite)
        {
            ++writes;
            lastWrite = written;
        }
    }
    journalBytes = e2e::ReadBytes(journalPath).value_or("").size();
    app.Close();
    return true;
}

} // namespace

int wmain()
{
    e2e::TargetWindow target;
    target.BringToFront();
    std::vector<double> on;
    std::vector<double> off;
    std::size_t journalBytes = 0;
    std::size_t ignored = 0;
    int writes = 0;
    for (int block = 0; block < kBlocks; ++block)
    {
        // Alternated, and which goes first alternates too.
        const bool onFirst = block % 2 == 0;
        for (const bool journal : {onFirst, !onFirst})
        {
            if (!RunBlock(journal, target, journal ? on : off, writes,
                          journal ? journalBytes : ignored))
            {
                return 1;
            }
        }
    }
    const double medianOn = Percentile(on, 0.5);
    const double medianOff = Percentile(off, 0.5);
    const double worstOn = Percentile(on, 1.0);
    const double worstOff = Percentile(off, 1.0);
    std::printf("Capture latency on a 1 MB log, hotkey input to item in the log, %zu presses "
                "each, journal on against off:\n",
                on.size());
    std::printf("  median %.1f ms against %.1f ms (%.2fx), 90th percentile %.1f ms against %.1f "
                "ms, worst %.1f ms against %.1f ms (%.2fx)\n",
                medianOn, medianOff, medianOn / medianOff, Percentile(on, 0.9),
                Percentile(off, 0.9), worstOn, worstOff, worstOn / worstOff);
    std::printf("  the journal was written %d times during the timed presses and held %zu bytes "
                "at the end of its last run\n",
                writes, journalBytes);
    return 0;
}
