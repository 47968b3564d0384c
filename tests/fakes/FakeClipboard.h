#pragma once

#include "platform/Clipboard.h"

namespace mirufon
{

// A clipboard that another program holds for the first `failures` attempts to empty it.
class FakeClipboard final : public Clipboard
{
  public:
    explicit FakeClipboard(int failures = 0) : m_failures(failures) {}

    int Tries() const { return m_tries; }

    bool Empty() override
    {
        ++m_tries;
        return m_tries > m_failures;
    }

  private:
    int m_failures;
    int m_tries = 0;
};

} // namespace mirufon
