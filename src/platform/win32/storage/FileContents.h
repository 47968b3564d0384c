#pragma once

#include "platform/win32/window/Handles.h"

#include <optional>
#include <string>
#include <string_view>

namespace mirufon::win32
{

// The whole file; nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::wstring& path);

// Writes the bytes to the temporary file, then moves it over path: the old file stays whole
// unless the new one was written completely, and a reader sees one or the other. The
// temporary file is removed after a failure. Returns 0, or the system's error number.
DWORD ReplaceFileWith(const std::wstring& path, const std::wstring& temporary,
                      std::string_view bytes);

} // namespace mirufon::win32
