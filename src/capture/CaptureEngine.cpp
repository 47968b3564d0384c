#include "capture/CaptureEngine.h"

#include "platform/ScopedFlag.h"

#include <algorithm>
#include <utility>

namespace mirufon
{
namespace
{

void SetIfChanged(TextBox& box, std::wstring_view text)
{
    if (box.Text() != text)
    {
        box.SetText(text);
    }
}

std::wstring_view Beginning(const std::wstring& text)
{
    return std::wstring_view(text).substr(0, kPreviewChars);
}

} // namespace

CaptureEngine::CaptureEngine(CaptureLog& log, TextBox& nameBox, TextBox& valueBox,
                             PointerProbe& pointer, ReadWorkers& workers, const Clock& clock,
                             CaptureFeedback& feedback)
    : m_log(log), m_nameBox(nameBox), m_valueBox(valueBox), m_pointer(pointer), m_workers(workers),
      m_clock(clock), m_feedback(feedback)
{
}

void CaptureEngine::OnPreviewTick()
{
    const PointerTarget at = m_pointer.Current();
    if (at.overOwnWindow || !at.overWindow)
    {
        SetIfChanged(m_nameBox, L"");
        SetIfChanged(m_valueBox, L"");
        return;
    }
    if (IsStuck(at.thread))
    {
        ShowNotice();
        return;
    }
    // One preview read at a time: a tick that comes while it runs is not queued.
    if (m_previewRead)
    {
        return;
    }
    m_previewRead = StartRead(at, WantedTexts{true, true}, kPreviewChars, false);
}

void CaptureEngine::SetPreviewRunning(bool running)
{
    m_previewRunning = running;
}

void CaptureEngine::Capture(CaptureTarget target)
{
    const PointerTarget at = m_pointer.Current();
    if (at.overOwnWindow)
    {
        return;
    }
    if (IsStuck(at.thread))
    {
        // Its program still has not answered an earlier read: nothing more is sent to it.
        ShowNotice();
        m_feedback.Beep();
        return;
    }
    const WantedTexts wanted{target == CaptureTarget::Name, target == CaptureTarget::Value};
    m_changes.push_back(
        QueuedChange{StartRead(at, wanted, kWholeText, true), target, {}, false, {}});
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

std::uint64_t CaptureEngine::StartRead(const PointerTarget& at, WantedTexts wanted,
                                       std::size_t maxChars, bool isCapture)
{
    const std::uint64_t id = m_nextId++;
    const std::int64_t budget = isCapture ? kCaptureDeadlineMs : kPreviewDeadlineMs;
    m_reads[id] = Read{isCapture, at.thread, m_clock.NowMs() + budget};
    m_workers.Start(ReadRequest{id, at.x, at.y, wanted, maxChars});
    RearmTimer();
    return id;
}

void CaptureEngine::OnReadDone(std::uint64_t id, const ElementTexts& texts)
{
    if (const auto late = m_abandoned.find(id); late != m_abandoned.end())
    {
        // Its program answers again; what it answered is too late to be used.
        if (--m_stuck[late->second] <= 0)
        {
            m_stuck.erase(late->second);
        }
        m_abandoned.erase(late);
        return;
    }
    const auto found = m_reads.find(id);
    if (found == m_reads.end())
    {
        return;
    }
    const bool isCapture = found->second.isCapture;
    m_reads.erase(found);
    RearmTimer();
    if (!isCapture)
    {
        m_previewRead.reset();
        if (m_previewRunning)
        {
            ShowPreview(texts);
        }
        return;
    }
    for (QueuedChange& change : m_changes)
    {
        if (change.read == id)
        {
            // A capture appends what it read, an empty text included.
            change.text = change.target == CaptureTarget::Name ? texts.name : texts.value;
        }
    }
    ApplyReadyChanges();
}

void CaptureEngine::OnLongTransfer(std::uint64_t id, std::size_t chars)
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
    RearmTimer();
    ApplyReadyChanges();
}

void CaptureEngine::Abandon(std::uint64_t id, const Read& read)
{
    m_abandoned[id] = read.thread;
    ++m_stuck[read.thread];
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
    for (QueuedChange& change : m_changes)
    {
        if (change.read == id)
        {
            change.failed = true;
        }
    }
    m_feedback.Beep();
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

void CaptureEngine::ShowNotice()
{
    SetIfChanged(m_nameBox, kNoResponseNotice);
    SetIfChanged(m_valueBox, L"");
}

void CaptureEngine::ShowPreview(const ElementTexts& texts)
{
    SetIfChanged(m_nameBox, Beginning(texts.name));
    SetIfChanged(m_valueBox, Beginning(texts.value));
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
        else if (change.text)
        {
            m_log.AppendItem(*change.text);
        }
    }
}

void CaptureEngine::RearmTimer()
{
    if (m_reads.empty())
    {
        m_feedback.WakeReadTimer(-1);
        return;
    }
    std::int64_t next = m_reads.begin()->second.deadline;
    for (const auto& [id, read] : m_reads)
    {
        next = std::min(next, read.deadline);
    }
    m_feedback.WakeReadTimer(std::max<std::int64_t>(next - m_clock.NowMs(), 0));
}

} // namespace mirufon
