#include "hotkeys/KeyTexts.h"

#include "hotkeys/KeyChords.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace mirufon
{
namespace
{

TEST(IntroductionText, DefaultsGiveTheExactIntroduction)
{
    const std::wstring expected = L"\r\n"
                                  L"ポイント位置の文字列を連続取得します。\r\n"
                                  L"区切り：改行\r\n"
                                  L"\r\n"
                                  L"操作用のホットキー\r\n"
                                  L"\r\n"
                                  L"Shift+A：ポイント位置文字列取得 accName\r\n"
                                  L"Shift+Z：ポイント位置文字列取得 accValue\r\n"
                                  L"Shift+E：改行\r\n"
                                  L"Shift+B：取り消し（前回取得項目キャンセル）\r\n"
                                  L"Shift+G：停止/再開\r\n"
                                  L"Shift+L：まとめて取得";
    EXPECT_EQ(IntroductionText(Settings{}), expected);
}

TEST(IntroductionText, SeparatorWordFollowsSeparateTab)
{
    Settings settings;
    settings.tabSeparated = 1;
    EXPECT_NE(IntroductionText(settings).find(L"\r\n区切り：タブ\r\n"), std::wstring::npos);
    settings.tabSeparated = 2;
    EXPECT_NE(IntroductionText(settings).find(L"\r\n区切り：改行\r\n"), std::wstring::npos);
}

TEST(IntroductionText, KeysAreShownAsStored)
{
    Settings settings;
    settings.modifier = L"ctrl";
    settings.nameKey = L"a";
    settings.valueKey = L"F1";
    settings.lineBreakKey = L"e";
    settings.cancelKey = L"";
    settings.stopKey = L"g";
    const std::wstring text = IntroductionText(settings);
    const std::wstring tail = L"\r\n\r\n"
                              L"ctrl+a：ポイント位置文字列取得 accName\r\n"
                              L"ctrl+F1：ポイント位置文字列取得 accValue\r\n"
                              L"ctrl+e：改行\r\n"
                              L"ctrl+：取り消し（前回取得項目キャンセル）\r\n"
                              L"ctrl+g：停止/再開\r\n"
                              L"ctrl+L：まとめて取得";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(KeyLabelsFor, ModifierPlusKeyAsStored)
{
    const KeyLabels defaults = KeyLabelsFor(Settings{});
    EXPECT_EQ(defaults.name, L"Shift+A");
    EXPECT_EQ(defaults.value, L"Shift+Z");

    Settings settings;
    settings.modifier = L"ALT";
    settings.nameKey = L"q";
    settings.valueKey = L"F12";
    const KeyLabels custom = KeyLabelsFor(settings);
    EXPECT_EQ(custom.name, L"ALT+q");
    EXPECT_EQ(custom.value, L"ALT+F12");
}

TEST(IsSelectAllChord, OnlyCtrlAloneWithA)
{
    EXPECT_TRUE(IsSelectAllChord(65, false, true, false));
    EXPECT_FALSE(IsSelectAllChord(65, true, true, false));
    EXPECT_FALSE(IsSelectAllChord(65, false, true, true));
    EXPECT_FALSE(IsSelectAllChord(65, false, false, false));
    EXPECT_FALSE(IsSelectAllChord(97, false, true, false));
    EXPECT_FALSE(IsSelectAllChord(66, false, true, false));
}

} // namespace
} // namespace mirufon
