#include "capture/CaptureLog.h"

#include "fakes/FakeTextBox.h"
#include "hotkeys/KeyTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace mirufon
{
namespace
{

Settings CrlfSettings()
{
    return Settings{};
}

Settings TabSettings()
{
    Settings settings;
    settings.tabSeparated = 1;
    settings.separator = L"\t";
    return settings;
}

// What cancelling must leave: everything before the later of the last CR LF and the last
// separator, searched over the whole text at once.
std::size_t ReferenceCut(const std::wstring& text, const std::wstring& separator)
{
    std::size_t cut = 0;
    for (const std::wstring& pattern : {std::wstring(L"\r\n"), separator})
    {
        const std::size_t at = text.rfind(pattern);
        if (at != std::wstring::npos)
        {
            cut = std::max(cut, at);
        }
    }
    return cut;
}

struct LogFixture
{
    explicit LogFixture(Settings s, std::wstring text = L"")
        : settings(std::move(s)), box(std::move(text)), log(box, settings)
    {
    }

    Settings settings;
    FakeTextBox box;
    CaptureLog log;
};

// ---- Appending -------------------------------------------------------------------------------

TEST(CaptureLogGetDt, FirstItemReplacesIntroductionAndTypedText)
{
    LogFixture f(TabSettings());
    f.log.ShowIntroduction();
    EXPECT_EQ(f.box.Content(), IntroductionText(f.settings));
    EXPECT_TRUE(f.log.IsShowingIntroduction());
    EXPECT_EQ(f.box.Colour(), kIntroTextColour);

    f.box.Load(f.box.Content() + L"typed by the user");
    f.log.AppendItem(L"a\tb\tc");

    EXPECT_EQ(f.box.Content(), L"a b c");
    EXPECT_FALSE(f.log.IsShowingIntroduction());
    EXPECT_EQ(f.box.Colour(), kLogTextColour);
    EXPECT_EQ(f.box.Calls().focus, 1);

    f.log.AppendItem(L"d");
    EXPECT_EQ(f.box.Content(), L"a b c\td");
    EXPECT_EQ(f.box.Colour(), kLogTextColour);
}

TEST(CaptureLogGetDt, EmptyItemInTabModeLeavesAnEmptyField)
{
    LogFixture f(TabSettings(), L"ab");
    f.log.AppendItem(L"");
    EXPECT_EQ(f.box.Content(), L"ab\t");
    f.log.AppendItem(L"c");
    EXPECT_EQ(f.box.Content(), L"ab\t\tc");
}

TEST(CaptureLogGetDt, EmptyItemInCrlfModeLeavesNoTrace)
{
    LogFixture f(CrlfSettings(), L"ab");
    f.log.AppendItem(L"");
    EXPECT_EQ(f.box.Content(), L"ab\r\n");
    f.log.AppendItem(L"c");
    EXPECT_EQ(f.box.Content(), L"ab\r\nc");
}

TEST(CaptureLogGetDt, LogShorterThanTwoCharactersGetsNoSeparator)
{
    for (const Settings& settings : {CrlfSettings(), TabSettings()})
    {
        LogFixture one(settings, L"x");
        one.log.AppendItem(L"y");
        EXPECT_EQ(one.box.Content(), L"xy");

        LogFixture empty(settings);
        empty.log.AppendItem(L"y");
        EXPECT_EQ(empty.box.Content(), L"y");
    }
}

TEST(CaptureLogGetDt, TabsInTheItemBecomeSpacesAfterTheSeparator)
{
    LogFixture tab(TabSettings(), L"ab");
    tab.log.AppendItem(L"a\tb");
    EXPECT_EQ(tab.box.Content(), L"ab\ta b");

    LogFixture crlf(CrlfSettings(), L"ab");
    crlf.log.AppendItem(L"\t\ta\t");
    EXPECT_EQ(crlf.box.Content(), L"ab\r\n  a ");
}

TEST(CaptureLogGetDt, LogEndingALineTakesTheNextItemWithoutSeparator)
{
    LogFixture f(CrlfSettings(), L"x");
    f.log.AppendLineBreak();
    f.log.AppendItem(L"y");
    EXPECT_EQ(f.box.Content(), L"x\r\ny");

    LogFixture tab(TabSettings(), L"ab");
    tab.log.AppendItem(L"p\r\n");
    tab.log.AppendItem(L"q");
    EXPECT_EQ(tab.box.Content(), L"ab\tp\r\nq");
}

TEST(CaptureLogGetDt, SeparatorAndItemGoInOneAppendWithoutReadingTheWholeLog)
{
    LogFixture f(TabSettings(), std::wstring(1'000'000, L'x'));
    f.log.AppendItem(L"item");
    EXPECT_EQ(f.box.Content().substr(1'000'000), L"\titem");
    EXPECT_EQ(f.box.Calls().append, 1);
    EXPECT_EQ(f.box.Calls().text, 0);
    EXPECT_EQ(f.box.Calls().setText, 0);
    EXPECT_LE(f.box.Calls().slicedChars, 1u);
}

TEST(CaptureLogKeyCrlf, AppendsALineBreakWithoutFocusEvenOnTheIntroduction)
{
    LogFixture f(CrlfSettings());
    f.log.ShowIntroduction();
    f.log.AppendLineBreak();
    EXPECT_EQ(f.box.Content(), IntroductionText(f.settings) + L"\r\n");
    EXPECT_TRUE(f.log.IsShowingIntroduction());
    EXPECT_EQ(f.box.Calls().focus, 0);
}

// ---- Cancelling ------------------------------------------------------------------------------

TEST(CaptureLogKeyBack, CancelRightAfterNewlineRemovesOnlyTheLineBreak)
{
    LogFixture f(CrlfSettings(), L"a\r\nb");
    f.log.AppendLineBreak();
    f.log.CancelLastItem();
    EXPECT_EQ(f.box.Content(), L"a\r\nb");
}

TEST(CaptureLogKeyBack, TabModeRemovesOneFieldOrLineAtATime)
{
    LogFixture f(TabSettings(), L"a\tb\r\nc\td");
    const std::wstring expected[] = {L"a\tb\r\nc", L"a\tb", L"a", L""};
    for (const std::wstring& step : expected)
    {
        f.log.CancelLastItem();
        EXPECT_EQ(f.box.Content(), step);
    }
    f.log.CancelLastItem();
    EXPECT_EQ(f.box.Content(), L"");
}

TEST(CaptureLogKeyBack, CrlfModeRemovesOnlyTheLastLineOfAMultiLineItem)
{
    LogFixture f(CrlfSettings(), L"a\r\nb");
    f.log.AppendItem(L"c\r\nd");
    EXPECT_EQ(f.box.Content(), L"a\r\nb\r\nc\r\nd");
    f.log.CancelLastItem();
    EXPECT_EQ(f.box.Content(), L"a\r\nb\r\nc");
}

TEST(CaptureLogKeyBack, WorksOnTheIntroductionAndKeepsTheMarker)
{
    LogFixture f(CrlfSettings());
    f.log.ShowIntroduction();
    const std::wstring intro = f.box.Content();
    f.log.CancelLastItem();
    EXPECT_EQ(f.box.Content(), intro.substr(0, intro.rfind(L"\r\n")));
    EXPECT_TRUE(f.log.IsShowingIntroduction());
}

TEST(CaptureLogKeyBack, FindsALineBreakStraddlingAnyReadBorder)
{
    // The line break is placed so that it ends at, or crosses, each power-of-two distance from
    // the end (and sums of them), where a backwards reader in chunks would split it.
    for (const std::size_t border : {4096u, 8192u, 12288u, 16384u, 28672u, 32768u})
    {
        for (std::size_t tail = border - 3; tail <= border + 1; ++tail)
        {
            for (const Settings& settings : {CrlfSettings(), TabSettings()})
            {
                const std::wstring text =
                    std::wstring(50, L'p') + L"\r\n" + std::wstring(tail, L'q');
                LogFixture f(settings, text);
                f.log.CancelLastItem();
                EXPECT_EQ(f.box.Content().size(), 50u) << "tail " << tail;
            }
        }
    }
}

TEST(CaptureLogKeyBack, WorksFarBeyondSixteenBitPositions)
{
    std::wstring text(100'000, L'x');
    text.replace(40'000, 1, L"\t");
    text.replace(70'000, 2, L"\r\n");
    LogFixture tab(TabSettings(), text);
    tab.log.CancelLastItem();
    EXPECT_EQ(tab.box.Content().size(), 70'000u);
    tab.log.CancelLastItem();
    EXPECT_EQ(tab.box.Content().size(), 40'000u);

    text.replace(90'000, 1, L"\t");
    LogFixture later(TabSettings(), text);
    later.log.CancelLastItem();
    EXPECT_EQ(later.box.Content().size(), 90'000u);
}

TEST(CaptureLogKeyBack, ReadsOnlyTheEndOfALongLog)
{
    std::wstring text;
    while (text.size() < 2'000'000)
    {
        text += L"item\r\n";
    }
    text += L"last";
    LogFixture f(CrlfSettings(), text);
    f.log.AppendItem(L"new");
    f.log.CancelLastItem();
    EXPECT_EQ(f.box.Content(), text);
    EXPECT_EQ(f.box.Calls().text, 0);
    EXPECT_EQ(f.box.Calls().setText, 0);
    EXPECT_LT(f.box.Calls().slicedChars, 100'000u);
}

TEST(CaptureLogKeyBack, AgreesWithAWholeTextSearchOnRandomLogs)
{
    std::mt19937 random(20240601);
    // Mostly letters, so that line breaks and tabs are often far apart.
    const std::wstring alphabet = std::wstring(60, L'a') + L"\t\r\n";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int round = 0; round < 200; ++round)
    {
        std::uniform_int_distribution<std::size_t> lengthOf(0, round % 2 == 0 ? 40 : 20'000);
        std::wstring text(lengthOf(random), L' ');
        for (wchar_t& c : text)
        {
            c = alphabet[pick(random)];
        }
        for (const Settings& settings : {CrlfSettings(), TabSettings()})
        {
            LogFixture f(settings, text);
            f.log.CancelLastItem();
            ASSERT_EQ(f.box.Content().size(), ReferenceCut(text, settings.separator))
                << "round " << round;
        }
    }
}

// A harvest is one item that keeps its tabs and line breaks; cancelling right after it removes it
// whole with its separator, and only while the log still ends with it.
TEST(CaptureLogHarvest, KeepsItsStructureAndIsCancelledWhole)
{
    const std::wstring harvest = L"名前\t型\r\nA\tREG_SZ";
    for (const Settings& settings : {CrlfSettings(), TabSettings()})
    {
        LogFixture f(settings, L"ab");
        f.log.AppendHarvest(harvest);
        EXPECT_EQ(f.box.Content(), L"ab" + settings.separator + harvest);
        f.log.CancelLastItem();
        EXPECT_EQ(f.box.Content(), L"ab") << "whole, with its separator";
    }

    LogFixture f(CrlfSettings(), L"ab");
    f.log.AppendHarvest(harvest);
    f.log.AppendLineBreak();
    f.log.CancelLastItem(); // another change came after it: cancel works as always
    EXPECT_EQ(f.box.Content(), L"ab\r\n名前\t型\r\nA\tREG_SZ");
    f.log.AppendHarvest(harvest);
    f.log.ForgetHarvest(); // the user typed into the log
    f.log.CancelLastItem();
    EXPECT_EQ(f.box.Content(), L"ab\r\n名前\t型\r\nA\tREG_SZ\r\n名前\t型");
}

// ---- Clearing and selecting ------------------------------------------------------------------

TEST(CaptureLogClearAll, ClearingTheIntroductionKeepsTheInitialState)
{
    LogFixture f(CrlfSettings());
    f.log.ShowIntroduction();
    FakeTextBox preview0(L"name");
    FakeTextBox preview1(L"value");

    f.log.ClearAll(preview0, preview1);

    EXPECT_EQ(f.box.Content(), L"");
    EXPECT_TRUE(f.log.IsShowingIntroduction());
    EXPECT_EQ(f.box.Colour(), kIntroTextColour);
    EXPECT_EQ(preview0.Content(), L"");
    EXPECT_EQ(preview1.Content(), L"");

    f.box.Load(L"typed");
    f.log.AppendItem(L"a\tb");
    EXPECT_EQ(f.box.Content(), L"a b");
    EXPECT_EQ(f.box.Colour(), kLogTextColour);
    EXPECT_FALSE(f.log.IsShowingIntroduction());
}

TEST(CaptureLogSelectAll, SelectsOnlyWhenTheMainWindowIsForeground)
{
    LogFixture f(CrlfSettings(), L"abc");
    f.log.SelectAll(false);
    EXPECT_FALSE(f.box.AllSelected());
    f.log.SelectAll(true);
    EXPECT_TRUE(f.box.AllSelected());
    EXPECT_EQ(f.box.Content(), L"abc");
}

} // namespace
} // namespace mirufon
