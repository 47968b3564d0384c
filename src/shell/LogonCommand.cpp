#include "shell/LogonCommand.h"

namespace mirufon
{

std::wstring LogonCommandFor(std::wstring_view programPath)
{
    return L"\"" + std::wstring(programPath) + L"\"";
}

std::vector<std::wstring> ProgramsNamedBy(std::wstring_view command)
{
    const std::size_t first = command.find_first_not_of(L' ');
    if (first == std::wstring_view::npos)
    {
        return {};
    }
    command = command.substr(first, command.find_last_not_of(L' ') - first + 1);
    if (command.front() == L'"')
    {
        const std::wstring_view quoted = command.substr(1);
        return {std::wstring(quoted.substr(0, quoted.find(L'"')))};
    }
    std::vector<std::wstring> programs;
    for (std::size_t at = 1; at < command.size(); ++at)
    {
        if (command[at] == L' ' && command[at - 1] != L' ')
        {
            programs.emplace_back(command.substr(0, at));
        }
    }
    programs.emplace_back(command);
    return programs;
}

} // namespace mirufon
