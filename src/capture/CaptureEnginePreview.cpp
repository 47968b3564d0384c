// The pointer preview's half of the capture engine: the ticks, what they read and what the
// preview boxes show.

#include "capture/CaptureEngine.h"
#include "text/UiText.h"

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

std::int64_t PreviewTickInterval(std::int64_t restedMs)
{
    return restedMs >= kRestBeforeSlowTickMs ? kRestingTickMs : kPreviewTickMs;
}

std::int64_t CaptureEngine::PreviewTickMs() const
{
    if (!m_restingAt)
    {
        return kPreviewTickMs;
    }
    return PreviewTickInterval(m_clock.NowMs() - m_restingSinceMs);
}

void CaptureEngine::OnPreviewTick()
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
        ClearPreview();
        return;
    }
    if (IsStuck(at.thread))
    {
        ShowNotice();
        // Read at once when it answers again.
        m_previewAt.reset();
        return;
    }
    // One preview read at a time: a tick that comes while it runs is not queued, and the next
    // tick looks again.
    if (m_previewRead)
    {
        m_lookedAt.reset();
        return;
    }
    if (!PreviewIsDue(at))
    {
        return;
    }
    const bool mayOpenMemory = MayOpenMemory(at);
    const std::uint64_t id = m_nextId++;
    m_previewRead = id;
    m_previewAt = at;
    m_previewStartedMs = m_clock.NowMs();
    StartRead(id, at, WantedTexts{true, true}, kPreviewChars, false, ReadKind::Element,
              mayOpenMemory);
}

// A read after a move may open the program's memory; one under a resting pointer only every
// kPreviewMemoryEveryMs.
bool CaptureEngine::MayOpenMemory(const PointerTarget& at)
{
    const std::int64_t now = m_clock.NowMs();
    const bool moved = !m_previewAt || at.x != m_previewAt->x || at.y != m_previewAt->y ||
                       at.window != m_previewAt->window;
    if (!moved && m_previewMemoryMs && now - *m_previewMemoryMs < kPreviewMemoryEveryMs)
    {
        return false;
    }
    m_previewMemoryMs = now;
    return true;
}

// Whether the pointer is where the last tick that looked found it, within kPreviewRefreshMs:
// nothing else is asked then. Otherwise this tick looks.
bool CaptureEngine::PointerRests()
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

bool CaptureEngine::PreviewIsDue(const PointerTarget& at) const
{
    if (!m_previewAt || at.x != m_previewAt->x || at.y != m_previewAt->y ||
        at.window != m_previewAt->window)
    {
        return true;
    }
    return m_clock.NowMs() - m_previewStartedMs >= kPreviewRefreshMs;
}

void CaptureEngine::ClearPreview()
{
    m_previewAt.reset();
    if (m_previewCleared)
    {
        return;
    }
    SetIfChanged(m_nameBox, L"");
    SetIfChanged(m_valueBox, L"");
    m_previewCleared = true;
}

void CaptureEngine::SetPreviewRunning(bool running)
{
    m_previewRunning = running;
    m_previewAt.reset();
    m_lookedAt.reset();
    m_restingAt.reset();
}

void CaptureEngine::ShowNotice(UiText notice)
{
    // The preview's name box says so while the element belongs to a program that does not
    // answer, or refuses to be read.
    SetIfChanged(m_nameBox, Text(notice));
    SetIfChanged(m_valueBox, L"");
    m_previewCleared = false;
}

void CaptureEngine::ShowPreview(const ElementTexts& texts)
{
    SetIfChanged(m_nameBox, Beginning(texts.name));
    SetIfChanged(m_valueBox, Beginning(texts.value));
    m_previewCleared = false;
}

} // namespace mirufon
