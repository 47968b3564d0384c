#include "capture/CopyCapture.h"

#include "capture/CaptureLog.h"
#include "fakes/FakeClipboardChain.h"
#include "fakes/FakeMessagePump.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace mirufon
{
namespace
{

constexpr WindowId kMain = 0x100;
constexpr WindowId kDialog = 0x150; // the settings dialog, a window of this program
constexpr WindowId kNext = 0x200;
constexpr WindowId kAfterNext = 0x300;
constexpr WindowId kEditor = 0x400; // another program, where the user copies

using Kind = FakeClipboardChain::Kind;

const std::wstring kMarker(kClipboardErrorMarker);
const std::wstring kBoxPrefix = std::wstring(L"!") + std::wstring(kClipboardErrorTitle) + L"|";

// The copy capture of the main window with everything it reaches faked. Appended items are
// logged as "+text" and error boxes as "!title|text", in the order they happen.
struct Copy
{
    FakeClipboardChain api;
    FakeMessagePump pump;
    std::vector<std::wstring> events;
    std::vector<int> sendsAtAppend;
    CopyCapture copy{api, kMain, pump,
                     [this](std::wstring_view text)
                     {
                         events.push_back(L"+" + std::wstring(text));
                         sendsAtAppend.push_back(api.Count(Kind::Send));
                     },
                     [this](std::wstring_view title, std::wstring_view text)
                     { events.push_back(L"!" + std::wstring(title) + L"|" + std::wstring(text)); }};

    Copy()
    {
        api.SetHead(kNext);
        api.SetForeground(kEditor);
    }

    void Draw(std::uintptr_t wParam = 0, std::intptr_t lParam = 0)
    {
        copy.OnMessage(kWmDrawClipboard, wParam, lParam);
    }
    void Leaves(WindowId leaving, WindowId following)
    {
        copy.OnMessage(kWmChangeCbChain, leaving, static_cast<std::intptr_t>(following));
    }
};

bool IsSend(const FakeClipboardChain::Call& call, WindowId to, unsigned message,
            std::uintptr_t wParam, std::intptr_t lParam)
{
    return call.kind == Kind::Send && call.window == to && call.message == message &&
           call.wParam == wParam && call.lParam == lParam;
}

std::vector<Kind> Kinds(const FakeClipboardChain& api)
{
    std::vector<Kind> kinds;
    for (const FakeClipboardChain::Call& call : api.Calls())
    {
        kinds.push_back(call.kind);
    }
    return kinds;
}

// ---- Joining and leaving ---------------------------------------------------------------------

TEST(CopyCaptureChain, JoinedOnlyOnceJoiningHasReturned)
{
    Copy c;
    bool joinedWhileJoining = true;
    c.api.OnJoin([&c, &joinedWhileJoining] { joinedWhileJoining = c.copy.IsJoined(); });

    c.copy.Start();
    EXPECT_FALSE(joinedWhileJoining) << "a notification while joining is no copy";
    EXPECT_EQ(Kinds(c.api), std::vector<Kind>{Kind::Join});
    EXPECT_TRUE(c.copy.IsJoined());
    EXPECT_EQ(c.copy.Next(), kNext);
}

TEST(CopyCaptureChain, EndLeavesInEveryCaseAndKeepsNext)
{
    Copy c;
    c.copy.End(); // never started: only tells the chain
    ASSERT_EQ(c.api.Calls().size(), 1u);
    EXPECT_EQ(c.api.Calls()[0].window, 0u);

    c.copy.Start();
    c.api.ClearCalls();
    c.copy.End();
    c.copy.End();
    EXPECT_FALSE(c.copy.IsJoined());
    EXPECT_EQ(c.copy.Next(), kNext);
    EXPECT_FALSE(c.api.InChain());
    ASSERT_EQ(c.api.Calls().size(), 2u);
    for (const FakeClipboardChain::Call& call : c.api.Calls())
    {
        EXPECT_EQ(call.kind, Kind::Leave);
        EXPECT_EQ(call.window, kNext);
    }
}

TEST(CopyCaptureChain, StartingTwiceLeavesFirst)
{
    Copy c;
    c.copy.Start();
    c.api.SetHead(kAfterNext);
    c.copy.Start();
    EXPECT_EQ(c.api.Rejoins(), 0) << "must not become its own successor";
    EXPECT_EQ(Kinds(c.api), (std::vector<Kind>{Kind::Join, Kind::Leave, Kind::Join}));
    EXPECT_EQ(c.api.Calls()[1].window, kNext);
    EXPECT_EQ(c.copy.Next(), kAfterNext);
}

TEST(CopyCaptureChain, DestructionEndsWhatIsStarted)
{
    FakeClipboardChain api;
    FakeMessagePump pump;
    {
        CopyCapture copy{api, kMain, pump, nullptr, nullptr};
        copy.Start();
    }
    EXPECT_FALSE(api.InChain());
    {
        CopyCapture idle{api, kMain, pump, nullptr, nullptr};
    }
    EXPECT_EQ(api.Calls().size(), 2u) << "nothing to end when never started";
}

// ---- Notifications ---------------------------------------------------------------------------

TEST(CopyCaptureNotify, CopyIsAppendedThenPassedOnUnchanged)
{
    Copy c;
    c.copy.Start();
    c.api.ClearCalls();
    c.api.SetText(L"line 1\r\nline\t2");
    c.Draw(0x11, -5);

    EXPECT_EQ(c.events, std::vector<std::wstring>{L"+line 1\r\nline\t2"});
    EXPECT_EQ(c.sendsAtAppend, std::vector<int>{0}) << "the next viewer hears of it after";
    EXPECT_EQ(Kinds(c.api),
              (std::vector<Kind>{Kind::Foreground, Kind::TextAvailable, Kind::Read, Kind::Send}));
    EXPECT_TRUE(IsSend(c.api.Calls().back(), kNext, kWmDrawClipboard, 0x11, -5));
    EXPECT_EQ(c.pump.Sleeps(), 0);
}

TEST(CopyCaptureNotify, OnlyCopiesFromOtherWindowsAreAppended)
{
    for (const WindowId foreground : {kMain, WindowId{0}, kDialog})
    {
        Copy c;
        c.copy.Start();
        c.api.SetForeground(foreground);
        c.Draw(1, 2);
        const bool captured = foreground == kDialog;
        EXPECT_EQ(c.events.size(), captured ? 1u : 0u) << foreground;
        EXPECT_EQ(c.api.Count(Kind::Read), captured ? 1 : 0) << foreground;
        ASSERT_EQ(c.api.Sends().size(), 1u) << foreground;
        EXPECT_TRUE(IsSend(c.api.Sends()[0], kNext, kWmDrawClipboard, 1, 2));
    }
}

TEST(CopyCaptureNotify, NoTextMeansNoReadButStillPassedOn)
{
    Copy c;
    c.copy.Start();
    c.api.SetTextAvailable(false);
    c.Draw();
    EXPECT_EQ(c.api.Count(Kind::Read), 0);
    EXPECT_TRUE(c.events.empty());
    EXPECT_EQ(c.api.Sends().size(), 1u);
}

TEST(CopyCaptureNotify, ChainIsRepairedWhenTheNextViewerLeaves)
{
    Copy c;
    c.copy.Start();
    c.Leaves(kNext, kAfterNext);
    EXPECT_EQ(c.copy.Next(), kAfterNext);
    EXPECT_TRUE(c.api.Sends().empty()) << "the repair is not passed on";

    c.Draw(3, 4);
    c.Leaves(kEditor, kDialog); // a window further down leaves: its business, passed on
    EXPECT_EQ(c.copy.Next(), kAfterNext);
    const std::vector<FakeClipboardChain::Call> sends = c.api.Sends();
    ASSERT_EQ(sends.size(), 2u);
    EXPECT_TRUE(IsSend(sends[0], kAfterNext, kWmDrawClipboard, 3, 4));
    EXPECT_TRUE(IsSend(sends[1], kAfterNext, kWmChangeCbChain, kEditor,
                       static_cast<std::intptr_t>(kDialog)));

    // The last viewer leaves: nobody left to tell, and End names no successor.
    c.Leaves(kAfterNext, 0);
    EXPECT_EQ(c.copy.Next(), 0u);
    c.Draw();
    EXPECT_EQ(c.api.Sends().size(), 2u);
    c.copy.End();
    EXPECT_EQ(c.api.Calls().back().window, 0u);
}

TEST(CopyCaptureNotify, NothingIsPassedOnWithoutANextViewer)
{
    Copy c;
    c.api.SetHead(0);
    c.copy.Start();
    c.Draw();
    c.Leaves(kEditor, kDialog);
    c.Leaves(0, kDialog); // no window 0 is in the chain: this must not invent a next viewer
    EXPECT_EQ(c.copy.Next(), 0u);
    EXPECT_EQ(c.api.Count(Kind::Send), 0);
    EXPECT_EQ(c.events, std::vector<std::wstring>{L"+copied"});
}

TEST(CopyCaptureNotify, OtherMessagesAreLeftAlone)
{
    Copy c;
    c.copy.Start();
    c.api.ClearCalls();
    c.copy.OnMessage(0x0312, 1, 2); // WM_HOTKEY
    c.copy.OnMessage(0x0001, 0, 0); // WM_CREATE
    EXPECT_TRUE(c.api.Calls().empty());
    EXPECT_TRUE(c.events.empty());
}

// ---- Reading with retries --------------------------------------------------------------------

TEST(CopyCaptureRead, RetriesUntilTheClipboardIsFree)
{
    Copy c;
    c.copy.Start();
    c.api.QueueFailures(3, 5, L"busy");
    c.Draw();
    EXPECT_EQ(c.api.Count(Kind::Read), 4);
    EXPECT_EQ(c.pump.Sleeps(), 30);
    EXPECT_EQ(c.pump.SleptMs(), 300);
    EXPECT_EQ(c.events, std::vector<std::wstring>{L"+copied"});
}

TEST(CopyCaptureRead, TenFailuresShowTheLastErrorThenAppendTheMarker)
{
    Copy c;
    c.copy.Start();
    c.api.QueueFailures(9, 5, L"アクセスが拒否されました。");
    c.api.QueueFailures(1, 1418, L"クリップボードが開いていません。");
    c.Draw();
    EXPECT_EQ(c.api.Count(Kind::Read), 10) << "an eleventh read would succeed";
    EXPECT_EQ(c.pump.Sleeps(), 100);
    EXPECT_EQ(c.events,
              (std::vector<std::wstring>{kBoxPrefix + L"1418 クリップボードが開いていません。",
                                         L"+" + kMarker}));
    EXPECT_EQ(c.api.Calls().back().kind, Kind::Send);
}

TEST(CopyCaptureRead, CopiedMarkerTextIsATextNotAFailure)
{
    Copy c;
    c.copy.Start();
    c.api.SetText(kMarker);
    c.Draw();
    EXPECT_EQ(c.api.Count(Kind::Read), 1);
    EXPECT_EQ(c.pump.Sleeps(), 0);
    EXPECT_EQ(c.events, std::vector<std::wstring>{L"+" + kMarker});
}

TEST(CopyCaptureRead, EmptyTextIsAppended)
{
    Copy c;
    c.copy.Start();
    c.api.SetText(L"");
    c.Draw();
    EXPECT_EQ(c.events, std::vector<std::wstring>{L"+"});
}

// ---- One clipboard state, one item ---------------------------------------------------------

TEST(CopyCaptureOnce, AStateAlreadyAppendedIsNotAppendedAgain)
{
    Copy c;
    c.copy.Start();
    c.api.Change(L"a");
    c.Draw();
    c.Draw();           // a notification that brings no new state: passed on, not appended
    c.api.Change(L"a"); // the same text copied again is a new state
    c.Draw();
    EXPECT_EQ(c.events, (std::vector<std::wstring>{L"+a", L"+a"}));
    EXPECT_EQ(c.api.Count(Kind::Send), 3);

    // The error marker stands for no state: it does not make the last state new again.
    c.api.QueueFailures(10, 5, L"busy");
    c.Draw();
    c.Draw();
    EXPECT_EQ(c.events,
              (std::vector<std::wstring>{L"+a", L"+a", kBoxPrefix + L"5 busy", L"+" + kMarker}));
}

TEST(CopyCaptureOnce, StateAppendedDuringAWaitOrWhileAppendingIsNotAppendedAgain)
{
    // A change handled during the outer read's wait is appended there; the outer read then
    // finds the same state.
    Copy waited;
    waited.copy.Start();
    waited.api.QueueFailures(1, 5, L"busy");
    waited.pump.OnDispatch(
        [&waited]
        {
            if (waited.pump.Sleeps() == 1)
            {
                waited.api.Change(L"newer");
                waited.Draw();
            }
        });
    waited.api.Change(L"first");
    waited.Draw();
    EXPECT_EQ(waited.events, std::vector<std::wstring>{L"+newer"});
    EXPECT_EQ(waited.api.Count(Kind::Send), 2);

    // Appending may dispatch a notification that reads the same state once more.
    FakeClipboardChain api;
    FakeMessagePump pump;
    std::vector<std::wstring> appended;
    std::function<void()> nested;
    CopyCapture copy{api, kMain, pump,
                     [&](std::wstring_view text)
                     {
                         appended.emplace_back(text);
                         if (nested)
                         {
                             std::exchange(nested, nullptr)();
                         }
                     },
                     nullptr};
    nested = [&copy] { copy.OnMessage(kWmDrawClipboard, 0, 0); };
    api.SetForeground(kEditor);
    copy.Start();
    api.Change(L"once");
    copy.OnMessage(kWmDrawClipboard, 0, 0);
    EXPECT_EQ(appended, std::vector<std::wstring>{L"once"});
}

// ---- Re-entry through the retry waits --------------------------------------------------------

TEST(CopyCaptureReentry, ChangesNotifiedDuringAReadAreReadOnceItIsDone)
{
    Copy c;
    c.copy.Start();
    c.api.QueueFailures(1, 5, L"busy");
    c.api.QueueRead(ClipboardRead{true, L"first", 0, L""});
    c.api.QueueRead(ClipboardRead{true, L"latest", 0, L""});
    // Two more changes are notified during the first read's wait: they are not read inside
    // it, and one more read covers both.
    c.pump.OnDispatch(
        [&c]
        {
            if (c.pump.Sleeps() == 1)
            {
                c.Draw(1, 1);
                c.Draw(3, 3);
                EXPECT_EQ(c.api.Count(Kind::Read), 1) << "read inside the read";
                EXPECT_EQ(c.api.Count(Kind::Send), 0) << "passed on before its read";
            }
        });
    c.Draw(2, 2);

    EXPECT_EQ(c.events, (std::vector<std::wstring>{L"+first", L"+latest"}));
    EXPECT_EQ(c.api.Count(Kind::Read), 3);
    const std::vector<FakeClipboardChain::Call> sends = c.api.Sends();
    ASSERT_EQ(sends.size(), 3u);
    EXPECT_TRUE(IsSend(sends[0], kNext, kWmDrawClipboard, 2, 2));
    EXPECT_TRUE(IsSend(sends[1], kNext, kWmDrawClipboard, 1, 1));
    EXPECT_TRUE(IsSend(sends[2], kNext, kWmDrawClipboard, 3, 3));
    EXPECT_EQ(c.pump.Sleeps(), 10);
}

TEST(CopyCaptureReentry, ChainRepairedDuringAWaitIsHonoured)
{
    Copy c;
    c.copy.Start();
    c.api.QueueFailures(1, 5, L"busy");
    c.pump.OnDispatch(
        [&c]
        {
            if (c.pump.Sleeps() == 5)
            {
                c.Leaves(kNext, kAfterNext);
            }
        });
    c.Draw();
    const std::vector<FakeClipboardChain::Call> sends = c.api.Sends();
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].window, kAfterNext) << "the viewer that left must not be told";
}

TEST(CopyCaptureReentry, ChangeDuringAFailingReadGetsItsOwnReadAndReport)
{
    Copy c;
    c.copy.Start();
    c.api.QueueFailures(10, 5, L"outer");
    c.api.QueueFailures(10, 7, L"inner");
    // A second change arrives during the wait after the first read's last failure.
    c.pump.OnDispatch(
        [&c]
        {
            if (c.pump.Sleeps() == 91)
            {
                c.Draw();
            }
        });
    c.Draw();
    EXPECT_EQ(c.events, (std::vector<std::wstring>{kBoxPrefix + L"5 outer", L"+" + kMarker,
                                                   kBoxPrefix + L"7 inner", L"+" + kMarker}));
    EXPECT_EQ(c.pump.Sleeps(), 200);
    EXPECT_EQ(c.api.Count(Kind::Send), 2);
}

} // namespace
} // namespace mirufon
