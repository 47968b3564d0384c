#include "shell/ControllerFixture.h"
#include "support/Version.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirufon
{
namespace
{

using namespace controller_test;

TEST(AppController, StartUpRunsInItsFixedOrder)
{
    App app;
    app.StartWith(L"add copy = 1\r\ndisp top = 2\r\n");
    EXPECT_EQ(app.Next(),
              Join(Join({"conf read", "geometry", "check on", "labels", "journal read", "listen"},
                        kRegisterAll),
                   {"topmost off", "layout", "preview on", "show"}));
    EXPECT_TRUE(app.m_controller.IsRunning());
    EXPECT_NE(app.m_log.Content().find(L"ポイント位置の文字列を連続取得します。"),
              std::wstring::npos);

    // In the tray, the rest of start-up waits for the start message to go.
    App tray;
    tray.StartWith(L"task tray = 1\r\nadd copy = 1\r\n");
    EXPECT_EQ(tray.Next(),
              (Steps{"conf read", "geometry", "check on", "labels", "journal read", "message"}));
    tray.m_controller.OnTransientMessageClosed();
    // Hidden in the tray, the preview does not run.
    EXPECT_EQ(tray.Next(),
              Join(Join({"enter tray", "listen"}, kRegisterAll), {"topmost on", "layout"}));
    EXPECT_TRUE(tray.m_controller.IsInTray());
    tray.m_controller.OnTransientMessageClosed(); // a late repeat changes nothing
    EXPECT_TRUE(tray.Next().empty());

    // Messages switched off: straight on.
    App quiet;
    quiet.StartWith(L"task tray = 1\r\ncustom msg = 0\r\n");
    const Steps steps = quiet.Next();
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "message"), 0);
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "enter tray"), 1);
}

TEST(AppController, StoredWindowWithoutAReachableTitleBarIsPlacedOnAScreen)
{
    // The fake screen's work area is 1280 x 760 pixels at 96 DPI; the window 456 x 280.
    App far;
    far.StartWith(L"form left = 99999999\r\nform top = 99999999\r\n");
    EXPECT_EQ(far.m_frame.placed, (WindowPixels{{1280 - 456, 760 - 280, 1280, 760}, 96}));

    App reachable;
    reachable.StartWith(L"form left = 17010\r\nform top = 9000\r\n");
    EXPECT_EQ(reachable.m_frame.placed, (WindowPixels{{1134, 600, 1134 + 456, 880}, 96}));
}

TEST(AppController, ShutdownSavesLastAndShowsAFailedSaveBeforeTheExitTimer)
{
    App app;
    app.StartWith(L"add copy = 1\r\n");
    app.Next();
    app.m_controller.Shutdown(ShutdownCause::Closed);
    EXPECT_EQ(app.Next(),
              Join(kUnregisterAll, {"stop listening", "close dialog", "journal stop",
                                    "journal remove", "conf write", "exit timer", "remove icon"}));
    ASSERT_EQ(app.m_conf.written.size(), 1u);
    EXPECT_NE(app.m_conf.written[0].find(L"form left = 150\r\nform top = 300\r\n"
                                         L"form width = 6840\r\nform height = 4200\r\n"),
              std::wstring::npos);
    app.m_controller.Shutdown(ShutdownCause::SessionEnding); // runs once
    EXPECT_TRUE(app.Next().empty());

    App failing;
    failing.m_conf.failWith = L"ファイルは別のプロセスが使用中です。";
    failing.StartWith(L"");
    failing.Next();
    failing.m_controller.Shutdown(ShutdownCause::Closed);
    EXPECT_EQ(failing.Next(),
              Join(kUnregisterAll, {"close dialog", "journal stop", "journal remove", "conf write",
                                    "warning box", "exit timer", "remove icon"}));
    ASSERT_EQ(failing.m_dialogs.messages.size(), 1u);
    EXPECT_EQ(failing.m_dialogs.messages[0],
              testsupport::ExpectedTitle() +
                  L"|設定を保存できませんでした。\r\nファイルは別のプロセスが使用中です。");

    // While Windows itself is ending the session, no box waits for a user.
    App ending;
    ending.m_conf.failWith = L"x";
    ending.StartWith(L"");
    ending.m_controller.Shutdown(ShutdownCause::SessionEnding);
    EXPECT_TRUE(ending.m_dialogs.messages.empty());

    // Closed while the start message is up: start-up does not go on afterwards.
    App early;
    early.StartWith(L"task tray = 1\r\n");
    early.m_controller.Shutdown(ShutdownCause::Closed);
    early.Next();
    early.m_controller.OnTransientMessageClosed();
    EXPECT_TRUE(early.Next().empty());
}

