// Start-up with a prepared Conf.txt, the introduction text in the log, and the Conf.txt
// written when the window is closed.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/LogFiles.h"
#include "e2e/harness/SystemChecks.h"
#include "shell/Layout.h"
#include "support/Version.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace e2e
{
namespace
{

using mirufon::win32::kIdKeyName;
using mirufon::win32::kIdKeyValue;
using mirufon::win32::kIdLog;

std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size())
    {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
        {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

RECT WindowRectOf(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

TEST(StartupConf, PreparedFileIsReadShownAndWrittenBackWithRealGeometry)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    TempFolder folder;
    // Keys in mixed case and an unusual separator, a value with trailing spaces, a line with
    // two "=", and lines in CR LF and lone CR; no harvest key, and L taken by another key.
    const std::string conf = WideToAnsi(L"Form Left = 1500\r\n"
                                        L"form top=1200\r"
                                        L"form width = 7500\r\n"
                                        L"form height = 4500\r\n"
                                        L"key get name = Q\r\n"
                                        L"key get value = W\r\n"
                                        L"key crlf = R\r\n"
                                        L"key back = L\r\n"
                                        L"key stop = Y\r\n"
                                        L"key modify = Ctrl\r\n"
                                        L"separate tab = 1\r\n"
                                        L"search string = 検索  \r\n"
                                        L"custom item = a=b\r\n"
                                        L"disp pos = 左上隅\r\n");
    ASSERT_TRUE(WriteBytes(folder.File(L"Conf.txt"), conf));

    App app(folder);
    const HWND window = app.MainWindow();
    ASSERT_NE(window, nullptr) << "the main window did not appear";
    EXPECT_EQ(Utf8(WindowText(window)), Utf8(testsupport::ExpectedTitle()));

    const std::wstring log = WindowText(Control(window, kIdLog));
    EXPECT_TRUE(IsIntroduction(log, L"タブ", L"Ctrl", L"QWRLYM"));
    EXPECT_EQ(Utf8(WindowText(Control(window, kIdKeyName))), "Ctrl+Q");
    EXPECT_EQ(Utf8(WindowText(Control(window, kIdKeyValue))), "Ctrl+W");

    // Geometry from the file, in twips: 1500 twips are 100 pixels at 96 DPI, 150 at 144.
    const int tpp = mirufon::TwipsPerPixel(ScreenDpi());
    const RECT placed = WindowRectOf(window);
    EXPECT_EQ(placed.left, 1500 / tpp);
    EXPECT_EQ(placed.top, 1200 / tpp);
    EXPECT_EQ(placed.right - placed.left, 7500 / tpp);
    EXPECT_EQ(placed.bottom - placed.top, 4500 / tpp);

    // The user moves and resizes the window before closing it.
    ::SetWindowPos(window, nullptr, 140, 90, 520, 330, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return WindowRectOf(window).left == 140; }));
    const RECT final = WindowRectOf(window);
    ASSERT_TRUE(app.Close()) << "the program did not end after WM_CLOSE";

    const auto written = ReadBytes(folder.File(L"Conf.txt"));
    ASSERT_TRUE(written.has_value());
    std::ostringstream expected;
    expected << "form left = " << final.left * tpp << "\r\n"
             << "form top = " << final.top * tpp << "\r\n"
             << "form width = " << (final.right - final.left) * tpp << "\r\n"
             << "form height = " << (final.bottom - final.top) * tpp << "\r\n"
             << "task tray = 0\r\n"
             << "time auto close = 5\r\n"
             << "disp pos = " << WideToAnsi(L"左上隅") << "\r\n"
             << "disp top = 1\r\n"
             << "search string = " << WideToAnsi(L"検索  ") << "\r\n"
             << "search fuzzy = 0\r\n"
             << "custom item = 1111111\r\n"
             << "custom msg = 1\r\n"
             << "key get name = Q\r\n"
             << "key get value = W\r\n"
             << "key back = L\r\n"
             << "key crlf = R\r\n"
             << "key stop = Y\r\n"
             << "key modify = Ctrl\r\n"
             << "separate tab = 1\r\n"
             << "add copy = 0\r\n"
             << "key get all = M\r\n";
    EXPECT_EQ(*written, expected.str());
    EXPECT_FALSE(ReadBytes(folder.File(L"Conf.txt.new")).has_value())
        << "the temporary file of the save was left behind";
}

TEST(StartupConf, WithoutFileTheDefaultsAreUsedAndWrittenInCodePage932)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    TempFolder folder;
    App app(folder);
    const HWND window = app.MainWindow();
    ASSERT_NE(window, nullptr) << "the main window did not appear";
    EXPECT_TRUE(IsIntroduction(WindowText(Control(window, kIdLog)), L"改行", L"Shift", L"AZEBGL"));
    ASSERT_TRUE(app.Close());

    const auto written = ReadBytes(folder.File(L"Conf.txt"));
    ASSERT_TRUE(written.has_value());
    const auto lines = Lines(*written);
    ASSERT_EQ(lines.size(), 21u);
    // "右下隅" in Shift_JIS.
    EXPECT_EQ(lines[6], "disp pos = \x89\x45\x89\xBA\x8B\xF7");
    EXPECT_EQ(lines[12], "key get name = A");
    EXPECT_EQ(lines[17], "key modify = Shift");
    EXPECT_EQ(lines[20], "key get all = L");
}

