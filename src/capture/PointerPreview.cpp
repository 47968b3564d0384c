#include "capture/PointerPreview.h"

#include <string>
#include <string_view>

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

bool SamePlace(const PointerTarget& at, const PointerTarget& before)
{
    return at.x == before.x && at.y == before.y && at.window == before.window;
}

// The tick's interval once the pointer has rested at one point for restedMs.
std::int64_t TickInterval(std::int64_t restedMs)
{
    return restedMs >= kRestBeforeSlowTickMs ? kRestingTickMs : kPreviewTickMs;
}

} // namespace

PointerPreview::PointerPreview(TextBox& nameBox, TextBox& valueBox, PointerProbe& pointer,
                               ReadTracker& reads, const Clock& clock, CaptureFeedback& feedback)
    : m_nameBox(nameBox), m_valueBox(valueBox), m_pointer(pointer), m_reads(reads), m_clock(clock),
      m_feedback(feedback)
{
}

void PointerPreview::SetRunning(bool running)
{
    if (running == m_running)
    {
        return;
    }
    m_running = running;
    m_tickMs = kPreviewTickMs;
    m_feedback.SetPreviewRunning(running);
    m_readAt.reset();
    m_lookedAt.reset();
    m_restingAt.reset();
}

void PointerPreview::OnTick()
{
    ReadIfDue();
    AdjustTickInterval();
}

void PointerPreview::ReadIfDue()
{
    if (PointerRests())
    {
        return;
    }
    const PointerTarget at = m_pointer.Current();
    if (!at.known)
    {
        return;
    }
    if (at.overOwnWindow || !at.overWindow)
    {
        Clear();
        return;
    }
    if (m_reads.IsStuck(at.thread))
    {
        ShowNotice();
        // Read at once when it answers again.
        m_readAt.reset();
        return;
    }
    // One read at a time: a tick that comes while it runs is not queued, and the next tick
    // looks again.
    if (m_read)
    {
        m_lookedAt.reset();
        return;
    }
    if (!PreviewIsDue(at))
    {
        return;
    }
    ReadRequest request;
    request.wanted = WantedTexts{true, true};
    request.maxChars = kPreviewChars;
    request.mayOpenMemory = MayOpenMemory(at);
    m_readAt = at;
    m_readStartedMs = m_clock.NowMs();
    m_read = m_reads.Start(at, request, kPreviewDeadlineMs, *this);
}

void PointerPreview::AdjustTickInterval()
{
    const std::int64_t interval =
        m_restingAt ? TickInterval(m_clock.NowMs() - m_restingSinceMs) : kPreviewTickMs;
    if (interval == m_tickMs || !m_running)
    {
        return;
    }
    m_tickMs = interval;
    m_feedback.SetPreviewInterval(interval);
}

// A read after a move may open the program's memory; one under a resting pointer only every
// kPreviewMemoryEveryMs.
bool PointerPreview::MayOpenMemory(const PointerTarget& at)
{
    const std::int64_t now = m_clock.NowMs();
    const bool moved = !m_readAt || !SamePlace(at, *m_readAt);
    if (!moved && m_memoryReadMs && now - *m_memoryReadMs < kPreviewMemoryEveryMs)
    {
        return false;
    }
    m_memoryReadMs = now;
    return true;
}

// Whether the pointer is where the last tick that looked found it, within kPreviewRefreshMs:
// nothing else is asked then. Otherwise this tick looks.
bool PointerPreview::PointerRests()
{
    const PointerPosition position = m_pointer.Position();
    if (!position.known)
    {
        // Nothing can be read while the pointer cannot be asked for.
        m_lookedAt.reset();
        return true;
    }
    const std::int64_t now = m_clock.NowMs();
    if (m_restingAt != position)
    {
        m_restingAt = position;
        m_restingSinceMs = now;
    }
    if (m_lookedAt && *m_lookedAt == position && now - m_lookedAtMs < kPreviewRefreshMs)
    {
        return true;
    }
    m_lookedAt = position;
    m_lookedAtMs = now;
    return false;
}

bool PointerPreview::PreviewIsDue(const PointerTarget& at) const
{
    if (!m_readAt || !SamePlace(at, *m_readAt))
    {
        return true;
    }
    return m_clock.NowMs() - m_readStartedMs >= kPreviewRefreshMs;
}

void PointerPreview::OnReadOutcome(std::uint64_t, ReadContent content)
{
    if (std::holds_alternative<ReadAnswering>(content))
    {
        return;
    }
    m_read.reset();
    const ElementTexts* texts = std::get_if<ElementTexts>(&content);
    if (!texts || !m_running || texts->skipped)
    {
        return;
    }
    if (texts->refused)
    {
        ShowNotice(UiText::RunsAsAdministrator);
        return;
    }
    Show(*texts);
}

void PointerPreview::OnReadMissed(std::uint64_t)
{
    m_read.reset();
    if (m_running)
    {
        ShowNotice();
    }
}

void PointerPreview::Clear()
{
    m_readAt.reset();
    if (m_cleared)
    {
        return;
    }
    SetIfChanged(m_nameBox, L"");
    SetIfChanged(m_valueBox, L"");
    m_cleared = true;
}

void PointerPreview::ShowNotice(UiText notice)
{
    SetIfChanged(m_nameBox, Text(notice));
    SetIfChanged(m_valueBox, L"");
    m_cleared = false;
}

void PointerPreview::Show(const ElementTexts& texts)
{
    SetIfChanged(m_nameBox, Beginning(texts.name));
    SetIfChanged(m_valueBox, Beginning(texts.value));
    m_cleared = false;
}

} // namespace mirufon
