#pragma once

#include "platform/ConfStore.h"
#include "settings/ConfEncoding.h"

#include <string>

namespace mirufon::win32
{

// Conf.txt at a fixed path: read in the encoding its bytes show (ANSI code page, UTF-8 or
// UTF-16, see ConfEncodingDetector) and written back in the encoding it was read in, unless
// ANSI would lose characters (see EncodingToWrite). As long as it does not exist, the starting
// point (another Conf.txt, if any) is read in its place, encoding and all. Writing creates the
// file's folder when it is missing.
class Win32ConfStore final : public ConfStore
{
  public:
    explicit Win32ConfStore(std::wstring path, std::wstring startingPoint = {});

    std::optional<std::wstring> Read() override;
    StoreWrite Write(std::wstring_view text) override;

  private:
    std::wstring TemporaryPath() const { return m_path + L".new"; }

    std::wstring m_path;
    std::wstring m_startingPoint;
    ConfEncoding m_encoding = ConfEncoding::Ansi;
};

} // namespace mirufon::win32