TEST(StartupConf, FailedSaveLeavesTheOldFileWholeAndSaysSoUnlessWindowsIsEnding)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    TempFolder folder;
    const std::string original = "key get name = K\r\n";
    ASSERT_TRUE(WriteBytes(folder.File(L"Conf.txt"), original));
    // Another program holds Conf.txt open without sharing: the save cannot replace it.
    const auto hold = [&]
    {
        return ::CreateFileW(folder.File(L"Conf.txt").c_str(), GENERIC_READ, 0, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    };

    {
        App app(folder);
        ASSERT_NE(app.MainWindow(), nullptr);
        const HANDLE held = hold();
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        const auto closed = std::chrono::steady_clock::now();
        ::PostMessageW(app.MainWindow(), WM_CLOSE, 0, 0);
        const HWND box = WaitForMessageBox(app, testsupport::ExpectedTitle());
        ASSERT_NE(box, nullptr) << "no word of the failed save";
        // A holder that lets go within a moment (antivirus, a sync client) is waited for.
        EXPECT_GE(std::chrono::steady_clock::now() - closed, 2s) << "the save gave up at once";
        const std::wstring text = MessageBoxText(box);
        const std::wstring first = L"設定を保存できませんでした。\r\n";
        EXPECT_EQ(Utf8(text.substr(0, first.size())), Utf8(first));
        EXPECT_GT(text.size(), first.size()) << "the system's message is missing";
        KeepScreenshot(box, L"save-failed");
        ASSERT_TRUE(DismissMessageBox(box));
        EXPECT_TRUE(app.WaitForExit()) << "a failed save must not keep the program from ending";
        ::CloseHandle(held);
        EXPECT_EQ(ReadBytes(folder.File(L"Conf.txt")), original);
        EXPECT_FALSE(ReadBytes(folder.File(L"Conf.txt.new")).has_value());
    }

    // While Windows ends the session nobody is there to read a box: the program just ends.
    App app(folder);
    ASSERT_NE(app.MainWindow(), nullptr);
    const HANDLE held = hold();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ::PostMessageW(app.MainWindow(), WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(app.WaitForExit());
    EXPECT_EQ(app.FindWindowOf(L"#32770", L""), nullptr);
    ::CloseHandle(held);
    EXPECT_EQ(ReadBytes(folder.File(L"Conf.txt")), original);
}

// From a folder it cannot write (under Program Files, say) the program keeps Conf.txt in
// %LOCALAPPDATA%\Mirufon: the one beside it is the starting point, read in its encoding and
// left as it is; from then on its own is read and written, and no box says that the settings
// could not be saved.
TEST(StartupConf, ProgramFolderThatCannotBeWrittenKeepsConfInLocalAppData)
{
    TempFolder root;
    const std::wstring program = root.File(L"Program Files");
    const std::wstring exe = program + L"\\mirufon.exe";
    ASSERT_TRUE(::CreateDirectoryW(program.c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW(BuiltProgram().c_str(), exe.c_str(), FALSE));
    const std::string beside = "\xEF\xBB\xBFkey get name = Q\r\n";
    ASSERT_TRUE(WriteBytes(program + L"\\Conf.txt", beside));
    const LockedFolder locked(program);
    ASSERT_TRUE(locked.Locked()) << "the folder could not be made unwritable";
    const ScopedEnvironment localAppData(L"LOCALAPPDATA", root.Path());
    const std::wstring own = root.File(L"Mirufon\\Conf.txt");
    // The first start reads the starting point; the second its own file, changed meanwhile.
    for (const char* key : {"Q", "W"})
    {
        App app(exe);
        ASSERT_NE(app.MainWindow(), nullptr);
        EXPECT_EQ(Utf8(WindowText(Control(app.MainWindow(), kIdKeyName))),
                  "Shift+" + std::string(key));
        ASSERT_TRUE(app.Close()) << "the program did not end (a box about the settings?)";
        const std::string written = ReadBytes(own).value_or("<none>");
        EXPECT_EQ(Lines(written).size(), 21u) << written;
        EXPECT_EQ(written.substr(0, 3), "\xEF\xBB\xBF") << "not in the encoding it started from";
        EXPECT_NE(written.find("\r\nkey get name = " + std::string(key)), std::string::npos);
        EXPECT_EQ(ReadBytes(program + L"\\Conf.txt"), beside);
        ASSERT_TRUE(WriteBytes(own, "\xEF\xBB\xBFkey get name = W\r\n"));
    }
}

} // namespace
} // namespace e2e
