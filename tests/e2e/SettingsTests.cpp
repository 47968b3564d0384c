// The settings dialog, driven with the mouse: the six key letters, the modifier, copy capture
// and tab separation; what changes at once, what is refused, and what reaches Conf.txt.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Clipboard.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/SystemChecks.h"
#include "e2e/harness/Target.h"
#include "e2e/harness/Tray.h"
#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/settingsdialog/SettingsDialogIds.h"
#include "platform/win32/settingsdialog/SettingsDialogLayout.h"
#include "shell/AppInfo.h"
#include "shell/Layout.h"
#include "support/ControlItems.h"
#include "support/Version.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

// Key lists by index: 0 get name, 4 get value, 1 newline, 2 cancel, 3 stop/resume, 5 harvest.
constexpr int kNameList = 0;
constexpr int kNewlineList = 1;
constexpr int kStopList = 3;
constexpr int kHarvestList = 5;
constexpr int kSettingPosition = 3; // 停止 | 表示 | クリア | 設定 | ...

HWND VisibleDropDown()
{
    HWND list = nullptr;
    while ((list = ::FindWindowExW(nullptr, list, L"ComboLBox", nullptr)) != nullptr)
    {
        if (::IsWindowVisible(list))
        {
            return list;
        }
    }
    return nullptr;
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

class SettingsTest : public ::testing::Test
{
  protected:
    // Starts the program; with inTray, its window stays hidden.
    void Start(const std::string& conf = "", bool inTray = false)
    {
        if (!conf.empty())
        {
            ASSERT_TRUE(WriteBytes(m_folder.File(L"Conf.txt"), conf));
        }
        m_app.emplace(m_folder);
        if (inTray)
        {
            ASSERT_TRUE(WaitUntil(
                [&]
                { return (m_main = m_app->FindWindowOf(mirufon::win32::kMainWindowClass, L"")); },
                10s));
            return;
        }
        m_main = m_app->MainWindow();
        ASSERT_NE(m_main, nullptr) << "the main window did not appear";
    }

    HWND WaitForDialog(std::chrono::milliseconds timeout = 5s)
    {
        HWND dialog = nullptr;
        WaitUntil(
            [&]
            {
                dialog = m_app->FindWindowOf(kSettingsDialogClass, L"");
                return dialog && ::IsWindowVisible(dialog);
            },
            timeout);
        return dialog;
    }

    HWND OpenFromMenu()
    {
        if (!ChooseMenu(m_main, kSettingPosition))
        {
            return nullptr;
        }
        return WaitForDialog();
    }

    // Opens a key list with the mouse and clicks the letter in its drop-down list.
    ::testing::AssertionResult PickLetter(HWND dialog, int list, wchar_t letter)
    {
        HWND combo = ::GetDlgItem(dialog, SettingsKeyListId(list));
        ClickAt(testsupport::CentreOf(combo));
        HWND dropDown = nullptr;
        if (!WaitUntil([&] { return (dropDown = VisibleDropDown()) != nullptr; }, 3s))
        {
            return ::testing::AssertionFailure() << "list " << list << " did not drop down";
        }
        const int item = letter - L'A';
        // Scroll the letter into view, as the scroll bar would, then click it.
        ::SendMessageW(dropDown, LB_SETTOPINDEX, item, 0);
        RECT rect{};
        ::SendMessageW(dropDown, LB_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect));
        ::MapWindowPoints(dropDown, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        ClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
        if (!WaitUntil([&] { return WindowText(combo) == std::wstring(1, letter); }, 3s))
        {
            return ::testing::AssertionFailure()
                   << "list " << list << " shows \"" << Utf8(WindowText(combo)) << "\"";
        }
        return ::testing::AssertionSuccess();
    }

    void Click(HWND dialog, int id) { ClickAt(testsupport::CentreOf(::GetDlgItem(dialog, id))); }

    bool WaitClosed(HWND dialog)
    {
        return WaitUntil([&] { return !::IsWindow(dialog); }, 5s);
    }

    std::string ConfAfterClose()
    {
        EXPECT_TRUE(m_app->Close());
        return ReadBytes(m_folder.File(L"Conf.txt")).value_or("<none>");
    }

    TempFolder m_folder;
    std::optional<App> m_app;
    HWND m_main = nullptr;
};

TEST_F(SettingsTest, OpensWithTheStoredKeysAndTurnsTheHotkeysOffWhileOpen)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    Start();
    const HWND dialog = OpenFromMenu();
    ASSERT_NE(dialog, nullptr) << "the settings dialog did not open from the menu";
    EXPECT_EQ(Utf8(WindowText(dialog)), Utf8(testsupport::ExpectedTitle()));
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, SettingsKeyListId(0))), L"A");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, SettingsKeyListId(4))), L"Z");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, SettingsKeyListId(1))), L"E");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, SettingsKeyListId(2))), L"B");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, SettingsKeyListId(3))), L"G");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, SettingsKeyListId(kHarvestList))), L"L");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, kIdSettingsModifier)), L"Shift");
    EXPECT_TRUE(IsTopMost(dialog));
    // The program turns these off once the dialog is up.
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowEnabled(m_main); }, 3s))
        << "the main window takes input while it is open";
    EXPECT_TRUE(WaitForHotkeys(MOD_SHIFT, L"", L"AZEBGL"));
    KeepScreenshot(dialog, L"settings-dialog-dpi-" + std::to_wstring(ScreenDpi()));
    EXPECT_EQ(LabelsThatDoNotFit(dialog), std::vector<std::string>{});

    // A second request brings the open dialog to the front instead of opening another.
    const auto visibleDialogs = []
    {
        int dialogs = 0;
        for (HWND found = nullptr;
             (found = ::FindWindowExW(nullptr, found, kSettingsDialogClass, nullptr)) != nullptr;)
        {
            dialogs += ::IsWindowVisible(found) ? 1 : 0;
        }
        return dialogs;
    };
    ::SendMessageW(m_main, WM_COMMAND, kMenuSettings, 0);
    EXPECT_TRUE(Throughout(
        [&]
        {
            const int dialogs = visibleDialogs();
            return ::testing::AssertionResult(dialogs == 1) << dialogs << " dialogs are open";
        },
        300ms));

    // The width holds at its twips whatever width is tried.
    const int tpp = mirufon::TwipsPerPixel(ScreenDpi());
    RECT outer{};
    ::GetWindowRect(dialog, &outer);
    const auto width = [&]
    {
        RECT rect{};
        ::GetWindowRect(dialog, &rect);
        return static_cast<int>(rect.right - rect.left);
    };
    EXPECT_NEAR(width(), kSettingsOuterWidth / tpp, 1);
    ::SetWindowPos(dialog, nullptr, 0, 0, 600, outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(Eventually(
        [&]
        {
            return ::testing::AssertionResult(std::abs(width() - kSettingsOuterWidth / tpp) <= 1)
                   << "the dialog is " << width() << " pixels wide";
        }));

    // The main window takes input as soon as the dialog is gone: enabled and active again,
    // not left to another program while it waits to be enabled.
    Click(dialog, kIdSettingsCancel);
    ASSERT_TRUE(WaitClosed(dialog));
    EXPECT_TRUE(WaitUntil(
        [&] { return ::IsWindowEnabled(m_main) && ::GetForegroundWindow() == m_main; }, 1s))
        << "the main window is not active right after the dialog closed";
    EXPECT_TRUE(WaitForHotkeys(MOD_SHIFT, L"AZEBGL", L"", 3s));
}

