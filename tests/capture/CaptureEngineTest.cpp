#include "capture/CaptureEngine.h"

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
};

// The engine over a log that already holds an item, with the pointer on a responding program.
// The programs of the tests have each answered a read before.
struct Engine
{
    Engine()
    {
        for (const std::uint32_t thread : kFamiliar)
        {
            PointAt(thread);
            engine.OnPreviewTick();
            Done(Last(), L"");
            clock.now += kPreviewRefreshMs;
        }
        PointAt(kResponsive);
        engine.SetPreviewRunning(true);
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
    CaptureEngine engine{log, nameBox, valueBox, pointer, workers, clock, feedback};

    std::uint64_t Last() const { return workers.Last(); }
    void Done(std::uint64_t id, std::wstring name, std::wstring value = L"")
    {
        engine.OnReadDone(id, ElementTexts{false, std::move(name), std::move(value)});
    }
    void Pass(std::int64_t milliseconds)
    {
        clock.now += milliseconds;
        engine.OnReadTimer();
    }
    // A program of one thread: the thread's number is its process's too.
    void PointAt(std::uint32_t thread, bool own = false)
    {
        pointer.at.thread = thread;
        pointer.at.process = thread;
        pointer.at.overOwnWindow = own;
    }
};

TEST(CaptureEngine, PreviewReadsOneAtATimeAndShowsTheBeginning)
{
    Engine e;
    e.engine.OnPreviewTick();
    ASSERT_EQ(e.workers.started.size(), 1u);
    const ReadRequest request = e.workers.started[0];
    EXPECT_TRUE(request.wanted.name && request.wanted.value);
    EXPECT_EQ(request.maxChars, kPreviewChars);
    EXPECT_EQ(e.feedback.wake, kPreviewDeadlineMs);
    e.engine.OnPreviewTick(); // still running: not queued again
    EXPECT_EQ(e.workers.started.size(), 1u);

    e.Done(request.id, L"保存", std::wstring(10000, L'x'));
    EXPECT_EQ(e.nameBox.Content(), L"保存");
    EXPECT_EQ(e.valueBox.Content().size(), kPreviewChars);
    EXPECT_EQ(e.feedback.wake, -1) << "no read left to watch";

    // Stopped while a read runs: the boxes keep their text, whatever the read brings.
    e.engine.SetPreviewRunning(true);
    e.engine.OnPreviewTick();
    e.engine.SetPreviewRunning(false);
    e.Pass(kPreviewDeadlineMs);
    EXPECT_EQ(e.nameBox.Content(), L"保存");
    e.engine.SetPreviewRunning(true);

    // Over the program's own window, or no window at all: both boxes empty, nothing read.
    e.PointAt(kResponsive, true);
    e.engine.OnPreviewTick();
    EXPECT_EQ(e.nameBox.Content(), L"");
    EXPECT_EQ(e.valueBox.Content(), L"");
    EXPECT_EQ(e.workers.started.size(), 2u);
}

TEST(CaptureEngine, AStuckProgramGetsNoMoreReadsUntilItAnswers)
{
    Engine e;
    e.PointAt(kHung);
    e.engine.OnPreviewTick();
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
        e.engine.OnPreviewTick();
    }
    e.engine.Capture(CaptureTarget::Name);
    EXPECT_EQ(e.workers.started.size(), 1u);
    EXPECT_EQ(e.feedback.beeps, 0);
    EXPECT_EQ(e.feedback.wake, kCaptureDeadlineMs);
    e.Pass(kCaptureDeadlineMs);
    EXPECT_EQ(e.feedback.beeps, 1);
    EXPECT_EQ(e.logBox.Content(), L"first");

    // Another program is read meanwhile, and replaces the notice.
    e.PointAt(kResponsive);
    e.engine.OnPreviewTick();
    e.Done(e.Last(), L"OK");
    EXPECT_EQ(e.nameBox.Content(), L"OK");

    // Two captures over it wait; the stuck read comes back within their deadline: what it
    // read is too late to show, but the captures read now.
    e.PointAt(kHung);
    e.engine.Capture(CaptureTarget::Name);
    e.engine.Capture(CaptureTarget::Value);
    e.Pass(kCaptureDeadlineMs - 1);
    e.Done(stuck, L"late");
    EXPECT_EQ(e.nameBox.Content(), L"OK");
    ASSERT_EQ(e.workers.started.size(), 4u);
    e.Pass(1);
    EXPECT_EQ(e.feedback.beeps, 1) << "reading: their own deadlines count now";
    e.Done(e.Last(), L"", L"value");
    e.Done(e.Last() - 1, L"back");
    EXPECT_EQ(e.logBox.Content(), L"first\r\nback\r\nvalue");
    e.engine.OnPreviewTick();
    e.Done(e.Last(), L"back");
    EXPECT_EQ(e.nameBox.Content(), L"back");

