// Capturing text under the pointer with the global hotkeys, the pointer preview, stop and
// resume, and the program's own window, driven with real input against a window of the
// driver's own.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/Target.h"

#include <gtest/gtest.h>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

class CaptureTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_app.emplace(m_folder);
        m_main = m_app->MainWindow();
        ASSERT_NE(m_main, nullptr) << "the main window did not appear";
        m_target.emplace();
        m_target->BringToFront();
    }

    void Press(WORD key) { ASSERT_TRUE(PressChord({VK_SHIFT}, key)); }

    // Pointer over a control of the target, then the target in front (so that keys that are
    // not hotkeys reach it, as they would reach any program the user works in).
    void PointAt(POINT point)
    {
        ASSERT_TRUE(MovePointer(point));
        PumpMessages(50ms);
    }

    TempFolder m_folder;
    std::optional<App> m_app;
    HWND m_main = nullptr;
    std::optional<TargetWindow> m_target;
};

TEST_F(CaptureTest, HotkeysAppendNameValueNewlineAndCancel)
{
    const std::wstring name = m_target->ButtonCaption();
    const std::wstring value = m_target->EditValue();

    PointAt(m_target->ButtonCentre());
    Press('A');
    // The first item replaces the introduction, with no separator before it; the euro sign,
    // which code page 932 lacks, arrives intact.
    ASSERT_TRUE(WaitForText(m_main, kIdLog, name));

    PointAt(m_target->EditCentre());
    Press('Z');
    ASSERT_TRUE(WaitForText(m_main, kIdLog, name + L"\r\n" + value));

    Press('E');
    ASSERT_TRUE(WaitForText(m_main, kIdLog, name + L"\r\n" + value + L"\r\n"));

    // After a newline the next item takes no separator.
    PointAt(m_target->ButtonCentre());
    Press('A');
    ASSERT_TRUE(WaitForText(m_main, kIdLog, name + L"\r\n" + value + L"\r\n" + name));

    Press('B');
    ASSERT_TRUE(WaitForText(m_main, kIdLog, name + L"\r\n" + value));
    Press('B');
    ASSERT_TRUE(WaitForText(m_main, kIdLog, name));

    // The button has no value: the get-value key appends an empty item, which in line mode
    // leaves only the separator.
    Press('Z');
    ASSERT_TRUE(WaitForText(m_main, kIdLog, name + L"\r\n"));
    KeepScreenshot(m_main, L"main-window-after-capture");
}

// Wine sends a hotkey again and again while its key is held: a capture, or a cancel, runs once
// per press all the same, and again after a release.
TEST_F(CaptureTest, AHeldKeyRunsItsCommandOnce)
{
    const std::wstring name = m_target->ButtonCaption();
    PointAt(m_target->ButtonCentre());
    // The log is checked while the key is still down: every repeat is handled by then.
    const auto hold = [&](WORD key, const std::wstring& log)
    {
        return HoldChord(
            {VK_SHIFT}, key, 5,
            [&]
            { EXPECT_TRUE(WaitForText(m_main, kIdLog, log) && StaysText(m_main, kIdLog, log)); });
    };
    ASSERT_TRUE(hold('A', name));
    ASSERT_TRUE(hold('A', name + L"\r\n" + name));
    ASSERT_TRUE(hold('B', name));
}

TEST_F(CaptureTest, PreviewFollowsThePointerAndStaysEmptyOverTheProgramsOwnWindow)
{
    PointAt(m_target->ButtonCentre());
    ASSERT_TRUE(WaitForText(m_main, kIdPreviewName, m_target->ButtonCaption()));
    ASSERT_TRUE(WaitForText(m_main, kIdPreviewValue, L""));

    PointAt(m_target->EditCentre());
    ASSERT_TRUE(WaitForText(m_main, kIdPreviewValue, m_target->EditValue()));

    // Over the program's own log: both boxes empty, and the capture keys add nothing.
    RECT log{};
    ::GetWindowRect(Control(m_main, kIdLog), &log);
    PointAt(POINT{(log.left + log.right) / 2, (log.top + log.bottom) / 2});
    ASSERT_TRUE(WaitForText(m_main, kIdPreviewName, L""));
    ASSERT_TRUE(WaitForText(m_main, kIdPreviewValue, L""));
    const std::wstring before = LogText(m_main);
    Press('A');
    Press('Z');
    EXPECT_TRUE(StaysText(m_main, kIdLog, before));

    // Over its title bar too.
    RECT frame{};
    ::GetWindowRect(m_main, &frame);
    PointAt(POINT{frame.left + 60, frame.top + ::GetSystemMetrics(SM_CYCAPTION) / 2 + 2});
    Press('A');
    EXPECT_TRUE(StaysText(m_main, kIdLog, before));
}

TEST_F(CaptureTest, StopLeavesOnlyTheStopKeyAndFreezesThePreviewUntilResume)
{
    const COLORREF running = ::GetSysColor(COLOR_INFOBK);
    const COLORREF stopped = RGB(248, 248, 248);
    PointAt(m_target->ButtonCentre());
    ASSERT_TRUE(WaitForText(m_main, kIdPreviewName, m_target->ButtonCaption()));
    ASSERT_TRUE(WaitForHotkeys(MOD_SHIFT, L"AZEBGL", L""));
    const std::vector<COLORREF> runningMenu = DrawnMenuBar(m_main);
    ASSERT_FALSE(runningMenu.empty()) << "the menu bar was never drawn";
    EXPECT_TRUE(WaitForLogFrame(m_main, running));

    Press('G');
    // The menu item now offers to resume, and the log's frame turns grey. That frame is painted
    // after the stop is over, so only then do the hotkeys show their final state.
    EXPECT_TRUE(WaitUntil([&] { return MenuBarPixels(m_main) != runningMenu; }, 5s));
    ASSERT_TRUE(WaitForLogFrame(m_main, stopped));
    ASSERT_TRUE(WaitForHotkeys(MOD_SHIFT, L"G", L"AZEBL")) << "after stop";

    // Stopped: the keys reach the program in front instead, and the preview keeps its text.
    const std::wstring introduction = LogText(m_main);
    Press('A');
    EXPECT_TRUE(StaysText(m_main, kIdLog, introduction));
    PointAt(m_target->EditCentre());
    EXPECT_TRUE(StaysText(m_main, kIdPreviewValue, L""));
    EXPECT_TRUE(StaysText(m_main, kIdPreviewName, m_target->ButtonCaption(), 300ms));
    KeepScreenshot(m_main, L"main-window-stopped");

    // The preview runs again once the resume is over, hotkeys included.
    Press('G');
    ASSERT_TRUE(WaitForText(m_main, kIdPreviewValue, m_target->EditValue()));
    ASSERT_TRUE(WaitForHotkeys(MOD_SHIFT, L"AZEBGL", L"")) << "after resume";
    EXPECT_TRUE(WaitForLogFrame(m_main, running));
    EXPECT_TRUE(WaitUntil([&] { return MenuBarPixels(m_main) == runningMenu; }, 5s));
    Press('Z');
    ASSERT_TRUE(WaitForText(m_main, kIdLog, m_target->EditValue()));
}

} // namespace
} // namespace e2e
