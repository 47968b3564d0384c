// Screenshots of the main window and of the settings dialog for the README, taken from the
// real program: starts mirufon.exe (the one beside this tool) in a temporary folder, shoots
// its main window, opens 設定 from the menu, shoots the dialog, then closes both.
//   mirufon-screenshots <main-window.bmp> <settings-dialog.bmp>

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Harness.h"
#include "platform/win32/settingsdialog/SettingsDialogIds.h"

#include <cstdio>

namespace
{

constexpr int kMenuSettingsPosition = 3; // 停止 | 表示 | クリア | 設定 | ...

// Has the window painted everything it shows, then saves what the screen shows of it.
bool Shoot(HWND window, const wchar_t* path)
{
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // The virtual desktop draws the frame after the window's own painting.
    e2e::WaitUntil([] { return false; }, std::chrono::milliseconds(500));
    return e2e::SaveWindowScreenshot(window, path);
}

int Fail(const char* message)
{
    std::fprintf(stderr, "mirufon-screenshots: %s\n", message);
    return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr,
                     "usage: mirufon-screenshots <main-window.bmp> <settings-dialog.bmp>\n");
        return 2;
    }
    e2e::TempFolder folder;
    e2e::App app(folder);
    const HWND main = app.MainWindow();
    if (!main)
    {
        return Fail("the main window did not appear");
    }
    // The log shows its introduction (the hotkeys) once the program is ready.
    if (!e2e::WaitUntil([&] { return !e2e::LogText(main).empty(); }) || !e2e::Activate(main) ||
        !Shoot(main, argv[1]))
    {
        return Fail("could not take the main window's screenshot");
    }
    if (!e2e::ChooseMenu(main, kMenuSettingsPosition))
    {
        return Fail("could not open the settings dialog from the menu");
    }
    HWND dialog = nullptr;
    e2e::WaitUntil(
        [&]
        {
            dialog = app.FindWindowOf(mirufon::win32::kSettingsDialogClass, L"");
            return dialog && ::IsWindowVisible(dialog);
        });
    if (!dialog || !Shoot(dialog, argv[2]))
    {
        return Fail("could not take the settings dialog's screenshot");
    }
    ::PostMessageW(dialog, WM_COMMAND, mirufon::win32::kIdSettingsCancel, 0);
    e2e::WaitUntil([&] { return !::IsWindow(dialog); });
    return app.Close() ? 0 : Fail("the program did not end after WM_CLOSE");
}
