#include "platform/win32/mainwindow/TrayIcon.h"

#include <gtest/gtest.h>

#include <string>

namespace mirufon::win32
{
namespace
{

// A shell as Explorer may be while it starts or is busy, just below the icon: it takes or
// refuses adds and modifications, and notes every call.
TrayIcon::ShellCall Shell(const bool& takesAdd, bool takesModify, std::string& calls)
{
    return [&takesAdd, takesModify, &calls](DWORD message, NOTIFYICONDATAW&)
    {
        calls += message == NIM_ADD ? "add " : message == NIM_MODIFY ? "modify " : "delete ";
        return message == NIM_ADD ? takesAdd : message == NIM_MODIFY ? takesModify : true;
    };
}

TEST(TrayIconTest, IconIsOfferedUntilTheShellHasItAndRemovedEvenWhenItSeemedRefused)
{
    struct Case
    {
        const char* what;
        bool takesAdd;
        bool takesModify;
        bool shown;
    };
    const Case cases[] = {
        {"taken", true, true, true},
        // An add that timed out may have got through: a modification finds the icon there.
        {"there after an add that timed out", false, true, true},
        {"shell not ready", false, false, false},
    };
    HWND window =
        ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    for (const Case& c : cases)
    {
        std::string calls;
        {
            TrayIcon icon(::GetModuleHandleW(nullptr), Shell(c.takesAdd, c.takesModify, calls));
            EXPECT_FALSE(icon.Restore()) << "nothing was added yet";
            EXPECT_EQ(icon.Add(window, L"tip"), c.shown) << c.what;
        }
        // Removed at the end even when the shell seemed to refuse it: no dead icon stays.
        EXPECT_EQ(calls, c.takesAdd ? "add delete " : "add modify delete ") << c.what;
    }

    // The shell gets ready: the next offer adds the icon; once removed it is offered no more.
    bool takesAdd = false;
    std::string calls;
    TrayIcon icon(::GetModuleHandleW(nullptr), Shell(takesAdd, false, calls));
    EXPECT_FALSE(icon.Add(window, L"tip"));
    takesAdd = true;
    EXPECT_TRUE(icon.Restore());
    icon.Delete();
    EXPECT_FALSE(icon.Restore());
    EXPECT_EQ(calls, "add modify add delete ");
    ::DestroyWindow(window);
}

} // namespace
} // namespace mirufon::win32
