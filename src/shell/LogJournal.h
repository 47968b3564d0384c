#pragma once

#include "platform/Clock.h"
#include "platform/JournalStore.h"
#include "shell/WriteThrottle.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mirufon
{

// The least time between two writes of the journal.
inline constexpr std::int64_t kJournalPeriodMs = 2000;

// The log's journal: once begun, every change of the log leads to a write of its text, the
// first at once after a quiet spell and then at most one a period, each made by the store's
// writer off the main thread. The text is taken on the main thread when the write is due, so
// a change itself costs no more than a note of the time.
class LogJournal
{
  public:
    // Asks for OnTimer after about this many milliseconds; a negative time cancels it.
    using WakeTimer = std::function<void(std::int64_t)>;
    // The log's text as the journal keeps it (empty for nothing worth keeping).
    using Snapshot = std::function<std::wstring()>;

    LogJournal(JournalStore& store, const Clock& clock, WakeTimer wake, Snapshot snapshot);
    LogJournal(const LogJournal&) = delete;
    LogJournal& operator=(const LogJournal&) = delete;

    // The log an earlier run left, when it holds anything but the introduction.
    std::optional<std::wstring> LeftOver(std::wstring_view introduction);
    // Keeps the journal an earlier run left under the name; false when it is still in place.
    bool SetAside(const std::wstring& name);

    // From now on the log is mirrored.
    void Begin();
    // The log changed.
    void OnChange();
    // The timer asked for by a change.
    void OnTimer();

    // A normal exit: the writer stops, then the journal goes.
    void EndAndRemove();
    // Windows is ending the session: the writer stops and the log is written a last time, to
    // be offered at the next start.
    void EndAndKeep();

  private:
    bool End();

    JournalStore& m_store;
    const Clock& m_clock;
    WakeTimer m_wake;
    Snapshot m_snapshot;
    WriteThrottle m_throttle{kJournalPeriodMs};
    bool m_mirroring = false;
};

} // namespace mirufon
