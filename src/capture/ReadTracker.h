#pragma once

#include "capture/CaptureFeedback.h"
#include "capture/ReadOutcome.h"
#include "capture/ReadWorkers.h"
#include "platform/Clock.h"
#include "platform/PointerProbe.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>

namespace mirufon
{

// The first read of a program that has not answered a read before: some build what they tell
// only when first asked (browsers build their accessibility tree then).
inline constexpr std::int64_t kFirstContactDeadlineMs = 3000;

// Who started a read, and hears how it ends.
class ReadOwner
{
  public:
    ReadOwner() = default;
    ReadOwner(const ReadOwner&) = delete;
    ReadOwner& operator=(const ReadOwner&) = delete;
    virtual ~ReadOwner() = default;

    // The read ended within its deadline (texts, a harvest's result, a failure of this
    // program's own), or its program answers while it runs (ReadAnswering).
    virtual void OnReadOutcome(std::uint64_t id, ReadContent content) = 0;
    // The read missed its deadline, or waited for a stuck read until its deadline: whatever it
    // brings later is dropped.
    virtual void OnReadMissed(std::uint64_t id) = 0;
};

// The reads out on the workers, each with its deadline, without ever waiting on another
// program. A read that misses its deadline leaves its program's thread stuck until it comes
// back: no further read is sent there meanwhile, and a read started for it waits, up to its
// own deadline. A program that has not answered before gets kFirstContactDeadlineMs at least.
class ReadTracker
{
  public:
    ReadTracker(ReadWorkers& workers, const Clock& clock, CaptureFeedback& feedback);
    ReadTracker(const ReadTracker&) = delete;
    ReadTracker& operator=(const ReadTracker&) = delete;

    // Starts the request at the target's point, with budgetMs before its program counts as not
    // answering; or, while a read is stuck on that thread, once it comes back. The request's
    // point, window and id are filled in here: the id is returned.
    std::uint64_t Start(const PointerTarget& at, ReadRequest request, std::int64_t budgetMs,
                        ReadOwner& owner);
    // Asks a harvest under way to stop (it stays out until it ends, so that a program that
    // does not answer is still seen as one); a read still waiting is dropped.
    void Cancel(std::uint64_t id);
    // The read's deadline moves out to at least this long from now.
    void ExtendDeadline(std::uint64_t id, std::int64_t milliseconds);
    // What a read still out or waiting takes; none once it has ended or missed its deadline.
    std::optional<ReadKind> KindOf(std::uint64_t id) const;
    bool IsStuck(std::uint32_t thread) const;

    // What a worker posted for a read, on the main window's thread. Whatever a read that missed
    // its deadline brings only tells that its program answers again.
    void OnReadOutcome(ReadOutcome outcome);
    // Deadlines that have passed.
    void OnReadTimer();

  private:
    struct Read
    {
        ReadRequest request;
        ReadOwner* owner = nullptr;
        std::uint32_t thread = 0;
        std::uint32_t process = 0;
        std::int64_t budgetMs = 0;
        std::int64_t deadline = 0;
        bool waiting = false; // not sent yet: a read is stuck on its thread
    };

    void Send(Read& read);
    std::int64_t DeadlineFor(const Read& read) const;
    void RememberAnswered(std::uint32_t process);
    bool AnswersAgain(std::uint64_t id);
    void Abandon(std::uint64_t id, const Read& read);
    void RearmTimer(bool always = false);

    ReadWorkers& m_workers;
    const Clock& m_clock;
    CaptureFeedback& m_feedback;

    std::uint64_t m_nextId = 1;
    std::map<std::uint64_t, Read> m_reads;              // by id, the order they were asked for
    std::map<std::uint64_t, std::uint32_t> m_abandoned; // missed their deadline: read -> thread
    std::map<std::uint32_t, int> m_stuck;               // thread -> abandoned reads still out
    // Programs that have answered a read within its deadline.
    std::set<std::uint32_t> m_answeredProcesses;
    // The deadline the read timer was last set for; none while it is off.
    std::optional<std::int64_t> m_armedDeadline;
};

} // namespace mirufon
