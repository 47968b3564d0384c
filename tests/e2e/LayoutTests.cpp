// The main window's controls where the layout rules put them, at the screen's real DPI (the
// suite runs at 96 and at 144 DPI), before and after the user resizes the window.

#include "e2e/AppDriver.h"
#include "e2e/Harness.h"
#include "e2e/Input.h"
#include "shell/Layout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace e2e
{
namespace
{

using namespace mirufon;
using namespace mirufon::win32;

int Pixels(std::int32_t twips, std::int32_t twipsPerPixel)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) / twipsPerPixel));
}

RECT ExpectedRect(const ControlRect& container, const ControlRect& control, std::int32_t tpp)
{
    const int left = Pixels(container.left + control.left, tpp);
    const int top = Pixels(container.top + control.top, tpp);
    return RECT{left, top, left + Pixels(control.width, tpp), top + Pixels(control.height, tpp)};
}

RECT ClientRectOf(HWND main, HWND control)
{
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

::testing::AssertionResult Near(const RECT& actual, const RECT& expected)
{
    const bool close = std::abs(actual.left - expected.left) <= 1 &&
                       std::abs(actual.top - expected.top) <= 1 &&
                       std::abs(actual.right - expected.right) <= 1 &&
                       std::abs(actual.bottom - expected.bottom) <= 1;
    if (close)
    {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "at " << actual.left << "," << actual.top << " - " << actual.right << ","
           << actual.bottom << ", expected " << expected.left << "," << expected.top << " - "
           << expected.right << "," << expected.bottom;
}

// Every control where the rules put it for the window's present client size.
void ExpectLaidOut(HWND main)
{
    const std::int32_t tpp = TwipsPerPixel(ScreenDpi());
    RECT client{};
    ::GetClientRect(main, &client);
    // The program lays out on every size change, so its rules have run more than once.
    MainLayout layout;
    for (int pass = 0; pass < 3; ++pass)
    {
        layout = LayoutMainWindow(layout, client.right * tpp, client.bottom * tpp, tpp, tpp);
    }
    EXPECT_TRUE(Near(ClientRectOf(main, Control(main, kIdLabelName)),
                     ExpectedRect(layout.previewBand, layout.nameCaption, tpp)))
        << "accName label";
    EXPECT_TRUE(Near(ClientRectOf(main, Control(main, kIdPreviewName)),
                     ExpectedRect(layout.previewBand, layout.nameBox, tpp)))
        << "accName preview";
    EXPECT_TRUE(Near(ClientRectOf(main, Control(main, kIdPreviewValue)),
                     ExpectedRect(layout.previewBand, layout.valueBox, tpp)))
        << "accValue preview";
    EXPECT_TRUE(Near(ClientRectOf(main, Control(main, kIdKeyName)),
                     ExpectedRect(layout.keyBand, layout.nameKeyLabel, tpp)))
        << "get-name key label";
    EXPECT_TRUE(Near(ClientRectOf(main, Control(main, kIdKeyValue)),
                     ExpectedRect(layout.keyBand, layout.valueKeyLabel, tpp)))
        << "get-value key label";
    EXPECT_TRUE(Near(ClientRectOf(main, Control(main, kIdLog)),
                     ExpectedRect(layout.logFrame, layout.logBox, tpp)))
        << "log";
}

TEST(Layout, ControlsFollowTheRulesAtTheScreensDpiAndOnResize)
{
    TempFolder folder;
    App app(folder);
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    const std::int32_t tpp = TwipsPerPixel(ScreenDpi());

    // The client area as created: 6555 x 3540 twips.
    RECT client{};
    ::GetClientRect(main, &client);
    EXPECT_NEAR(client.right, Pixels(kCreatedClientWidth, tpp), 1);
    EXPECT_NEAR(client.bottom, Pixels(kCreatedClientHeight, tpp), 1);
    ExpectLaidOut(main);
    KeepScreenshot(main, L"main-window-dpi-" + std::to_wstring(ScreenDpi()));

    RECT frame{};
    ::GetWindowRect(main, &frame);
    ::SetWindowPos(main, nullptr, 0, 0, frame.right - frame.left + 200,
                   frame.bottom - frame.top + 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages(200ms);
    ExpectLaidOut(main);

    // Narrower than the key band: the rules that would give negative sizes are skipped and
    // the window survives; widening it again lays everything out anew.
    ::SetWindowPos(main, nullptr, 0, 0, 60, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages(200ms);
    ::ShowWindow(main, SW_MINIMIZE);
    PumpMessages(200ms);
    ::ShowWindow(main, SW_RESTORE);
    ::SetWindowPos(main, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages(200ms);
    ASSERT_TRUE(app.IsRunning());
    ExpectLaidOut(main);
}

} // namespace
} // namespace e2e
