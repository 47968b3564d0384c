#include "platform/win32/ControlWindow.h"
#include "platform/win32/reading/Win32ReadWorkers.h"
#include "platform/win32/window/PostedPayload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace mirufon::win32
{
namespace
{

using namespace std::chrono_literals;

constexpr UINT kOutcomeMessage = WM_APP + 7;

// The outcomes posted to the window, taken as the main window takes them, until there are
// this many or the time is up; by read id.
std::vector<ReadOutcome> TakeOutcomes(HWND window, std::size_t count,
                                      std::chrono::milliseconds timeout)
{
    std::vector<ReadOutcome> outcomes;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;)
    {
        MSG message;
        while (::PeekMessageW(&message, window, kOutcomeMessage, kOutcomeMessage, PM_REMOVE))
        {
            if (std::optional<ReadOutcome> outcome = TakePayload<ReadOutcome>(message.lParam))
            {
                outcomes.push_back(std::move(*outcome));
            }
        }
        const auto now = std::chrono::steady_clock::now();
        if (outcomes.size() >= count || now >= deadline)
        {
            break;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), QS_POSTMESSAGE,
                                      MWMO_INPUTAVAILABLE);
    }
    std::sort(outcomes.begin(), outcomes.end(),
              [](const ReadOutcome& a, const ReadOutcome& b) { return a.id < b.id; });
    return outcomes;
}

// A harvest cancelled while it waits for a worker (the workers asked for are held back until
// both reads are queued) is never made: it ends Cancelled, and the read queued behind it is
// made and comes back.
TEST(ReadWorkers, AHarvestCancelledBeforeAWorkerTakesItEndsUnreadAndLaterReadsGoOn)
{
    testing::ControlWindow window;
    std::mutex mutex;
    std::vector<std::uint64_t> made;
    const auto read = [&](const ReadRequest& request, ReadProgress&) -> ReadContent
    {
        const std::lock_guard lock(mutex);
        made.push_back(request.id);
        return ElementTexts{false, L"name", L"value"};
    };
    std::vector<std::function<void()>> heldWorkers;
    // Joined after the pool's end, which lets its idle workers go.
    std::vector<std::jthread> workers;
    Win32ReadWorkers pool(window.Handle(), kOutcomeMessage, read,
                          [&](std::function<void()> serve)
                          { heldWorkers.push_back(std::move(serve)); });
    ReadRequest harvest;
    harvest.id = 1;
    harvest.kind = ReadKind::Harvest;
    pool.Start(harvest);
    pool.Cancel(harvest.id);
    ReadRequest element;
    element.id = 2;
    pool.Start(element);
    ASSERT_FALSE(heldWorkers.empty());
    for (std::function<void()>& serve : heldWorkers)
    {
        workers.emplace_back(std::move(serve));
    }

    const std::vector<ReadOutcome> outcomes = TakeOutcomes(window.Handle(), 2, 10s);
    ASSERT_EQ(outcomes.size(), 2u);
    const auto* cancelled = std::get_if<HarvestResult>(&outcomes[0].content);
    ASSERT_NE(cancelled, nullptr);
    EXPECT_EQ(cancelled->outcome, HarvestOutcome::Cancelled);
    EXPECT_EQ(cancelled->text, L"");
    const auto* texts = std::get_if<ElementTexts>(&outcomes[1].content);
    ASSERT_NE(texts, nullptr);
    EXPECT_EQ(texts->name, L"name");
    const std::lock_guard lock(mutex);
    EXPECT_EQ(made, std::vector<std::uint64_t>{element.id});
}

} // namespace
} // namespace mirufon::win32
