#include "settings/ConfEncoding.h"

#include <cstddef>
#include <cstdint>

namespace mirufon
{
namespace
{

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

bool StartsWith(std::string_view bytes, std::string_view mark)
{
    return bytes.substr(0, mark.size()) == mark;
}

std::uint8_t ByteAt(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint8_t>(bytes[at]);
}

bool IsContinuation(std::uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at the position, 0 when there is none: no
// overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t SequenceLength(std::string_view bytes, std::size_t at)
{
    const std::uint8_t lead = ByteAt(bytes, at);
    if (lead < 0x80)
    {
        return 1;
    }
    std::size_t length = 0;
    std::uint8_t secondLow = 0x80;
    std::uint8_t secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
    {
        length = 2;
    }
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        secondLow = lead == 0xE0 ? 0xA0 : 0x80;
        secondHigh = lead == 0xED ? 0x9F : 0xBF;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        secondLow = lead == 0xF0 ? 0x90 : 0x80;
        secondHigh = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || at + length > bytes.size())
    {
        return 0;
    }
    const std::uint8_t second = ByteAt(bytes, at + 1);
    if (second < secondLow || second > secondHigh)
    {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i)
    {
        if (!IsContinuation(ByteAt(bytes, at + i)))
        {
            return 0;
        }
    }
    return length;
}

bool LooksLikeUtf8(std::string_view bytes)
{
    bool threeByteSequence = false;
    std::size_t at = 0;
    while (at < bytes.size())
    {
        const std::size_t length = SequenceLength(bytes, at);
        if (length == 0)
        {
            return false;
        }
        threeByteSequence = threeByteSequence || length == 3;
        at += length;
    }
    return threeByteSequence;
}

} // namespace

ConfEncoding DetectConfEncoding(std::string_view bytes)
{
    if (StartsWith(bytes, kUtf8Mark))
    {
        return ConfEncoding::Utf8WithMark;
    }
    if (StartsWith(bytes, kUtf16LittleEndianMark))
    {
        return ConfEncoding::Utf16LittleEndian;
    }
    if (StartsWith(bytes, kUtf16BigEndianMark))
    {
        return ConfEncoding::Utf16BigEndian;
    }
    return LooksLikeUtf8(bytes) ? ConfEncoding::Utf8 : ConfEncoding::Ansi;
}

std::string_view ByteOrderMark(ConfEncoding encoding)
{
    switch (encoding)
    {
    case ConfEncoding::Utf8WithMark:
        return kUtf8Mark;
    case ConfEncoding::Utf16LittleEndian:
        return kUtf16LittleEndianMark;
    case ConfEncoding::Utf16BigEndian:
        return kUtf16BigEndianMark;
    case ConfEncoding::Ansi:
    case ConfEncoding::Utf8:
        break;
    }
    return {};
}

} // namespace mirufon
