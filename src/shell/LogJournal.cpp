#include "shell/LogJournal.h"

#include <utility>

namespace mirufon
{

LogJournal::LogJournal(JournalStore& store, const Clock& clock, WakeTimer wake, Snapshot snapshot)
    : m_store(store), m_clock(clock), m_wake(std::move(wake)), m_snapshot(std::move(snapshot))
{
}

std::optional<std::wstring> LogJournal::LeftOver(std::wstring_view introduction)
{
    std::optional<std::wstring> text = m_store.Read();
    if (!text || text->empty() || *text == introduction)
    {
        return std::nullopt;
    }
    return text;
}

bool LogJournal::SetAside(const std::wstring& name)
{
    return m_store.SetAside(name);
}

void LogJournal::Begin()
{
    m_mirroring = true;
}

void LogJournal::OnChange()
{
    if (!m_mirroring)
    {
        return;
    }
    if (const std::optional<std::int64_t> delay = m_throttle.OnChange(m_clock.NowMs()))
    {
        m_wake(*delay);
    }
}

void LogJournal::OnTimer()
{
    if (!m_mirroring)
    {
        return;
    }
    const std::int64_t now = m_clock.NowMs();
    if (m_throttle.TakeDue(now))
    {
        m_store.WriteLater(m_snapshot());
        return;
    }
    // Woken early (the timer and the clock tick apart): wait for the rest.
    if (const std::optional<std::int64_t> remaining = m_throttle.Remaining(now))
    {
        m_wake(*remaining);
    }
}

void LogJournal::EndAndRemove()
{
    if (End())
    {
        m_store.Remove();
    }
}

void LogJournal::EndAndKeep()
{
    if (End())
    {
        m_store.Write(m_snapshot());
    }
}

// Stops the mirroring and its writer; false when it never began (the journal an earlier run
// left, still unanswered, is then left as it is).
bool LogJournal::End()
{
    if (!m_mirroring)
    {
        return false;
    }
    m_mirroring = false;
    m_throttle.Cancel();
    m_wake(-1);
    m_store.StopWriter();
    return true;
}

} // namespace mirufon
