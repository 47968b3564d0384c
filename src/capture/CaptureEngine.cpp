#include "capture/CaptureEngine.h"

#include "platform/ScopedFlag.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace mirufon
{

CaptureEngine::CaptureEngine(CaptureLog& log, TextBox& nameBox, TextBox& valueBox,
                             PointerProbe& pointer, ReadWorkers& workers, const Clock& clock,
                             CaptureFeedback& feedback)
    : m_log(log), m_nameBox(nameBox), m_valueBox(valueBox), m_pointer(pointer), m_workers(workers),
      m_clock(clock), m_feedback(feedback)
{
}

void CaptureEngine::Capture(CaptureTarget target)
{
    const PointerTarget at = m_pointer.Current();
    if (!at.known || at.overOwnWindow)
    {
        return;
    }
    const WantedTexts wanted{target == CaptureTarget::Name, target == CaptureTarget::Value};
    StartCaptureRead(at, wanted, ReadKind::Element, false);
    m_changes.back().target = target;
}

void CaptureEngine::Harvest()
{
    if (CancelHarvests())
    {
        return;
    }
    const PointerTarget at = m_pointer.Current();
    if (!at.known || at.overOwnWindow)
    {
        return;
    }
    StartCaptureRead(at, WantedTexts{}, ReadKind::Harvest, true);
}

void CaptureEngine::StartCaptureRead(const PointerTarget& at, WantedTexts wanted, ReadKind kind,
                                     bool harvest)
{
    const std::uint64_t id = m_nextId++;
    m_changes.push_back(QueuedChange{id, CaptureTarget::Name, {}, false, {}, harvest});
    if (IsStuck(at.thread))
    {
        // Its program still has not answered an earlier read: nothing more is sent to it until
        // it does.
        m_waiting.push_back(WaitingCapture{id, at, wanted, kind, DeadlineFor(at, true)});
        RearmTimer();
        return;
    }
    StartRead(id, at, wanted, kWholeText, true, kind);
}

bool CaptureEngine::CancelHarvests()
{
    bool any = false;
    for (auto& [id, read] : m_reads)
    {
        if (read.kind != ReadKind::Harvest || read.cancelled)
        {
            continue;
        }
        // It stays a read out until it ends, so that a program that does not answer is still
        // seen as one.
        read.cancelled = true;
        m_workers.Cancel(id);
        DropChange(id);
        any = true;
    }
    for (auto waiting = m_waiting.begin(); waiting != m_waiting.end();)
    {
        if (waiting->kind != ReadKind::Harvest)
        {
            ++waiting;
            continue;
        }
        DropChange(waiting->id);
        waiting = m_waiting.erase(waiting);
        any = true;
    }
    if (any)
    {
        RearmTimer();
        ApplyReadyChanges();
    }
    return any;
}

void CaptureEngine::AppendLineBreak()
{
    Change([this] { m_log.AppendLineBreak(); });
}

void CaptureEngine::CancelLastItem()
{
    Change([this] { m_log.CancelLastItem(); });
}

void CaptureEngine::AppendItem(std::wstring text)
{
    Change([this, text = std::move(text)] { m_log.AppendItem(text); });
}

void CaptureEngine::Change(std::function<void()> change)
{
    m_changes.push_back(QueuedChange{0, CaptureTarget::Name, {}, false, std::move(change)});
    ApplyReadyChanges();
}

void CaptureEngine::StartRead(std::uint64_t id, const PointerTarget& at, WantedTexts wanted,
                              std::size_t maxChars, bool isCapture, ReadKind kind,
                              bool mayOpenMemory)
{
    m_reads[id] = Read{isCapture, kind, at.thread, at.process, DeadlineFor(at, isCapture), false};
    m_workers.Start(ReadRequest{id, at.x, at.y, at.window, wanted, maxChars, kind, mayOpenMemory});
    RearmTimer();
}

std::int64_t CaptureEngine::DeadlineFor(const PointerTarget& at, bool isCapture) const
{
    std::int64_t budget = isCapture ? kCaptureDeadlineMs : kPreviewDeadlineMs;
    if (m_answeredProcesses.count(at.process) == 0)
    {
        budget = std::max(budget, kFirstContactDeadlineMs);
    }
    return m_clock.NowMs() + budget;
}

void CaptureEngine::RememberAnswered(std::uint32_t process)
{
    // Process ids are reused, and a long run meets many programs: the set is kept small.
    constexpr std::size_t kMostRemembered = 4096;
    if (m_answeredProcesses.size() >= kMostRemembered)
    {
        m_answeredProcesses.clear();
    }
    m_answeredProcesses.insert(process);
}

// A read that had missed its deadline has come back: its program answers again, and what it
// brought is too late to be used. False for any other read.
bool CaptureEngine::AnswersAgain(std::uint64_t id)
{
    const auto late = m_abandoned.find(id);
    if (late == m_abandoned.end())
    {
        return false;
    }
    const std::uint32_t thread = late->second;
    if (--m_stuck[thread] <= 0)
    {
        m_stuck.erase(thread);
    }
    m_abandoned.erase(late);
    StartWaitingCaptures(thread);
    return true;
}

// A read that came back within its deadline, taken off the running ones; nothing for one that
// had missed it (its program answers again) or is unknown.
std::optional<CaptureEngine::Read> CaptureEngine::EndRead(std::uint64_t id)
{
    if (AnswersAgain(id))
    {
        return std::nullopt;
    }
    const auto found = m_reads.find(id);
    if (found == m_reads.end())
    {
        return std::nullopt;
    }
    const Read read = found->second;
    m_reads.erase(found);
    RememberAnswered(read.process);
    RearmTimer();
    return read;
}

void CaptureEngine::OnReadDone(std::uint64_t id, const ElementTexts& texts)
{
    const std::optional<Read> ended = EndRead(id);
    if (!ended)
    {
        return;
    }
    const Read& read = *ended;
    if (!read.isCapture)
    {
        m_previewRead.reset();
        if (!m_previewRunning || texts.skipped)
        {
            return;
        }
        if (texts.refused)
        {
            ShowNotice(UiText::RunsAsAdministrator);
            return;
        }
        ShowPreview(texts);
        return;
    }
    if (texts.refused)
    {
        ShowNotice(UiText::RunsAsAdministrator);
        FailCapture(id);
        ApplyReadyChanges();
        return;
    }
    const auto change = std::find_if(m_changes.begin(), m_changes.end(),
                                     [&](const QueuedChange& queued) { return queued.read == id; });
    if (change != m_changes.end())
    {
        // A capture appends what it read, an empty text included.
        change->text = change->target == CaptureTarget::Name ? texts.name : texts.value;
    }
    ApplyReadyChanges();
}

void CaptureEngine::OnReadFailed(std::uint64_t id)
{
    const std::optional<Read> ended = EndRead(id);
    if (!ended)
    {
        return;
    }
    const Read& read = *ended;
    if (!read.isCapture)
    {
        m_previewRead.reset();
        return;
    }
    if (!read.cancelled)
    {
        FailCapture(id);
    }
    ApplyReadyChanges();
}

void CaptureEngine::OnHarvestDone(std::uint64_t id, HarvestResult result)
{
    const std::optional<Read> ended = EndRead(id);
    if (!ended)
    {
        return;
    }
    const bool cancelled = ended->cancelled;
    if (cancelled || result.outcome == HarvestOutcome::Cancelled)
    {
        DropChange(id);
    }
    else if (result.outcome == HarvestOutcome::Harvested)
    {
        for (QueuedChange& change : m_changes)
        {
            if (change.read == id)
            {
                change.text = std::move(result.text);
            }
        }
    }
    else
    {
        if (result.outcome == HarvestOutcome::NotAnswering)
        {
            ShowNotice();
        }
        else if (result.outcome == HarvestOutcome::Refused)
        {
            ShowNotice(UiText::RunsAsAdministrator);
        }
        FailCapture(id);
    }
    ApplyReadyChanges();
}

void CaptureEngine::OnAnswering(std::uint64_t id, std::size_t chars)
{
    const auto found = m_reads.find(id);
    if (found == m_reads.end() || !found->second.isCapture)
    {
        return;
    }
    const auto allowance = static_cast<std::int64_t>(chars / kTransferCharsPerMs);
    found->second.deadline =
        std::max(found->second.deadline, m_clock.NowMs() + kCaptureDeadlineMs + allowance);
    RearmTimer();
}

void CaptureEngine::OnReadTimer()
{
    const std::int64_t now = m_clock.NowMs();
    for (auto read = m_reads.begin(); read != m_reads.end();)
    {
        if (read->second.deadline > now)
        {
            ++read;
            continue;
        }
        const std::uint64_t id = read->first;
        const Read missed = read->second;
        read = m_reads.erase(read);
        Abandon(id, missed);
    }
    ExpireWaitingCaptures(now);
    // The timer may fire a little early, and it repeats: it is always set again from here.
    RearmTimer(true);
    ApplyReadyChanges();
}

void CaptureEngine::Abandon(std::uint64_t id, const Read& read)
{
    m_abandoned[id] = read.thread;
    ++m_stuck[read.thread];
    if (read.kind == ReadKind::Harvest)
    {
        // Should it come back, it stops at its next item.
        m_workers.Cancel(id);
    }
    if (read.cancelled)
    {
        return;
    }
    if (read.isCapture)
    {
        ShowNotice();
        FailCapture(id);
        return;
    }
    m_previewRead.reset();
    if (m_previewRunning)
    {
        ShowNotice();
    }
}

void CaptureEngine::FailCapture(std::uint64_t id)
{
    DropChange(id);
    m_feedback.Beep();
}

// The change waiting for the read appends nothing.
void CaptureEngine::DropChange(std::uint64_t id)
{
    for (QueuedChange& change : m_changes)
    {
        if (change.read == id)
        {
            change.failed = true;
        }
    }
}

// The captures waiting on the thread read once no read is stuck on it any more.
void CaptureEngine::StartWaitingCaptures(std::uint32_t thread)
{
    if (IsStuck(thread))
    {
        return;
    }
    std::vector<WaitingCapture> ready;
    for (auto waiting = m_waiting.begin(); waiting != m_waiting.end();)
    {
        if (waiting->at.thread != thread)
        {
            ++waiting;
            continue;
        }
        ready.push_back(*waiting);
        waiting = m_waiting.erase(waiting);
    }
    for (const WaitingCapture& capture : ready)
    {
        StartRead(capture.id, capture.at, capture.wanted, kWholeText, true, capture.kind);
    }
}

void CaptureEngine::ExpireWaitingCaptures(std::int64_t now)
{
    for (auto waiting = m_waiting.begin(); waiting != m_waiting.end();)
    {
        if (waiting->deadline > now)
        {
            ++waiting;
            continue;
        }
        const std::uint64_t id = waiting->id;
        waiting = m_waiting.erase(waiting);
        ShowNotice();
        FailCapture(id);
    }
}

bool CaptureEngine::IsStuck(std::uint32_t thread) const
{
    return m_stuck.count(thread) != 0;
}

bool CaptureEngine::HasPendingCaptures() const
{
    return std::any_of(m_changes.begin(), m_changes.end(),
                       [](const QueuedChange& change) { return change.read != 0; });
}

void CaptureEngine::ApplyReadyChanges()
{
    // A change may run a message loop (the clipboard's retries) in which further changes
    // arrive: they wait in the queue for this loop, so that they still come after it.
    if (m_applying)
    {
        return;
    }
    const ScopedFlag applying(m_applying);
    while (!m_changes.empty())
    {
        QueuedChange& front = m_changes.front();
        if (front.read != 0 && !front.failed && !front.text)
        {
            return; // still waiting for its read
        }
        QueuedChange change = std::move(front);
        m_changes.pop_front();
        if (change.read == 0)
        {
            change.apply();
        }
        else if (change.text && change.harvest)
        {
            m_log.AppendHarvest(*change.text);
        }
        else if (change.text)
        {
            m_log.AppendItem(*change.text);
        }
    }
}

void CaptureEngine::RearmTimer(bool always)
{
    std::optional<std::int64_t> next;
    const auto consider = [&](std::int64_t deadline)
    { next = next ? std::min(*next, deadline) : deadline; };
    for (const auto& [id, read] : m_reads)
    {
        consider(read.deadline);
    }
    for (const WaitingCapture& waiting : m_waiting)
    {
        consider(waiting.deadline);
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
