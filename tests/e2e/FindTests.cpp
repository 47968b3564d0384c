// Finding text in the log: Ctrl+F and the log's context menu open the system's Find dialog, F3
// and Shift+F3 find again without it, exactly or loosely; Conf.txt keeps the last search.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Clipboard.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/LogFiles.h"
#include "e2e/harness/Target.h"

#include <dlgs.h>
#include <gtest/gtest.h>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

class FindTest : public ::testing::Test
{
  protected:
    // The log's selection, as "[start, end)".
    std::string Selection() const
    {
        const auto packed = static_cast<DWORD>(::SendMessageW(m_log, EM_GETSEL, 0, 0));
        return "[" + std::to_string(LOWORD(packed)) + ", " + std::to_string(HIWORD(packed)) + ")";
    }

    // Waits until the log selects the first occurrence of the text, on screen.
    ::testing::AssertionResult Selects(const std::wstring& text)
    {
        const std::size_t at = m_text.find(text);
        const std::string expected =
            "[" + std::to_string(at) + ", " + std::to_string(at + text.size()) + ")";
        return Eventually(
            [&]() -> ::testing::AssertionResult
            {
                const auto y = static_cast<short>(
                    HIWORD(::SendMessageW(m_log, EM_POSFROMCHAR, static_cast<WPARAM>(at), 0)));
                RECT client{};
                ::GetClientRect(m_log, &client);
                if (Selection() != expected || y < 0 || y >= client.bottom)
                {
                    return ::testing::AssertionFailure()
                           << "selected " << Selection() << " at y " << y << ", not " << expected;
                }
                return ::testing::AssertionSuccess();
            });
    }

    // The program's Find dialog, once it is the active window.
    HWND WaitForFindDialog() const
    {
        HWND dialog = nullptr;
        WaitUntil(
            [&]
            {
                dialog = m_app->FindWindowOf(L"#32770", L"");
                return dialog && ::GetWindow(dialog, GW_OWNER) == m_main &&
                       ::GetForegroundWindow() == dialog;
            });
        return dialog;
    }

    // Nothing found: a beep and no box, the selection as it was.
    ::testing::AssertionResult FindsNothing(HWND dialog) const
    {
        const std::string before = Selection();
        return Throughout(
            [&]() -> ::testing::AssertionResult
            {
                HWND box = m_app->FindWindowOf(L"#32770", L"");
                if ((box && box != dialog) || Selection() != before)
                {
                    return ::testing::AssertionFailure()
                           << "selected " << Selection() << " with " << Utf8(WindowText(box));
                }
                return ::testing::AssertionSuccess();
            });
    }

    // Clicks a control of the dialog near its left end: a check box or radio button on its box.
    static bool ClickBox(HWND dialog, int id)
    {
        RECT box{};
        ::GetWindowRect(::GetDlgItem(dialog, id), &box);
        return ClickAt(POINT{box.left + 7, (box.top + box.bottom) / 2});
    }

    // Selects the dialog's search text as a user does, for what is typed next to replace it.
    static bool SelectSearchText(HWND dialog)
    {
        return ClickBox(dialog, edt1) && PressChord({}, VK_END) && PressChord({VK_SHIFT}, VK_HOME);
    }

