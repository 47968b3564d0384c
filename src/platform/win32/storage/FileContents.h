#pragma once

#include "platform/win32/window/Handles.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mirufon::win32
{

// The whole file; nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::wstring& path);

// Moves the file from over the file to, replacing it. Returns 0, or the system's error number.
using MoveFunction = std::function<DWORD(const std::wstring& from, const std::wstring& to)>;
DWORD MoveOver(const std::wstring& from, const std::wstring& to);

// Writes the bytes to the temporary file, then moves it over path: the old file stays whole
// unless the new one was written completely, and a reader sees one or the other. Antivirus,
// the search indexer and sync clients open a file for a moment after it changes; while one
// holds path (errors 5 and 32), the move is tried again, with growing pauses, until patience
// has passed. The temporary file is removed after a failure. Returns 0, or the system's error
// number.
DWORD ReplaceFileWith(const std::wstring& path, const std::wstring& temporary,
                      std::string_view bytes,
                      std::chrono::milliseconds patience = std::chrono::milliseconds(0),
                      const MoveFunction& move = &MoveOver);

} // namespace mirufon::win32
