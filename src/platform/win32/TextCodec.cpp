#include "platform/win32/TextCodec.h"

#include "platform/win32/Handles.h"

#include <algorithm>
#include <climits>

namespace mirufon::win32
{

namespace
{

std::wstring ToWide(UINT codePage, std::string_view bytes)
{
    if (bytes.empty() || bytes.size() > INT_MAX)
    {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (needed <= 0)
    {
        return {};
    }
    std::wstring text(static_cast<size_t>(needed), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), needed);
    return text;
}

std::string FromWide(UINT codePage, std::wstring_view text)
{
    if (text.empty() || text.size() > INT_MAX)
    {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int needed =
        ::WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
    {
        return {};
    }
    std::string bytes(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), size, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

std::wstring FromUtf16(std::string_view bytes, bool bigEndian)
{
    std::wstring text(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i)
    {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return text;
}

std::string ToUtf16(std::wstring_view text, bool bigEndian)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const wchar_t unit : text)
    {
        const auto high = static_cast<char>((unit >> 8) & 0xFF);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
    return bytes;
}

} // namespace

std::wstring AnsiToWide(std::string_view bytes)
{
    return ToWide(CP_ACP, bytes);
}

std::string WideToAnsi(std::wstring_view text)
{
    return FromWide(CP_ACP, text);
}

std::wstring DecodeText(std::string_view bytes, ConfEncoding encoding)
{
    bytes.remove_prefix(std::min(bytes.size(), ByteOrderMark(encoding).size()));
    switch (encoding)
    {
    case ConfEncoding::Utf8:
    case ConfEncoding::Utf8WithMark:
        return ToWide(CP_UTF8, bytes);
    case ConfEncoding::Utf16LittleEndian:
        return FromUtf16(bytes, false);
    case ConfEncoding::Utf16BigEndian:
        return FromUtf16(bytes, true);
    case ConfEncoding::Ansi:
        break;
    }
    return AnsiToWide(bytes);
}

std::string EncodeText(std::wstring_view text, ConfEncoding encoding)
{
    std::string bytes(ByteOrderMark(encoding));
    switch (encoding)
    {
    case ConfEncoding::Utf8:
    case ConfEncoding::Utf8WithMark:
        return bytes + FromWide(CP_UTF8, text);
    case ConfEncoding::Utf16LittleEndian:
        return bytes + ToUtf16(text, false);
    case ConfEncoding::Utf16BigEndian:
        return bytes + ToUtf16(text, true);
    case ConfEncoding::Ansi:
        break;
    }
    return WideToAnsi(text);
}

} // namespace mirufon::win32