    static bool Checked(HWND dialog, int id)
    {
        return ::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    TempFolder m_folder;
    std::optional<App> m_app;
    HWND m_main = nullptr;
    HWND m_log = nullptr;
    std::wstring m_text;
};

TEST_F(FindTest, FindDialogAndF3SelectExactlyOrLooselyAndConfKeepsTheSearch)
{
    ASSERT_TRUE(
        WriteBytes(m_folder.File(L"Conf.txt"),
                   Utf8File(L"add copy = 1\r\nsearch string = apple\r\nsearch fuzzy = 1\r\n")));
    m_app.emplace(m_folder);
    m_main = m_app->MainWindow();
    ASSERT_NE(m_main, nullptr);
    m_log = Control(m_main, kIdLog);
    // English and Japanese items in their many forms, copied in another program, with lines
    // between them that the log scrolls past.
    std::wstring filler = L"filler";
    for (int line = 0; line < 60; ++line)
    {
        filler += L"\r\nfiller";
    }
    TargetWindow target;
    for (const std::wstring& item : {std::wstring(L"Apple pie"), std::wstring(L"りんごジュース"),
                                     filler, std::wstring(L"ＡＰＰＬＥ"), std::wstring(L"リンゴ飴"),
                                     std::wstring(L"ｱｯﾌﾟﾙ ﾘﾝｺﾞ"), std::wstring(L"apple")})
    {
        m_text += (m_text.empty() ? L"" : L"\r\n") + item;
        target.BringToFront();
        ASSERT_TRUE(SetClipboardText(target.Handle(), item));
        ASSERT_TRUE(WaitForText(m_main, kIdLog, m_text));
    }
    RECT log{};
    ::GetWindowRect(m_log, &log);
    ASSERT_TRUE(ClickAt(POINT{(log.left + log.right) / 2, (log.top + log.bottom) / 2}));
    ASSERT_TRUE(PressChord({VK_CONTROL}, VK_HOME));

    // The stored loose search, with F3 and Shift+F3 alone.
    ASSERT_TRUE(PressChord({}, VK_F3));
    EXPECT_TRUE(Selects(L"Apple"));
    ASSERT_TRUE(PressChord({}, VK_F3));
    EXPECT_TRUE(Selects(L"ＡＰＰＬＥ"));
    ASSERT_TRUE(PressChord({}, VK_F3));
    EXPECT_TRUE(Selects(L"apple"));
    ASSERT_TRUE(PressChord({VK_SHIFT}, VK_F3));
    EXPECT_TRUE(Selects(L"ＡＰＰＬＥ"));

    // Ctrl+F shows it; matching case it is exact. A capital typed into the dialog is a letter,
    // not the capture key.
    ASSERT_TRUE(PressChord({VK_CONTROL}, 'F'));
    HWND dialog = WaitForFindDialog();
    ASSERT_NE(dialog, nullptr) << "Ctrl+F opened no Find dialog";
    const HWND text = ::GetDlgItem(dialog, edt1);
    EXPECT_EQ(WindowText(text), L"apple");
    EXPECT_FALSE(Checked(dialog, chx2)) << "loose matching shows as not matching case";
    ASSERT_TRUE(ClickBox(dialog, chx2));
    ASSERT_TRUE(SelectSearchText(dialog) && PressChord({VK_SHIFT}, 'A') && TypeText(L"pple"));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(text) == L"Apple"; }, 3s))
        << Utf8(WindowText(text));
    KeepScreenshot(dialog, L"find-dialog");
    ASSERT_TRUE(PressChord({}, VK_RETURN));
    EXPECT_TRUE(FindsNothing(dialog)) << "down from the full-width APPLE";
    ASSERT_TRUE(ClickBox(dialog, rad1));
    ASSERT_TRUE(PressChord({}, VK_RETURN));
    EXPECT_TRUE(Selects(L"Apple")) << "upwards";
    EXPECT_EQ(Utf8(LogText(m_main)), Utf8(m_text)) << "a key typed into the dialog reached the log";
    ASSERT_TRUE(PressChord({}, VK_ESCAPE));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    EXPECT_TRUE(WaitForHotkeys(MOD_SHIFT, L"AZEBGL", L"")) << "the keys are back";

    // The log's menu opens it on the last search; loosely, hiragana finds katakana of both
    // widths.
    ASSERT_TRUE(OpenLogMenu(m_main));
    ASSERT_TRUE(PressChord({}, VK_UP) && PressChord({}, VK_UP) && PressChord({}, VK_RETURN));
    dialog = WaitForFindDialog();
    ASSERT_NE(dialog, nullptr) << "the log's menu opened no Find dialog";
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, edt1)), L"Apple");
    EXPECT_TRUE(Checked(dialog, chx2));
    ASSERT_TRUE(ClickBox(dialog, chx2));
    ASSERT_TRUE(SelectSearchText(dialog) && TypeText(L"りんご"));
    for (const wchar_t* found : {L"りんご", L"リンゴ", L"ﾘﾝｺﾞ"})
    {
        ASSERT_TRUE(PressChord({}, VK_RETURN));
        EXPECT_TRUE(Selects(found));
    }
    ASSERT_TRUE(PressChord({}, VK_ESCAPE));

    // The selection is the user's: a copy still goes to the end, and the cancel key takes back
    // that copy alone.
    target.BringToFront();
    ASSERT_TRUE(SetClipboardText(target.Handle(), L"last"));
    ASSERT_TRUE(WaitForText(m_main, kIdLog, m_text + L"\r\nlast"));
    ASSERT_TRUE(WaitForHotkeys(MOD_SHIFT, L"B", L""));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'B'));
    EXPECT_TRUE(WaitForText(m_main, kIdLog, m_text));

    // The search in its lines, in the file's encoding (code page 932: StartupConf).
    ASSERT_TRUE(m_app->Close());
    const std::string conf = ReadBytes(m_folder.File(L"Conf.txt")).value_or("<none>");
    EXPECT_EQ(conf.rfind("\xEF\xBB\xBF", 0), 0u) << "written back in UTF-8";
    EXPECT_NE(conf.find(Utf8File(L"\r\nsearch string = りんご\r\nsearch fuzzy = 1\r\n").substr(3)),
              std::string::npos)
        << conf;
}

} // namespace
} // namespace e2e