    // A read that fails in this program beeps for a capture, and the program is not taken
    // for one that does not answer.
    e.engine.Capture(CaptureTarget::Name);
    e.engine.OnReadFailed(e.Last());
    EXPECT_EQ(e.feedback.beeps, 2);
    e.engine.Capture(CaptureTarget::Name);
    EXPECT_EQ(e.workers.started.size(), 7u) << "read at once";
}

TEST(CaptureEngine, ARestingPointerIsReadAgainOnlyNowAndThen)
{
    Engine e;
    const auto reads = [&] { return e.workers.started.size(); };
    const auto looks = [&] { return e.pointer.looks; };
    e.engine.OnPreviewTick();
    e.clock.now += 10;
    e.pointer.at.x += 1; // a move while the read runs: read once it has ended
    e.engine.OnPreviewTick();
    e.Done(e.Last(), L"a");
    e.clock.now += 10;
    e.engine.OnPreviewTick();
    EXPECT_EQ(reads(), 2u);
    e.Done(e.Last(), L"b");
    const int looked = looks();
    for (int tick = 0; tick < kPreviewRefreshMs / 10 - 2; ++tick)
    {
        e.clock.now += 10;
        e.engine.OnPreviewTick();
    }
    EXPECT_EQ(reads(), 2u) << "resting: no read before the refresh is due";
    EXPECT_EQ(looks(), looked) << "resting: a tick only asks where the pointer is";
    e.clock.now += 20;
    e.engine.OnPreviewTick();
    EXPECT_EQ(reads(), 3u) << "refreshed: a text that changed under the pointer shows";
    e.Done(e.Last(), L"b");

    // A move is read at the next tick; paused and running again, too.
    e.pointer.at.y += 1;
    e.engine.OnPreviewTick();
    EXPECT_EQ(reads(), 4u);
    e.Done(e.Last(), L"c");
    e.engine.SetPreviewRunning(false);
    e.engine.SetPreviewRunning(true);
    e.engine.OnPreviewTick();
    EXPECT_EQ(reads(), 5u);
}

TEST(CaptureEngine, LogChangesApplyInTheOrderTheirTriggersArrived)
{
    Engine e;
    e.engine.Capture(CaptureTarget::Value);
    const std::uint64_t value = e.Last();
    EXPECT_EQ(e.workers.started.back().maxChars, kWholeText);
    EXPECT_TRUE(e.workers.started.back().wanted.value && !e.workers.started.back().wanted.name);
    e.engine.AppendLineBreak();
    e.engine.AppendItem(L"copied");
    e.engine.Capture(CaptureTarget::Name);
    const std::uint64_t name = e.Last();
    e.engine.CancelLastItem();
    EXPECT_TRUE(e.engine.HasPendingCaptures());
    EXPECT_EQ(e.logBox.Content(), L"first");

    // The later read ends first: it still waits for the earlier one.
    e.Done(name, L"name");
    EXPECT_EQ(e.logBox.Content(), L"first");
    e.Done(value, L"ignored", L""); // an empty value is appended as an empty item
    EXPECT_EQ(e.logBox.Content(), L"first\r\n\r\ncopied");
    EXPECT_FALSE(e.engine.HasPendingCaptures());

    // A capture that misses its deadline appends nothing; what waited behind it goes on.
    e.engine.Capture(CaptureTarget::Name);
    e.engine.AppendItem(L"after");
    e.Pass(kCaptureDeadlineMs - 1);
    EXPECT_EQ(e.logBox.Content(), L"first\r\n\r\ncopied");
    e.Pass(1);
    EXPECT_EQ(e.feedback.beeps, 1);
    EXPECT_EQ(e.nameBox.Content(), Text(UiText::NoResponse));
    EXPECT_EQ(e.logBox.Content(), L"first\r\n\r\ncopied\r\nafter");

    // A program that answered and sends a long text gets the time such a copy may take.
    e.PointAt(kResponsive + 4);
    e.engine.Capture(CaptureTarget::Value);
    const std::uint64_t huge = e.Last();
    e.engine.OnAnswering(huge, 20'000'000);
    e.Pass(kCaptureDeadlineMs + 20'000'000 / kTransferCharsPerMs - 1);
    EXPECT_TRUE(e.engine.HasPendingCaptures());
    e.Done(huge, L"", L"long");
    EXPECT_EQ(e.feedback.beeps, 1);
    EXPECT_EQ(e.logBox.Content(), L"first\r\n\r\ncopied\r\nafter\r\nlong");

    // Over the program's own window a capture does nothing at all.
    e.PointAt(kResponsive, true);
    const std::size_t reads = e.workers.started.size();
    e.engine.Capture(CaptureTarget::Name);
    EXPECT_EQ(e.workers.started.size(), reads);
    EXPECT_FALSE(e.engine.HasPendingCaptures());
}

