#include "capture/CopyCapture.h"

#include "capture/CaptureLog.h"
#include "fakes/FakeClipboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirufon
{
namespace
{

constexpr WindowId kMain = 0x100;

// Copy capture with a fake clipboard. Appended items are logged as "+text" and error boxes as
// "!text", in the order they happen; a box may run a step meanwhile, as its message loop would.
struct Copies
{
    FakeClipboard clipboard;
    std::vector<std::wstring> events;
    std::function<void()> duringBox;
    CopyCapture copy{clipboard, kMain,
                     [this](std::wstring_view text)
                     { events.push_back(L"+" + std::wstring(text)); },
                     [this](std::wstring_view, std::wstring_view text)
                     {
                         events.push_back(L"!" + std::wstring(text));
                         if (auto step = std::exchange(duringBox, nullptr))
                         {
                             step();
                         }
                     }};

    void Read(std::wstring text, std::uint32_t sequence,
              ClipboardContent content = ClipboardContent::Text)
    {
        copy.OnReadDone(ClipboardRead{true, std::move(text), 0, {}, sequence, content});
    }
    void Fail(long number) { copy.OnReadDone(ClipboardRead{false, {}, number, L"busy"}); }
};

TEST(CopyCapture, OnlyCopiesFromOtherWindowsWithTextAreRead)
{
    Copies c;
    c.copy.OnClipboardChanged();
    EXPECT_EQ(c.clipboard.reads, 0) << "not listening yet";
    c.copy.Start();
    c.copy.Start();
    EXPECT_TRUE(c.clipboard.listening);

    struct Case
    {
        WindowId foreground;
        bool text;
        int reads;
        const char* why;
    };
    const Case cases[] = {
        {kMain, true, 0, "copied from the log itself"},
        {0, true, 0, "no window in front"},
        {0x400, false, 0, "no text on the clipboard"},
        {0x400, true, 1, "a copy in another program"},
    };
    for (const Case& test : cases)
    {
        c.clipboard.reads = 0;
        c.clipboard.foreground = test.foreground;
        c.clipboard.textAvailable = test.text;
        c.copy.OnClipboardChanged();
        EXPECT_EQ(c.clipboard.reads, test.reads) << test.why;
        if (test.reads)
        {
            c.Read(L"x", 1);
        }
    }

    // Once it stops listening, a read still under way appends nothing, even when it listens
    // again before the read ends; nor is what changed during it read. A later copy is.
    c.copy.OnClipboardChanged();
    c.copy.OnClipboardChanged();
    c.copy.End();
    EXPECT_FALSE(c.clipboard.listening);
    c.copy.Start();
    c.Read(L"late", 2);
    c.copy.OnClipboardChanged();
    c.Read(L"new", 3);
    EXPECT_EQ(c.clipboard.reads, 3);
    EXPECT_EQ(c.events, (std::vector<std::wstring>{L"+x", L"+new"}));
}

TEST(CopyCapture, EachClipboardStateIsAppendedOnceAndChangesDuringAReadGetOneMoreRead)
{
    Copies c;
    c.copy.Start();
    c.copy.OnClipboardChanged();
    c.copy.OnClipboardChanged();
    c.copy.OnClipboardChanged();
    EXPECT_EQ(c.clipboard.reads, 1) << "one read at a time";
    c.Read(L"one", 5);
    EXPECT_EQ(c.clipboard.reads, 2) << "one more read covers the changes meanwhile";
    c.Read(L"one", 5); // the same state again: not appended twice
    c.copy.OnClipboardChanged();
    c.Read(L"", 6); // an empty copied text is a text
    c.copy.OnClipboardChanged();
    c.Read(L"", 7, ClipboardContent::NoText);
    c.copy.OnClipboardChanged();
    c.Read(L"", 8, ClipboardContent::Private);
    c.copy.OnClipboardChanged();
    c.Read(std::wstring(kClipboardErrorMarker), 9); // copied marker text is just text
    EXPECT_EQ(c.events, (std::vector<std::wstring>{L"+one", L"+",
                                                   L"+" + std::wstring(kClipboardErrorMarker)}));
    EXPECT_EQ(c.clipboard.reads, 6);
}

// A failed read's marker lands in its place at once; its box follows, and what is copied while
// it is open comes after the marker. A read that cannot start is a failure like any, and the
// next copy is read again.
TEST(CopyCapture, FailuresLeaveTheMarkerInPlaceAndShowOneBoxAtATime)
{
    Copies c;
    c.copy.Start();
    c.copy.OnClipboardChanged();
    // While the first box is open, a copy arrives, the next read fails, and the one after
    // that cannot even start.
    c.duringBox = [&]
    {
        c.copy.OnClipboardChanged();
        c.Read(L"meanwhile", 3);
        c.copy.OnClipboardChanged();
        c.Fail(1418);
        c.clipboard.cannotStart = ClipboardRead{false, {}, 8, L"no worker"};
        c.copy.OnClipboardChanged();
        c.clipboard.cannotStart.reset();
    };
    c.Fail(5);
    c.copy.OnClipboardChanged();
    EXPECT_EQ(c.clipboard.reads, 5) << "the copy after a read that could not start is read";
    c.Read(L"after", 4);
    const std::wstring marker = L"+" + std::wstring(kClipboardErrorMarker);
    EXPECT_EQ(c.events,
              (std::vector<std::wstring>{marker, L"!5 busy", L"+meanwhile", marker, marker,
                                         L"!1418 busy", L"!8 no worker", L"+after"}));
}

TEST(CopyCapture, TriesTenTimesWithAPauseAfterEachFailure)
{
    for (const int succeedsOn : {1, 10, 11})
    {
        int tries = 0;
        std::vector<int> pauses;
        const bool ok = TryRepeatedly([&] { return ++tries == succeedsOn; },
                                      [&](int ms) { pauses.push_back(ms); });
        EXPECT_EQ(ok, succeedsOn <= kClipboardTries) << succeedsOn;
        EXPECT_EQ(tries, std::min(succeedsOn, kClipboardTries));
        EXPECT_EQ(pauses, std::vector<int>(
                              static_cast<std::size_t>(std::min(succeedsOn - 1, kClipboardTries)),
                              kClipboardRetryMs));
    }
}

} // namespace
} // namespace mirufon
