#include "shell/WindowPlacement.h"

#include <gtest/gtest.h>

#include <tuple>

namespace mirufon
{
namespace
{

// A primary screen of 1280 x 800 pixels at 100 %, its taskbar 40 pixels high, a title bar of
// 30 pixels; and to its right a second one of 2400 x 1350 at 150 %, its title bar 45 high.
const Monitor kPrimary{{0, 0, 1280, 760}, 96, 30};
const Monitor kSecond{{1280, 0, 3680, 1350}, 144, 45};

struct Placement
{
    const char* what;
    WindowGeometry stored;
    PixelRect expected;
};

void Check(const DisplayAreas& displays, std::initializer_list<Placement> cases)
{
    for (const Placement& c : cases)
    {
        EXPECT_EQ(PlaceStoredWindow(c.stored, displays).rect, c.expected) << c.what;
    }
}

// At 15 twips per pixel a window of 6000 x 4005 twips is 400 x 267 pixels.
TEST(WindowPlacement, ReachableTitleBarStaysExactlyAndAnyOtherComesOnScreen)
{
    Check(DisplayAreas{{kPrimary}, 96},
          {
              {"inside", {3000, 3000, 6000, 4005}, {200, 200, 600, 467}},
              {"100 pixels of the bar inside", {17700, 1500, 6000, 4005}, {1180, 100, 1580, 367}},
              {"one pixel less", {17715, 1500, 6000, 4005}, {880, 100, 1280, 367}},
              {"the bar's full height at the bottom",
               {3000, 10950, 6000, 4005},
               {200, 730, 600, 997}},
              {"a pixel of it below", {3000, 10965, 6000, 4005}, {200, 493, 600, 760}},
              {"far away", {99999999, 99999999, 6000, 4005}, {880, 493, 1280, 760}},
              {"narrower than the strip, whole", {18000, 1500, 1005, 4005}, {1200, 100, 1267, 367}},
              {"larger than the screen", {99999999, 75, 30000, 20010}, {0, 0, 2000, 1334}},
              {"edges beyond 32 bits",
               {2000000000, 1500, 2000000000, 4005},
               {0, 100, 133333333, 367}},
          });
    Check(DisplayAreas{{}, 96},
          {{"no screen known", {99999999, 9, 6000, 4005}, {6666667, 1, 6666667 + 400, 1 + 267}}});
}

// Written as the window stands and read back, Conf.txt's twips name the same pixels: the edges
// at the system's scale, the size at the scale of the window's own monitor.
TEST(WindowPlacement, WindowReopensWhereItWasOnAMonitorOfAnyScale)
{
    struct RoundTrip
    {
        const char* what;
        DisplayAreas displays;
        WindowPixels window;
        WindowGeometry stored;
    };
    const RoundTrip cases[] = {
        {"on the primary screen, as an older version wrote it",
         {{kPrimary, kSecond}, 96},
         {{100, 200, 556, 467}, 96},
         {1500, 3000, 6840, 4005}},
        // 2,500 pixels at 150 % were once written as 25,000 twips: back at 1,667 pixels.
        {"on the second screen at 150 %",
         {{kPrimary, kSecond}, 96},
         {{2500, 300, 3184, 654}, 144},
         {37500, 4500, 6840, 3540}},
        {"across both, mostly on the second",
         {{kPrimary, kSecond}, 96},
         {{1200, 300, 1884, 654}, 144},
         {18000, 4500, 6840, 3540}},
        {"system at 150 %, the window on a screen at 100 % to its right",
         {{Monitor{{0, 0, 1920, 1160}, 144, 45}, Monitor{{1920, 0, 3200, 760}, 96, 30}}, 144},
         {{2000, 100, 2456, 367}, 96},
         {20000, 1000, 6840, 4005}},
        {"system at 200 %: 8 twips per pixel",
         {{Monitor{{0, 0, 2560, 1520}, 192, 60}}, 192},
         {{80, 40, 935, 482}, 192},
         {640, 320, 6840, 3536}},
    };
    for (const RoundTrip& c : cases)
    {
        const WindowGeometry stored = StoredGeometryOf(c.window, c.displays.systemDpi);
        EXPECT_EQ(std::tie(stored.left, stored.top, stored.width, stored.height),
                  std::tie(c.stored.left, c.stored.top, c.stored.width, c.stored.height))
            << c.what;
        EXPECT_EQ(PlaceStoredWindow(c.stored, c.displays), c.window) << c.what;
    }
}

// The size is a length on the monitor: the same twips look the same at any scale. A window
// whose monitor has gone comes onto the nearest one at that one's scale.
TEST(WindowPlacement, SizeFollowsTheScaleOfTheMonitorItOpensOn)
{
    const WindowGeometry onSecond{37500, 4500, 6840, 3540};
    const Monitor secondAt100{kSecond.workArea, 96, 30};
    EXPECT_EQ(PlaceStoredWindow(onSecond, {{kPrimary, secondAt100}, 96}),
              (WindowPixels{{2500, 300, 2956, 536}, 96}));
    EXPECT_EQ(PlaceStoredWindow(onSecond, {{kPrimary}, 96}),
              (WindowPixels{{824, 300, 1280, 536}, 96}));
}

} // namespace
} // namespace mirufon
