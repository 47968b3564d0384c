#include "shell/Layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>

namespace mirufon
{

void PrintTo(const ControlRect& rect, std::ostream* out)
{
    *out << "{" << rect.left << ", " << rect.top << ", " << rect.width << ", " << rect.height
         << "}";
}

namespace
{

constexpr std::int32_t kPixel96 = 15;

MainLayout LayOut(const MainLayout& from, std::int32_t width, std::int32_t height,
                  std::int32_t twips = kPixel96)
{
    return LayoutMainWindow(from, width, height, twips, twips);
}

// The created size at 96 dpi, worked out by hand from the rules.
MainLayout ExpectedCreated96()
{
    MainLayout expected;
    expected.lbl0 = {90, 0, 855, 255};
    expected.lbl1 = {90, 255, 855, 255};
    expected.frKey = {6555 - 1155 + 45, 0, 1155, 450};
    expected.frValue = {0, 0, 5445, 450};
    expected.lblDt0 = {945, -30, 4500, 285};
    expected.lblDt1 = {945, 240, 4500, 285};
    expected.txtDt0 = {990, 30, 4410, 225};
    expected.txtDt1 = {990, 270, 4410, 255};
    expected.frDescription = {0, 450, 6555, 3090};
    expected.txtDescription = {90, 90, 6465, 3000};
    return expected;
}

TEST(LayoutMainWindow, CreatedSizeAt96DpiGivesA450TwipBandAndIsStable)
{
    const MainLayout first = LayOut(MainLayout{}, kCreatedClientWidth, kCreatedClientHeight);
    EXPECT_EQ(first, ExpectedCreated96()); // the key labels keep their created places
    EXPECT_EQ(LayOut(first, kCreatedClientWidth, kCreatedClientHeight), first);
}

TEST(LayoutMainWindow, At144DpiRulesReadThePreviousRunsBoxHeight)
{
    const MainLayout first = LayOut(MainLayout{}, kCreatedClientWidth, kCreatedClientHeight, 10);
    EXPECT_EQ(first.lbl0, (ControlRect{60, 0, 855, 255}));
    EXPECT_EQ(first.frKey, (ControlRect{5430, 0, 1155, 450}));
    EXPECT_EQ(first.frValue, (ControlRect{0, 0, 5430, 450}));
    EXPECT_EQ(first.lblDt0, (ControlRect{915, -30, 4515, 285}));
    EXPECT_EQ(first.lblDt1, (ControlRect{915, 240, 4515, 285}));
    EXPECT_EQ(first.txtDt0, (ControlRect{945, 10, 4455, 245}));
    EXPECT_EQ(first.txtDt1, (ControlRect{945, 260, 4455, 265}));
    EXPECT_EQ(first.frDescription, (ControlRect{0, 450, 6555, 3090}));
    EXPECT_EQ(first.txtDescription, (ControlRect{60, 60, 6495, 3030}));

    // The bands take twice the box height that the first run produced, then stay there.
    const MainLayout second = LayOut(first, kCreatedClientWidth, kCreatedClientHeight, 10);
    EXPECT_EQ(second.frKey.height, 490);
    EXPECT_EQ(second.frValue.height, 490);
    EXPECT_EQ(second.frDescription, (ControlRect{0, 490, 6555, 3050}));
    EXPECT_EQ(second.txtDescription, (ControlRect{60, 60, 6495, 2990}));
    EXPECT_EQ(LayOut(second, kCreatedClientWidth, kCreatedClientHeight, 10), second);
}

TEST(LayoutMainWindow, HorizontalAndVerticalPixelsAreKeptApart)
{
    const MainLayout layout = LayoutMainWindow(MainLayout{}, 6555, 3540, 10, 20);
    EXPECT_EQ(layout.frKey.left, 6555 - 1155 + 30);
    EXPECT_EQ(layout.txtDt0, (ControlRect{915 + 30, -30 + 80, 4515 - 60, 285 - 80}));
    EXPECT_EQ(layout.txtDt1.top, 240 + 40);
    EXPECT_EQ(layout.txtDescription, (ControlRect{60, 120, 6555 - 60, 3090 - 120}));
}

TEST(LayoutMainWindow, WideningMovesTheKeyBandAndWidensOnlyTheStretchingControls)
{
    const MainLayout before = ExpectedCreated96();
    const MainLayout after = LayOut(before, kCreatedClientWidth + 1500, kCreatedClientHeight);

    MainLayout expected = before;
    expected.frKey.left += 1500;
    for (ControlRect* rect :
         {&expected.frValue, &expected.lblDt0, &expected.lblDt1, &expected.txtDt0, &expected.txtDt1,
          &expected.frDescription, &expected.txtDescription})
    {
        rect->width += 1500;
    }
    EXPECT_EQ(after, expected);
}

TEST(LayoutMainWindow, NarrowerThan74PixelsPushesTheKeyBandLeftAndKeepsTheBandWidth)
{
    const MainLayout before = ExpectedCreated96();

    // 74 pixels: the key band starts at 0 and the preview band may shrink to nothing.
    const MainLayout at74 = LayOut(before, 74 * kPixel96, kCreatedClientHeight);
    EXPECT_EQ(at74.frKey.left, 0);
    EXPECT_EQ(at74.frValue.width, 0);
    // The strips cannot be narrower than nothing: they keep their widths.
    EXPECT_EQ(at74.lblDt0.width, 4500);
    EXPECT_EQ(at74.lblDt1.width, 4500);
    EXPECT_EQ(at74.txtDt0.width, 4410);

    // 73 pixels: the key band goes past the left edge; the preview band keeps its width.
    const MainLayout at73 = LayOut(before, 73 * kPixel96, kCreatedClientHeight);
    EXPECT_EQ(at73.frKey.left, -15);
    EXPECT_EQ(at73.frValue, before.frValue);
    EXPECT_EQ(at73.lblDt0, before.lblDt0);
    EXPECT_EQ(at73.frDescription.width, 1095);
    EXPECT_EQ(at73.txtDescription.width, 1095 - 90);
}

TEST(LayoutMainWindow, MinimizedSkipsNegativeSizesOnlyAndRestoringLaysOutAgain)
{
    const MainLayout before = ExpectedCreated96();
    const MainLayout minimized = LayOut(before, 0, 0);

    MainLayout expected = before;
    expected.frKey.left = -1110;
    expected.frDescription.width = 0; // zero is a size the window system accepts
    EXPECT_EQ(minimized, expected);

    EXPECT_EQ(LayOut(minimized, kCreatedClientWidth, kCreatedClientHeight), before);
}

TEST(LayoutMainWindow, ExtremeClientSizesNeverOverflow)
{
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    const MainLayout before = ExpectedCreated96();

    EXPECT_EQ(LayOut(before, kMax, kMax).frDescription, (ControlRect{0, 450, kMax, kMax - 450}));
    // A left below the 32-bit range is refused like a negative size.
    const MainLayout tiny = LayOut(before, kMin, kMin);
    EXPECT_EQ(tiny.frKey.left, before.frKey.left);
    EXPECT_EQ(tiny.frDescription, before.frDescription);
}

TEST(TwipsPerPixel, RoundsToNearestWithHalvesToEven)
{
    EXPECT_EQ(TwipsPerPixel(96), 15);
    EXPECT_EQ(TwipsPerPixel(120), 12);
    EXPECT_EQ(TwipsPerPixel(144), 10);
    EXPECT_EQ(TwipsPerPixel(100), 14); // 14.4
    EXPECT_EQ(TwipsPerPixel(192), 8);  // 7.5 up to even
    EXPECT_EQ(TwipsPerPixel(576), 2);  // 2.5 down to even
    EXPECT_EQ(TwipsPerPixel(72), 20);
}

TEST(TwipsPerPixel, UnusableResolutionsGiveUsableValues)
{
    EXPECT_EQ(TwipsPerPixel(0), 15);
    EXPECT_EQ(TwipsPerPixel(-96), 15);
    EXPECT_EQ(TwipsPerPixel(2880), 1); // 0.5 would round to 0
    EXPECT_EQ(TwipsPerPixel(std::numeric_limits<int>::max()), 1);
}

} // namespace
} // namespace mirufon
