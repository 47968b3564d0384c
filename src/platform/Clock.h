#pragma once

#include <cstdint>

namespace mirufon
{

// A steady clock in milliseconds, for deadlines.
class Clock
{
  public:
    Clock() = default;
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;
    virtual ~Clock() = default;

    virtual std::int64_t NowMs() const = 0;
};

} // namespace mirufon
