#pragma once

#include <cstddef>
#include <string_view>

namespace mirufon
{

// Conf.txt keys, modifier names and key letters are ASCII: only A to Z are folded, so that any
// other character passes through untouched.
constexpr wchar_t AsciiLower(wchar_t ch) noexcept
{
    return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
}

constexpr bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) noexcept
{
    if (a.size() != b.size())
    {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
        {
            return false;
        }
    }
    return true;
}

} // namespace mirufon