TEST(AppController, SettingsDialogReappliesInOrderWhicheverWayItCloses)
{
    App app;
    app.StartWith(L"");
    app.Next();
    app.m_controller.OpenSettings();
    EXPECT_EQ(app.Next(), Join({"open dialog", "input off"}, kUnregisterAll));
    EXPECT_EQ(app.Id(HotKeyCommand::CaptureName), 0);
    app.m_controller.OpenSettings(); // a second request only brings it to the front
    EXPECT_EQ(app.Next(), Steps{"dialog to front"});

    // "OK" turned copy capture on and changed a key: listening starts before the hotkeys come
    // back, then the separator, labels and introduction follow.
    app.m_dialogs.dialogSettings->captureCopies = 1;
    app.m_dialogs.dialogSettings->lineBreakKey = L"R";
    app.m_dialogs.dialogSettings->tabSeparated = 1;
    app.m_controller.OnSettingsDialogClosed(DialogClose::Ok);
    app.m_dialogs.dialogSettings = nullptr;
    EXPECT_EQ(app.Next(), (Steps{"listen", "hotkey+A", "hotkey+Z", "hotkey+R", "hotkey+B",
                                 "hotkey+G", "hotkey+L", "labels", "input on"}));
    EXPECT_EQ(app.m_controller.CurrentSettings().separator, L"\t");
    EXPECT_NE(app.m_log.Content().find(L"Shift+R：改行"), std::wstring::npos);

    // Stopped, with copy capture turned off again: only the stop key, and listening stops.
    app.m_controller.ToggleRunState();
    app.Next();
    app.m_controller.OpenSettings();
    app.m_dialogs.dialogSettings->captureCopies = 0;
    app.Next();
    app.m_controller.OnSettingsDialogClosed(DialogClose::Cancel);
    app.m_dialogs.dialogSettings = nullptr;
    EXPECT_EQ(app.Next(), (Steps{"stop listening", "hotkey+G", "labels", "input on"}));

    // Closed by the shutdown: nothing is re-applied, the window is only enabled again.
    app.m_controller.OpenSettings();
    app.Next();
    app.m_controller.OnSettingsDialogClosed(DialogClose::Shutdown);
    EXPECT_EQ(app.Next(), Steps{"input on"});
}

// Keys another program holds are named once after start and after the settings dialog stores
// its choices, as the introduction writes them; not after Cancel, nor at stop and resume.
TEST(AppController, HotkeysHeldByAnotherProgramAreNamedInOneBox)
{
    App app;
    app.m_hotKeyApi.Refuse(4, 'A');
    app.m_hotKeyApi.Refuse(4, 'G');
    app.StartWith(L"");
    const std::wstring box =
        L"ミルフォン Ver0.27|次のホットキーは他のプログラムが使用中のため使えません。"
        L"\r\nShift+A：ポイント位置文字列取得 accName\r\nShift+G：停止/再開";
    EXPECT_EQ(app.Next().back(), "warning box");
    EXPECT_EQ(app.m_dialogs.messages, std::vector<std::wstring>{box});
    app.m_controller.ToggleRunState();
    app.m_controller.ToggleRunState();
    for (const DialogClose how : {DialogClose::Cancel, DialogClose::Ok, DialogClose::CloseBox})
    {
        app.m_controller.OpenSettings();
        app.m_controller.OnSettingsDialogClosed(how);
        app.m_dialogs.dialogSettings = nullptr;
    }
    EXPECT_EQ(app.m_dialogs.messages, (std::vector<std::wstring>{box, box, box}));
    EXPECT_EQ(app.Next().back(), "warning box later");
}