TEST_F(SettingsTest, CancelKeepsEverySettingYetRegistersAgain)
{
    Start();
    HWND dialog = OpenFromMenu();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PickLetter(dialog, kNewlineList, L'R'));
    Click(dialog, kIdSettingsTab);
    Click(dialog, kIdSettingsAddCopy);
    Click(dialog, kIdSettingsCancel);
    ASSERT_TRUE(WaitClosed(dialog));
    ASSERT_TRUE(WaitForHotkeys(MOD_SHIFT, L"AZEBG", L"R", 3s));
    const std::string conf = ConfAfterClose();
    EXPECT_NE(conf.find("key crlf = E\r\n"), std::string::npos) << conf;
    EXPECT_NE(conf.find("separate tab = 0\r\n"), std::string::npos) << conf;
    EXPECT_NE(conf.find("add copy = 0\r\n"), std::string::npos) << conf;
}

TEST_F(SettingsTest, OkWithANewNewlineKeyTakesEffectAtOnce)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    Start();
    HWND dialog = OpenFromMenu();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PickLetter(dialog, kNewlineList, L'R'));
    Click(dialog, kIdSettingsOk);
    ASSERT_TRUE(WaitClosed(dialog));
    ASSERT_TRUE(WaitForHotkeys(MOD_SHIFT, L"AZRBG", L"E", 3s));
    // The introduction, still shown, names the new key.
    EXPECT_TRUE(
        Eventually([&] { return IsIntroduction(LogText(m_main), L"改行", L"Shift", L"AZRBGL"); }));

    TargetWindow target;
    target.BringToFront();
    ASSERT_TRUE(MovePointer(target.ButtonCentre()));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'A'));
    ASSERT_TRUE(WaitForText(m_main, kIdLog, target.ButtonCaption()));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'R'));
    ASSERT_TRUE(WaitForText(m_main, kIdLog, target.ButtonCaption() + L"\r\n"));
}

