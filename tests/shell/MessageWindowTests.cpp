#include "fakes/FakeMessagePump.h"
#include "shell/AppInfo.h"
#include "shell/MessageWindow.h"

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

TEST(MsgText, RoundTripsTextAndDuration)
{
    const std::wstring msgText = MakeMsgText(L"一行目\r\n二行目", 1500);
    EXPECT_EQ(msgText, L"一行目\r\n二行目\u00011500");
    const MsgParts parts = ParseMsgText(msgText);
    EXPECT_EQ(parts.text, L"一行目\r\n二行目");
    EXPECT_EQ(parts.durationMs, 1500);
    EXPECT_EQ(ParseMsgText(MakeMsgText(L"", -20)).durationMs, -20);
}

TEST(MsgText, SeparatorInsideTheTextCutsItAndSupplantsTheTime)
{
    const MsgParts parts = ParseMsgText(MakeMsgText(L"前\u0001300\u0001後", 1500));
    EXPECT_EQ(parts.text, L"前");
    EXPECT_EQ(parts.durationMs, 300);
    // The piece after the separator is not a number: no time at all.
    EXPECT_EQ(ParseMsgText(MakeMsgText(L"前\u0001後", 1500)).durationMs, 0);
}

TEST(MsgText, TimePieceReadsItsLeadingNumberOrZero)
{
    EXPECT_EQ(ParseMsgText(L"no separator").text, L"no separator");
    EXPECT_EQ(ParseMsgText(L"no separator").durationMs, 0);
    EXPECT_EQ(ParseMsgText(L"t\u0001").durationMs, 0);
    EXPECT_EQ(ParseMsgText(L"t\u00010").durationMs, 0);
    EXPECT_EQ(ParseMsgText(L"t\u0001abc").durationMs, 0);
    EXPECT_EQ(ParseMsgText(L"t\u0001 250ms").durationMs, 250);
    EXPECT_EQ(ParseMsgText(L"t\u00011500.5").durationMs, 1500);
    EXPECT_EQ(ParseMsgText(L"t\u00011501.5").durationMs, 1502);
    EXPECT_EQ(ParseMsgText(L"t\u0001-1").durationMs, -1);
}

TEST(MsgText, NumbersBeyond32BitsGiveZero)
{
    EXPECT_EQ(ParseMsgText(L"t\u00012147483647").durationMs, 2147483647);
    EXPECT_EQ(ParseMsgText(L"t\u00012147483648").durationMs, 0);
    EXPECT_EQ(ParseMsgText(L"t\u0001-2147483649").durationMs, 0);
    EXPECT_EQ(ParseMsgText(L"t\u0001" + std::wstring(400, L'9')).durationMs, 0);
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
    EXPECT_EQ(StartMessageText(), L"ミルフォン Ver0.27\r\n\r\nタスクトレイに収納します！");
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

// A window that takes only whole pixels of 15 twips, as a 96 dpi screen does.
class PixelWindow final : public ZoomTarget
{
  public:
    PixelWindow(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height)
        : m_left(left), m_top(top), m_size{width, height}
    {
    }

    ZoomSize SetSize(std::int32_t width, std::int32_t height) override
    {
        requested.push_back(ZoomSize{width, height});
        m_size = ZoomSize{ToPixels(width), ToPixels(height)};
        return m_size;
    }

    void Move(std::int32_t left, std::int32_t top) override
    {
        ++moves;
        m_left = left;
        m_top = top;
        rights.push_back(std::int64_t{m_left} + m_size.width);
        bottoms.push_back(std::int64_t{m_top} + m_size.height);
    }

    ZoomSize CurrentSize() const { return m_size; }

    std::vector<ZoomSize> requested;
    std::vector<std::int64_t> rights;
    std::vector<std::int64_t> bottoms;
    int moves = 0;

  private:
    static std::int32_t ToPixels(std::int32_t twips)
    {
        return static_cast<std::int32_t>(std::lround(twips / 15.0)) * 15;
    }

    std::int32_t m_left;
    std::int32_t m_top;
    ZoomSize m_size;
};

TEST(Zoom, ShrinksInNineteenStepsKeepingTheBottomRightCorner)
{
    PixelWindow window(3000, 2000, 4680, 1790);
    FakeMessagePump pump;
    std::vector<int> movesAtSleep;
    pump.OnDispatch([&] { movesAtSleep.push_back(window.moves); });

    Zoom(window, pump, 3000, 2000, 4680, 1790);

    ASSERT_EQ(window.requested.size(), 19u);
    EXPECT_EQ(window.requested.front(), (ZoomSize{4446, 1700}));
    EXPECT_EQ(window.requested[9], (ZoomSize{2340, 895}));
    EXPECT_EQ(window.requested.back(), (ZoomSize{234, 89}));
    EXPECT_EQ(window.CurrentSize(), (ZoomSize{240, 90}));
    // Placed by the size read back, the edges hold exactly although the pixel rounding moved
    // the sizes away from what was asked for.
    EXPECT_EQ(window.rights, std::vector<std::int64_t>(19, 7680));
    EXPECT_EQ(window.bottoms, std::vector<std::int64_t>(19, 3790));
    // One 10 ms sleep after each step's move.
    EXPECT_EQ(pump.Sleeps(), 19);
    EXPECT_EQ(pump.SleptMs(), 190);
    std::vector<int> expectedMoves;
    for (int i = 1; i <= 19; ++i)
    {
        expectedMoves.push_back(i);
    }
    EXPECT_EQ(movesAtSleep, expectedMoves);
}

TEST(Zoom, ExtremeGeometryDoesNotOverflow)
{
    PixelWindow window(INT32_MAX - 100, -5, INT32_MAX, -300);
    FakeMessagePump pump;
    Zoom(window, pump, INT32_MAX - 100, -5, INT32_MAX, -300);
    ASSERT_EQ(window.requested.size(), 19u);
    EXPECT_EQ(window.requested.front().width, static_cast<std::int32_t>(INT32_MAX * 19LL / 20));
    EXPECT_EQ(window.requested.front().height, 0);
    EXPECT_EQ(window.bottoms.back(), -5);
    // The right edge lies beyond 32 bits; the left edge stops at the largest position.
    EXPECT_EQ(window.rights.back() - window.CurrentSize().width, INT32_MAX);
}

} // namespace
} // namespace mirufon
