#pragma once

#include "settings/ConfEncoding.h"

#include <string>
#include <string_view>

namespace mirufon::win32
{

// Conversions at the edge of the program: the system's ANSI code page (932 on Japanese
// systems) to and from UTF-16. Characters the code page lacks become its default character.
std::wstring AnsiToWide(std::string_view bytes);
std::string WideToAnsi(std::wstring_view text);

// Conf.txt's bytes as text in the given encoding, without its byte-order mark, and the text as
// bytes in that encoding, with its mark. Malformed UTF-8 becomes U+FFFD; an odd last byte of
// UTF-16 is dropped.
std::wstring DecodeText(std::string_view bytes, ConfEncoding encoding);
std::string EncodeText(std::wstring_view text, ConfEncoding encoding);

} // namespace mirufon::win32