TEST_F(SettingsTest, DuplicateLetterIsRefusedOnOkAndTheFocusStays)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    Start();
    HWND dialog = OpenFromMenu();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PickLetter(dialog, kHarvestList, L'A'));
    HWND harvest = ::GetDlgItem(dialog, SettingsKeyListId(kHarvestList));
    Click(dialog, kIdSettingsOk);
    const HWND box = WaitForMessageBox(*m_app, L"重複");
    ASSERT_NE(box, nullptr) << "no duplicate message";
    EXPECT_EQ(Utf8(MessageBoxText(box)), Utf8(L"キーが重複しています！"));
    KeepScreenshot(box, L"settings-duplicate");
    ASSERT_TRUE(DismissMessageBox(box));
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(dialog) == harvest; }, 3s))
        << "the focus left the list";
    EXPECT_FALSE(
        WaitUntil([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, 300ms))
        << "the dialog closed";

    // Cancel is refused the same way while the duplicate stands; another letter lets it go.
    Click(dialog, kIdSettingsCancel);
    const HWND again = WaitForMessageBox(*m_app, L"重複");
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(DismissMessageBox(again));
    ASSERT_TRUE(PickLetter(dialog, kHarvestList, L'Q'));
    Click(dialog, kIdSettingsOk);
    ASSERT_TRUE(WaitClosed(dialog));
    ASSERT_TRUE(WaitForHotkeys(MOD_SHIFT, L"Q", L"L", 3s));
    const std::string conf = ConfAfterClose();
    EXPECT_NE(conf.find("add copy = 0\r\nkey get all = Q\r\n"), std::string::npos) << conf;
}

TEST_F(SettingsTest, CloseBoxStoresEvenADuplicate)
{
    Start();
    HWND dialog = OpenFromMenu();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PickLetter(dialog, kStopList, L'A'));
    // The close box moves no focus, so no test runs.
    TITLEBARINFO titleBar{};
    titleBar.cbSize = sizeof titleBar;
    ASSERT_TRUE(::GetTitleBarInfo(dialog, &titleBar));
    // The close box ends the title bar on the right.
    const RECT bar = titleBar.rcTitleBar;
    ASSERT_TRUE(ClickAt(
        POINT{bar.right - ::GetSystemMetrics(SM_CXSIZE) / 2 - 1, (bar.top + bar.bottom) / 2}));
    ASSERT_TRUE(WaitClosed(dialog)) << "the dialog did not close";
    EXPECT_EQ(WaitForMessageBox(*m_app, L"重複", 300ms), nullptr);
    const std::string conf = ConfAfterClose();
    EXPECT_NE(conf.find("key get name = A\r\n"), std::string::npos) << conf;
    EXPECT_NE(conf.find("key stop = A\r\n"), std::string::npos) << conf;
}

TEST_F(SettingsTest, TabSeparationAndCopyCaptureStartAtOnce)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    Start();
    HWND dialog = OpenFromMenu();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, kIdSettingsTab);
    Click(dialog, kIdSettingsAddCopy);
    Click(dialog, kIdSettingsOk);
    ASSERT_TRUE(WaitClosed(dialog));
    EXPECT_TRUE(
        Eventually([&] { return IsIntroduction(LogText(m_main), L"タブ", L"Shift", L"AZEBGL"); }));

    TargetWindow target;
    target.BringToFront();
    ASSERT_TRUE(MovePointer(target.ButtonCentre()));
    ASSERT_TRUE(WaitUntil([] { return IsHotkeyTaken(MOD_SHIFT, 'A'); }, 3s));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'A'));
    ASSERT_TRUE(WaitForText(m_main, kIdLog, target.ButtonCaption()));
    ASSERT_TRUE(MovePointer(target.EditCentre()));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'Z'));
    const std::wstring two = target.ButtonCaption() + L"\t" + target.EditValue();
    ASSERT_TRUE(WaitForText(m_main, kIdLog, two));
    ASSERT_TRUE(SetClipboardText(target.Handle(), L"copied"));
    ASSERT_TRUE(WaitForText(m_main, kIdLog, two + L"\tcopied"));
}

TEST_F(SettingsTest, OpeningWhileStoppedLeavesOnlyTheStopKey)
{
    Start();
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'G'));
    ASSERT_TRUE(WaitUntil([] { return !IsHotkeyTaken(MOD_SHIFT, 'A'); }, 3s));
    HWND dialog = OpenFromMenu();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(WaitForHotkeys(MOD_SHIFT, L"", L"G", 3s)) << "while the dialog is open";
    ASSERT_TRUE(PickLetter(dialog, kStopList, L'H'));
    Click(dialog, kIdSettingsOk);
    ASSERT_TRUE(WaitClosed(dialog));
    ASSERT_TRUE(WaitForHotkeys(MOD_SHIFT, L"H", L"AZEBGL", 3s)) << "after the dialog";
}

