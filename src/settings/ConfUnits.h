#pragma once

// The code units of Conf.txt's encodings as ConfLines reads them: bytes (ANSI code page and
// UTF-8) or UTF-16 units, and the few things it tells from them without decoding.

#include "settings/ConfText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace mirufon
{

inline constexpr char16_t kConfCr = 0x0D;
inline constexpr char16_t kConfLf = 0x0A;
inline constexpr char16_t kConfEquals = 0x3D;
inline constexpr char16_t kConfSpace = 0x20;
// Room for the longest key name.
inline constexpr std::size_t kKeyRoom = 32;

// The text of UTF-16 code units, whatever the width of wchar_t.
std::wstring WideFromUtf16(std::u16string_view units);

// Whether any of the eight bytes is one of the two values.
bool HoldsEither(const char* eight, char16_t first, char16_t second);

// The shortest and the longest key name.
struct KeyLengths
{
    std::size_t shortest = kKeyRoom;
    std::size_t longest = 0;
};
const KeyLengths& KeyLengthsOfNames();

// A unit's value, whatever the signedness of its type.
template <typename Unit> char16_t UnitValue(Unit unit)
{
    return static_cast<char16_t>(static_cast<std::make_unsigned_t<Unit>>(unit));
}

template <typename Unit>
std::basic_string_view<Unit> TrimmedSpaces(std::basic_string_view<Unit> text)
{
    while (!text.empty() && UnitValue(text.front()) == kConfSpace)
    {
        text.remove_prefix(1);
    }
    while (!text.empty() && UnitValue(text.back()) == kConfSpace)
    {
        text.remove_suffix(1);
    }
    return text;
}

// The known key a line's part before "=" names, read from its units: a key is ASCII, and no
// character outside ASCII is made of ASCII bytes in the encodings read here.
template <typename Unit> std::optional<std::size_t> KeyOf(std::basic_string_view<Unit> part)
{
    // Most parts are no key at all: their length tells at once.
    const KeyLengths& lengths = KeyLengthsOfNames();
    const std::basic_string_view<Unit> key = TrimmedSpaces(part);
    if (key.size() < lengths.shortest || key.size() > lengths.longest)
    {
        return std::nullopt;
    }
    wchar_t wide[kKeyRoom] = {};
    for (std::size_t i = 0; i < key.size(); ++i)
    {
        const char16_t unit = UnitValue(key[i]);
        if (unit > 0x7F)
        {
            return std::nullopt;
        }
        wide[i] = static_cast<wchar_t>(unit);
    }
    return ConfKeyIndex(std::wstring_view(wide, key.size()));
}

} // namespace mirufon
