#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mirufon
{

// The harvest key's default; a Conf.txt without the key may get another letter (FreeHarvestKey).
inline constexpr std::wstring_view kDefaultHarvestKey = L"L";

// The one process-wide settings record: one field per Conf.txt key, plus the derived
// separator. Flags are integers, 1 on and 0 off. Geometry is in twips.
struct Settings
{
    std::int32_t windowLeft = 0;
    std::int32_t windowTop = 0;
    std::int32_t windowWidth = 0;
    std::int32_t windowHeight = 0;
    std::int32_t startInTray = 0;
    std::int32_t autoCloseTime = 5;
    std::wstring popupPosition = L"右下隅";
    std::wstring searchString;
    std::int32_t searchFuzzy = 0;
    std::wstring customItem = L"1111111";
    std::int32_t showMessages = 1;
    std::wstring nameKey = L"A";
    std::wstring valueKey = L"Z";
    std::wstring cancelKey = L"B";
    std::wstring lineBreakKey = L"E";
    std::wstring stopKey = L"G";
    std::wstring harvestKey = std::wstring(kDefaultHarvestKey);
    std::wstring modifier = L"Shift";
    std::int16_t alwaysOnTop = 1;
    std::int16_t tabSeparated = 0;
    std::int16_t captureCopies = 0;
    std::wstring separator = L"\r\n";
};

// Sizes DefaultSettings needs from the screen and the main window, in twips.
struct DefaultGeometry
{
    std::int32_t screenWidth = 0;
    std::int32_t screenHeight = 0;
    std::int32_t windowWidth = 0;
    std::int32_t windowHeight = 0;
};

// Every field at its default; the window centred on the primary screen at its present size.
Settings DefaultSettings(const DefaultGeometry& geometry);

// The separator that tabSeparated selects: one tab for 1, CR LF for anything else.
std::wstring SeparatorFor(std::int16_t tabSeparated);

} // namespace mirufon