TEST_F(SettingsTest, ClosingTheProgramWithTheDialogOpenSavesAndEnds)
{
    Start();
    HWND dialog = OpenFromMenu();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PickLetter(dialog, kNameList, L'N'));
    Click(dialog, kIdSettingsOk);
    ASSERT_TRUE(WaitClosed(dialog));
    dialog = OpenFromMenu();
    ASSERT_NE(dialog, nullptr);
    // The system ends the program (as at log-off) while the dialog is open.
    ::PostMessageW(m_main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_app->WaitForExit()) << "the program did not end";
    const std::string conf = ReadBytes(m_folder.File(L"Conf.txt")).value_or("<none>");
    EXPECT_NE(conf.find("key get name = N\r\n"), std::string::npos) << conf;
}

// Another program holds Shift+A: one box names it after the start and after OK, not after stop
// and resume. Ended (as at log-off) under the duplicate box, the program ends cleanly and saves.
TEST_F(SettingsTest, KeyHeldElsewhereIsNamedAndEndingUnderTheDuplicateBoxIsClean)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    struct HeldKey
    {
        const bool held = ::RegisterHotKey(nullptr, 0x4D49, MOD_SHIFT, 'A') != FALSE;
        ~HeldKey() { ::UnregisterHotKey(nullptr, 0x4D49); }
    } heldKey;
    ASSERT_TRUE(heldKey.held);
    Start();
    const auto expectHeldBox = [this]
    {
        const HWND box = WaitForMessageBox(*m_app, mirufon::GetAppTitle());
        ASSERT_NE(box, nullptr) << "no box names the held key";
        EXPECT_EQ(Utf8(MessageBoxText(box)),
                  Utf8(L"次のホットキーは他のプログラムが使用中のため使えません。\r\n"
                       L"Shift+A：ポイント位置文字列取得 accName"));
        EXPECT_FALSE(::IsWindow(m_app->FindWindowOf(kSettingsDialogClass, L"")));
        ASSERT_TRUE(DismissMessageBox(box));
    };
    expectHeldBox();
    EXPECT_TRUE(WaitForHotkeys(MOD_SHIFT, L"ZEBG", L""));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'G'));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'G'));
    EXPECT_EQ(WaitForMessageBox(*m_app, mirufon::GetAppTitle(), 700ms), nullptr);
    HWND dialog = OpenFromMenu();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, kIdSettingsOk);
    expectHeldBox();

    dialog = OpenFromMenu();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PickLetter(dialog, kNewlineList, L'Z'));
    Click(dialog, kIdSettingsOk);
    ASSERT_NE(WaitForMessageBox(*m_app, L"重複"), nullptr);
    ::PostMessageW(m_main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_app->WaitForExit()) << "the program did not end";
    EXPECT_EQ(m_app->ExitCode(), 0u);
    const std::string conf = ReadBytes(m_folder.File(L"Conf.txt")).value_or("<none>");
    EXPECT_NE(conf.find("key crlf = E\r\n"), std::string::npos) << conf;
}

TEST_F(SettingsTest, HandEditedKeysOpenAndOkWritesWhatWasShown)
{
    Start("key get name = q\r\nkey get value = \r\nkey crlf = xyz\r\nkey modify = win\r\n"
          "separate tab = 2\r\n");
    HWND dialog = OpenFromMenu();
    ASSERT_NE(dialog, nullptr) << "the dialog did not open on hand-edited values";
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, SettingsKeyListId(0))), L"Q");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, SettingsKeyListId(1))), L"X");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, kIdSettingsModifier)), L"Shift");
    Click(dialog, kIdSettingsOk);
    ASSERT_TRUE(WaitClosed(dialog));
    const std::string conf = ConfAfterClose();
    EXPECT_NE(conf.find("key get name = Q\r\n"), std::string::npos) << conf;
    EXPECT_NE(conf.find("key get value = \r\n"), std::string::npos) << conf;
    EXPECT_NE(conf.find("key crlf = X\r\n"), std::string::npos) << conf;
    EXPECT_NE(conf.find("key modify = Shift\r\n"), std::string::npos) << conf;
    EXPECT_NE(conf.find("separate tab = 2\r\n"), std::string::npos) << conf;
}

TEST_F(SettingsTest, TrayDoubleClickAndTrayMenuOpenTheDialog)
{
    Start("task tray = 1\r\ncustom msg = 0\r\n", true);
    E2E_TRAY_ICON(icon, 10s);
    ASSERT_TRUE(DoubleClickAt(icon));
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "a double click on the icon did not open the dialog";
    Click(dialog, kIdSettingsCancel);
    ASSERT_TRUE(WaitClosed(dialog));
}

} // namespace
} // namespace e2e
