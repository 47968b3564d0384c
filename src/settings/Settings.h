#pragma once

#include <cstdint>
#include <string>

namespace mirufon
{

// The one process-wide settings record: one field per Conf.txt key, plus the derived
// separator. Flags are integers, 1 on and 0 off. Geometry is in twips.
struct Settings
{
    std::int32_t FormLeft = 0;
    std::int32_t FormTop = 0;
    std::int32_t FormWidth = 0;
    std::int32_t FormHeight = 0;
    std::int32_t TaskTray = 0;
    std::int32_t TimeAutoClose = 5;
    std::wstring DispPos = L"右下隅";
    std::wstring SearchString;
    std::int32_t SearchFuzzy = 0;
    std::wstring CustomItem = L"1111111";
    std::int32_t CustomMsg = 1;
    std::wstring HotKeyGetName = L"A";
    std::wstring HotKeyGetValue = L"Z";
    std::wstring HotKeyBack = L"B";
    std::wstring HotKeyCrlf = L"E";
    std::wstring HotKeyStop = L"G";
    std::wstring HotKeyModify = L"Shift";
    std::int16_t DispTop = 1;
    std::int16_t SeparateTab = 0;
    std::int16_t AddCopy = 0;
    std::wstring Separator = L"\r\n";
};

// Sizes ConfDefault needs from the screen and the main window, in twips.
struct DefaultGeometry
{
    std::int32_t screenWidth = 0;
    std::int32_t screenHeight = 0;
    std::int32_t windowWidth = 0;
    std::int32_t windowHeight = 0;
};

// Every field at its default; the window centred on the primary screen at its present size.
Settings ConfDefault(const DefaultGeometry& geometry);

// The separator that SeparateTab selects: one tab for 1, CR LF for anything else.
std::wstring SeparatorFor(std::int16_t separateTab);

} // namespace mirufon
