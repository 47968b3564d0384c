#pragma once

#include "settings/ConfEncoding.h"

#include <optional>
#include <string>
#include <string_view>

namespace mirufon::win32
{

// Conversions at the edge of the program: the system's ANSI code page (932 on Japanese
// systems) to and from UTF-16. Characters the code page lacks become its default character.
std::wstring AnsiToWide(std::string_view bytes);
std::string WideToAnsi(std::wstring_view text);
// The text in the ANSI code page when the code page holds every character of it (its bytes
// read back as the same text); nothing when a character would be lost or replaced.
std::optional<std::string> WideToAnsiExactly(std::wstring_view text);

// UTF-8 to and from UTF-16; malformed UTF-8 becomes U+FFFD, a lone surrogate too.
std::wstring Utf8ToWide(std::string_view bytes);
// UTF-8 behind a byte-order mark, which tells Notepad and spreadsheet programs the file's
// encoding; and back, with or without the mark.
std::string Utf8WithBom(std::wstring_view text);
std::wstring FromUtf8(std::string_view bytes);

// Conf.txt's text as bytes in the encoding, its byte-order mark first.
std::string EncodeText(std::wstring_view text, ConfEncoding encoding);

} // namespace mirufon::win32
