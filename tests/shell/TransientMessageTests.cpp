#include "shell/AppInfo.h"
#include "shell/TransientMessage.h"
#include "support/Version.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace mirufon
{
namespace
{

TEST(CountOccurrences, CountsNonOverlappingExactMatches)
{
    EXPECT_EQ(CountOccurrences(L"a\r\n\r\nb", L"\r\n"), 2);
    EXPECT_EQ(CountOccurrences(L"", L"\r\n"), 0);
    EXPECT_EQ(CountOccurrences(L"aaa", L"aa"), 1);
    EXPECT_EQ(CountOccurrences(L"aaaa", L"aa"), 2);
    EXPECT_EQ(CountOccurrences(L"AaA", L"a"), 1);
    EXPECT_EQ(CountOccurrences(L"\r\r\n\n", L"\r\n"), 1);
    EXPECT_EQ(CountOccurrences(L"\r\n", L"\r\n\r\n"), 0);
}

TEST(CountOccurrences, EmptyPartOccursNowhere)
{
    EXPECT_EQ(CountOccurrences(L"abc", L""), 0);
    EXPECT_EQ(CountOccurrences(L"", L""), 0);
}

TEST(MessageWindow, HeightGrowsByLine)
{
    EXPECT_EQ(MessageWindowHeight(L"一行"), 790);
    EXPECT_EQ(MessageWindowHeight(L""), 790);
    EXPECT_EQ(MessageWindowHeight(StartMessageText()), 1790);
    // A lone CR or LF is not a line break here.
    EXPECT_EQ(MessageWindowHeight(L"a\rb\nc"), 790);
}

TEST(MessageWindow, HeightSaturatesInsteadOfOverflowing)
{
    std::wstring text;
    for (int i = 0; i < 4'300'000; ++i)
    {
        text += L"\r\n";
    }
    EXPECT_EQ(MessageWindowHeight(text), INT32_MAX);
}

TEST(MessageWindow, StartMessageIsTitleEmptyLineNotice)
{
    EXPECT_EQ(StartMessageText(), GetAppTitle() + L"\r\n\r\nタスクトレイに収納します！");
    EXPECT_EQ(StartMessageText(),
              testsupport::ExpectedTitle() + L"\r\n\r\nタスクトレイに収納します！");
}

TEST(MessageWindow, ShowAndTimerRules)
{
    EXPECT_FALSE(ShouldShowMessage(0));
    EXPECT_TRUE(ShouldShowMessage(1));
    EXPECT_TRUE(ShouldShowMessage(-1));
    EXPECT_TRUE(StartsCloseTimer(1));
    EXPECT_FALSE(StartsCloseTimer(0));
    EXPECT_FALSE(StartsCloseTimer(-1500));
}

TEST(Zoom, ShrinksInNineteenStepsKeepingTheBottomRightCorner)
{
    const ZoomFrame full{200, 133, 312, 119};
    std::vector<ZoomFrame> frames;
    for (int step = kZoomFirstStep; step >= 1; --step)
    {
        frames.push_back(ZoomStepFrame(full, step));
    }
    ASSERT_EQ(frames.size(), 19u);
    EXPECT_EQ(frames.front(), (ZoomFrame{216, 139, 296, 113}));
    EXPECT_EQ(frames[9], (ZoomFrame{356, 193, 156, 59}));
    EXPECT_EQ(frames.back(), (ZoomFrame{497, 247, 15, 5}));
    for (const ZoomFrame& frame : frames)
    {
        // Size and place come together, so the corner never moves, not even for one step.
        EXPECT_EQ(frame.left + frame.width, 512);
        EXPECT_EQ(frame.top + frame.height, 252);
    }
}

TEST(Zoom, ExtremeGeometryDoesNotOverflow)
{
    const ZoomFrame first = ZoomStepFrame(ZoomFrame{INT32_MAX - 100, -5, INT32_MAX, -300}, 19);
    EXPECT_EQ(first.width, static_cast<std::int32_t>(INT32_MAX * 19LL / 20));
    EXPECT_EQ(first.height, 0);
    EXPECT_EQ(first.top, -5);
    // The right edge lies beyond 32 bits; the left edge stops at the largest position.
    EXPECT_EQ(first.left, INT32_MAX);
}

} // namespace
} // namespace mirufon
