// Saving the log: Ctrl+S and the log's context menu open the system's Save dialog, the file
// holds the log as shown in UTF-8, and a save that fails leaves the old file whole.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/LogFiles.h"
#include "e2e/harness/SystemChecks.h"
#include "e2e/harness/Target.h"
#include "support/Version.h"

#include <gtest/gtest.h>

#include <regex>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

TEST(SaveLog, CtrlSAndTheContextMenuWriteTheLogAsShownAndAFailureKeepsTheOldFile)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    TempFolder folder;
    ASSERT_TRUE(WriteBytes(folder.File(L"Conf.txt"), "separate tab = 1\r\n"));
    App app(folder);
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);

    // The introduction is not saved: Ctrl+S and the greyed menu item do nothing.
    ASSERT_TRUE(Activate(main));
    ASSERT_TRUE(PressChord({VK_CONTROL}, 'S'));
    EXPECT_TRUE(NoSaveDialogFor(app));
    ASSERT_TRUE(OpenLogMenu(main));
    ASSERT_TRUE(PressChord({}, 'S'));
    ASSERT_TRUE(PressChord({}, VK_ESCAPE));
    ASSERT_TRUE(WaitUntil([&] { return !InMenuMode(main); }, 3s));
    EXPECT_TRUE(NoSaveDialogFor(app));

    // Japanese, a character code page 932 lacks, tab separators and a line break.
    TargetWindow target;
    target.BringToFront();
    ASSERT_TRUE(MovePointer(target.ButtonCentre()));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'A'));
    ASSERT_TRUE(WaitForText(main, kIdLog, target.ButtonCaption()));
    ASSERT_TRUE(MovePointer(target.EditCentre()));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'Z'));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'E'));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'Z'));
    const std::wstring log =
        target.ButtonCaption() + L"\t" + target.EditValue() + L"\r\n" + target.EditValue();
    ASSERT_TRUE(WaitForText(main, kIdLog, log));

    ASSERT_TRUE(Activate(main));
    ASSERT_TRUE(PressChord({VK_CONTROL}, 'S'));
    HWND dialog = WaitForSaveDialog(app);
    ASSERT_NE(dialog, nullptr) << "Ctrl+S opened no Save dialog";
    KeepScreenshot(dialog, L"save-dialog");
    const std::wstring suggested = WindowText(FileNameBox(dialog));
    EXPECT_TRUE(std::regex_match(Utf8(suggested), std::regex(R"(mirufon-\d{8}-\d{6}\.txt)")))
        << Utf8(suggested);
    const std::wstring first = folder.File(L"first.txt");
    ASSERT_TRUE(SaveAs(dialog, first));
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes(first) == Utf8File(log); }, 5s))
        << ReadBytes(first).value_or("<none>");

    // The context menu's item; the dialog opens in the folder used last, so a bare name lands
    // there.
    ASSERT_TRUE(OpenLogMenu(main));
    ASSERT_TRUE(PressChord({}, 'S'));
    dialog = WaitForSaveDialog(app);
    ASSERT_NE(dialog, nullptr) << "the context menu opened no Save dialog";
    ASSERT_TRUE(SaveAs(dialog, L"second.txt"));
    const std::wstring second = folder.File(L"second.txt");
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes(second) == Utf8File(log); }, 5s))
        << ReadBytes(second).value_or("<none>");

    // Another process holds the file open without sharing: after the dialog's question about
    // replacing it, the save fails, says why, and the old file stays whole.
    ASSERT_TRUE(MovePointer(target.EditCentre()));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'Z'));
    ASSERT_TRUE(WaitForText(main, kIdLog, log + L"\t" + target.EditValue()));
    {
        const HANDLE held = ::CreateFileW(second.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(Activate(main));
        ASSERT_TRUE(PressChord({VK_CONTROL}, 'S'));
        dialog = WaitForSaveDialog(app);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(SaveAs(dialog, L"second.txt"));
        const HWND replace = WaitForAnyBox(app, IDYES);
        ASSERT_NE(replace, nullptr) << "no question about replacing the file";
        ASSERT_TRUE(Answer(replace, IDYES));
        const HWND failed = WaitForBox(app, testsupport::ExpectedTitle(), IDOK);
        ::CloseHandle(held);
        ASSERT_NE(failed, nullptr) << "no message about the failed save";
        const std::wstring text = MessageBoxText(failed);
        EXPECT_EQ(Utf8(text.substr(0, 16)), Utf8(L"ログを保存できませんでした。\r\n"));
        EXPECT_GT(text.size(), 16u) << "the system's message is missing";
        KeepScreenshot(failed, L"save-failed");
        EXPECT_TRUE(Answer(failed, IDOK));
    }
    EXPECT_EQ(ReadBytes(second), Utf8File(log));
    EXPECT_EQ(FilesIn(folder.Path()),
              (std::vector<std::wstring>{L"Conf.txt", L"first.txt", L"mirufon.exe", L"second.txt"}))
        << "no temporary file is left behind";
}

} // namespace
} // namespace e2e