TEST(AppController, StopAndResumeSwitchKeysPreviewAndIntroduction)
{
    App app;
    app.StartWith(L"");
    app.Next();
    app.m_controller.OnHotKey(app.Id(HotKeyCommand::StopResume));
    EXPECT_FALSE(app.m_controller.IsRunning());
    // The stop key stays registered throughout: only the other five go and come back.
    EXPECT_EQ(app.Next(), Join({"preview off", "running off"}, Steps(5, "hotkey-")));
    app.m_log.Load(L"typed over the introduction");
    app.m_controller.OnHotKey(app.Id(HotKeyCommand::CaptureName)); // not registered: inert
    EXPECT_EQ(app.m_log.Content(), L"typed over the introduction");
    // Minimized and back while stopped: the preview stays off.
    app.m_controller.OnMinimized(true);
    app.m_controller.OnMinimized(false);
    EXPECT_TRUE(app.Next().empty());

    app.m_controller.ToggleRunState();
    EXPECT_TRUE(app.m_controller.IsRunning());
    EXPECT_EQ(app.Next(), (Steps{"preview on", "running on", "hotkey+A", "hotkey+Z", "hotkey+E",
                                 "hotkey+B", "hotkey+L"}));
    EXPECT_EQ(app.m_log.Content().rfind(L"\r\nポイント位置", 0), 0u) << "introduction rebuilt";
    app.m_controller.OnMinimized(true);
    app.m_controller.OnMinimized(false);
    EXPECT_EQ(app.Next(), (Steps{"preview off", "preview on"}));
}

// Slower ticks once the pointer has rested a second; quick ones again at the first move.
TEST(AppController, ThePreviewTicksSlowerWhileThePointerRests)
{
    App app;
    app.StartWith(L"");
    const auto tickFor = [&](std::int64_t milliseconds, std::int64_t interval)
    {
        for (std::int64_t passed = 0; passed < milliseconds; passed += interval)
        {
            app.m_clock.now += interval;
            app.m_controller.Preview().OnTick();
        }
    };
    tickFor(kRestBeforeSlowTickMs - kPreviewTickMs, kPreviewTickMs);
    EXPECT_EQ(app.m_timers.previewInterval, 0);
    tickFor(kPreviewTickMs * 2, kPreviewTickMs);
    EXPECT_EQ(app.m_timers.previewInterval, kRestingTickMs);
    app.m_pointer.at.x += 1;
    tickFor(kRestingTickMs, kRestingTickMs);
    EXPECT_EQ(app.m_timers.previewInterval, kPreviewTickMs);
}

