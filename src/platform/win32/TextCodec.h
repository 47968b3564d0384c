#pragma once

#include <string>
#include <string_view>

namespace mirufon::win32
{

// Conversions at the edge of the program: the system's ANSI code page (932 on Japanese
// systems) to and from UTF-16. Characters the code page lacks become its default character.
std::wstring AnsiToWide(std::string_view bytes);
std::string WideToAnsi(std::wstring_view text);

} // namespace mirufon::win32
