// The main window's menu commands, a second start, and capture from a program nobody here
// wrote.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/HtmlHandler.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/Notepad.h"
#include "e2e/harness/SystemChecks.h"
#include "e2e/harness/Target.h"
#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/window/Handles.h"

#include <gtest/gtest.h>
#include <sddl.h>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

// Positions in the menu bar: 停止 | 表示 | クリア | 設定 | ヘルプ | ？ホットキー.
constexpr int kMenuGoPosition = 0;
constexpr int kMenuDispPosition = 1;
constexpr int kMenuClearPosition = 2;
constexpr int kMenuHelpHotKeyPosition = 5;

TEST(MainWindow, MenuStopsAndResumesLikeTheStopKey)
{
    TempFolder folder;
    App app(folder);
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    TargetWindow target;
    ASSERT_TRUE(Activate(main));
    // Over the program's own log the preview is empty; it stays so while stopped.
    RECT log{};
    ::GetWindowRect(Control(main, kIdLog), &log);
    ASSERT_TRUE(MovePointer(POINT{(log.left + log.right) / 2, (log.top + log.bottom) / 2}));
    ASSERT_TRUE(WaitForText(main, kIdPreviewName, L""));
    const std::vector<COLORREF> runningMenu = DrawnMenuBar(main);
    ASSERT_FALSE(runningMenu.empty()) << "the menu bar was never drawn";

    // The log's grey frame is painted once the stop is over, hotkeys included.
    ASSERT_TRUE(ChooseMenu(main, kMenuGoPosition));
    ASSERT_TRUE(WaitForLogFrame(main, RGB(248, 248, 248)));
    ASSERT_TRUE(WaitForHotkeys(MOD_SHIFT, L"G", L"AZEB")) << "after stop";
    EXPECT_TRUE(WaitUntil([&] { return MenuBarPixels(main) != runningMenu; }, 5s));

    ASSERT_TRUE(ChooseMenu(main, kMenuGoPosition));
    const bool restored = WaitUntil([&] { return MenuBarPixels(main) == runningMenu; }, 5s);
    if (!restored)
    {
        KeepScreenshot(main, L"menu-after-resume");
    }
    EXPECT_TRUE(restored);
    // The preview, frozen while stopped, runs again once the resume is over, hotkeys included.
    ASSERT_TRUE(MovePointer(target.ButtonCentre()));
    ASSERT_TRUE(WaitForText(main, kIdPreviewName, target.ButtonCaption()));
    ASSERT_TRUE(WaitForHotkeys(MOD_SHIFT, L"AZEBG", L"")) << "after resume";
}

TEST(MainWindow, AlwaysOnTopFollowsTheMenuAndIsSaved)
{
    TempFolder folder;
    App app(folder);
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsTopMost(main)) << "on top by default";

    ASSERT_TRUE(ChooseMenu(main, kMenuDispPosition, 0));
    ASSERT_TRUE(WaitUntil([&] { return !IsTopMost(main); }, 3s));
    ASSERT_TRUE(ChooseMenu(main, kMenuDispPosition, 0));
    ASSERT_TRUE(WaitUntil([&] { return IsTopMost(main); }, 3s));
    ASSERT_TRUE(ChooseMenu(main, kMenuDispPosition, 0));
    ASSERT_TRUE(WaitUntil([&] { return !IsTopMost(main); }, 3s));

    ASSERT_TRUE(app.Close());
    const auto conf = ReadBytes(folder.File(L"Conf.txt"));
    ASSERT_TRUE(conf.has_value());
    EXPECT_NE(conf->find("disp top = 0\r\n"), std::string::npos) << *conf;
}

TEST(MainWindow, DispTopTwoChecksTheItemButIsNotTopMost)
{
    TempFolder folder;
    ASSERT_TRUE(WriteBytes(folder.File(L"Conf.txt"), "disp top = 2\r\n"));
    App app(folder);
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsTopMost(main));
    // The item shows its check mark, so the first click takes it off: still not on top, and
    // the setting is now 0. The command is posted before the close below, so it is handled
    // first.
    ASSERT_TRUE(ChooseMenu(main, kMenuDispPosition, 0));
    EXPECT_FALSE(WaitUntil([&] { return IsTopMost(main); }, 500ms)) << "the window went on top";
    ASSERT_TRUE(app.Close());
    const auto conf = ReadBytes(folder.File(L"Conf.txt"));
    ASSERT_TRUE(conf.has_value());
    EXPECT_NE(conf->find("disp top = 0\r\n"), std::string::npos) << *conf;
}

TEST(MainWindow, HotKeyHelpShowsTheCurrentKeys)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    TempFolder folder;
    ASSERT_TRUE(WriteBytes(folder.File(L"Conf.txt"),
                           "key get name = N\r\nkey modify = Alt\r\nseparate tab = 1\r\n"));
    App app(folder);
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(ChooseMenu(main, kMenuHelpHotKeyPosition));
    const HWND box = WaitForMessageBox(app, L"ホットキー説明");
    ASSERT_NE(box, nullptr) << "the hotkey help did not appear";
    EXPECT_TRUE(IsIntroduction(MessageBoxText(box), L"タブ", L"Alt", L"NZEBGL"));
    KeepScreenshot(box, L"hotkey-help");
    EXPECT_TRUE(DismissMessageBox(box));
}

