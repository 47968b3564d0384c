// Copy capture: texts copied in other programs become log items, whatever other programs do
// with the clipboard meanwhile; copies marked private never do.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Clipboard.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/HungTarget.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/LogFiles.h"
#include "e2e/harness/Notepad.h"
#include "e2e/harness/SystemChecks.h"
#include "e2e/harness/Target.h"

#include <gtest/gtest.h>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

constexpr wchar_t kMarker[] = L"%%%% error addclip %%%%";

class CopyCaptureTest : public ::testing::Test
{
  protected:
    void StartWith(const std::string& conf)
    {
        ASSERT_TRUE(WriteBytes(m_folder.File(L"Conf.txt"), conf));
        m_app.emplace(m_folder);
        m_main = m_app->MainWindow();
        ASSERT_NE(m_main, nullptr) << "the main window did not appear";
        m_target.emplace();
        m_target->BringToFront();
    }

    // A copy in another program: the driver's window is in front and owns the new text.
    void Copy(const std::wstring& text, const std::vector<ClipboardMark>& marks = {})
    {
        m_target->BringToFront();
        ASSERT_TRUE(SetClipboardText(m_target->Handle(), text, marks));
    }

    // A capture over the target's button, which must arrive while the clipboard is held up.
    ::testing::AssertionResult CapturesPromptly()
    {
        const std::wstring expected = LogText(m_main) + L"\r\n" + m_target->ButtonCaption();
        if (!MovePointer(m_target->ButtonCentre()) ||
            !WaitForText(m_main, kIdPreviewName, m_target->ButtonCaption()) ||
            !PressChord({VK_SHIFT}, 'A'))
        {
            return ::testing::AssertionFailure() << "could not press over the button";
        }
        return WaitForText(m_main, kIdLog, expected, 2s);
    }

    TempFolder m_folder;
    std::optional<App> m_app;
    HWND m_main = nullptr;
    std::optional<TargetWindow> m_target;
};

TEST_F(CopyCaptureTest, CopiedTextBecomesOneItemWithEveryCharacterIntact)
{
    ASSERT_TRUE(SetClipboardText(nullptr, L"already there"));
    StartWith("add copy = 1\r\n");
    // What was on the clipboard before copy capture started is not appended.
    const std::wstring introduction = LogText(m_main);
    EXPECT_TRUE(StaysText(m_main, kIdLog, introduction, 500ms));

    // Japanese, ASCII, a tab (turned into a space like any item's), a line break and
    // characters that code page 932 lacks.
    Copy(L"日本語 ASCII\tタブ\r\n改行 Ω€😀");
    ASSERT_TRUE(WaitForText(m_main, kIdLog, L"日本語 ASCII タブ\r\n改行 Ω€😀"));

    Copy(L"second");
    ASSERT_TRUE(WaitForText(m_main, kIdLog, L"日本語 ASCII タブ\r\n改行 Ω€😀\r\nsecond"));

    // A copy made while the program's own window is in front is not captured.
    ASSERT_TRUE(Activate(m_main));
    ASSERT_TRUE(SetClipboardText(m_target->Handle(), L"from the log"));
    EXPECT_TRUE(StaysText(m_main, kIdLog, L"日本語 ASCII タブ\r\n改行 Ω€😀\r\nsecond"));
}

TEST_F(CopyCaptureTest, CopiesAreCapturedWhileStoppedAndTheMarkerTextIsJustText)
{
    StartWith("add copy = 1\r\n");
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'G'));
    ASSERT_TRUE(WaitUntil([] { return !IsHotkeyTaken(MOD_SHIFT, 'A'); }, 5s));
    Copy(L"while stopped");
    ASSERT_TRUE(WaitForText(m_main, kIdLog, L"while stopped"));

    // A copied text that happens to read like the failure marker is appended at once, with
    // neither retries nor an error box.
    Copy(kMarker);
    ASSERT_TRUE(WaitForText(m_main, kIdLog, std::wstring(L"while stopped\r\n") + kMarker, 900ms));
    EXPECT_EQ(WaitForMessageBox(*m_app, L"クリップボードエラー", 300ms), nullptr);
}

