#include "settings/ConfUnits.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace mirufon
{

bool HoldsEither(const char* eight, char16_t first, char16_t second)
{
    std::uint64_t word = 0;
    std::memcpy(&word, eight, sizeof word);
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    const auto holdsZero = [](std::uint64_t value) { return (value - kOnes) & ~value & kHighs; };
    return (holdsZero(word ^ (kOnes * first)) | holdsZero(word ^ (kOnes * second))) != 0;
}

const KeyLengths& KeyLengthsOfNames()
{
    static const KeyLengths lengths = []
    {
        KeyLengths found;
        for (std::size_t index = 0; index < kConfKeyCount; ++index)
        {
            found.shortest = std::min(found.shortest, ConfKeyNameLength(index));
            found.longest = std::min(std::max(found.longest, ConfKeyNameLength(index)), kKeyRoom);
        }
        return found;
    }();
    return lengths;
}

std::wstring WideFromUtf16(std::u16string_view units)
{
    std::wstring text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i)
    {
        const char16_t unit = units[i];
        const bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() &&
                          units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
        if constexpr (sizeof(wchar_t) == 4)
        {
            if (pair)
            {
                text.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) +
                                                    (units[++i] - 0xDC00)));
                continue;
            }
        }
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

} // namespace mirufon
