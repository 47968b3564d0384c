#include "capture/CaptureQueue.h"
#include "capture/PointerPreview.h"
#include "capture/ReadTracker.h"

#include "fakes/FakeServices.h"
#include "fakes/FakeTextBox.h"
#include "text/UiText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirufon
{
namespace
{

constexpr std::uint32_t kResponsive = 7;
constexpr std::uint32_t kHung = 9;
constexpr std::uint32_t kFamiliar[] = {kResponsive, kHung, kResponsive + 4};

class Feedback final : public CaptureFeedback
{
  public:
    int beeps = 0;
    std::int64_t wake = -1;

    void Beep() override { ++beeps; }
    void WakeReadTimer(std::int64_t milliseconds) override { wake = milliseconds; }
    void SetPreviewRunning(bool) override {}
    void SetPreviewInterval(std::int64_t) override {}
};

// The preview and the captures over a log that already holds an item, with the pointer on a responding program.
// The programs of the tests have each answered a read before.
struct Engine
{
    Engine()
    {
        for (const std::uint32_t thread : kFamiliar)
        {
            PointAt(thread);
            preview.OnTick();
            Done(Last(), L"");
            clock.now += kPreviewRefreshMs;
        }
        PointAt(kResponsive);
        preview.SetRunning(true);
        workers.started.clear();
    }

    Settings settings;
    FakeTextBox logBox{L"first"};
    FakeTextBox nameBox;
    FakeTextBox valueBox;
    CaptureLog log{logBox, settings};
    FakePointerProbe pointer;
    FakeReadWorkers workers;
    FakeClock clock;
    Feedback feedback;
    ReadTracker reads{workers, clock, feedback};
    PointerPreview preview{nameBox, valueBox, pointer, reads, clock, feedback};
    CaptureQueue captures{log, pointer, reads, preview, feedback};

    std::uint64_t Last() const { return workers.Last(); }
    void Done(std::uint64_t id, std::wstring name, std::wstring value = L"")
    {
        End(id, ElementTexts{false, std::move(name), std::move(value)});
    }
    // What a worker posts for the read.
    void End(std::uint64_t id, ReadContent content)
    {
        reads.OnReadOutcome(ReadOutcome{id, std::move(content)});
    }
    void Pass(std::int64_t milliseconds)
    {
        clock.now += milliseconds;
        reads.OnReadTimer();
    }
    // A program of one thread: the thread's number is its process's too.
    void PointAt(std::uint32_t thread, bool own = false)
    {
        pointer.at.thread = thread;
        pointer.at.process = thread;
        pointer.at.overOwnWindow = own;
    }
};

TEST(CaptureReads, PreviewReadsOneAtATimeAndShowsTheBeginning)
{
    Engine e;
    e.preview.OnTick();
    ASSERT_EQ(e.workers.started.size(), 1u);
    const ReadRequest request = e.workers.started[0];
    EXPECT_TRUE(request.wanted.name && request.wanted.value);
    EXPECT_EQ(request.maxChars, kPreviewChars);
    EXPECT_EQ(e.feedback.wake, kPreviewDeadlineMs);
    e.preview.OnTick(); // still running: not queued again
    EXPECT_EQ(e.workers.started.size(), 1u);

    e.Done(request.id, L"保存", std::wstring(10000, L'x'));
    EXPECT_EQ(e.nameBox.Content(), L"保存");
    EXPECT_EQ(e.valueBox.Content().size(), kPreviewChars);
    EXPECT_EQ(e.feedback.wake, -1) << "no read left to watch";

    // Stopped while a read runs: the boxes keep their text, whatever the read brings.
    e.clock.now += kPreviewRefreshMs;
    e.preview.OnTick();
    e.preview.SetRunning(false);
    e.Pass(kPreviewDeadlineMs);
    EXPECT_EQ(e.nameBox.Content(), L"保存");
    e.preview.SetRunning(true);

    // Over the program's own window, or no window at all: both boxes empty, nothing read.
    e.PointAt(kResponsive, true);
    e.preview.OnTick();
    EXPECT_EQ(e.nameBox.Content(), L"");
    EXPECT_EQ(e.valueBox.Content(), L"");
    EXPECT_EQ(e.workers.started.size(), 2u);
}

TEST(CaptureReads, AStuckProgramGetsNoMoreReadsUntilItAnswers)
{
    Engine e;
    e.PointAt(kHung);
    e.preview.OnTick();
    const std::uint64_t stuck = e.Last();
    e.Pass(kPreviewDeadlineMs - 1);
    EXPECT_EQ(e.nameBox.Content(), L"");
    e.Pass(1);
    EXPECT_EQ(e.nameBox.Content(), Text(UiText::NoResponse));
    EXPECT_EQ(e.valueBox.Content(), L"");

    // However long the pointer rests there, nothing more is sent to that program. A capture
    // waits for it up to its deadline, then fails.
    for (int tick = 0; tick < 50; ++tick)
    {
        e.preview.OnTick();
    }
    e.captures.Capture(CaptureTarget::Name);
    EXPECT_EQ(e.workers.started.size(), 1u);
    EXPECT_EQ(e.feedback.beeps, 0);
    EXPECT_EQ(e.feedback.wake, kCaptureDeadlineMs);
    e.Pass(kCaptureDeadlineMs);
    EXPECT_EQ(e.feedback.beeps, 1);
    EXPECT_EQ(e.logBox.Content(), L"first");

    // Another program is read meanwhile, and replaces the notice.
    e.PointAt(kResponsive);
    e.preview.OnTick();
    e.Done(e.Last(), L"OK");
    EXPECT_EQ(e.nameBox.Content(), L"OK");

    // Two captures over it wait; the stuck read comes back within their deadline: what it
    // read is too late to show, but the captures read now.
    e.PointAt(kHung);
    e.captures.Capture(CaptureTarget::Name);
    e.captures.Capture(CaptureTarget::Value);
    e.Pass(kCaptureDeadlineMs - 1);
    e.Done(stuck, L"late");
    EXPECT_EQ(e.nameBox.Content(), L"OK");
    ASSERT_EQ(e.workers.started.size(), 4u);
    e.Pass(1);
    EXPECT_EQ(e.feedback.beeps, 1) << "reading: their own deadlines count now";
    e.Done(e.Last(), L"", L"value");
    e.Done(e.Last() - 1, L"back");
    EXPECT_EQ(e.logBox.Content(), L"first\r\nback\r\nvalue");
    e.preview.OnTick();
    e.Done(e.Last(), L"back");
    EXPECT_EQ(e.nameBox.Content(), L"back");

    // A read that fails in this program beeps for a capture, and the program is not taken
    // for one that does not answer.
    e.captures.Capture(CaptureTarget::Name);
    e.End(e.Last(), ReadFailed{});
    EXPECT_EQ(e.feedback.beeps, 2);
    e.captures.Capture(CaptureTarget::Name);
    EXPECT_EQ(e.workers.started.size(), 7u) << "read at once";
}

TEST(CaptureReads, ARestingPointerIsReadAgainOnlyNowAndThen)
{
    Engine e;
    const auto reads = [&] { return e.workers.started.size(); };
    const auto looks = [&] { return e.pointer.looks; };
    e.preview.OnTick();
    e.clock.now += 10;
    e.pointer.at.x += 1; // a move while the read runs: read once it has ended
    e.preview.OnTick();
    e.Done(e.Last(), L"a");
    e.clock.now += 10;
    e.preview.OnTick();
    EXPECT_EQ(reads(), 2u);
    e.Done(e.Last(), L"b");
    const int looked = looks();
    for (int tick = 0; tick < kPreviewRefreshMs / 10 - 2; ++tick)
    {
        e.clock.now += 10;
        e.preview.OnTick();
    }
    EXPECT_EQ(reads(), 2u) << "resting: no read before the refresh is due";
    EXPECT_EQ(looks(), looked) << "resting: a tick only asks where the pointer is";
    e.clock.now += 20;
    e.preview.OnTick();
    EXPECT_EQ(reads(), 3u) << "refreshed: a text that changed under the pointer shows";
    e.Done(e.Last(), L"b");

    // A move is read at the next tick; paused and running again, too.
    e.pointer.at.y += 1;
    e.preview.OnTick();
    EXPECT_EQ(reads(), 4u);
    e.Done(e.Last(), L"c");
    e.preview.SetRunning(false);
    e.preview.SetRunning(true);
    e.preview.OnTick();
    EXPECT_EQ(reads(), 5u);
}

TEST(CaptureReads, LogChangesApplyInTheOrderTheirTriggersArrived)
{
    Engine e;
    e.captures.Capture(CaptureTarget::Value);
    const std::uint64_t value = e.Last();
    EXPECT_EQ(e.workers.started.back().maxChars, kWholeText);
    EXPECT_TRUE(e.workers.started.back().wanted.value && !e.workers.started.back().wanted.name);
    e.captures.AppendLineBreak();
    e.captures.AppendItem(L"copied");
    e.captures.Capture(CaptureTarget::Name);
    const std::uint64_t name = e.Last();
    e.captures.CancelLastItem();
    EXPECT_EQ(e.logBox.Content(), L"first");

    // The later read ends first: it still waits for the earlier one.
    e.Done(name, L"name");
    EXPECT_EQ(e.logBox.Content(), L"first");
    e.Done(value, L"ignored", L""); // an empty value is appended as an empty item
    EXPECT_EQ(e.logBox.Content(), L"first\r\n\r\ncopied");

    // A capture that misses its deadline appends nothing; what waited behind it goes on.
    e.captures.Capture(CaptureTarget::Name);
    e.captures.AppendItem(L"after");
    e.Pass(kCaptureDeadlineMs - 1);
    EXPECT_EQ(e.logBox.Content(), L"first\r\n\r\ncopied");
    e.Pass(1);
    EXPECT_EQ(e.feedback.beeps, 1);
    EXPECT_EQ(e.nameBox.Content(), Text(UiText::NoResponse));
    EXPECT_EQ(e.logBox.Content(), L"first\r\n\r\ncopied\r\nafter");

    // A program that answered and sends a long text gets the time such a copy may take.
    e.PointAt(kResponsive + 4);
    e.captures.Capture(CaptureTarget::Value);
    const std::uint64_t huge = e.Last();
    e.End(huge, ReadAnswering{20'000'000});
    e.Pass(kCaptureDeadlineMs + 20'000'000 / kTransferCharsPerMs - 1);
    e.Done(huge, L"", L"long");
    EXPECT_EQ(e.feedback.beeps, 1);
    EXPECT_EQ(e.logBox.Content(), L"first\r\n\r\ncopied\r\nafter\r\nlong");

    // Over the program's own window a capture does nothing at all.
    e.PointAt(kResponsive, true);
    const std::size_t reads = e.workers.started.size();
    e.captures.Capture(CaptureTarget::Name);
    EXPECT_EQ(e.workers.started.size(), reads);
    e.captures.AppendItem(L"own");
    EXPECT_EQ(e.logBox.Content(), L"first\r\n\r\ncopied\r\nafter\r\nlong\r\nown")
        << "nothing waits for it";
}

TEST(CaptureReads, HarvestsAreOneItemInTurnAndStopOnRequest)
{
    Engine e;
    e.captures.Harvest();
    const std::uint64_t harvest = e.Last();
    EXPECT_EQ(e.workers.started.back().kind, ReadKind::Harvest);
    e.captures.AppendItem(L"after");
    // Items keep arriving: the deadline moves out with them.
    for (int step = 0; step < 3; ++step)
    {
        e.Pass(kCaptureDeadlineMs - 1);
        e.End(harvest, ReadAnswering{0});
    }
    EXPECT_EQ(e.feedback.beeps, 0);
    e.End(harvest, HarvestResult{HarvestOutcome::Harvested, L"a\tb\r\nc"});
    EXPECT_EQ(e.logBox.Content(), L"first\r\na\tb\r\nc\r\nafter");

    // A second press stops the harvest under way; what waited behind it goes on at once.
    e.captures.Harvest();
    const std::uint64_t stopped = e.Last();
    e.captures.Harvest();
    EXPECT_EQ(e.workers.cancelled, std::vector<std::uint64_t>{stopped});
    EXPECT_EQ(e.Last(), stopped) << "the second press starts nothing";
    e.captures.AppendItem(L"next");
    EXPECT_EQ(e.logBox.Content(), L"first\r\na\tb\r\nc\r\nafter\r\nnext");
    e.End(stopped, HarvestResult{HarvestOutcome::Cancelled, L""});
    EXPECT_EQ(e.feedback.beeps, 0);

    // Nothing to read beeps; a program that stops answering mid-harvest beeps and says so.
    struct Case
    {
        HarvestOutcome outcome;
        std::wstring_view notice;
    };
    for (const Case& test : {Case{HarvestOutcome::NothingToRead, L""},
                             Case{HarvestOutcome::NotAnswering, Text(UiText::NoResponse)},
                             Case{HarvestOutcome::Refused, Text(UiText::RunsAsAdministrator)}})
    {
        e.nameBox.SetText(L"");
        const int beeps = e.feedback.beeps;
        e.captures.Harvest();
        e.End(e.Last(), HarvestResult{test.outcome, L"partial"});
        EXPECT_EQ(e.feedback.beeps, beeps + 1);
        EXPECT_EQ(e.nameBox.Content(), test.notice);
    }
    EXPECT_EQ(e.logBox.Content(), L"first\r\na\tb\r\nc\r\nafter\r\nnext");
}

// What Windows shows and Wine does not: a program run as administrator refuses to be read, a
// browser is slow to answer its first read, a list view under a resting pointer is spared, and
// on a locked screen the pointer cannot be asked for.
TEST(CaptureReads, RefusalsFirstReadsRestingPointersAndLockedScreens)
{
    Engine e;
    ElementTexts refused;
    refused.refused = true;
    e.preview.OnTick();
    e.End(e.Last(), refused);
    EXPECT_EQ(e.nameBox.Content(), Text(UiText::RunsAsAdministrator));
    e.captures.Capture(CaptureTarget::Name);
    e.End(e.Last(), refused);
    EXPECT_EQ(e.feedback.beeps, 1);
    EXPECT_EQ(e.logBox.Content(), L"first") << "nothing appended, not even a separator";

    // A program read for the first time gets longer before it counts as not answering.
    e.PointAt(42);
    e.captures.Capture(CaptureTarget::Name);
    EXPECT_EQ(e.feedback.wake, kFirstContactDeadlineMs);
    e.Pass(kCaptureDeadlineMs);
    e.Done(e.Last(), L"late but in time");
    EXPECT_EQ(e.logBox.Content(), L"first\r\nlate but in time");
    e.captures.Capture(CaptureTarget::Name);
    EXPECT_EQ(e.feedback.wake, kCaptureDeadlineMs) << "it has answered once";
    e.Done(e.Last(), L"");

    // Resting: a read may open the program's memory after a move, then once a second; a read
    // that skipped it leaves the preview as it is.
    std::vector<bool> mayOpen;
    for (int tick = 0; tick < 2 * kPreviewMemoryEveryMs / kPreviewRefreshMs; ++tick)
    {
        const std::size_t reads = e.workers.started.size();
        e.preview.OnTick();
        if (e.workers.started.size() > reads)
        {
            mayOpen.push_back(e.workers.started.back().mayOpenMemory);
            ElementTexts skipped;
            skipped.skipped = !mayOpen.back();
            skipped.name = L"shown";
            e.End(e.Last(), skipped);
            e.nameBox.SetText(L"kept");
        }
        e.clock.now += kPreviewRefreshMs;
    }
    EXPECT_EQ(mayOpen, (std::vector<bool>{true, false, false, false, false, true, false, false,
                                          false, false}));
    EXPECT_EQ(e.nameBox.Content(), L"kept");

    // A locked screen: nothing is read, nothing captured.
    e.pointer.at.known = false;
    const std::size_t reads = e.workers.started.size();
    e.clock.now += kPreviewRefreshMs;
    e.preview.OnTick();
    e.captures.Capture(CaptureTarget::Name);
    EXPECT_EQ(e.workers.started.size(), reads);
}

TEST(CaptureReads, ChangesArrivingWhileOneIsAppliedComeAfterIt)
{
    Engine e;
    std::vector<std::string> order;
    e.captures.Change(
        [&]
        {
            order.push_back("outer begins");
            // A message loop inside the change (the clipboard's retry waits) brings another.
            e.captures.Change([&] { order.push_back("inner"); });
            order.push_back("outer ends");
        });
    EXPECT_EQ(order, (std::vector<std::string>{"outer begins", "outer ends", "inner"}));
}

} // namespace
} // namespace mirufon
