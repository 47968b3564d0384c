// The soak: the real program driven for thousands of steps as a user would drive it, captures
// (name, value, newline, cancel in turn), stop and resume, the settings dialog opened and
// closed, and copies at a person's pace, all interleaved. A table of what the program holds
// (GDI objects, handles, open files, windows, memory) is printed at the start and every 1,000
// steps, and the log is compared with a model of what was captured. Not part of the tests: it
// runs for many minutes. An optional argument scales the step counts (0.1 for a short run).

#include "e2e/harness/Clipboard.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/ProcessCounters.h"
#include "e2e/harness/Target.h"
#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/settingsdialog/SettingsDialogIds.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace
{

using namespace std::chrono_literals;
using namespace mirufon::win32;

enum class Step
{
    Capture,
    StopResume,
    Dialog,
    Copy,
};

// How the log should read: items joined by CR LF, a newline appended as CR LF, and a cancel
// cutting the log before its last CR LF.
class LogModel
{
  public:
    void Item(const std::wstring& item)
    {
        if (m_text.size() >= 2 && m_text.back() != L'\n')
        {
            m_text += L"\r\n";
        }
        m_text += item;
    }
    void LineBreak() { m_text += L"\r\n"; }
    void Cancel()
    {
        const std::size_t cut = m_text.rfind(L"\r\n");
        m_text.resize(cut == std::wstring::npos ? 0 : cut);
    }
    const std::wstring& Text() const { return m_text; }
    void Resync(std::wstring text) { m_text = std::move(text); }

  private:
    std::wstring m_text;
};

// The steps in an even mix: each step is the kind that is furthest behind its share.
std::vector<Step> Plan(const std::array<int, 4>& counts)
{
    int total = 0;
    for (const int count : counts)
    {
        total += count;
    }
    std::vector<Step> plan;
    std::array<int, 4> done{};
    for (int i = 0; i < total; ++i)
    {
        std::size_t behind = 0;
        double most = -1e9;
        for (std::size_t kind = 0; kind < counts.size(); ++kind)
        {
            const double lag = static_cast<double>(counts[kind]) * (i + 1) / total - done[kind];
            if (done[kind] < counts[kind] && lag > most)
            {
                most = lag;
                behind = kind;
            }
        }
        ++done[behind];
        plan.push_back(static_cast<Step>(behind));
    }
    return plan;
}

COLORREF LogFrameColour(HWND main)
{
    RECT log{};
    ::GetWindowRect(::GetDlgItem(main, kIdLog), &log);
    HDC dc = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(dc, log.left - 3, log.top + 10);
    ::ReleaseDC(nullptr, dc);
    return colour;
}

class Soak
{
  public:
    explicit Soak(double scale) : m_scale(scale) {}

    int Run()
    {
        if (!e2e::WriteBytes(m_folder.File(L"Conf.txt"), "add copy = 1\r\n"))
        {
            std::printf("cannot write Conf.txt\n");
            return 1;
        }
        m_app.emplace(m_folder);
        m_main = m_app->MainWindow();
        if (!m_main)
        {
            std::printf("the main window did not appear\n");
            return 1;
        }
        m_target.emplace();
        m_target->BringToFront();
        m_counters.emplace(m_app->ProcessId(), m_folder.Name());
        std::printf("Unix process of the program: %lu\n", m_counters->UnixProcessId());

        const std::array<int, 4> counts = {Scaled(5000), Scaled(500), Scaled(100), Scaled(1000)};
        const std::vector<Step> plan = Plan(counts);
        std::printf("%d captures, %d stop/resume, %d settings dialogs, %d copies: %zu steps\n\n",
                    counts[0], counts[1], counts[2], counts[3], plan.size());
        PrintHeader();
        Row(0);
        for (std::size_t i = 0; i < plan.size(); ++i)
        {
            m_current = i + 1;
            Do(plan[i]);
            if ((i + 1) % 1000 == 0 || i + 1 == plan.size())
            {
                Row(i + 1);
            }
        }
        return Verdict();
    }

  private:
    int Scaled(int count) const { return std::max(1, static_cast<int>(count * m_scale + 0.5)); }

    void Do(Step step)
    {
        switch (step)
        {
        case Step::Capture:
            Capture();
            break;
        case Step::StopResume:
            StopResume();
            break;
        case Step::Dialog:
            Dialog();
            break;
        case Step::Copy:
            Copy();
            break;
        }
    }

    // Name, value, newline and cancel in turn.
    void Capture()
    {
        switch (m_captures++ % 4)
        {
        case 0:
            e2e::MovePointer(m_target->ButtonCentre());
            e2e::PressChord({VK_SHIFT}, 'A');
            m_model.Item(m_target->ButtonCaption());
            break;
        case 1:
            e2e::MovePointer(m_target->EditCentre());
            e2e::PressChord({VK_SHIFT}, 'Z');
            m_model.Item(m_target->EditValue());
            break;
        case 2:
            e2e::PressChord({VK_SHIFT}, 'E');
            m_model.LineBreak();
            break;
        default:
            e2e::PressChord({VK_SHIFT}, 'B');
            m_model.Cancel();
            break;
        }
        Expect("capture");
    }

    void StopResume()
    {
        const COLORREF running = ::GetSysColor(COLOR_INFOBK);
        e2e::PressChord({VK_SHIFT}, 'G');
        Check(e2e::WaitUntil([&] { return LogFrameColour(m_main) == RGB(248, 248, 248); }), "stop");
        e2e::PressChord({VK_SHIFT}, 'G');
        Check(e2e::WaitUntil([&] { return LogFrameColour(m_main) == running; }), "resume");
    }

    // Opened from the menu command, closed in turn with OK, Cancel and the close box.
    void Dialog()
    {
        ::PostMessageW(m_main, WM_COMMAND, kMenuSettings, 0);
        HWND dialog = nullptr;
        const bool opened = e2e::WaitUntil(
            [&]
            {
                dialog = m_app->FindWindowOf(kSettingsDialogClass, L"");
                return dialog && ::IsWindowVisible(dialog);
            });
        if (!Check(opened, "dialog open"))
        {
            return;
        }
        const int closes[] = {kIdSettingsOk, kIdSettingsCancel, 0};
        const int close = closes[m_dialogs++ % 3];
        if (close == 0)
        {
            ::PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
        else
        {
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(close, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(dialog, close)));
        }
        Check(e2e::WaitUntil([&] { return !::IsWindow(dialog) && ::IsWindowEnabled(m_main); }),
              "dialog close");
    }

    // Another program copies, at least 150 ms after the last copy.
    void Copy()
    {
        if (::GetForegroundWindow() != m_target->Handle())
        {
            m_target->BringToFront();
        }
        const auto due = m_lastCopy + 150ms;
        const auto now = std::chrono::steady_clock::now();
        if (now < due)
        {
            e2e::PumpMessages(std::chrono::duration_cast<std::chrono::milliseconds>(due - now));
        }
        wchar_t text[32] = {};
        std::swprintf(text, 32, L"copy %04d", ++m_copies);
        e2e::SetClipboardText(m_target->Handle(), text);
        m_lastCopy = std::chrono::steady_clock::now();
        m_model.Item(text);
        Expect("copy");
    }

    void Expect(const char* what)
    {
        const bool same = e2e::WaitUntil([&] { return LogText() == m_model.Text(); });
        if (!Check(same, what))
        {
            m_model.Resync(LogText());
        }
    }

    bool Check(bool ok, const char* what)
    {
        if (!ok && ++m_mismatches <= 10)
        {
            std::printf("  step %zu: %s did not show as expected\n", m_current, what);
        }
        ++m_checks;
        return ok;
    }

    std::wstring LogText() const { return e2e::WindowText(::GetDlgItem(m_main, kIdLog)); }

    void PrintHeader() const
    {
        std::printf("%7s %8s %8s %8s %8s %11s %9s  %s\n", "steps", "GDI", "handles", "Unix fd",
                    "windows", "RssAnon kB", "log chars", "growth since last row");
    }

    void Row(std::size_t steps)
    {
        const e2e::Counters now = m_counters->Sample();
        std::string growth;
        if (!m_rows.empty())
        {
            const e2e::Counters& last = m_rows.back();
            growth =
                Growth(last.gdiObjects, now.gdiObjects) + " " + Growth(last.handles, now.handles) +
                " " + Growth(last.unixFiles, now.unixFiles) + " " +
                Growth(last.windows, now.windows) + " " + Growth(last.rssAnonKb, now.rssAnonKb);
        }
        std::printf("%7zu %8ld %8ld %8ld %8ld %11ld %9zu  %s\n", steps, now.gdiObjects, now.handles,
                    now.unixFiles, now.windows, now.rssAnonKb, LogText().size(), growth.c_str());
        std::fflush(stdout);
        m_rows.push_back(now);
        m_rowSteps.push_back(steps);
    }

    static std::string Growth(long before, long after)
    {
        char text[32] = {};
        std::snprintf(text, sizeof text, "%+.1f%%",
                      before > 0 ? 100.0 * static_cast<double>(after - before) / before : 0.0);
        return text;
    }

    // After warm-up (the first 1,000 steps), the growth of each counter per 1,000 steps over the
    // rest of the run. A leak grows at a rate; an object made once (a buffer that grows with the
    // log, a handle taken at the first use of something) raises one row and then holds, so the
    // rate over the whole span is the measure, and the largest single row is printed beside it.
    int Verdict() const
    {
        double worst = 0.0;
        double worstRow = 0.0;
        const char* worstName = "-";
        if (m_rows.size() < 3)
        {
            std::printf("\ntoo few rows to judge growth\n");
            return 1;
        }
        const auto rate = [&](std::size_t from, std::size_t to, long e2e::Counters::*counter)
        {
            const long before = m_rows[from].*counter;
            const long after = m_rows[to].*counter;
            const double per = 1000.0 / static_cast<double>(m_rowSteps[to] - m_rowSteps[from]);
            return before > 0 ? 100.0 * static_cast<double>(after - before) / before * per : 0.0;
        };
        const std::pair<long e2e::Counters::*, const char*> counters[] = {
            {&e2e::Counters::gdiObjects, "GDI objects"},
            {&e2e::Counters::handles, "handles"},
            {&e2e::Counters::unixFiles, "Unix files"},
            {&e2e::Counters::windows, "windows"},
            {&e2e::Counters::rssAnonKb, "RssAnon"}};
        for (const auto& [counter, name] : counters)
        {
            const double grown = rate(1, m_rows.size() - 1, counter);
            if (grown > worst)
            {
                worst = grown;
                worstName = name;
            }
            for (std::size_t row = 2; row < m_rows.size(); ++row)
            {
                worstRow = std::max(worstRow, rate(row - 1, row, counter));
            }
        }
        const bool steady = worst <= 1.0;
        std::printf("\ngrowth after warm-up: %.2f%% per 1,000 steps at most (%s; the largest "
                    "single row %.2f%%): %s\n",
                    worst, worstName, worstRow, steady ? "nothing grows" : "GROWS");
        std::printf("log matches the model of what was captured: %s (%d of %zu checks failed)\n",
                    m_mismatches == 0 ? "yes" : "NO", m_mismatches, m_checks);
        return steady && m_mismatches == 0 ? 0 : 1;
    }

    double m_scale;
    e2e::TempFolder m_folder;
    std::optional<e2e::App> m_app;
    std::optional<e2e::TargetWindow> m_target;
    std::optional<e2e::ProgramCounters> m_counters;
    HWND m_main = nullptr;
    LogModel m_model;
    std::vector<e2e::Counters> m_rows;
    std::vector<std::size_t> m_rowSteps;
    std::chrono::steady_clock::time_point m_lastCopy{};
    int m_captures = 0;
    int m_dialogs = 0;
    int m_copies = 0;
    int m_mismatches = 0;
    std::size_t m_checks = 0;
    std::size_t m_current = 0;
};

} // namespace

int main(int argc, char** argv)
{
    const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
    Soak soak(scale > 0.0 ? scale : 1.0);
    return soak.Run();
}
