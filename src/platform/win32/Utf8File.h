#pragma once

#include "platform/win32/Handles.h"

#include <optional>
#include <string>
#include <string_view>

namespace mirufon::win32
{

// UTF-16 to UTF-8 behind a byte-order mark, which tells Notepad and spreadsheet programs the
// file's encoding. A lone surrogate becomes U+FFFD.
std::string Utf8WithBom(std::wstring_view text);
// UTF-8, with or without a byte-order mark, to UTF-16. Invalid sequences become U+FFFD.
std::wstring FromUtf8(std::string_view bytes);

// The whole file; nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::wstring& path);

// Writes the bytes to the temporary file, then moves it over path: the old file stays whole
// unless the new one was written completely, and a reader sees one or the other. The
// temporary file is removed after a failure. Returns 0, or the system's error number.
DWORD ReplaceFileWith(const std::wstring& path, const std::wstring& temporary,
                      std::string_view bytes);

} // namespace mirufon::win32
