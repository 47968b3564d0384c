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
    expected.nameCaption = {90, 0, 960, 255};
    expected.valueCaption = {90, 255, 960, 255};
    expected.keyBand = {6555 - 1155 + 45, 0, 1155, 450};
    expected.previewBand = {0, 0, 5445, 450};
    expected.nameStrip = {1050, -30, 4395, 285};
    expected.valueStrip = {1050, 240, 4395, 285};
    expected.nameBox = {1095, 30, 4305, 225};
    expected.valueBox = {1095, 270, 4305, 255};
    expected.logFrame = {0, 450, 6555, 3090};
    expected.logBox = {90, 90, 6465, 3000};
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
    EXPECT_EQ(first.nameCaption, (ControlRect{60, 0, 960, 255}));
    EXPECT_EQ(first.keyBand, (ControlRect{5430, 0, 1155, 450}));
    EXPECT_EQ(first.previewBand, (ControlRect{0, 0, 5430, 450}));
    EXPECT_EQ(first.nameStrip, (ControlRect{1020, -30, 4410, 285}));
    EXPECT_EQ(first.valueStrip, (ControlRect{1020, 240, 4410, 285}));
    EXPECT_EQ(first.nameBox, (ControlRect{1050, 10, 4350, 245}));
    EXPECT_EQ(first.valueBox, (ControlRect{1050, 260, 4350, 265}));
    EXPECT_EQ(first.logFrame, (ControlRect{0, 450, 6555, 3090}));
    EXPECT_EQ(first.logBox, (ControlRect{60, 60, 6495, 3030}));

    // The bands take twice the box height that the first run produced, then stay there.
    const MainLayout second = LayOut(first, kCreatedClientWidth, kCreatedClientHeight, 10);
    EXPECT_EQ(second.keyBand.height, 490);
    EXPECT_EQ(second.previewBand.height, 490);
    EXPECT_EQ(second.logFrame, (ControlRect{0, 490, 6555, 3050}));
    EXPECT_EQ(second.logBox, (ControlRect{60, 60, 6495, 2990}));
    EXPECT_EQ(LayOut(second, kCreatedClientWidth, kCreatedClientHeight, 10), second);
}

TEST(LayoutMainWindow, HorizontalAndVerticalPixelsAreKeptApart)
{
    const MainLayout layout = LayoutMainWindow(MainLayout{}, 6555, 3540, 10, 20);
    EXPECT_EQ(layout.keyBand.left, 6555 - 1155 + 30);
    EXPECT_EQ(layout.nameBox, (ControlRect{1020 + 30, -30 + 80, 4410 - 60, 285 - 80}));
    EXPECT_EQ(layout.valueBox.top, 240 + 40);
    EXPECT_EQ(layout.logBox, (ControlRect{60, 120, 6555 - 60, 3090 - 120}));
}

TEST(LayoutMainWindow, WideningMovesTheKeyBandAndWidensOnlyTheStretchingControls)
{
    const MainLayout before = ExpectedCreated96();
    const MainLayout after = LayOut(before, kCreatedClientWidth + 1500, kCreatedClientHeight);

    MainLayout expected = before;
    expected.keyBand.left += 1500;
    for (ControlRect* rect :
         {&expected.previewBand, &expected.nameStrip, &expected.valueStrip, &expected.nameBox,
          &expected.valueBox, &expected.logFrame, &expected.logBox})
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
    EXPECT_EQ(at74.keyBand.left, 0);
    EXPECT_EQ(at74.previewBand.width, 0);
    // The strips cannot be narrower than nothing: they keep their widths.
    EXPECT_EQ(at74.nameStrip.width, 4395);
    EXPECT_EQ(at74.valueStrip.width, 4395);
    EXPECT_EQ(at74.nameBox.width, 4305);

    // 73 pixels: the key band goes past the left edge; the preview band keeps its width.
    const MainLayout at73 = LayOut(before, 73 * kPixel96, kCreatedClientHeight);
    EXPECT_EQ(at73.keyBand.left, -15);
    EXPECT_EQ(at73.previewBand, before.previewBand);
    EXPECT_EQ(at73.nameStrip, before.nameStrip);
    EXPECT_EQ(at73.logFrame.width, 1095);
    EXPECT_EQ(at73.logBox.width, 1095 - 90);
}

TEST(LayoutMainWindow, MinimizedSkipsNegativeSizesOnlyAndRestoringLaysOutAgain)
{
    const MainLayout before = ExpectedCreated96();
    const MainLayout minimized = LayOut(before, 0, 0);

    MainLayout expected = before;
    expected.keyBand.left = -1110;
    expected.logFrame.width = 0; // zero is a size the window system accepts
    EXPECT_EQ(minimized, expected);

    EXPECT_EQ(LayOut(minimized, kCreatedClientWidth, kCreatedClientHeight), before);
}

TEST(LayoutMainWindow, ExtremeClientSizesNeverOverflow)
{
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    const MainLayout before = ExpectedCreated96();

    EXPECT_EQ(LayOut(before, kMax, kMax).logFrame, (ControlRect{0, 450, kMax, kMax - 450}));
    // A left below the 32-bit range is refused like a negative size.
    const MainLayout tiny = LayOut(before, kMin, kMin);
    EXPECT_EQ(tiny.keyBand.left, before.keyBand.left);
    EXPECT_EQ(tiny.logFrame, before.logFrame);
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
