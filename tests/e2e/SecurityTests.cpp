// Libraries the program loads at run time come from the system folder: a DLL planted beside
// the executable under a system library's name is never loaded.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/Target.h"

#include <gtest/gtest.h>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

TEST(Security, PlantedLibrariesBesideTheExecutableAreNotLoaded)
{
    TempFolder folder;
    for (const wchar_t* name : {L"oleacc.dll", L"version.dll", L"comctl32.dll"})
    {
        const std::wstring source = DriverFolder() + L"\\planted\\" + name;
        ASSERT_TRUE(::CopyFileW(source.c_str(), folder.File(name).c_str(), FALSE))
            << "missing " << Utf8(source);
    }
    App app(folder);
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr) << "the program did not start beside the planted libraries";

    // Capturing loads the accessibility library; the version line was read at start-up; the
    // common controls come with the window.
    TargetWindow target;
    target.BringToFront();
    ASSERT_TRUE(MovePointer(target.ButtonCentre()));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'A'));
    ASSERT_TRUE(WaitForText(main, kIdLog, target.ButtonCaption()));
    ASSERT_TRUE(app.Close());

    EXPECT_FALSE(ReadBytes(folder.File(L"oleacc.dll.loaded")).has_value())
        << "the planted oleacc.dll was loaded";
    EXPECT_FALSE(ReadBytes(folder.File(L"version.dll.loaded")).has_value())
        << "the planted version.dll was loaded";
    EXPECT_FALSE(ReadBytes(folder.File(L"comctl32.dll.loaded")).has_value())
        << "the planted comctl32.dll was loaded";
}

} // namespace
} // namespace e2e
