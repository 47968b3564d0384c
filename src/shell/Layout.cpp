#include "shell/Layout.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace mirufon
{
namespace
{

constexpr std::int32_t kTwipsPerInch = 1440;

bool FitsInt32(std::int64_t value)
{
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

// A left or top: any value the control can hold.
void SetPosition(std::int32_t& target, std::int64_t value)
{
    if (!FitsInt32(value))
    {
        return;
    }
    target = static_cast<std::int32_t>(value);
}

// A width or height: a negative value is refused and the old one stays.
void SetExtent(std::int32_t& target, std::int64_t value)
{
    if (value < 0 || !FitsInt32(value))
    {
        return;
    }
    target = static_cast<std::int32_t>(value);
}

} // namespace

MainLayout LayoutMainWindow(const MainLayout& current, std::int32_t clientWidth,
                            std::int32_t clientHeight, std::int32_t twipsPerPixelX,
                            std::int32_t twipsPerPixelY)
{
    // All arithmetic in 64 bits, so that no input can overflow before the range checks.
    const std::int64_t px = twipsPerPixelX;
    const std::int64_t py = twipsPerPixelY;
    const std::int64_t width = clientWidth;
    const std::int64_t height = clientHeight;
    MainLayout layout = current;

    // 1. The preview captions sit 6 pixels in from the band's left edge.
    SetPosition(layout.nameCaption.left, 6 * px);
    SetPosition(layout.valueCaption.left, 6 * px);

    // 2. The key band hangs at the right, 3 pixels past the client's right edge.
    SetPosition(layout.keyBand.top, 0);
    SetPosition(layout.keyBand.left, width - layout.keyBand.width + 3 * px);
    SetExtent(layout.keyBand.height, 2 * std::int64_t{layout.nameBox.height});

    // 3. The preview band fills the top left up to the key band.
    SetPosition(layout.previewBand.top, 0);
    SetPosition(layout.previewBand.left, 0);
    SetExtent(layout.previewBand.width,
              std::int64_t{layout.keyBand.left} - std::int64_t{layout.previewBand.left});
    SetExtent(layout.previewBand.height, 2 * std::int64_t{layout.nameBox.height});

    // 4. and 5. The coloured strips start right of the captions and reach the band's edge.
    SetPosition(layout.nameStrip.left,
                std::int64_t{layout.nameCaption.left} + layout.nameCaption.width);
    SetExtent(layout.nameStrip.width,
              std::int64_t{layout.previewBand.width} - std::int64_t{layout.nameStrip.left});
    SetPosition(layout.valueStrip.left, layout.nameStrip.left);
    SetExtent(layout.valueStrip.width, layout.nameStrip.width);

    // 6. and 7. The preview boxes sit inside their strips.
    SetPosition(layout.nameBox.top, layout.nameStrip.top + 4 * py);
    SetExtent(layout.nameBox.height, layout.nameStrip.height - 4 * py);
    SetPosition(layout.nameBox.left, layout.nameStrip.left + 3 * px);
    SetExtent(layout.nameBox.width, layout.nameStrip.width - 6 * px);
    SetPosition(layout.valueBox.top, layout.valueStrip.top + 2 * py);
    SetExtent(layout.valueBox.height, layout.valueStrip.height - 2 * py);
    SetPosition(layout.valueBox.left, layout.nameBox.left);
    SetExtent(layout.valueBox.width, layout.nameBox.width);

    // 8. The log's frame takes everything under the preview band.
    SetPosition(layout.logFrame.left, 0);
    SetPosition(layout.logFrame.top, layout.previewBand.height);
    SetExtent(layout.logFrame.width, width);
    SetExtent(layout.logFrame.height, height - layout.logFrame.top);

    // 9. The log is inset 6 pixels at the top left and touches the frame's other edges.
    SetPosition(layout.logBox.left, 6 * px);
    SetPosition(layout.logBox.top, 6 * py);
    SetExtent(layout.logBox.width, layout.logFrame.width - 6 * px);
    SetExtent(layout.logBox.height, layout.logFrame.height - 6 * py);

    return layout;
}

std::int32_t TwipsPerPixel(int dotsPerInch)
{
    if (dotsPerInch <= 0)
    {
        return kDefaultTwipsPerPixel;
    }
    // The default rounding mode rounds halves to the even neighbour. Above 2880 dpi the
    // quotient would round to 0, which no pixel measures; one twip is the least there is.
    const double exact = static_cast<double>(kTwipsPerInch) / dotsPerInch;
    const auto rounded = static_cast<std::int32_t>(std::nearbyint(exact));
    return rounded < 1 ? 1 : rounded;
}

} // namespace mirufon
