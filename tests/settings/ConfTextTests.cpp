#include "settings/ConfText.h"
#include "settings/SettingsFields.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mirufon
{
namespace
{

Settings Parsed(std::wstring_view text, Settings settings = Settings{})
{
    ParseConf(text, settings);
    return settings;
}

std::string Narrow(std::wstring_view text)
{
    std::string narrow;
    for (const wchar_t c : text)
    {
        narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return narrow;
}

// A record in which every field differs from its default.
Settings UnusualSettings()
{
    Settings s;
    s.windowLeft = 123;
    s.windowTop = 2147483647;
    s.windowWidth = 7001;
    s.windowHeight = 1;
    s.startInTray = -5;
    s.autoCloseTime = 2147483647;
    s.popupPosition = L"左上隅";
    s.searchString = L"two  words\tand a tab ";
    s.searchFuzzy = -2147483647 - 1;
    s.customItem = L"0101010";
    s.showMessages = 0;
    s.nameKey = L"Q";
    s.valueKey = L"";
    s.cancelKey = L"line\nfeed";
    s.lineBreakKey = L"F1";
    s.stopKey = L"!";
    s.harvestKey = L"l";
    s.modifier = L"Shift+Ctrl";
    s.alwaysOnTop = -32768;
    s.tabSeparated = 1;
    s.captureCopies = 32767;
    s.separator = L"\t";
    return s;
}

TEST(ParseConfTest, KeysMatchInAnyCaseWithSpacesTrimmed)
{
    struct Case
    {
        std::wstring line;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"Key Get Name = Q", L"Q"},
        {L"KEY GET NAME=Q", L"Q"},
        {L"   key get name   =   Q", L"Q"},
        {L"key get name = Q ", L"Q "}, // trailing spaces belong to the value
        {L"key get name =", L""},      // the empty text is stored
        {L"key get name = 右 下", L"右 下"},
        {L"key  get name = Q", L"A"},    // words are separated by single spaces
        {L"\tkey get name = Q", L"A"},   // only spaces are trimmed
        {L"key get name = Q = R", L"A"}, // two "=": skipped
        {L"key get name Q", L"A"},
        {L"Ｋey get name = Q", L"A"}, // no folding beyond ASCII
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(Parsed(c.line).nameKey, c.expected) << Narrow(c.line);
    }
}

TEST(ParseConfTest, SkippedLinesLeaveEveryOtherFieldAlone)
{
    const Settings settings = Parsed(L"search string = before\r\n"
                                     L"search string = a=b\r\n"
                                     L"[section]\r\n"
                                     L"\r\n"
                                     L"; comment = 1\r\n"
                                     L"unknown key = 1\r\n"
                                     L"= 1\r\n"
                                     L"==\r\n");
    Settings expected;
    expected.searchString = L"before";
    EXPECT_EQ(SettingsFields(settings), SettingsFields(expected));
}

TEST(ParseConfTest, OverlongLinesAreSkippedAtTheirLimit)
{
    // "key modify = " is 13 characters: a value of 4083 fills a line of exactly 4096.
    const std::wstring longest(kLongestConfLine - 13, L'x');
    const std::wstring tooLong(kLongestConfLine - 12, L'y');
    const Settings settings = Parsed(L"key modify = " + longest + L"\r\nkey get name = " +
                                     std::wstring(10'000'000, L'z') + L"\r\nkey crlf = R\r\n" +
                                     L"key modify = " + tooLong);
    EXPECT_EQ(settings.modifier, longest)
        << "the last line was too long: the field keeps its value";
    EXPECT_EQ(settings.nameKey, L"A");
    EXPECT_EQ(settings.lineBreakKey, L"R");

    // A text whose line as written (" = " around the key) would be too long is not kept
    // either, so that every value kept is read back after a save.
    const Settings tight = Parsed(L"key modify=" + tooLong);
    EXPECT_EQ(tight.modifier, L"Shift");
    EXPECT_EQ(Parsed(FormatConf(settings)).modifier, longest);
    // Numbers are written short, whatever their line held.
    EXPECT_EQ(
        Parsed(L"form left=" + std::wstring(kLongestConfLine - 14, L' ') + L"1500").windowLeft,
        1500);
}

TEST(ParseConfTest, GeometryTakesOnlyPositiveNumbersThatFit)
{
    const Settings centred = DefaultSettings({19200, 10800, 4500, 3000});
    Settings settings = Parsed(L"form left = 0\r\n"
                               L"form top = -300\r\n"
                               L"form width = 7000.5\r\n"
                               L"form height = 7001.5\r\n",
                               centred);
    EXPECT_EQ(settings.windowLeft, centred.windowLeft);
    EXPECT_EQ(settings.windowTop, centred.windowTop);
    EXPECT_EQ(settings.windowWidth, 7000);
    EXPECT_EQ(settings.windowHeight, 7002);

    settings = Parsed(L"form left = wide\r\n"
                      L"form top = 99999999999\r\n"
                      L"form width = 4500.5 twips\r\n",
                      centred);
    EXPECT_EQ(settings.windowLeft, centred.windowLeft);
    EXPECT_EQ(settings.windowTop, centred.windowTop);
    EXPECT_EQ(settings.windowWidth, 4500);
}

TEST(ParseConfTest, NumberReadingFieldsTakeTheLeadingNumber)
{
    Settings base;
    base.startInTray = 1;
    const Settings settings = Parsed(L"task tray = yes\r\n"
                                     L"time auto close = 10x\r\n"
                                     L"search fuzzy = -2.5\r\n"
                                     L"disp top = 2\r\n",
                                     base);
    EXPECT_EQ(settings.startInTray, 0);
    EXPECT_EQ(settings.autoCloseTime, 10);
    EXPECT_EQ(settings.searchFuzzy, -2);
    EXPECT_EQ(settings.alwaysOnTop, 2);

    // Numbers that do not fit their field leave it as it was.
    const Settings tooLarge = Parsed(L"disp top = 40000\r\n"
                                     L"time auto close = 99999999999\r\n"
                                     L"task tray = -2147483649\r\n");
    EXPECT_EQ(SettingsFields(tooLarge), SettingsFields(Settings{}));
}

TEST(ParseConfTest, WholeNumberFieldsKeepTheirValueForOtherText)
{
    Settings base;
    base.showMessages = 7;
    base.tabSeparated = 7;
    base.captureCopies = 7;
    for (const wchar_t* value : {L"", L"yes", L"1x", L".", L"1 2", L"70000", L"1e2"})
    {
        const std::wstring text = std::wstring(L"custom msg = ") + value + L"\r\nseparate tab = " +
                                  value + L"\r\nadd copy = " + value;
        const Settings settings = Parsed(text, base);
        const bool fitsInt32 = std::wstring_view(value) == L"70000";
        EXPECT_EQ(settings.showMessages, fitsInt32 ? 70000 : 7) << Narrow(value);
        EXPECT_EQ(settings.tabSeparated, 7) << Narrow(value);
        EXPECT_EQ(settings.captureCopies, 7) << Narrow(value);
    }

    const Settings settings = Parsed(L"custom msg = 0 \r\n"
                                     L"separate tab = 1.5\r\n"
                                     L"add copy =  -1\r\n",
                                     base);
    EXPECT_EQ(settings.showMessages, 0);
    EXPECT_EQ(settings.tabSeparated, 2);
    EXPECT_EQ(settings.captureCopies, -1);
    EXPECT_EQ(Parsed(L"custom msg = 3000000000", base).showMessages, 7);
}

// Without its line the harvest key takes a letter no other key uses; with it, what it says.
TEST(ParseConfTest, AFileWithoutTheHarvestKeyGetsTheFirstFreeLetterFromL)
{
    // Each character of the first text stands for one key; "1", "Ｌ" and " " are not L.
    // clang-format off
    const std::pair<std::wstring_view, std::wstring_view> cases[] = {
        {L"", L"L"}, {L"AZBEG", L"L"}, {L"L", L"M"}, {L"l", L"M"}, {L"NLMP", L"O"}, {L"1Ｌ ", L"L"},
        {L"LMNOPQRSTUVWXYZ", L"A"}, {L"LMNOPQRSTUVWXYZABCDEFGHIJ", L"K"},
        {L"ABCDEFGHIJKLMNOPQRSTUVWXYZ", L"L"}};
    // clang-format on
    for (const auto& [letters, expected] : cases)
    {
        std::vector<std::wstring_view> keys;
        for (std::size_t i = 0; i < letters.size(); ++i)
        {
            keys.push_back(letters.substr(i, 1));
        }
        EXPECT_EQ(FreeHarvestKey(keys), expected) << Narrow(letters);
    }
    EXPECT_EQ(Parsed(L"key get name = Lx\r\nkey crlf = m\r\n").harvestKey, L"N");
    EXPECT_EQ(Parsed(L"key get name = L\r\nkey get all = L\r\n").harvestKey, L"L");
    EXPECT_EQ(Parsed(L"key get all = \r\nkey stop = L").harvestKey, L"");
    // A line that could not be read back counts as none.
    EXPECT_EQ(Parsed(L"key get all=" + std::wstring(kLongestConfLine, L'x')).harvestKey, L"L");
}

TEST(ParseConfTest, SeparatorFollowsSeparateTab)
{
    EXPECT_EQ(Parsed(L"separate tab = 1").separator, L"\t");
    EXPECT_EQ(Parsed(L"separate tab = 2").separator, L"\r\n");
    EXPECT_EQ(Parsed(L"separate tab = 1\r\nseparate tab = 0").separator, L"\r\n");

    // Derived from the field even when the text does not name it.
    Settings tab;
    tab.tabSeparated = 1;
    EXPECT_EQ(Parsed(L"", tab).separator, L"\t");
    Settings stale;
    stale.separator = L"\t";
    EXPECT_EQ(Parsed(L"", stale).separator, L"\r\n");

    EXPECT_EQ(SeparatorFor(-1), L"\r\n");
}

TEST(ParseConfTest, LastOccurrenceWins)
{
    const Settings settings = Parsed(L"key back = B\r\nkey back = D\r\n"
                                     L"disp top = 0\r\ndisp top = 3\r\ndisp top = 40000\r\n");
    EXPECT_EQ(settings.cancelKey, L"D");
    EXPECT_EQ(settings.alwaysOnTop, 3);
}

TEST(ParseConfTest, OnlyCrLfAndLoneCrEndLines)
{
    const Settings unusual = UnusualSettings();
    const std::wstring crLf = FormatConf(unusual);

    std::wstring lf;
    std::wstring cr;
    for (const wchar_t c : crLf)
    {
        if (c != L'\r')
        {
            lf.push_back(c);
        }
        if (c != L'\n')
        {
            cr.push_back(c);
        }
    }
    // One line with many "=": every field keeps its default.
    EXPECT_EQ(SettingsFields(Parsed(lf)), SettingsFields(Settings{}));

    Settings expected = unusual;
    expected.cancelKey = L"linefeed"; // its LF went with the others
    EXPECT_EQ(SettingsFields(Parsed(cr)), SettingsFields(expected));

    const Settings mixed = Parsed(L"key back = X\rkey stop = Y\r\n\r\rkey crlf = Z\n\r\n");
    EXPECT_EQ(mixed.cancelKey, L"X");
    EXPECT_EQ(mixed.stopKey, L"Y");
    EXPECT_EQ(mixed.lineBreakKey, L"Z\n");
}

TEST(FormatConfTest, DefaultsGiveTheLinesInFileOrderWithTheHarvestKeyLast)
{
    const std::wstring expected = L"form left = 7350\r\n"
                                  L"form top = 3900\r\n"
                                  L"form width = 4500\r\n"
                                  L"form height = 3000\r\n"
                                  L"task tray = 0\r\n"
                                  L"time auto close = 5\r\n"
                                  L"disp pos = 右下隅\r\n"
                                  L"disp top = 1\r\n"
                                  L"search string = \r\n"
                                  L"search fuzzy = 0\r\n"
                                  L"custom item = 1111111\r\n"
                                  L"custom msg = 1\r\n"
                                  L"key get name = A\r\n"
                                  L"key get value = Z\r\n"
                                  L"key back = B\r\n"
                                  L"key crlf = E\r\n"
                                  L"key stop = G\r\n"
                                  L"key modify = Shift\r\n"
                                  L"separate tab = 0\r\n"
                                  L"add copy = 0\r\n"
                                  L"key get all = L\r\n";
    EXPECT_EQ(FormatConf(DefaultSettings({19200, 10800, 4500, 3000})), expected);
}

TEST(FormatConfTest, ParsingTheOutputRestoresEveryField)
{
    const Settings unusual = UnusualSettings();
    const std::wstring text = FormatConf(unusual);
    EXPECT_NE(text.find(L"\r\ntask tray = -5\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\r\nsearch fuzzy = -2147483648\r\n"), std::wstring::npos);

    const Settings restored = Parsed(text, DefaultSettings({19200, 10800, 4500, 3000}));
    EXPECT_EQ(SettingsFields(restored), SettingsFields(unusual));
}

TEST(FormatConfTest, ParsingTheOutputLosesOnlyWhatCannotBeWritten)
{
    const Settings base = DefaultSettings({19200, 10800, 4500, 3000});
    Settings saved = UnusualSettings();
    saved.windowLeft = 0;
    saved.windowTop = -300;
    saved.searchString = L"  leading";
    saved.stopKey = L"a=b";
    saved.customItem = L"x\rkey back = D";

    Settings expected = saved;
    expected.customItem = L"";
    expected.windowLeft = base.windowLeft;
    expected.windowTop = base.windowTop;
    expected.searchString = L"leading";
    expected.stopKey = base.stopKey;
    EXPECT_EQ(SettingsFields(Parsed(FormatConf(saved), base)), SettingsFields(expected));
}

TEST(ConfDefaultTest, CentresTheWindowWithHalvesToEven)
{
    // (19200 - 4501) / 2 = 7349.5 and (10800 - 3003) / 2 = 3898.5.
    const Settings settings = DefaultSettings({19200, 10800, 4501, 3003});
    Settings expected;
    expected.windowLeft = 7350;
    expected.windowTop = 3898;
    expected.windowWidth = 4501;
    expected.windowHeight = 3003;
    EXPECT_EQ(SettingsFields(settings), SettingsFields(expected));

    // A window larger than the screen: (3000 - 4001) / 2 = -500.5.
    EXPECT_EQ(DefaultSettings({3000, 3000, 4001, 3000}).windowLeft, -500);
    EXPECT_EQ(DefaultSettings({2147483647, 0, -2147483647 - 1, 0}).windowLeft, 2147483647);
}

} // namespace
} // namespace mirufon
