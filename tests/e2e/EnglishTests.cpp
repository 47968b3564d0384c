// The program on a Windows whose display language is not Japanese (the suite's English run,
// LC_ALL=en_US.UTF-8): every window and box it opens speaks English, every label fits its
// text, and Conf.txt is the same file a Japanese run writes.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Clipboard.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/LogFiles.h"
#include "e2e/harness/SystemChecks.h"
#include "e2e/harness/Target.h"
#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/settingsdialog/SettingsDialogIds.h"
#include "platform/win32/storage/TextCodec.h"
#include "shell/AppInfo.h"
#include "support/Version.h"
#include "text/UiText.h"

#include <gtest/gtest.h>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

constexpr int kSettingsPosition = 3; // Stop | View | Clear | Settings | Help | Hotkeys?
constexpr int kHotKeysPosition = 5;

// The texts of a window and of its children that speak Japanese.
std::vector<std::string> JapaneseIn(HWND window)
{
    std::vector<std::string> found;
    const auto check = [&](HWND each)
    {
        if (const std::wstring text = WindowText(each); HasJapanese(text))
        {
            found.push_back(Utf8(text));
        }
    };
    check(window);
    for (HWND child = ::GetWindow(window, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT))
    {
        check(child);
    }
    return found;
}

// Waits for a box of the program, checks that it speaks English, and closes it.
::testing::AssertionResult EnglishBox(const App& app, const std::wstring& title)
{
    const HWND box = WaitForMessageBox(app, title, 10s);
    if (!box)
    {
        return ::testing::AssertionFailure() << "no box titled " << Utf8(title);
    }
    const std::vector<std::string> japanese = JapaneseIn(box);
    const std::wstring text = MessageBoxText(box);
    DismissMessageBox(box);
    if (!japanese.empty() || text.empty())
    {
        return ::testing::AssertionFailure()
               << Utf8(title) << ": " << Utf8(text) << " (" << japanese.size() << " Japanese)";
    }
    return ::testing::AssertionSuccess();
}

class English : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        E2E_SKIP_IF(NeedsEnglishWindows());
        // The driver runs in the same language as the program, and expects what it shows.
        mirufon::SetLanguage(mirufon::Language::English);
    }
    void TearDown() override { mirufon::SetLanguage(mirufon::Language::Japanese); }
};

TEST_F(English, EveryWindowAndBoxSpeaksEnglishAndEveryLabelFits)
{
    TempFolder folder;
    // A journal left over, a key another program holds and copy capture on: the restore
    // question, the box naming the key, and a clipboard error to come.
    ASSERT_TRUE(WriteBytes(folder.File(L"Conf.txt"), "add copy = 1\r\n"));
    ::CreateDirectoryW(folder.File(L"Mirufon").c_str(), nullptr);
    ::CreateDirectoryW(JournalFolderOf(folder).c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(JournalOf(folder), Utf8File(L"left over")));
    struct HeldKey
    {
        const bool held = ::RegisterHotKey(nullptr, 0x4D49, MOD_SHIFT, 'A') != FALSE;
        ~HeldKey() { ::UnregisterHotKey(nullptr, 0x4D49); }
    } heldKey;
    ASSERT_TRUE(heldKey.held);
    App app(folder);
    const std::wstring title = L"Mirufon " + testsupport::ExpectedVersionText();
    ASSERT_EQ(Utf8(mirufon::GetAppTitle()), Utf8(title));
    EXPECT_TRUE(EnglishBox(app, title)) << "the restore question";
    EXPECT_TRUE(EnglishBox(app, title)) << "the held key";
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Utf8(WindowText(main)), Utf8(title));
    EXPECT_EQ(JapaneseIn(main), std::vector<std::string>{}) << "labels and the introduction";
    EXPECT_EQ(LabelsThatDoNotFit(main), std::vector<std::string>{});
    KeepScreenshot(main, L"english-main-window-dpi-" + std::to_wstring(ScreenDpi()));

    ASSERT_TRUE(ChooseMenu(main, kHotKeysPosition));
    EXPECT_TRUE(EnglishBox(app, L"Hotkeys"));

    ASSERT_TRUE(ChooseMenu(main, kSettingsPosition));
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = app.FindWindowOf(kSettingsDialogClass, L"")); }));
    EXPECT_EQ(JapaneseIn(dialog), std::vector<std::string>{});
    EXPECT_EQ(LabelsThatDoNotFit(dialog), std::vector<std::string>{});
    KeepScreenshot(dialog, L"english-settings-dialog-dpi-" + std::to_wstring(ScreenDpi()));
    ::PostMessageW(dialog, WM_COMMAND, kIdSettingsCancel, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));

    // Another program holds the clipboard open while the program reads a copy.
    TargetWindow target;
    target.BringToFront();
    ASSERT_TRUE(SetClipboardText(target.Handle(), L"copied"));
    ASSERT_TRUE(WaitForText(main, kIdLog, L"left over\r\ncopied"));
    {
        ClipboardHold hold(target.Handle());
        ASSERT_TRUE(hold.Held());
        ::PostMessageW(main, WM_CLIPBOARDUPDATE, 0, 0);
        const HWND box = WaitForMessageBox(app, L"Clipboard error", 10s);
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(HasJapanese(MessageBoxText(box))) << Utf8(MessageBoxText(box));
        hold.Release();
        ASSERT_TRUE(DismissMessageBox(box));
    }

    // A second start is refused in English.
    {
        App second(folder.File(L"mirufon.exe"));
        EXPECT_TRUE(EnglishBox(second, L"Already running"));
        EXPECT_TRUE(second.WaitForExit());
    }

    // Conf.txt holds what a Japanese run writes: the code page of an English Windows cannot hold
    // the Japanese value the program keeps, so the file is UTF-8 with a byte-order mark.
    ASSERT_TRUE(app.Close());
    const std::string bytes = ReadBytes(folder.File(L"Conf.txt")).value_or("");
    EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF", 0), 0u);
    const std::wstring conf = FromUtf8(bytes);
    EXPECT_NE(conf.find(L"disp pos = 右下隅\r\n"), std::wstring::npos) << Utf8(conf);
    EXPECT_NE(conf.find(L"key get all = L\r\n"), std::wstring::npos) << Utf8(conf);
}

} // namespace
} // namespace e2e
