#include "shell/WindowPlacement.h"

#include "shell/Layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mirufon
{
namespace
{

// Pixel arithmetic runs in 64 bits: a stored left plus a stored width can pass the 32-bit
// range, and so can twips of a far edge.
std::int32_t Clamp32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Twips to whole pixels, rounded to the nearest.
std::int64_t PixelsOf(std::int32_t twips, std::int32_t twipsPerPixel)
{
    return std::llround(static_cast<double>(twips) / twipsPerPixel);
}

PixelRect RectAt(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height)
{
    return PixelRect{Clamp32(left), Clamp32(top), Clamp32(left + width), Clamp32(top + height)};
}

std::int64_t Overlap(std::int64_t low, std::int64_t high, std::int64_t areaLow,
                     std::int64_t areaHigh)
{
    return std::max<std::int64_t>(0, std::min(high, areaHigh) - std::max(low, areaLow));
}

std::int64_t SharedArea(const PixelRect& a, const PixelRect& b)
{
    return Overlap(a.left, a.right, b.left, b.right) * Overlap(a.top, a.bottom, b.top, b.bottom);
}

// How far a span lies outside another, 0 when they meet.
double Gap(std::int64_t low, std::int64_t high, std::int64_t areaLow, std::int64_t areaHigh)
{
    return static_cast<double>(std::max<std::int64_t>({areaLow - high, low - areaHigh, 0}));
}

const Monitor& Nearest(const DisplayAreas& displays, const PixelRect& rect)
{
    const Monitor* nearest = &displays.monitors.front();
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (const Monitor& monitor : displays.monitors)
    {
        const PixelRect& area = monitor.workArea;
        const double dx = Gap(rect.left, rect.right, area.left, area.right);
        const double dy = Gap(rect.top, rect.bottom, area.top, area.bottom);
        if (dx * dx + dy * dy < nearestDistance)
        {
            nearest = &monitor;
            nearestDistance = dx * dx + dy * dy;
        }
    }
    return *nearest;
}

// The monitor with the largest share of the rectangle that rectFor gives for it; null when
// none has any.
template <typename RectFor>
const Monitor* CoveringMost(const DisplayAreas& displays, const RectFor& rectFor)
{
    const Monitor* best = nullptr;
    std::int64_t bestShare = 0;
    for (const Monitor& monitor : displays.monitors)
    {
        const std::int64_t share = SharedArea(rectFor(monitor), monitor.workArea);
        if (share > bestShare)
        {
            best = &monitor;
            bestShare = share;
        }
    }
    return best;
}

// The stored window at its edges (pixels) with its size read at a scale.
PixelRect SizedAt(const WindowGeometry& stored, std::int64_t left, std::int64_t top, int dpi)
{
    const std::int32_t scale = TwipsPerPixel(dpi);
    return RectAt(left, top, PixelsOf(stored.width, scale), PixelsOf(stored.height, scale));
}

bool TitleBarReachableIn(const PixelRect& window, std::int32_t titleBarHeight,
                         const PixelRect& area)
{
    if (window.top < area.top || std::int64_t{window.top} + titleBarHeight > area.bottom)
    {
        return false;
    }
    const std::int64_t width = std::int64_t{window.right} - window.left;
    return Overlap(window.left, window.right, area.left, area.right) >=
           std::min<std::int64_t>(kReachableTitleBarPixels, width);
}

// The start of a span of the given size moved as little as possible to lie within low..high;
// low when it is larger than that.
std::int64_t Fit(std::int64_t start, std::int64_t size, std::int64_t low, std::int64_t high)
{
    if (size >= high - low)
    {
        return low;
    }
    return std::clamp(start, low, high - size);
}

PixelRect FitInto(const PixelRect& window, const PixelRect& area)
{
    const std::int64_t width = std::int64_t{window.right} - window.left;
    const std::int64_t height = std::int64_t{window.bottom} - window.top;
    return RectAt(Fit(window.left, width, area.left, area.right),
                  Fit(window.top, height, area.top, area.bottom), width, height);
}

} // namespace

WindowGeometry StoredGeometryOf(const WindowPixels& window, int systemDpi)
{
    const std::int64_t positionScale = TwipsPerPixel(systemDpi);
    const std::int64_t lengthScale = TwipsPerPixel(window.dpi);
    const PixelRect& r = window.rect;
    return WindowGeometry{Clamp32(r.left * positionScale), Clamp32(r.top * positionScale),
                          Clamp32((std::int64_t{r.right} - r.left) * lengthScale),
                          Clamp32((std::int64_t{r.bottom} - r.top) * lengthScale)};
}

WindowPixels PlaceStoredWindow(const WindowGeometry& stored, const DisplayAreas& displays)
{
    const std::int32_t systemScale = TwipsPerPixel(displays.systemDpi);
    const std::int64_t left = PixelsOf(stored.left, systemScale);
    const std::int64_t top = PixelsOf(stored.top, systemScale);
    if (displays.monitors.empty())
    {
        return WindowPixels{SizedAt(stored, left, top, displays.systemDpi), displays.systemDpi};
    }
    const Monitor* covering = CoveringMost(displays, [&](const Monitor& monitor)
                                           { return SizedAt(stored, left, top, monitor.dpi); });
    const Monitor& monitor = covering ? *covering : Nearest(displays, RectAt(left, top, 0, 0));
    WindowPixels placed{SizedAt(stored, left, top, monitor.dpi), monitor.dpi};
    const bool reachable = std::any_of(
        displays.monitors.begin(), displays.monitors.end(),
        [&](const Monitor& on)
        { return TitleBarReachableIn(placed.rect, monitor.titleBarHeight, on.workArea); });
    if (!reachable)
    {
        placed.rect = FitInto(placed.rect, monitor.workArea);
    }
    return placed;
}

const Monitor& MonitorHolding(const DisplayAreas& displays, const PixelRect& rect)
{
    const Monitor* covering = CoveringMost(displays, [&](const Monitor&) { return rect; });
    return covering ? *covering : Nearest(displays, rect);
}

PixelRect CentredIn(const PixelRect& workArea, std::int32_t width, std::int32_t height)
{
    const std::int64_t left =
        workArea.left + (std::int64_t{workArea.right} - workArea.left - width) / 2;
    const std::int64_t top =
        workArea.top + (std::int64_t{workArea.bottom} - workArea.top - height) / 2;
    return FitInto(RectAt(left, top, width, height), workArea);
}

} // namespace mirufon
