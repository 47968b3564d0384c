#include "shell/WindowPlacement.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace mirufon
{
namespace
{

// Edges in 64 bits: a stored left plus a stored width can pass the 32-bit range.
struct Span
{
    std::int64_t low = 0;
    std::int64_t high = 0;
};

Span Horizontal(const WindowGeometry& window)
{
    return Span{window.left, std::int64_t{window.left} + window.width};
}

Span Vertical(const WindowGeometry& window)
{
    return Span{window.top, std::int64_t{window.top} + window.height};
}

bool TitleBarReachableIn(const WindowGeometry& window, const DisplayAreas& displays,
                         const DesktopRect& area)
{
    const Span across = Horizontal(window);
    const std::int64_t barBottom = std::int64_t{window.top} + displays.titleBarHeight;
    if (window.top < area.top || barBottom > area.bottom)
    {
        return false;
    }
    const std::int64_t inside = std::min<std::int64_t>(across.high, area.right) -
                                std::max<std::int64_t>(across.low, area.left);
    const std::int64_t needed = std::min<std::int64_t>(
        std::int64_t{kReachableTitleBarPixels} * displays.twipsPerPixel, window.width);
    return inside >= needed;
}

// How far a span lies outside another, 0 when they meet.
double Gap(const Span& a, std::int64_t low, std::int64_t high)
{
    return static_cast<double>(std::max<std::int64_t>({low - a.high, a.low - high, 0}));
}

const DesktopRect& NearestArea(const WindowGeometry& window, const DisplayAreas& displays)
{
    const DesktopRect* nearest = &displays.workAreas.front();
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (const DesktopRect& area : displays.workAreas)
    {
        const double dx = Gap(Horizontal(window), area.left, area.right);
        const double dy = Gap(Vertical(window), area.top, area.bottom);
        const double distance = dx * dx + dy * dy;
        if (distance < nearestDistance)
        {
            nearest = &area;
            nearestDistance = distance;
        }
    }
    return *nearest;
}

// The start of a span of the given size moved as little as possible to lie within low..high;
// low when it is larger than that.
std::int32_t Fit(std::int32_t start, std::int32_t size, std::int32_t low, std::int32_t high)
{
    if (std::int64_t{size} >= std::int64_t{high} - low)
    {
        return low;
    }
    return std::clamp(start, low, high - size);
}

} // namespace

WindowGeometry KeepTitleBarReachable(const WindowGeometry& stored, const DisplayAreas& displays)
{
    if (displays.workAreas.empty())
    {
        return stored;
    }
    for (const DesktopRect& area : displays.workAreas)
    {
        if (TitleBarReachableIn(stored, displays, area))
        {
            return stored;
        }
    }
    const DesktopRect& area = NearestArea(stored, displays);
    WindowGeometry placed = stored;
    placed.left = Fit(stored.left, stored.width, area.left, area.right);
    placed.top = Fit(stored.top, stored.height, area.top, area.bottom);
    return placed;
}

} // namespace mirufon