TEST(AppController, HotkeysAndCopiesActOnlyWhileRegisteredAndListening)
{
    App app;
    // Before start-up nothing is registered or listening: nothing acts.
    app.m_controller.OnHotKey(-16384);
    app.m_controller.OnClipboardChanged();
    EXPECT_EQ(app.m_clipboard.reads, 0);
    app.StartWith(L"add copy = 1\r\n");

    // A capture reads on a worker; the copy and the line break behind it wait for its text.
    app.m_controller.OnHotKey(app.Id(HotKeyCommand::CaptureName));
    const std::uint64_t first = app.m_workers.Last();
    EXPECT_TRUE(app.m_workers.started.back().wanted.name);
    app.m_controller.OnClipboardChanged();
    EXPECT_EQ(app.m_clipboard.reads, 1);
    app.m_controller.OnClipboardRead(ClipboardRead{true, L"copied", 0, {}, 1});
    app.m_controller.OnHotKey(app.Id(HotKeyCommand::LineBreak));
    EXPECT_NE(app.m_log.Content().find(L"ポイント位置"), std::wstring::npos) << "applied early";
    app.EndRead(first, ElementTexts{false, L"name", L""});
    EXPECT_EQ(app.m_log.Content(), L"name\r\ncopied\r\n");

    // Over the program's own window nothing at all happens.
    app.m_pointer.at.overOwnWindow = true;
    app.m_controller.OnHotKey(app.Id(HotKeyCommand::CaptureValue));
    EXPECT_EQ(app.m_workers.Last(), first);
    app.m_pointer.at.overOwnWindow = false;
    app.m_controller.OnHotKey(app.Id(HotKeyCommand::CaptureName));
    app.m_controller.OnHotKey(app.Id(HotKeyCommand::CancelLast));
    app.EndRead(app.m_workers.Last(), ElementTexts{false, L"name", L""});
    // The cancel takes the last item with the line break before it.
    EXPECT_EQ(app.m_log.Content(), L"name\r\ncopied");

    // The harvest key harvests what lies under the pointer as one item.
    app.m_controller.OnHotKey(app.Id(HotKeyCommand::HarvestAll));
    ASSERT_EQ(app.m_workers.started.back().kind, ReadKind::Harvest);
    app.EndRead(app.m_workers.Last(), HarvestResult{HarvestOutcome::Harvested, L"a\tb\r\nc"});
    EXPECT_EQ(app.m_log.Content(), L"name\r\ncopied\r\na\tb\r\nc");

    // Clearing empties the clipboard on its worker, in turn with the other changes; a copy
    // still being read was made before, and is dropped.
    app.m_controller.OnClipboardChanged();
    app.Next();
    app.m_controller.ClearAll();
    EXPECT_EQ(app.Next(), Steps{"empty clipboard"});
    app.m_controller.OnClipboardRead(ClipboardRead{true, L"stale", 0, {}, 2});
    EXPECT_EQ(app.m_log.Content(), L"");

    app.m_controller.Shutdown(ShutdownCause::Closed);
    app.m_controller.OnClipboardChanged();
    EXPECT_EQ(app.m_clipboard.reads, 2);
}

TEST(AppController, AlwaysOnTopTrayAndMenuCommands)
{
    App app;
    app.StartWith(L"disp top = 2\r\ntask tray = 1\r\ncustom msg = 0\r\n");
    app.Next();
    app.m_controller.ToggleAlwaysOnTop(); // a non-zero value shows checked: the click clears it
    app.m_controller.ToggleAlwaysOnTop();
    EXPECT_EQ(app.Next(), (Steps{"check off", "topmost off", "check on", "topmost on"}));
    EXPECT_EQ(app.m_controller.CurrentSettings().alwaysOnTop, 1);

    app.m_controller.OnTrayEvent(0x204); // right button: the menu
    app.m_controller.OnTrayEvent(0x202); // a single click: nothing
    app.m_controller.LeaveTray();
    EXPECT_EQ(app.Next(), (Steps{"tray menu", "leave tray", "preview on"}));
    EXPECT_EQ(app.m_controller.CurrentSettings().startInTray, 0);
    app.m_controller.OnTrayEvent(0x203); // double click: the settings dialog
    EXPECT_EQ(app.Next().front(), "open dialog");

    app.m_frame.foreground = true;
    app.m_controller.SelectAllLog();
    app.m_controller.ShowHotKeyHelp();
    app.m_controller.Quit();
    EXPECT_EQ(app.Next(), (Steps{"box", "close"}));
    EXPECT_EQ(app.m_dialogs.messages.back().rfind(L"ホットキー説明|\r\nポイント位置", 0), 0u);
}

} // namespace
} // namespace mirufon