// Another program that hangs at the head of the viewer chain, an owner that takes seconds to
// render its copy and a program that holds the clipboard open: the window goes on capturing
// meanwhile, and each copy arrives once, or is reported as before.
TEST_F(CopyCaptureTest, ClipboardHazardsNeverHoldUpTheWindow)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    StartWith("add copy = 1\r\n");
    HungTarget other;
    ASSERT_TRUE(other.Started());

    const HWND next = ::SetClipboardViewer(other.Handle());
    ASSERT_TRUE(other.StopResponding(6s));
    Copy(L"with a hung viewer");
    EXPECT_TRUE(WaitForText(m_main, kIdLog, L"with a hung viewer", 3s));
    EXPECT_TRUE(CapturesPromptly());
    ASSERT_TRUE(other.WaitUntilRecovered(10s));
    ::ChangeClipboardChain(other.Handle(), next);

    m_target->BringToFront();
    const std::wstring before = LogText(m_main);
    ASSERT_TRUE(other.OfferSlowText(L"rendered late", 5s));
    ASSERT_TRUE(WaitUntil([&] { return other.IsHung(); }, 3s)) << "nobody asked for the data";
    EXPECT_TRUE(CapturesPromptly());
    EXPECT_TRUE(WaitForText(
        m_main, kIdLog, before + L"\r\n" + m_target->ButtonCaption() + L"\r\nrendered late", 10s));

    // Held open for five seconds: the tries give up after about one, and the box is shown
    // once the notification has been handled. The clock starts once the program has taken the
    // notification, and only the wait for the box lies between.
    std::optional<ClipboardHold> hold(std::in_place, m_target->Handle());
    ASSERT_TRUE(hold->Held());
    DWORD_PTR unused = 0;
    ASSERT_TRUE(
        ::SendMessageTimeoutW(m_main, WM_CLIPBOARDUPDATE, 0, 0, SMTO_NORMAL, 10000, &unused));
    const auto start = std::chrono::steady_clock::now();
    const HWND box = WaitForMessageBox(*m_app, L"クリップボードエラー", 10s);
    ASSERT_NE(box, nullptr) << "no clipboard error box while the clipboard was held";
    EXPECT_GE(std::chrono::steady_clock::now() - start, 900ms) << "ten tries, 100 ms apart";
    // The failed copy's marker is in its place; a capture while the clipboard is still held
    // comes after it.
    ASSERT_TRUE(WaitForText(m_main, kIdLog,
                            before + L"\r\n" + m_target->ButtonCaption() +
                                L"\r\nrendered late\r\n" + kMarker));
    EXPECT_TRUE(CapturesPromptly());
    const std::wstring captured = LogText(m_main);
    const std::wstring text = MessageBoxText(box);
    ASSERT_FALSE(text.empty());
    EXPECT_TRUE(iswdigit(text[0])) << Utf8(text);
    EXPECT_NE(text.find(L' '), std::wstring::npos) << Utf8(text);
    KeepScreenshot(box, L"clipboard-error");
    const auto held = std::chrono::steady_clock::now() - start;
    if (held < 5s)
    {
        PumpMessages(std::chrono::duration_cast<std::chrono::milliseconds>(5s - held));
    }
    hold.reset();
    ASSERT_TRUE(DismissMessageBox(box));
    EXPECT_TRUE(StaysText(m_main, kIdLog, captured, 1s));
}

