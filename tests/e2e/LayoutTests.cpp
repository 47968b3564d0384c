// The main window's controls where the layout rules put them, at the screen's real DPI (the
// suite runs at 96 and at 144 DPI), before and after the user resizes the window.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "shell/Layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

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

// Nothing when the control sits within a pixel of where the rules put it, else where it is.
std::string Misplaced(const RECT& actual, const RECT& expected, const char* name)
{
    if (std::abs(actual.left - expected.left) <= 1 && std::abs(actual.top - expected.top) <= 1 &&
        std::abs(actual.right - expected.right) <= 1 &&
        std::abs(actual.bottom - expected.bottom) <= 1)
    {
        return {};
    }
    const auto corners = [](const RECT& rect)
    {
        return std::to_string(rect.left) + "," + std::to_string(rect.top) + " - " +
               std::to_string(rect.right) + "," + std::to_string(rect.bottom);
    };
    return std::string(name) + " at " + corners(actual) + ", expected " + corners(expected) + "; ";
}

// Every control where the rules put it for the window's present client size.
::testing::AssertionResult LaidOut(HWND main)
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
    std::string wrong;
    const auto place =
        [&](int id, const ControlRect& container, const ControlRect& control, const char* name)
    {
        wrong += Misplaced(ClientRectOf(main, Control(main, id)),
                           ExpectedRect(container, control, tpp), name);
    };
    place(kIdLabelName, layout.previewBand, layout.nameCaption, "accName label");
    place(kIdPreviewName, layout.previewBand, layout.nameBox, "accName preview");
    place(kIdPreviewValue, layout.previewBand, layout.valueBox, "accValue preview");
    place(kIdKeyName, layout.keyBand, layout.nameKeyLabel, "get-name key label");
    place(kIdKeyValue, layout.keyBand, layout.valueKeyLabel, "get-value key label");
    place(kIdLog, layout.logFrame, layout.logBox, "log");
    if (wrong.empty())
    {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "in a client area of " << client.right << " x " << client.bottom << ": " << wrong;
}

// The window at the outer size, laid out for it.
::testing::AssertionResult LaidOutAt(HWND main, SIZE outer)
{
    RECT frame{};
    ::GetWindowRect(main, &frame);
    if (frame.right - frame.left != outer.cx || frame.bottom - frame.top != outer.cy)
    {
        return ::testing::AssertionFailure()
               << "the window is " << frame.right - frame.left << " x " << frame.bottom - frame.top
               << ", expected " << outer.cx << " x " << outer.cy;
    }
    return LaidOut(main);
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
    EXPECT_TRUE(Eventually([&] { return LaidOut(main); }));
    KeepScreenshot(main, L"main-window-dpi-" + std::to_wstring(ScreenDpi()));
    EXPECT_EQ(LabelsThatDoNotFit(main), std::vector<std::string>{});

    RECT frame{};
    ::GetWindowRect(main, &frame);
    const SIZE created{frame.right - frame.left, frame.bottom - frame.top};
    const SIZE larger{created.cx + 200, created.cy + 120};
    ::SetWindowPos(main, nullptr, 0, 0, larger.cx, larger.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Eventually([&] { return LaidOutAt(main, larger); }));

    // Narrower than the key band: the rules that would give negative sizes are skipped and
    // the window survives; widening it again lays everything out anew.
    ::SetWindowPos(main, nullptr, 0, 0, 60, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            ::GetWindowRect(main, &frame);
            return frame.right - frame.left < created.cx;
        }))
        << "the window did not get narrower";
    ::ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(main) != FALSE; })) << "not minimized";
    ::ShowWindow(main, SW_RESTORE);
    ::SetWindowPos(main, nullptr, 0, 0, created.cx, created.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Eventually([&] { return LaidOutAt(main, created); }));
    ASSERT_TRUE(app.IsRunning());
}

} // namespace
} // namespace e2e
