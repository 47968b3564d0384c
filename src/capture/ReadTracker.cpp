#include "capture/ReadTracker.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace mirufon
{

ReadTracker::ReadTracker(ReadWorkers& workers, const Clock& clock, CaptureFeedback& feedback)
    : m_workers(workers), m_clock(clock), m_feedback(feedback)
{
}

std::uint64_t ReadTracker::Start(const PointerTarget& at, ReadRequest request,
                                 std::int64_t budgetMs, ReadOwner& owner)
{
    const std::uint64_t id = m_nextId++;
    request.id = id;
    request.x = at.x;
    request.y = at.y;
    request.window = at.window;
    Read& read = m_reads[id] = Read{request, &owner, at.thread, at.process, budgetMs, 0, false};
    if (IsStuck(at.thread))
    {
        // Its program still has not answered an earlier read: nothing more is sent to it until
        // it does.
        read.waiting = true;
        read.deadline = DeadlineFor(read);
        RearmTimer();
        return id;
    }
    Send(read);
    return id;
}

void ReadTracker::Send(Read& read)
{
    read.waiting = false;
    read.deadline = DeadlineFor(read);
    m_workers.Start(read.request);
    RearmTimer();
}

void ReadTracker::Cancel(std::uint64_t id)
{
    const auto found = m_reads.find(id);
    if (found == m_reads.end())
    {
        return;
    }
    if (found->second.waiting)
    {
        m_reads.erase(found);
        RearmTimer();
        return;
    }
    m_workers.Cancel(id);
}

void ReadTracker::ExtendDeadline(std::uint64_t id, std::int64_t milliseconds)
{
    const auto found = m_reads.find(id);
    if (found == m_reads.end() || found->second.waiting)
    {
        return;
    }
    found->second.deadline = std::max(found->second.deadline, m_clock.NowMs() + milliseconds);
    RearmTimer();
}

std::optional<ReadKind> ReadTracker::KindOf(std::uint64_t id) const
{
    const auto found = m_reads.find(id);
    if (found == m_reads.end())
    {
        return std::nullopt;
    }
    return found->second.request.kind;
}

bool ReadTracker::IsStuck(std::uint32_t thread) const
{
    return m_stuck.count(thread) != 0;
}

std::int64_t ReadTracker::DeadlineFor(const Read& read) const
{
    std::int64_t budget = read.budgetMs;
    if (m_answeredProcesses.count(read.process) == 0)
    {
        budget = std::max(budget, kFirstContactDeadlineMs);
    }
    return m_clock.NowMs() + budget;
}

void ReadTracker::RememberAnswered(std::uint32_t process)
{
    // Process ids are reused, and a long run meets many programs: the set is kept small.
    constexpr std::size_t kMostRemembered = 4096;
    if (m_answeredProcesses.size() >= kMostRemembered)
    {
        m_answeredProcesses.clear();
    }
    m_answeredProcesses.insert(process);
}

void ReadTracker::OnReadOutcome(ReadOutcome outcome)
{
    const std::uint64_t id = outcome.id;
    if (std::holds_alternative<ReadAnswering>(outcome.content))
    {
        const auto found = m_reads.find(id);
        if (found != m_reads.end() && !found->second.waiting)
        {
            found->second.owner->OnReadOutcome(id, std::move(outcome.content));
        }
        return;
    }
    if (AnswersAgain(id))
    {
        return;
    }
    const auto found = m_reads.find(id);
    if (found == m_reads.end() || found->second.waiting)
    {
        return;
    }
    ReadOwner& owner = *found->second.owner;
    RememberAnswered(found->second.process);
    m_reads.erase(found);
    RearmTimer();
    owner.OnReadOutcome(id, std::move(outcome.content));
}

// A read that had missed its deadline has come back: its program answers again, and the reads
// waiting for it are sent. False for any other read.
bool ReadTracker::AnswersAgain(std::uint64_t id)
{
    const auto late = m_abandoned.find(id);
    if (late == m_abandoned.end())
    {
        return false;
    }
    const std::uint32_t thread = late->second;
    m_abandoned.erase(late);
    if (--m_stuck[thread] > 0)
    {
        return true;
    }
    m_stuck.erase(thread);
    for (auto& entry : m_reads)
    {
        if (entry.second.waiting && entry.second.thread == thread)
        {
            Send(entry.second);
        }
    }
    return true;
}

void ReadTracker::OnReadTimer()
{
    const std::int64_t now = m_clock.NowMs();
    std::vector<std::pair<std::uint64_t, ReadOwner*>> missed;
    for (auto read = m_reads.begin(); read != m_reads.end();)
    {
        if (read->second.deadline > now)
        {
            ++read;
            continue;
        }
        missed.emplace_back(read->first, read->second.owner);
        if (!read->second.waiting)
        {
            Abandon(read->first, read->second);
        }
        read = m_reads.erase(read);
    }
    // The timer may fire a little early, and it repeats: it is always set again from here.
    RearmTimer(true);
    // Told once the books are straight: an owner's change of the log may run a message loop in
    // which further outcomes arrive.
    for (const auto& [id, owner] : missed)
    {
        owner->OnReadMissed(id);
    }
}

void ReadTracker::Abandon(std::uint64_t id, const Read& read)
{
    m_abandoned[id] = read.thread;
    ++m_stuck[read.thread];
    if (read.request.kind == ReadKind::Harvest)
    {
        // Should it come back, it stops at its next item.
        m_workers.Cancel(id);
    }
}

void ReadTracker::RearmTimer(bool always)
{
    std::optional<std::int64_t> next;
    for (const auto& [id, read] : m_reads)
    {
        next = next ? std::min(*next, read.deadline) : read.deadline;
    }
    // Told only when the earliest deadline changed: most reads end well before theirs.
    if (next == m_armedDeadline && !always)
    {
        return;
    }
    m_armedDeadline = next;
    m_feedback.WakeReadTimer(next ? std::max<std::int64_t>(*next - m_clock.NowMs(), 0) : -1);
}

} // namespace mirufon
