// Copy capture: texts copied in other programs become log items, with the clipboard viewer
// chain kept intact for the other programs in it.

#include "e2e/AppDriver.h"
#include "e2e/Clipboard.h"
#include "e2e/Harness.h"
#include "e2e/Input.h"
#include "e2e/Notepad.h"
#include "e2e/Target.h"

#include <gtest/gtest.h>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

constexpr wchar_t kMarker[] = L"%%%% error addclip %%%%";

// A clipboard viewer of the driver's own, a member of the chain like any other program's.
class DriverViewer
{
  public:
    DriverViewer()
    {
        static bool registered = false;
        if (!registered)
        {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = &DriverViewer::Procedure;
            windowClass.hInstance = ::GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"MirufonE2eViewer";
            ::RegisterClassW(&windowClass);
            registered = true;
        }
        m_window = ::CreateWindowExW(0, L"MirufonE2eViewer", L"", WS_OVERLAPPED, 0, 0, 10, 10,
                                     nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_next = ::SetClipboardViewer(m_window);
    }
    DriverViewer(const DriverViewer&) = delete;
    DriverViewer& operator=(const DriverViewer&) = delete;
    ~DriverViewer()
    {
        Leave();
        ::DestroyWindow(m_window);
    }

    void Leave()
    {
        if (m_joined)
        {
            ::ChangeClipboardChain(m_window, m_next);
            m_joined = false;
        }
    }
    HWND Window() const { return m_window; }
    HWND Next() const { return m_next; }
    int Notifications() const { return m_notifications; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<DriverViewer*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_DRAWCLIPBOARD)
        {
            ++self->m_notifications;
            if (self->m_next)
            {
                ::SendMessageW(self->m_next, message, wParam, lParam);
            }
            return 0;
        }
        if (self && message == WM_CHANGECBCHAIN)
        {
            if (reinterpret_cast<HWND>(wParam) == self->m_next)
            {
                self->m_next = reinterpret_cast<HWND>(lParam);
            }
            else if (self->m_next)
            {
                ::SendMessageW(self->m_next, message, wParam, lParam);
            }
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
    HWND m_next = nullptr;
    bool m_joined = true;
    int m_notifications = 0;
};

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
    void Copy(const std::wstring& text)
    {
        m_target->BringToFront();
        ASSERT_TRUE(SetClipboardText(m_target->Handle(), text));
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

TEST_F(CopyCaptureTest, OtherViewersHearEveryChangeAndTheChainSurvivesOneLeaving)
{
    // Joined before the program: the program's window comes first and passes changes on.
    DriverViewer behind;
    StartWith("add copy = 1\r\n");
    const int before = behind.Notifications();
    Copy(L"one");
    ASSERT_TRUE(WaitForText(m_main, kIdLog, L"one"));
    ASSERT_TRUE(WaitUntil([&] { return behind.Notifications() > before; }, 3s))
        << "the viewer after the program heard nothing";

    // It leaves the chain: the program repairs its link and goes on capturing.
    behind.Leave();
    Copy(L"two");
    ASSERT_TRUE(WaitForText(m_main, kIdLog, L"one\r\ntwo"));

    // A viewer joining after the program comes first and passes changes on to it.
    DriverViewer front;
    ASSERT_EQ(front.Next(), m_main);
    Copy(L"three");
    ASSERT_TRUE(WaitForText(m_main, kIdLog, L"one\r\ntwo\r\nthree"));
    EXPECT_TRUE(WaitUntil([&] { return front.Notifications() >= 1; }, 3s))
        << "the viewer ahead of the program heard nothing";
}

TEST_F(CopyCaptureTest, ClipboardHeldOpenShowsTheErrorBoxThenTheMarkerItem)
{
    ASSERT_TRUE(SetClipboardText(nullptr, L"held"));
    StartWith("add copy = 1\r\n");
    // A viewer ahead of the program tells it of a change while another program keeps the
    // clipboard open for three seconds.
    DriverViewer front;
    ASSERT_EQ(front.Next(), m_main);
    m_target->BringToFront();
    std::optional<ClipboardHold> hold(std::in_place, m_target->Handle());
    ASSERT_TRUE(hold->Held());
    const auto start = std::chrono::steady_clock::now();
    ::SendNotifyMessageW(m_main, WM_DRAWCLIPBOARD, 0, 0);
    // The tries wait with the program's messages dispatched, so on a busy machine they take
    // well over their nominal second.
    const HWND box = WaitForMessageBox(*m_app, L"クリップボードエラー", 10s);
    ASSERT_NE(box, nullptr) << "no clipboard error box while the clipboard was held";
    const auto waited = std::chrono::steady_clock::now() - start;
    // Ten tries, 100 ms apart.
    EXPECT_GE(waited, 900ms);
    const std::wstring text = MessageBoxText(box);
    ASSERT_FALSE(text.empty());
    EXPECT_TRUE(iswdigit(text[0])) << Utf8(text);
    EXPECT_NE(text.find(L' '), std::wstring::npos) << Utf8(text);
    KeepScreenshot(box, L"clipboard-error");
    PumpMessages(3s - std::chrono::duration_cast<std::chrono::milliseconds>(waited));
    hold.reset();
    ASSERT_TRUE(DismissMessageBox(box));
    ASSERT_TRUE(WaitForText(m_main, kIdLog, kMarker));
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
