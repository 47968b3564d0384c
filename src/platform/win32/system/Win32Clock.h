#pragma once

#include "platform/Clock.h"
#include "platform/win32/window/Handles.h"

namespace mirufon::win32
{

class Win32Clock final : public Clock
{
  public:
    std::int64_t NowMs() const override { return static_cast<std::int64_t>(::GetTickCount64()); }
};

} // namespace mirufon::win32
