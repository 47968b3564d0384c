// Starting in the notification area: the start message, the icon, its menu, and the way back
// to the window.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/SystemChecks.h"
#include "e2e/harness/Tray.h"
#include "platform/win32/mainwindow/ControlIds.h"
#include "support/Version.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <vector>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

HWND FindMainWindowOf(const App& app)
{
    return app.FindWindowOf(mirufon::win32::kMainWindowClass, L"");
}

// The pop-up menu on screen, if one is open. Menu windows of earlier menus may linger hidden.
HWND VisibleMenu()
{
    HWND menu = nullptr;
    while ((menu = ::FindWindowExW(nullptr, menu, L"#32768", nullptr)) != nullptr)
    {
        if (::IsWindowVisible(menu))
        {
            return menu;
        }
    }
    return nullptr;
}

// Opens the icon's menu with a right click and chooses the item that Down pressed count times
// reaches (separators are skipped), as a user would with the keyboard once the menu is open.
bool ChooseTrayMenu(POINT icon, int downs)
{
    // A click soon after an earlier one on the same spot would count as a double click.
    PumpMessages(std::chrono::milliseconds(::GetDoubleClickTime() + 100));
    if (!ClickAt(icon, true))
    {
        return false;
    }
    HWND menu = nullptr;
    if (!WaitUntil(
            [&]
            {
                menu = VisibleMenu();
                return menu != nullptr;
            },
            3s))
    {
        ADD_FAILURE() << "the icon's menu did not open";
        return false;
    }
    for (int i = 0; i < downs; ++i)
    {
        PressChord({}, VK_DOWN);
    }
    PressChord({}, VK_RETURN);
    if (!WaitUntil([&] { return !::IsWindowVisible(menu); }, 3s))
    {
        ADD_FAILURE() << "the icon's menu stayed open";
        return false;
    }
    return true;
}

TEST(Tray, StartsInTheTrayAfterTheMessageAndComesBackOut)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    TempFolder folder;
    ASSERT_TRUE(WriteBytes(folder.File(L"Conf.txt"), "task tray = 1\r\n"));
    App app(folder);

    // The start message: three lines, the middle one empty; it closes by itself.
    HWND message = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            message = app.FindWindowOf(mirufon::win32::kMessageWindowClass, L"");
            return message && ::IsWindowVisible(message);
        },
        10s))
        << "no start message";
    HWND label = ::GetWindow(message, GW_CHILD);
    EXPECT_EQ(Utf8(WindowText(label)),
              Utf8(testsupport::ExpectedTitle() + L"\r\n\r\nタスクトレイに収納します！"));
    RECT shown{};
    ::GetWindowRect(message, &shown);
    KeepScreenshot(message, L"start-message");
    // It shrinks towards its bottom-right corner, which never moves, not even for a moment.
    std::vector<RECT> sizes;
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            RECT now{};
            if (!::GetWindowRect(message, &now))
            {
                return !::IsWindow(message);
            }
            if (sizes.empty() || !::EqualRect(&sizes.back(), &now))
            {
                sizes.push_back(now);
            }
            return false;
        },
        6s))
        << "the start message did not close by itself";
    ASSERT_GE(sizes.size(), 3u) << "no closing animation seen";
    for (const RECT& size : sizes)
    {
        EXPECT_EQ(size.right, shown.right);
        EXPECT_EQ(size.bottom, shown.bottom);
    }
    EXPECT_LT(sizes.back().right - sizes.back().left, (shown.right - shown.left) / 2);

    // The window stays hidden; the icon is in the tray.
    ASSERT_TRUE(WaitUntil([&] { return FindMainWindowOf(app) != nullptr; }, 5s));
    const HWND main = FindMainWindowOf(app);
    E2E_TRAY_ICON(icon, 5s);
    EXPECT_FALSE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 500ms))
        << "the window showed while in the tray";

    // Its menu: 設定, 表示, トレイから出す, ... "トレイから出す" shows the window.
    ASSERT_TRUE(ChooseTrayMenu(icon, 3));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 5s))
        << "the window did not come out of the tray";
    EXPECT_TRUE(WaitUntil([] { return !FindTrayIcon().has_value(); }, 3s))
        << "the icon stayed in the tray";

    ASSERT_TRUE(app.Close());
    const auto conf = ReadBytes(folder.File(L"Conf.txt"));
    ASSERT_TRUE(conf.has_value());
    EXPECT_NE(conf->find("task tray = 0\r\n"), std::string::npos) << *conf;
}

TEST(Tray, QuitFromTheTrayMenuSavesAndLeavesNoIcon)
{
    TempFolder folder;
    ASSERT_TRUE(WriteBytes(folder.File(L"Conf.txt"),
                           "task tray = 1\r\ncustom msg = 0\r\nkey get name = K\r\n"));
    App app(folder);
    E2E_TRAY_ICON(icon, 10s);
    const HWND main = FindMainWindowOf(app);
    ASSERT_NE(main, nullptr);
    // With messages off, no start message is shown (it would come before the icon), and the
    // window stays hidden.
    EXPECT_TRUE(Throughout(
        [&]
        {
            if (app.FindWindowOf(mirufon::win32::kMessageWindowClass, L""))
            {
                return ::testing::AssertionFailure() << "a start message is shown";
            }
            return ::testing::AssertionResult(!::IsWindowVisible(main)) << "the window shows";
        },
        500ms));

    // 設定, 表示, トレイから出す, クリア, ヘルプ, バージョン, 終了.
    ASSERT_TRUE(ChooseTrayMenu(icon, 7));
    ASSERT_TRUE(app.WaitForExit()) << "終了 did not end the program";
    // The taskbar repaints on its own time.
    EXPECT_TRUE(WaitUntil([] { return !FindTrayIcon().has_value(); }, 3s))
        << "a dead icon was left in the tray";
    const auto conf = ReadBytes(folder.File(L"Conf.txt"));
    ASSERT_TRUE(conf.has_value());
    EXPECT_NE(conf->find("task tray = 1\r\n"), std::string::npos) << *conf;
    EXPECT_NE(conf->find("key get name = K\r\n"), std::string::npos) << *conf;
}

