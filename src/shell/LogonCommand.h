#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mirufon
{

// The command Windows runs at logon to start the program: its full path in quotes, so that a
// path with spaces names one file.
std::wstring LogonCommandFor(std::wstring_view programPath);

// The program files a logon command may name, in the order Windows tries them when it runs the
// command: the path inside the quotes when the command starts with one (up to its end when the
// quote is not closed); otherwise the text before each run of spaces in turn, then the whole
// command. Spaces around the command do not count. Empty for an empty command.
std::vector<std::wstring> ProgramsNamedBy(std::wstring_view command);

} // namespace mirufon
