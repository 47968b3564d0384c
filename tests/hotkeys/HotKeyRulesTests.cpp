#include "hotkeys/HotKeys.h"

#include <gtest/gtest.h>

#include <string>

namespace mirufon
{
namespace
{

TEST(ModifierFlags, KnownNamesInAnyCase)
{
    for (const wchar_t* text : {L"Shift", L"shift", L"SHIFT", L"sHiFt"})
    {
        EXPECT_EQ(ModifierFlags(text), 4u) << text;
    }
    for (const wchar_t* text : {L"Ctrl", L"ctrl", L"CTRL"})
    {
        EXPECT_EQ(ModifierFlags(text), 2u) << text;
    }
    for (const wchar_t* text : {L"Alt", L"alt", L"ALT"})
    {
        EXPECT_EQ(ModifierFlags(text), 1u) << text;
    }
    for (const wchar_t* text : {L"Shift+Ctrl", L"shift+ctrl", L"SHIFT+CTRL"})
    {
        EXPECT_EQ(ModifierFlags(text), 6u) << text;
    }
}

TEST(ModifierFlags, AnythingElseFallsBackToShift)
{
    // Near misses must not be taken for Ctrl or Alt: only the exact names count.
    for (const wchar_t* text :
         {L"Win", L"", L"Ctrl+Shift", L" ctrl", L"alt ", L"Ctr", L"Ｃｔｒｌ", L"Shift+Alt"})
    {
        EXPECT_EQ(ModifierFlags(text), 4u) << text;
    }
    EXPECT_EQ(ModifierFlags(std::wstring(L"ctrl\0", 5)), 4u);
}

TEST(VirtualKeyOf, LettersGiveTheLetterKeys)
{
    EXPECT_EQ(VirtualKeyOf(L"A"), 65u);
    EXPECT_EQ(VirtualKeyOf(L"Z"), 90u);
    EXPECT_EQ(VirtualKeyOf(L"a"), 65u);
    EXPECT_EQ(VirtualKeyOf(L"z"), 90u);
    EXPECT_EQ(VirtualKeyOf(L"Gx"), 71u); // only the first character counts
}

TEST(VirtualKeyOf, OtherPrintableAsciiAsIs)
{
    EXPECT_EQ(VirtualKeyOf(L"1"), 49u);
    EXPECT_EQ(VirtualKeyOf(L" "), 32u);
    EXPECT_EQ(VirtualKeyOf(L"~"), 126u);
    EXPECT_EQ(VirtualKeyOf(L"@"), 64u);
    EXPECT_EQ(VirtualKeyOf(L"["), 91u);
}

TEST(VirtualKeyOf, NothingToRegister)
{
    EXPECT_EQ(VirtualKeyOf(L""), std::nullopt);
    EXPECT_EQ(VirtualKeyOf(L"\t"), std::nullopt);
    EXPECT_EQ(VirtualKeyOf(L"\x7f"), std::nullopt);
    EXPECT_EQ(VirtualKeyOf(std::wstring(1, L'\0')), std::nullopt);
    EXPECT_EQ(VirtualKeyOf(L"あ"), std::nullopt);
    // Characters whose low byte is an ASCII letter must not pass for it.
    EXPECT_EQ(VirtualKeyOf(L"\xFF41"), std::nullopt); // fullwidth a
    EXPECT_EQ(VirtualKeyOf(L"\x0141"), std::nullopt);
    EXPECT_EQ(VirtualKeyOf(L"\U0001F600"), std::nullopt);
    if constexpr (sizeof(wchar_t) > 2)
    {
        EXPECT_EQ(VirtualKeyOf(std::wstring(1, static_cast<wchar_t>(0x10041))), std::nullopt);
    }
}

TEST(HotKeyCommands, AtomNamesAndKeySettingsPairUp)
{
    Settings settings;
    settings.nameKey = L"1";
    settings.valueKey = L"2";
    settings.lineBreakKey = L"3";
    settings.cancelKey = L"4";
    settings.stopKey = L"5";
    settings.harvestKey = L"6";
    const std::wstring_view names[] = {L"ADDPOINT_GETNAME", L"ADDPOINT_GETVALUE",
                                       L"ADDPOINT_CRLF",    L"ADDPOINT_BACK",
                                       L"ADDPOINT_STOP",    L"ADDPOINT_GETALL"};
    const std::wstring_view keys[] = {L"1", L"2", L"3", L"4", L"5", L"6"};
    for (std::size_t i = 0; i < kHotKeyCommandCount; ++i)
    {
        EXPECT_EQ(AtomName(kHotKeyCommands[i]), names[i]);
        EXPECT_EQ(KeySetting(settings, kHotKeyCommands[i]), keys[i]);
    }
}

} // namespace
} // namespace mirufon
