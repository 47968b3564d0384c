#include "shell/WindowPlacement.h"

#include <gtest/gtest.h>

namespace mirufon
{
namespace
{

// At 15 twips per pixel: a title bar 30 pixels high, a reachable strip 1500 twips wide.
const DesktopRect kPrimary{0, 0, 19200, 11400};
const DesktopRect kRightOfIt{19200, 0, 34560, 11400};

struct Placement
{
    const char* what;
    WindowGeometry stored;
    WindowGeometry expected;
};

void Check(const DisplayAreas& displays, std::initializer_list<Placement> cases)
{
    for (const Placement& c : cases)
    {
        const WindowGeometry placed = KeepTitleBarReachable(c.stored, displays);
        EXPECT_EQ(placed.left, c.expected.left) << c.what;
        EXPECT_EQ(placed.top, c.expected.top) << c.what;
        EXPECT_EQ(placed.width, c.stored.width) << c.what;
        EXPECT_EQ(placed.height, c.stored.height) << c.what;
    }
}

TEST(WindowPlacement, ReachableTitleBarStaysExactlyAndAnyOtherComesOnScreen)
{
    Check(DisplayAreas{{kPrimary}, 450, 15},
          {
              {"inside", {3000, 3000, 6000, 4000}, {3000, 3000}},
              {"1500 twips of the bar inside", {17700, 100, 6000, 4000}, {17700, 100}},
              {"one twip less", {17701, 100, 6000, 4000}, {13200, 100}},
              {"the bar's full height at the bottom", {3000, 10950, 6000, 4000}, {3000, 10950}},
              {"a twip of it below", {3000, 10951, 6000, 4000}, {3000, 7400}},
              {"far away", {99999999, 99999999, 6000, 4000}, {13200, 7400}},
              {"narrower than the strip, whole", {18000, 100, 1000, 4000}, {18000, 100}},
              {"larger than the screen", {99999999, 5, 30000, 20000}, {0, 0}},
              {"edges beyond 32 bits", {2000000000, 100, 2000000000, 4000}, {0, 100}},
          });
}

TEST(WindowPlacement, NearestOfSeveralScreensTakesTheWindow)
{
    Check(DisplayAreas{{kPrimary, kRightOfIt}, 450, 15},
          {
              {"far right", {99999999, 3000, 6000, 4000}, {28560, 3000}},
              {"far below the primary", {1000, 99999999, 6000, 4000}, {1000, 7400}},
              {"across both, reachable on the second", {18000, 100, 6000, 4000}, {18000, 100}},
          });
    Check(DisplayAreas{{}, 450, 15},
          {{"no screen known", {99999999, 9, 6000, 4000}, {99999999, 9}}});
}

} // namespace
} // namespace mirufon
