#include "platform/win32/window/Dpi.h"

#include <cmath>

namespace mirufon::win32
{

int ScreenDpi()
{
    HDC screen = ::GetDC(nullptr);
    if (!screen)
    {
        return 96;
    }
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int ToPixels(std::int32_t twips, std::int32_t twipsPerPixel)
{
    return static_cast<int>(
        std::lround(static_cast<double>(twips) / static_cast<double>(twipsPerPixel)));
}

} // namespace mirufon::win32
