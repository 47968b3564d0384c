#include "settings/Settings.h"

#include "settings/ConfNumbers.h"

#include <cstdint>
#include <limits>

namespace mirufon
{

namespace
{

// Half the gap between the screen and the window, rounded; the difference is taken in 64 bits
// so that no pair of 32-bit sizes can overflow, and a result beyond 32 bits is clamped.
std::int32_t CentredOffset(std::int32_t screenSize, std::int32_t windowSize)
{
    const double half =
        (static_cast<std::int64_t>(screenSize) - static_cast<std::int64_t>(windowSize)) / 2.0;
    if (const auto rounded = RoundToInt32(half))
    {
        return *rounded;
    }
    return half < 0 ? std::numeric_limits<std::int32_t>::min()
                    : std::numeric_limits<std::int32_t>::max();
}

} // namespace

Settings DefaultSettings(const DefaultGeometry& geometry)
{
    Settings settings;
    settings.windowLeft = CentredOffset(geometry.screenWidth, geometry.windowWidth);
    settings.windowTop = CentredOffset(geometry.screenHeight, geometry.windowHeight);
    settings.windowWidth = geometry.windowWidth;
    settings.windowHeight = geometry.windowHeight;
    settings.separator = SeparatorFor(settings.tabSeparated);
    return settings;
}

std::wstring SeparatorFor(std::int16_t tabSeparated)
{
    return tabSeparated == 1 ? std::wstring(L"\t") : std::wstring(L"\r\n");
}

} // namespace mirufon