// A single click on the icon does nothing; "表示" in its menu shows the window in front and
// leaves the icon, and the program still starts in the tray next time.
TEST(Tray, ShowItemBringsTheWindowToTheFrontWhereASingleClickDoesNothing)
{
    TempFolder folder;
    ASSERT_TRUE(WriteBytes(folder.File(L"Conf.txt"), "task tray = 1\r\ncustom msg = 0\r\n"));
    App app(folder);
    E2E_TRAY_ICON(icon, 10s);
    const HWND main = FindMainWindowOf(app);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(ClickAt(icon));
    EXPECT_TRUE(Throughout(
        [&]
        {
            if (VisibleMenu())
            {
                return ::testing::AssertionFailure() << "a single left click opened a menu";
            }
            return ::testing::AssertionResult(!::IsWindowVisible(main))
                   << "a single left click showed the window";
        },
        600ms));

    ASSERT_TRUE(ChooseTrayMenu(icon, 2)); // 表示
    ASSERT_TRUE(
        WaitUntil([&] { return ::IsWindowVisible(main) && ::GetForegroundWindow() == main; }, 5s))
        << "表示 did not bring the window to the front";
    EXPECT_TRUE(Throughout(
        [] { return ::testing::AssertionResult(FindTrayIcon().has_value()) << "the icon went"; },
        500ms));
    KeepScreenshot(::GetDesktopWindow(), L"tray-show-dpi-" + std::to_wstring(ScreenDpi()));
    ASSERT_TRUE(app.Close());
    const auto conf = ReadBytes(folder.File(L"Conf.txt"));
    ASSERT_TRUE(conf.has_value());
    EXPECT_NE(conf->find("task tray = 1\r\n"), std::string::npos) << *conf;
}

} // namespace
} // namespace e2e

namespace e2e
{
namespace
{

// A taskbar that is not ready: a window of the taskbar's class in front of the real one that
// refuses every icon, as a shell too busy to answer does.
struct UnreadyTaskbar
{
    static LRESULT CALLBACK Refuse(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message != WM_COPYDATA)
        {
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
        ++refused;
        return FALSE;
    }
    UnreadyTaskbar()
    {
        refused = 0;
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Refuse;
        windowClass.lpszClassName = L"Shell_TrayWnd";
        ::RegisterClassW(&windowClass);
        window = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"",
                                   WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    }
    ~UnreadyTaskbar()
    {
        ::DestroyWindow(window);
        ::UnregisterClassW(L"Shell_TrayWnd", nullptr);
    }
    static inline int refused = 0;
    HWND window = nullptr;
};

// A restarting shell forgets every icon, then tells all top-level windows it is back. One that
// does not take the icon is offered it again for a while; when it never does, the window comes
// out, and the next restart brings the icon back.
TEST(Tray, IconComesBackWhenTheShellRestarts)
{
    TempFolder folder;
    ASSERT_TRUE(WriteBytes(folder.File(L"Conf.txt"), "task tray = 1\r\ncustom msg = 0\r\n"));
    App app(folder);
    E2E_TRAY_ICON(shown, 10s);
    const HWND main = FindMainWindowOf(app);
    ASSERT_NE(main, nullptr);
    const auto forgetIcon = [main]
    {
        NOTIFYICONDATAW icon{};
        icon.cbSize = sizeof icon;
        icon.hWnd = main;
        icon.uID = 1;
        ::Shell_NotifyIconW(NIM_DELETE, &icon);
        return WaitUntil([] { return !FindTrayIcon().has_value(); }, 3s);
    };
    const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    ASSERT_TRUE(forgetIcon());
    ::PostMessageW(main, taskbarCreated, 0, 0);
    EXPECT_TRUE(WaitUntil([] { return FindTrayIcon().has_value(); }, 5s))
        << "the icon was not added again; the program is out of reach";

    ASSERT_TRUE(forgetIcon());
    {
        UnreadyTaskbar unready;
        ASSERT_NE(unready.window, nullptr);
        const auto started = std::chrono::steady_clock::now();
        ::PostMessageW(main, taskbarCreated, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return unready.refused >= 3; }, 10s)) << "not offered again";
        EXPECT_FALSE(::IsWindowVisible(main)) << "out of the tray while still trying";
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 30s))
            << "the window did not come out; the program is out of reach";
        EXPECT_GE(std::chrono::steady_clock::now() - started, 9s);
        EXPECT_GE(unready.refused, 11);
    }
    ::PostMessageW(main, taskbarCreated, 0, 0);
    EXPECT_TRUE(WaitUntil([] { return FindTrayIcon().has_value(); }, 5s))
        << "the icon did not come back with the shell";
}

TEST(Tray, SettingsItemOfTheIconMenuOpensTheDialog)
{
    TempFolder folder;
    ASSERT_TRUE(WriteBytes(folder.File(L"Conf.txt"), "task tray = 1\r\ncustom msg = 0\r\n"));
    App app(folder);
    E2E_TRAY_ICON(icon, 10s);
    ASSERT_TRUE(ChooseTrayMenu(icon, 1)); // 設定
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            dialog = app.FindWindowOf(L"MirufonSettings", L"");
            return dialog && ::IsWindowVisible(dialog);
        },
        5s))
        << "設定 in the icon's menu did not open the settings";
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s));
}

} // namespace
} // namespace e2e
