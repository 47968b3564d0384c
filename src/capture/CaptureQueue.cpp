#include "capture/CaptureQueue.h"

#include "platform/ScopedFlag.h"

#include <algorithm>
#include <utility>

namespace mirufon
{

bool CaptureQueue::WaitsForRead(const QueuedChange& change)
{
    return change.read != 0 && !change.failed && !change.apply;
}

CaptureQueue::CaptureQueue(CaptureLog& log, PointerProbe& pointer, ReadTracker& reads,
                           PointerPreview& preview, CaptureFeedback& feedback)
    : m_log(log), m_pointer(pointer), m_reads(reads), m_preview(preview), m_feedback(feedback)
{
}

void CaptureQueue::Capture(CaptureTarget target)
{
    const PointerTarget at = m_pointer.Current();
    if (!at.known || at.overOwnWindow)
    {
        return;
    }
    ReadRequest request;
    request.wanted = WantedTexts{target == CaptureTarget::Name, target == CaptureTarget::Value};
    StartCapture(at, request, target);
}

void CaptureQueue::Harvest()
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
    ReadRequest request;
    request.kind = ReadKind::Harvest;
    StartCapture(at, request, CaptureTarget::Name);
}

void CaptureQueue::StartCapture(const PointerTarget& at, const ReadRequest& request,
                                CaptureTarget target)
{
    const std::uint64_t id = m_reads.Start(at, request, kCaptureDeadlineMs, *this);
    m_changes.push_back(QueuedChange{id, target, {}, false});
}

bool CaptureQueue::CancelHarvests()
{
    bool any = false;
    for (QueuedChange& change : m_changes)
    {
        if (!WaitsForRead(change) || m_reads.KindOf(change.read) != ReadKind::Harvest)
        {
            continue;
        }
        m_reads.Cancel(change.read);
        change.failed = true;
        any = true;
    }
    if (any)
    {
        ApplyReadyChanges();
    }
    return any;
}

void CaptureQueue::AppendLineBreak()
{
    Change([this] { m_log.AppendLineBreak(); });
}

void CaptureQueue::CancelLastItem()
{
    Change([this] { m_log.CancelLastItem(); });
}

void CaptureQueue::AppendItem(std::wstring text)
{
    Change([this, text = std::move(text)] { m_log.AppendItem(text); });
}

void CaptureQueue::Change(std::function<void()> change)
{
    m_changes.push_back(QueuedChange{0, CaptureTarget::Name, std::move(change), false});
    ApplyReadyChanges();
}

// The change still waiting for the read; none once the read brought its text or nothing, or
// was cancelled.
CaptureQueue::QueuedChange* CaptureQueue::Awaiting(std::uint64_t id)
{
    const auto found = std::find_if(m_changes.begin(), m_changes.end(),
                                    [&](const QueuedChange& change)
                                    { return WaitsForRead(change) && change.read == id; });
    if (found == m_changes.end())
    {
        return nullptr;
    }
    return &*found;
}

void CaptureQueue::OnReadOutcome(std::uint64_t id, ReadContent content)
{
    if (const auto* answering = std::get_if<ReadAnswering>(&content))
    {
        // A cancelled harvest is given the time too, so that it is not taken for a program
        // that does not answer while it stops.
        const auto allowance = static_cast<std::int64_t>(answering->chars / kTransferCharsPerMs);
        m_reads.ExtendDeadline(id, kCaptureDeadlineMs + allowance);
        return;
    }
    QueuedChange* change = Awaiting(id);
    if (!change)
    {
        return;
    }
    if (const auto* texts = std::get_if<ElementTexts>(&content))
    {
        OnTexts(*change, *texts);
    }
    else if (auto* harvest = std::get_if<HarvestResult>(&content))
    {
        OnHarvested(*change, std::move(*harvest));
    }
    else
    {
        Fail(*change);
    }
    ApplyReadyChanges();
}

void CaptureQueue::OnTexts(QueuedChange& change, const ElementTexts& texts)
{
    if (texts.refused)
    {
        m_preview.ShowNotice(UiText::RunsAsAdministrator);
        Fail(change);
        return;
    }
    std::wstring text = change.target == CaptureTarget::Name ? texts.name : texts.value;
    change.apply = [this, text = std::move(text)] { m_log.AppendItem(text); };
}

void CaptureQueue::OnHarvested(QueuedChange& change, HarvestResult result)
{
    switch (result.outcome)
    {
    case HarvestOutcome::Harvested:
        change.apply = [this, text = std::move(result.text)] { m_log.AppendHarvest(text); };
        return;
    case HarvestOutcome::Cancelled:
        change.failed = true;
        return;
    case HarvestOutcome::NotAnswering:
        m_preview.ShowNotice();
        break;
    case HarvestOutcome::Refused:
        m_preview.ShowNotice(UiText::RunsAsAdministrator);
        break;
    case HarvestOutcome::NothingToRead:
        break;
    }
    Fail(change);
}

void CaptureQueue::OnReadMissed(std::uint64_t id)
{
    QueuedChange* change = Awaiting(id);
    if (!change)
    {
        return;
    }
    m_preview.ShowNotice();
    Fail(*change);
    ApplyReadyChanges();
}

void CaptureQueue::Fail(QueuedChange& change)
{
    change.failed = true;
    m_feedback.Beep();
}

void CaptureQueue::ApplyReadyChanges()
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
        if (WaitsForRead(front))
        {
            return; // still waiting for its read
        }
        QueuedChange change = std::move(front);
        m_changes.pop_front();
        if (!change.failed)
        {
            change.apply();
        }
    }
}

} // namespace mirufon
