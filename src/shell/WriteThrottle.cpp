#include "shell/WriteThrottle.h"

#include <algorithm>

namespace mirufon
{

WriteThrottle::WriteThrottle(std::int64_t periodMs) : m_period(periodMs)
{
}

std::optional<std::int64_t> WriteThrottle::OnChange(std::int64_t now)
{
    if (m_due)
    {
        return std::nullopt;
    }
    m_due = m_lastWrite ? std::max(now, *m_lastWrite + m_period) : now;
    return *m_due - now;
}

bool WriteThrottle::TakeDue(std::int64_t now)
{
    if (!m_due || now < *m_due)
    {
        return false;
    }
    m_due.reset();
    m_lastWrite = now;
    return true;
}

std::optional<std::int64_t> WriteThrottle::Remaining(std::int64_t now) const
{
    if (!m_due)
    {
        return std::nullopt;
    }
    return std::max<std::int64_t>(*m_due - now, 0);
}

void WriteThrottle::Cancel()
{
    m_due.reset();
}

} // namespace mirufon