// A copy that cannot be read while the program sits in the tray and the user works elsewhere:
// the box stands above every window, and the marker is in the log already, in its place; what
// is captured while the box is open comes after it.
TEST_F(CopyCaptureTest, AFailedCopyIsReportedInFrontAndInItsPlaceFromTheTray)
{
    ASSERT_TRUE(SetClipboardText(nullptr, L"already there"));
    ASSERT_TRUE(WriteBytes(m_folder.File(L"Conf.txt"), "task tray = 1\r\ncustom msg = 0\r\n"
                                                       "add copy = 1\r\ndisp top = 0\r\n"));
    m_app.emplace(m_folder);
    // Posted as soon as the window exists, the change is handled once start-up is over.
    ASSERT_TRUE(WaitUntil([&] { return (m_main = m_app->FindWindowOf(kMainWindowClass, L"")); }));
    m_target.emplace();
    const ClipboardHold hold(m_target->Handle());
    ::PostMessageW(m_main, WM_CLIPBOARDUPDATE, 0, 0);
    const HWND box = WaitForMessageBox(*m_app, L"クリップボードエラー", 10s);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Utf8(LogText(m_main)), Utf8(kMarker));
    EXPECT_TRUE(IsTopMost(box) && ::IsWindowVisible(box));

    m_target->BringToFront();
    ASSERT_TRUE(MovePointer(m_target->ButtonCentre()));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'A'));
    EXPECT_TRUE(WaitForText(m_main, kIdLog, kMarker + (L"\r\n" + m_target->ButtonCaption())));
    EXPECT_TRUE(DismissMessageBox(box));
}

// Password managers mark their copies for clipboard monitors: such a copy never reaches the
// log or the journal, and the next ordinary copy is appended as usual.
TEST_F(CopyCaptureTest, PrivateCopiesNeverReachTheLogOrTheJournal)
{
    StartWith("add copy = 1\r\n");
    Copy(L"before");
    ASSERT_TRUE(WaitForText(m_main, kIdLog, L"before"));
    const ClipboardMark marks[] = {{L"ExcludeClipboardContentFromMonitorProcessing", 0},
                                   {L"Clipboard Viewer Ignore", 0},
                                   {L"CanIncludeInClipboardHistory", 0}};
    for (const ClipboardMark& mark : marks)
    {
        Copy(L"secret", {mark});
        EXPECT_TRUE(StaysText(m_main, kIdLog, L"before")) << Utf8(mark.format);
    }
    Copy(L"allowed", {{L"CanIncludeInClipboardHistory", 1}});
    ASSERT_TRUE(WaitForText(m_main, kIdLog, L"before\r\nallowed"));
    Copy(L"after");
    EXPECT_TRUE(WaitForText(m_main, kIdLog, L"before\r\nallowed\r\nafter"));
    std::string journal;
    EXPECT_TRUE(WaitUntil(
        [&]
        {
            journal = ReadBytes(JournalOf(m_folder)).value_or("");
            return journal.find("after") != std::string::npos;
        },
        5s));
    EXPECT_EQ(journal.find("secret"), std::string::npos) << journal;
}

TEST_F(CopyCaptureTest, TensOfMegabytesAreAppendedWhole)
{
    StartWith("add copy = 1\r\n");
    std::wstring big;
    const std::wstring line = L"大きなテキスト big text 0123456789\r\n";
    while (big.size() < 10'000'000)
    {
        big += line;
    }
    Copy(big);
    const HWND log = Control(m_main, kIdLog);
    ASSERT_TRUE(WaitUntil(
        [&]
        { return static_cast<size_t>(::SendMessageW(log, WM_GETTEXTLENGTH, 0, 0)) == big.size(); },
        60s))
        << "the log holds " << ::SendMessageW(log, WM_GETTEXTLENGTH, 0, 0) << " characters";
    EXPECT_TRUE(m_app->IsRunning());
}

TEST_F(CopyCaptureTest, CopyingInWineNotepadAppendsItsText)
{
    StartWith("add copy = 1\r\n");
    Notepad notepad;
    E2E_SKIP_IF(notepad.Unavailable());
    ASSERT_TRUE(notepad.Started()) << "Wine's notepad did not start";
    HWND edit = notepad.Edit();
    ASSERT_TRUE(ClickAt(notepad.EditCentre()));
    ASSERT_TRUE(TypeText(L"メモ帳でコピー copied"));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(edit) == L"メモ帳でコピー copied"; }));
    ASSERT_TRUE(PressChord({VK_CONTROL}, 'A'));
    ASSERT_TRUE(PressChord({VK_CONTROL}, 'C'));
    EXPECT_TRUE(WaitForText(m_main, kIdLog, L"メモ帳でコピー copied"));
}

} // namespace
} // namespace e2e
