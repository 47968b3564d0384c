// The cost of appending and cancelling an item on logs from 1 KB to 10 MB, in one run: over an
// in-memory text box (the capture log's own work) and over the real multi-line EDIT control
// that the main window uses (the control's work added). Run under Wine or on Windows.

#include "LogBench.h"
#include "MemoryTextBox.h"
#include "platform/win32/mainwindow/Win32TextBox.h"

#include <cstdio>
#include <memory>

namespace
{

using namespace mirufon;

// A hidden window with a log-styled EDIT, owned for the benchmark's lifetime.
class WindowedEdit final : public TextBox
{
  public:
    explicit WindowedEdit(std::wstring_view text)
    {
        m_parent = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400,
                                     nullptr, nullptr, nullptr, nullptr);
        HWND edit = ::CreateWindowExW(0, L"EDIT", L"",
                                      WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL |
                                          ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL,
                                      0, 0, 480, 380, m_parent, nullptr, nullptr, nullptr);
        win32::LiftTextLimit(edit);
        m_box.Attach(edit);
        m_box.SetText(text);
    }
    ~WindowedEdit() override { ::DestroyWindow(m_parent); }

    std::size_t Length() const override { return m_box.Length(); }
    std::wstring Slice(std::size_t from, std::size_t count) const override
    {
        return m_box.Slice(from, count);
    }
    std::wstring Text() const override { return m_box.Text(); }
    void SetText(std::wstring_view text) override { m_box.SetText(text); }
    void Append(std::wstring_view text) override { m_box.Append(text); }
    void Truncate(std::size_t length) override { m_box.Truncate(length); }
    void SetTextColor(Rgb colour) override { m_box.SetTextColor(colour); }
    void SelectAll() override { m_box.SelectAll(); }
    void Focus() override { m_box.Focus(); }

  private:
    HWND m_parent = nullptr;
    win32::Win32TextBox m_box;
};

} // namespace

int main()
{
    using namespace mirufon::bench;
    LogBenchOptions options;
    options.samples = 15;
    options.batch = 8;
    options.warmUpRounds = 1;

    const auto memory =
        MeasureLogSizes([](std::wstring_view text)
                        { return std::make_unique<mirufon::bench::MemoryTextBox>(text); },
                        kLogBenchSizes, options);
    const auto edit =
        MeasureLogSizes([](std::wstring_view text) { return std::make_unique<WindowedEdit>(text); },
                        kLogBenchSizes, options);
    const bool memoryOk =
        PrintLogTable(stdout, "Capture log, in-memory box (the log's own work)", memory);
    std::printf("\n");
    const bool editOk =
        PrintLogTable(stdout, "Capture log, real EDIT control (the log and the control)", edit);
    return memoryOk && editOk ? 0 : 1;
}
