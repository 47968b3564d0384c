#pragma once

#include "platform/MessagePump.h"

#include <functional>
#include <utility>

namespace mirufon
{

// Counts the sleeps instead of sleeping. The dispatch callback, when set, runs after each
// sleep, standing for a message (a hotkey, a clipboard change) handled during the wait.
class FakeMessagePump final : public MessagePump
{
  public:
    int Sleeps() const { return m_sleeps; }
    int SleptMs() const { return m_sleptMs; }
    void OnDispatch(std::function<void()> dispatch) { m_dispatch = std::move(dispatch); }

    void SleepThenDispatch(int milliseconds) override
    {
        ++m_sleeps;
        m_sleptMs += milliseconds;
        if (m_dispatch)
        {
            m_dispatch();
        }
    }

  private:
    int m_sleeps = 0;
    int m_sleptMs = 0;
    std::function<void()> m_dispatch;
};

} // namespace mirufon
