#pragma once

#include "platform/LogFiles.h"

namespace mirufon::win32
{

// Saved logs on disk, written beside their target first and then moved over it.
class Win32LogFiles final : public LogFiles
{
  public:
    LocalTime Now() const override;
    StoreWrite Save(const std::wstring& path, std::wstring_view text) override;
};

} // namespace mirufon::win32
