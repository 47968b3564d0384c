// Starting with Windows: the settings dialog's box writes and removes the program's value among
// the programs Windows starts at logon, shows checked only this program's own entry, and writes
// nothing else to the registry; started from that value, the program starts as from a double
// click.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/Tray.h"
#include "platform/win32/settingsdialog/SettingsDialogIds.h"
#include "platform/win32/system/RunAtLogon.h"
#include "support/ControlItems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

// The program's value, if there is one.
std::optional<std::wstring> RunValue()
{
    wchar_t text[2048] = {};
    DWORD size = sizeof text;
    if (::RegGetValueW(HKEY_CURRENT_USER, kLogonRunKey, kLogonValueName, RRF_RT_REG_SZ, nullptr,
                       text, &size) != ERROR_SUCCESS)
    {
        return std::nullopt;
    }
    return text;
}

// A text with "%" is stored as one Windows expands when it runs it.
void SetRunValue(const std::optional<std::wstring>& text)
{
    if (!text)
    {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kLogonRunKey, kLogonValueName);
        return;
    }
    const DWORD type = text->find(L'%') == std::wstring::npos ? REG_SZ : REG_EXPAND_SZ;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kLogonRunKey, kLogonValueName, type, text->c_str(),
                      static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t)));
}

// The user's own value comes back at the end: on a real Windows the test runs in the user's
// registry.
struct RunValueKept
{
    const std::optional<std::wstring> kept = RunValue();
    ~RunValueKept() { SetRunValue(kept); }
};

// The keys under HKEY_CURRENT_USER\Software and the logon key's values, by name: a program that
// wrote anything else to the registry would add to them.
std::vector<std::wstring> RegistryNames()
{
    std::vector<std::wstring> names;
    for (const bool values : {false, true})
    {
        const wchar_t* path = values ? kLogonRunKey : L"Software";
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        {
            continue;
        }
        wchar_t name[16384];
        DWORD length = 16384;
        for (DWORD index = 0; (values ? ::RegEnumValueW(key, index, name, &length, nullptr, nullptr,
                                                        nullptr, nullptr)
                                      : ::RegEnumKeyExW(key, index, name, &length, nullptr, nullptr,
                                                        nullptr, nullptr)) == ERROR_SUCCESS;
             ++index, length = 16384)
        {
            names.push_back(std::wstring(path) + L"\\" + name);
        }
        ::RegCloseKey(key);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool ClickCentre(HWND window)
{
    return ClickAt(testsupport::CentreOf(window));
}

TEST(StartWithWindows, TheBoxWritesAndRemovesOnlyThisProgramsValue)
{
    const RunValueKept kept;
    SetRunValue(std::nullopt);
    const std::vector<std::wstring> before = RegistryNames();
    TempFolder folder;
    App app(folder);
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    const std::wstring quoted = L"\"" + folder.File(L"mirufon.exe") + L"\"";
    std::wstring upperCase = folder.File(L"mirufon.exe");
    ::CharUpperBuffW(upperCase.data(), static_cast<DWORD>(upperCase.size()));
    const std::wstring expandable = L"\"%TMP%\\" + folder.Name() + L"\\mirufon.exe\"";

    struct Step
    {
        const wchar_t* given; // written before the dialog opens, if any
        bool shownChecked;
        bool click; // the user clicks the box, then the button
        int button;
        std::wstring after;
        const char* why;
    };
    const Step steps[] = {
        {nullptr, false, true, kIdSettingsOk, quoted, "checked and OK: the quoted path"},
        {nullptr, true, true, kIdSettingsCancel, quoted, "Cancel writes nothing"},
        {nullptr, true, true, kIdSettingsOk, L"<none>", "unchecked and OK: removed"},
        {L"\"C:\\moved\\mirufon.exe\"", false, false, kIdSettingsOk, L"\"C:\\moved\\mirufon.exe\"",
         "another file's value: unchecked, and left alone"},
        {nullptr, false, true, kIdSettingsOk, quoted, "checked, it names this program"},
        {upperCase.c_str(), true, false, kIdSettingsOk, upperCase, "this program by another path"},
        {expandable.c_str(), true, false, kIdSettingsOk, quoted, "a value that Windows expands"},
    };
    for (const Step& step : steps)
    {
        if (step.given)
        {
            SetRunValue(step.given);
        }
        ASSERT_TRUE(ChooseMenu(main, 3)) << step.why; // 停止 | 表示 | クリア | 設定
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&]
            {
                dialog = app.FindWindowOf(kSettingsDialogClass, L"");
                return dialog && ::GetForegroundWindow() == dialog;
            }));
        const HWND box = ::GetDlgItem(dialog, kIdSettingsStartWithWindows);
        EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), step.shownChecked ? BST_CHECKED : 0)
            << step.why;
        if (step.click)
        {
            ASSERT_TRUE(ClickCentre(box));
            ASSERT_TRUE(WaitUntil(
                [&]
                { return ::SendMessageW(box, BM_GETCHECK, 0, 0) != (step.shownChecked ? 1 : 0); },
                3s));
        }
        ASSERT_TRUE(ClickCentre(::GetDlgItem(dialog, step.button)));
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s)) << step.why;
        EXPECT_EQ(Utf8(RunValue().value_or(L"<none>")), Utf8(step.after)) << step.why;
    }

    std::vector<std::wstring> expected = before;
    expected.push_back(std::wstring(kLogonRunKey) + L"\\" + kLogonValueName);
    std::sort(expected.begin(), expected.end());
    EXPECT_TRUE(app.Close());
    EXPECT_EQ(RegistryNames(), expected) << "something else was written to the registry";
}

TEST(StartWithWindows, StartedAtLogonItStartsAsFromADoubleClick)
{
    TempFolder folder;
    ASSERT_TRUE(::CopyFileW(BuiltProgram().c_str(), folder.File(L"mirufon.exe").c_str(), FALSE));
    ASSERT_TRUE(WriteBytes(folder.File(L"Conf.txt"), "task tray = 1\r\ncustom msg = 0\r\n"));

    // As Windows runs it: from another folder, the system's.
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    App app(folder.File(L"mirufon.exe"), system);
    ASSERT_EQ(Utf8(app.StartError()), "");
    HWND main = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main = app.FindWindowOf(kMainWindowClass, L"")); }, 30s));
    EXPECT_TRUE(WaitUntil([] { return FindTrayIcon().has_value(); })) << "not in the tray";
    EXPECT_FALSE(::IsWindowVisible(main));
    ASSERT_TRUE(app.Close());
    EXPECT_NE(ReadBytes(folder.File(L"Conf.txt")).value_or("").find("task tray = 1\r\n"),
              std::string::npos)
        << "Conf.txt beside the program, not in the current folder";
}

} // namespace
} // namespace e2e
