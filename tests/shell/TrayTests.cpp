#include "shell/AppInfo.h"
#include "shell/Tray.h"
#include "support/Version.h"

#include <gtest/gtest.h>

#include <string>

namespace mirufon
{
namespace
{

TEST(Tray, OnlyLeftDoubleClickAndRightPressAct)
{
    EXPECT_EQ(TrayActionFor(0x203), TrayAction::OpenSettings);  // left double click
    EXPECT_EQ(TrayActionFor(0x204), TrayAction::ShowPopupMenu); // right button pressed
    EXPECT_EQ(TrayActionFor(0x200), TrayAction::None);          // mouse move
    EXPECT_EQ(TrayActionFor(0x201), TrayAction::None);          // left button pressed
    EXPECT_EQ(TrayActionFor(0x202), TrayAction::None);          // left button released
    EXPECT_EQ(TrayActionFor(0x205), TrayAction::None);          // right button released
    EXPECT_EQ(TrayActionFor(0x206), TrayAction::None);          // right double click
    EXPECT_EQ(TrayActionFor(0x207), TrayAction::None);          // middle button pressed
    EXPECT_EQ(TrayActionFor(0x10203), TrayAction::None);
    EXPECT_EQ(TrayActionFor(0), TrayAction::None);
}

TEST(Tray, TipIsTheTitleUnpadded)
{
    EXPECT_EQ(TrayTip(GetAppTitle(), 128), testsupport::ExpectedTitle());
    EXPECT_EQ(TrayTip(L"", 128), L"");
}

TEST(Tray, TipLeavesRoomForTheTerminator)
{
    EXPECT_EQ(TrayTip(L"abcde", 6), L"abcde");
    EXPECT_EQ(TrayTip(L"abcdef", 6), L"abcde");
    EXPECT_EQ(TrayTip(std::wstring(300, L'x'), 128), std::wstring(127, L'x'));
    EXPECT_EQ(TrayTip(L"abc", 1), L"");
    EXPECT_EQ(TrayTip(L"abc", 0), L"");
}

TEST(Tray, TipCutKeepsSurrogatePairsWhole)
{
    const wchar_t high = static_cast<wchar_t>(0xD83D);
    const wchar_t low = static_cast<wchar_t>(0xDE00);
    const std::wstring pairAtCut = std::wstring(L"abc") + high + low + L"d";
    // Cutting to 4 units would leave the high half alone: the pair goes as a whole.
    EXPECT_EQ(TrayTip(pairAtCut, 5), L"abc");
    EXPECT_EQ(TrayTip(pairAtCut, 6), std::wstring(L"abc") + high + low);
    EXPECT_EQ(TrayTip(pairAtCut, 4), L"abc");
    // A lone high surrogate at the cut is not a pair; it is kept as it was.
    EXPECT_EQ(TrayTip(std::wstring(L"abc") + high + L"d", 5), std::wstring(L"abc") + high);

    // The same character as the platform's wide strings hold it: two units with a 16-bit
    // wchar_t, one unit otherwise.
    const std::wstring emoji = L"ab\U0001F600c";
    if constexpr (sizeof(wchar_t) == 2)
    {
        EXPECT_EQ(TrayTip(emoji, 4), L"ab");
        EXPECT_EQ(TrayTip(emoji, 5), L"ab\U0001F600");
    }
    else
    {
        EXPECT_EQ(TrayTip(emoji, 4), L"ab\U0001F600");
        EXPECT_EQ(TrayTip(emoji, 3), L"ab");
    }
}

} // namespace
} // namespace mirufon
