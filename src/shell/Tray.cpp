#include "shell/Tray.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace mirufon
{
namespace
{

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

TrayAction TrayActionFor(unsigned mouseEvent)
{
    switch (mouseEvent)
    {
    case kTrayLeftDoubleClick:
        return TrayAction::OpenSettings;
    case kTrayRightButtonDown:
        return TrayAction::ShowPopupMenu;
    default:
        return TrayAction::None;
    }
}

std::wstring TrayTip(std::wstring_view title, std::size_t capacity)
{
    if (capacity <= 1)
    {
        return {};
    }
    const std::size_t maxLength = capacity - 1;
    if (title.size() <= maxLength)
    {
        return std::wstring(title);
    }
    std::size_t length = maxLength;
    // Only a 16-bit wchar_t holds surrogates in well-formed text; elsewhere a non-BMP
    // character is one unit and this never applies.
    if (IsHighSurrogate(title[length - 1]) && IsLowSurrogate(title[length]))
    {
        --length;
    }
    return std::wstring(title.substr(0, length));
}

} // namespace mirufon
