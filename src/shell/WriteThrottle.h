#pragma once

#include <cstdint>
#include <optional>

namespace mirufon
{

// When to write a copy of something that keeps changing. A change after a quiet spell is due
// at once; later changes are due when a period has passed since the last write. A steady
// stream of changes is written once every period: unlike a debounce, more changes never
// postpone a write that is waiting.
class WriteThrottle
{
  public:
    explicit WriteThrottle(std::int64_t periodMs);

    // A change at now. When it starts a wait, the time until its write is due; nothing when a
    // write is already waiting (it will take this change along).
    std::optional<std::int64_t> OnChange(std::int64_t now);
    // True when a write is waiting and due at now; it then counts as made at now.
    bool TakeDue(std::int64_t now);
    // The time until the waiting write is due (0 when it is); nothing when none waits.
    std::optional<std::int64_t> Remaining(std::int64_t now) const;
    // Forgets a waiting write.
    void Cancel();

  private:
    std::int64_t m_period;
    std::optional<std::int64_t> m_lastWrite;
    std::optional<std::int64_t> m_due;
};

} // namespace mirufon
