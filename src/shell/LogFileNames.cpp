#include "shell/LogFileNames.h"

namespace mirufon
{
namespace
{

// The number in exactly `digits` decimal digits, with leading zeros.
std::wstring Digits(int value, int digits)
{
    std::wstring text(static_cast<std::size_t>(digits), L'0');
    for (int i = digits - 1; i >= 0 && value > 0; --i)
    {
        text[static_cast<std::size_t>(i)] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    }
    return text;
}

std::wstring DatedName(std::wstring_view stem, const LocalTime& t)
{
    std::wstring name(stem);
    name += L"-" + Digits(t.year, 4) + Digits(t.month, 2) + Digits(t.day, 2);
    name += L"-" + Digits(t.hour, 2) + Digits(t.minute, 2) + Digits(t.second, 2);
    name += L".txt";
    return name;
}

} // namespace

std::wstring SavedLogName(const LocalTime& time)
{
    return DatedName(L"mirufon", time);
}

std::wstring SetAsideJournalName(const LocalTime& time)
{
    return DatedName(L"mirufon-journal", time);
}

std::wstring FolderOf(std::wstring_view path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos)
    {
        return {};
    }
    // "C:\x.txt" is in "C:\", not in "C:" (the current folder of drive C).
    const bool driveRoot = slash == 2 && path[1] == L':';
    return std::wstring(path.substr(0, driveRoot ? slash + 1 : slash));
}

} // namespace mirufon
