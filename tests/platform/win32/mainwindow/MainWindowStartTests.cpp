#include "platform/win32/Program.h"
#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/storage/ProgramFolders.h"
#include "shell/LogFileNames.h"

#include <gtest/gtest.h>

namespace mirufon::win32
{
namespace
{

// A hook of the thread's own that refuses every EDIT control, saying why as the system would.
LRESULT CALLBACK RefuseEdits(int code, WPARAM wParam, LPARAM lParam)
{
    const wchar_t* name = code == HCBT_CREATEWND
                              ? reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->lpszClass
                              : nullptr;
    if (name && !IS_INTRESOURCE(name) && ::lstrcmpiW(name, L"EDIT") == 0)
    {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 1;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// A control that cannot be created ends the start with the system's reason: no window stays,
// no Conf.txt is written, no WM_QUIT waits to take away the box that tells of it.
TEST(MainWindowStartTest, ControlThatCannotBeCreatedEndsTheStartWithTheReason)
{
    const StorageLocations storage = LocateOwnStorage();
    const std::wstring& conf = storage.conf;
    ASSERT_EQ(::GetFileAttributesW(conf.c_str()), INVALID_FILE_ATTRIBUTES) << "a Conf.txt is there";
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, &RefuseEdits, nullptr, ::GetCurrentThreadId());
    {
        Program program(::GetModuleHandleW(nullptr));
        EXPECT_FALSE(program.Start());
        EXPECT_EQ(program.StartError(), DWORD{ERROR_NOT_ENOUGH_MEMORY});
    }
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(::FindWindowW(kMainWindowClass, nullptr), nullptr);
    MSG message{};
    EXPECT_FALSE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(::GetFileAttributesW(conf.c_str()), INVALID_FILE_ATTRIBUTES);
    ::RemoveDirectoryW(storage.journalFolder.c_str());
    ::RemoveDirectoryW(FolderOf(storage.journalFolder).c_str());
}

} // namespace
} // namespace mirufon::win32