TEST(CaptureEngine, HarvestsAreOneItemInTurnAndStopOnRequest)
{
    Engine e;
    e.engine.Harvest();
    const std::uint64_t harvest = e.Last();
    EXPECT_EQ(e.workers.started.back().kind, ReadKind::Harvest);
    e.engine.AppendItem(L"after");
    // Items keep arriving: the deadline moves out with them.
    for (int step = 0; step < 3; ++step)
    {
        e.Pass(kCaptureDeadlineMs - 1);
        e.engine.OnAnswering(harvest, 0);
    }
    EXPECT_EQ(e.feedback.beeps, 0);
    e.engine.OnHarvestDone(harvest, HarvestResult{HarvestOutcome::Harvested, L"a\tb\r\nc"});
    EXPECT_EQ(e.logBox.Content(), L"first\r\na\tb\r\nc\r\nafter");

    // A second press stops the harvest under way; what waited behind it goes on at once.
    e.engine.Harvest();
    const std::uint64_t stopped = e.Last();
    e.engine.Harvest();
    EXPECT_EQ(e.workers.cancelled, std::vector<std::uint64_t>{stopped});
    EXPECT_EQ(e.Last(), stopped) << "the second press starts nothing";
    e.engine.AppendItem(L"next");
    EXPECT_EQ(e.logBox.Content(), L"first\r\na\tb\r\nc\r\nafter\r\nnext");
    e.engine.OnHarvestDone(stopped, HarvestResult{HarvestOutcome::Cancelled, L""});
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
        e.engine.Harvest();
        e.engine.OnHarvestDone(e.Last(), HarvestResult{test.outcome, L"partial"});
        EXPECT_EQ(e.feedback.beeps, beeps + 1);
        EXPECT_EQ(e.nameBox.Content(), test.notice);
    }
    EXPECT_EQ(e.logBox.Content(), L"first\r\na\tb\r\nc\r\nafter\r\nnext");
}

// What Windows shows and Wine does not: a program run as administrator refuses to be read, a
// browser is slow to answer its first read, a list view under a resting pointer is spared, and
// on a locked screen the pointer cannot be asked for.
TEST(CaptureEngine, RefusalsFirstReadsRestingPointersAndLockedScreens)
{
    Engine e;
    ElementTexts refused;
    refused.refused = true;
    e.engine.OnPreviewTick();
    e.engine.OnReadDone(e.Last(), refused);
    EXPECT_EQ(e.nameBox.Content(), Text(UiText::RunsAsAdministrator));
    e.engine.Capture(CaptureTarget::Name);
    e.engine.OnReadDone(e.Last(), refused);
    EXPECT_EQ(e.feedback.beeps, 1);
    EXPECT_EQ(e.logBox.Content(), L"first") << "nothing appended, not even a separator";

    // A program read for the first time gets longer before it counts as not answering.
    e.PointAt(42);
    e.engine.Capture(CaptureTarget::Name);
    EXPECT_EQ(e.feedback.wake, kFirstContactDeadlineMs);
    e.Pass(kCaptureDeadlineMs);
    e.Done(e.Last(), L"late but in time");
    EXPECT_EQ(e.logBox.Content(), L"first\r\nlate but in time");
    e.engine.Capture(CaptureTarget::Name);
    EXPECT_EQ(e.feedback.wake, kCaptureDeadlineMs) << "it has answered once";
    e.Done(e.Last(), L"");

    // Resting: a read may open the program's memory after a move, then once a second; a read
    // that skipped it leaves the preview as it is.
    std::vector<bool> mayOpen;
    for (int tick = 0; tick < 2 * kPreviewMemoryEveryMs / kPreviewRefreshMs; ++tick)
    {
        const std::size_t reads = e.workers.started.size();
        e.engine.OnPreviewTick();
        if (e.workers.started.size() > reads)
        {
            mayOpen.push_back(e.workers.started.back().mayOpenMemory);
            ElementTexts skipped;
            skipped.skipped = !mayOpen.back();
            skipped.name = L"shown";
            e.engine.OnReadDone(e.Last(), skipped);
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
    e.engine.OnPreviewTick();
    e.engine.Capture(CaptureTarget::Name);
    EXPECT_EQ(e.workers.started.size(), reads);
}

TEST(CaptureEngine, ChangesArrivingWhileOneIsAppliedComeAfterIt)
{
    Engine e;
    std::vector<std::string> order;
    e.engine.Change(
        [&]
        {
            order.push_back("outer begins");
            // A message loop inside the change (the clipboard's retry waits) brings another.
            e.engine.Change([&] { order.push_back("inner"); });
            order.push_back("outer ends");
        });
    EXPECT_EQ(order, (std::vector<std::string>{"outer begins", "outer ends", "inner"}));
}

} // namespace
} // namespace mirufon
