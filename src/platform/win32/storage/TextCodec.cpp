#include "platform/win32/storage/TextCodec.h"

#include "platform/win32/window/Handles.h"

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

std::string WideToUtf8(std::wstring_view text)
{
    return FromWide(CP_UTF8, text);
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

std::optional<std::string> WideToAnsiExactly(std::wstring_view text)
{
    std::string bytes = WideToAnsi(text);
    if (AnsiToWide(bytes) != text)
    {
        return std::nullopt;
    }
    return bytes;
}

std::wstring Utf8ToWide(std::string_view bytes)
{
    return ToWide(CP_UTF8, bytes);
}

std::string Utf8WithBom(std::wstring_view text)
{
    return EncodeText(text, ConfEncoding::Utf8WithMark);
}

std::wstring FromUtf8(std::string_view bytes)
{
    const std::string_view mark = ByteOrderMark(ConfEncoding::Utf8WithMark);
    if (bytes.substr(0, mark.size()) == mark)
    {
        bytes.remove_prefix(mark.size());
    }
    return Utf8ToWide(bytes);
}

std::string EncodeText(std::wstring_view text, ConfEncoding encoding)
{
    std::string bytes(ByteOrderMark(encoding));
    switch (encoding)
    {
    case ConfEncoding::Utf8:
    case ConfEncoding::Utf8WithMark:
        return bytes + WideToUtf8(text);
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