TEST(MainWindow, ClearEmptiesTheLogThePreviewAndTheClipboard)
{
    TempFolder folder;
    App app(folder);
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    TargetWindow target;
    target.BringToFront();
    ASSERT_TRUE(MovePointer(target.ButtonCentre()));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'A'));
    ASSERT_TRUE(WaitForText(main, kIdLog, target.ButtonCaption()));
    ASSERT_TRUE(WaitForText(main, kIdPreviewName, target.ButtonCaption()));

    ASSERT_TRUE(::OpenClipboard(target.Handle()));
    ::EmptyClipboard();
    const wchar_t text[] = L"clip";
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    ::memcpy(::GlobalLock(memory), text, sizeof text);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();

    // Stopped, the preview keeps the button's caption wherever the pointer goes, so that only
    // the clear can empty it.
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'G'));
    ASSERT_TRUE(WaitForLogFrame(main, RGB(248, 248, 248)));
    ASSERT_TRUE(ChooseMenu(main, kMenuClearPosition));
    ASSERT_TRUE(WaitForText(main, kIdLog, L""));
    EXPECT_TRUE(WaitForText(main, kIdPreviewName, L""));
    EXPECT_TRUE(WaitUntil([] { return !::IsClipboardFormatAvailable(CF_UNICODETEXT); }, 3s));
}

TEST(MainWindow, SecondStartIsRefusedAndTheFirstGoesOn)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    TempFolder folder;
    App first(folder);
    const HWND main = first.MainWindow();
    ASSERT_NE(main, nullptr);
    const std::string conf = "key get name = Q\r\n";
    ASSERT_TRUE(WriteBytes(folder.File(L"Conf.txt"), conf));

    MovePointer(POINT{5, 5});
    // A renamed copy in the same folder: the message names it.
    App second(folder, L"mirufon2.exe");
    ASSERT_EQ(Utf8(second.StartError()), "");
    // As long as any start may take.
    const HWND box = WaitForMessageBox(second, L"起動中！", 15s);
    ASSERT_NE(box, nullptr) << "no already-running message";
    EXPECT_EQ(Utf8(MessageBoxText(box)), Utf8(L"ミルフォン(mirufon2) は既に起動中です！"));
    KeepScreenshot(box, L"already-running");
    // From its message to its end, the refused copy never has a main window.
    bool secondWindow = second.FindWindowOf(mirufon::win32::kMainWindowClass, L"") != nullptr;
    ASSERT_TRUE(DismissMessageBox(box));
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            secondWindow =
                secondWindow || second.FindWindowOf(mirufon::win32::kMainWindowClass, L"");
            return !second.IsRunning();
        }))
        << "the refused copy did not end";
    EXPECT_FALSE(secondWindow) << "the refused copy opened a main window";

    EXPECT_EQ(ReadBytes(folder.File(L"Conf.txt")), conf) << "the refused start touched Conf.txt";
    EXPECT_FALSE(WaitUntil([&] { return !first.IsRunning() || !::IsWindowVisible(main); }, 500ms))
        << "the first copy ended or hid its window";
}

// A copy run as administrator made the mutex with a security that a copy run as the user may
// not open (CreateMutex fails with error 5): that copy runs, so this one stops.
TEST(MainWindow, StartBesideACopyRunAsAdministratorIsRefused)
{
    SECURITY_ATTRIBUTES refusing{sizeof refusing, nullptr, FALSE};
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:", SDDL_REVISION_1, &refusing.lpSecurityDescriptor, nullptr));
    const mirufon::win32::UniqueKernelHandle elevated(
        ::CreateMutexW(&refusing, FALSE, mirufon::win32::kSingleInstanceMutex));
    ::LocalFree(refusing.lpSecurityDescriptor);
    ASSERT_TRUE(elevated);
    TempFolder folder;
    App app(folder);
    const HWND box = WaitForMessageBox(app, L"起動中！", 15s);
    ASSERT_NE(box, nullptr) << "no already-running message";
    ASSERT_TRUE(DismissMessageBox(box));
    EXPECT_TRUE(app.WaitForExit());
}

TEST(MainWindow, CapturesTheTextOfWineNotepad)
{
    TempFolder folder;
    App app(folder);
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);

    Notepad notepad;
    E2E_SKIP_IF(notepad.Unavailable());
    ASSERT_TRUE(notepad.Started()) << "Wine's notepad did not start";
    HWND edit = notepad.Edit();
    ASSERT_TRUE(ClickAt(notepad.EditCentre()));
    ASSERT_TRUE(TypeText(L"メモ帳 notepad"));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(edit) == L"メモ帳 notepad"; }));

    ASSERT_TRUE(PressChord({VK_SHIFT}, 'Z'));
    EXPECT_TRUE(WaitForText(main, kIdLog, L"メモ帳 notepad"));
}

} // namespace
} // namespace e2e

namespace e2e
{
namespace
{

TEST(MainWindow, HelpOpensThePageShippedBesideTheProgram)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    E2E_SKIP_IF(HtmlOpenedByUsersChoice());
    TempFolder folder;
    const std::wstring page = DriverFolder() + L"\\mirufon-help.html";
    ASSERT_TRUE(::CopyFileW(page.c_str(), folder.File(L"mirufon-help.html").c_str(), FALSE));
    const std::wstring opened = folder.File(L"opened.html");
    HtmlHandlerOverride handler(opened);
    App app(folder);
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    const auto shipped = ReadBytes(page);
    ASSERT_TRUE(shipped.has_value());
    EXPECT_NE(shipped->find("ミルフォン"), std::string::npos);
    ASSERT_TRUE(ChooseMenu(main, 4)); // ヘルプ
    ASSERT_TRUE(WaitUntil([&] { return ReadBytes(opened).has_value(); }, 15s))
        << "no page was opened";
    // The handler's copy may still be writing the file.
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes(opened) == shipped; }, 5s))
        << "the page opened is not the one shipped: " << ReadBytes(opened).value_or("<none>").size()
        << " bytes against " << shipped->size();
}

} // namespace
} // namespace e2e
