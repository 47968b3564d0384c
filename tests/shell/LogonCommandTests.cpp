#include "shell/LogonCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirufon
{
namespace
{

TEST(LogonCommand, NamesTheProgramsWindowsWouldTryInTurn)
{
    struct Case
    {
        std::wstring command;
        std::vector<std::wstring> programs;
        const char* why;
    };
    const Case cases[] = {
        {LogonCommandFor(L"C:\\My Tools\\mirufon.exe"),
         {L"C:\\My Tools\\mirufon.exe"},
         "the program's own command"},
        {L"  \"C:\\a b\\m.exe\" /tray", {L"C:\\a b\\m.exe"}, "arguments after the quotes"},
        {L"\"C:\\a b\\m.exe", {L"C:\\a b\\m.exe"}, "a quote that is not closed"},
        {L"C:\\Program Files\\m.exe  /x ",
         {L"C:\\Program", L"C:\\Program Files\\m.exe", L"C:\\Program Files\\m.exe  /x"},
         "without quotes, up to each run of spaces"},
        {L"C:\\m.exe", {L"C:\\m.exe"}, "a path without spaces"},
        {L"   ", {}, "nothing"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(ProgramsNamedBy(c.command), c.programs) << c.why;
    }
}

} // namespace
} // namespace mirufon
