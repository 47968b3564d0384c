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
    SetPosition(layout.lbl0.left, 6 * px);
    SetPosition(layout.lbl1.left, 6 * px);

    // 2. The key band hangs at the right, 3 pixels past the client's right edge.
    SetPosition(layout.frKey.top, 0);
    SetPosition(layout.frKey.left, width - layout.frKey.width + 3 * px);
    SetExtent(layout.frKey.height, 2 * std::int64_t{layout.txtDt0.height});

    // 3. The preview band fills the top left up to the key band.
    SetPosition(layout.frValue.top, 0);
    SetPosition(layout.frValue.left, 0);
    SetExtent(layout.frValue.width,
              std::int64_t{layout.frKey.left} - std::int64_t{layout.frValue.left});
    SetExtent(layout.frValue.height, 2 * std::int64_t{layout.txtDt0.height});

    // 4. and 5. The coloured strips start right of the captions and reach the band's edge.
    SetPosition(layout.lblDt0.left, std::int64_t{layout.lbl0.left} + layout.lbl0.width);
    SetExtent(layout.lblDt0.width,
              std::int64_t{layout.frValue.width} - std::int64_t{layout.lblDt0.left});
    SetPosition(layout.lblDt1.left, layout.lblDt0.left);
    SetExtent(layout.lblDt1.width, layout.lblDt0.width);

    // 6. and 7. The preview boxes sit inside their strips.
    SetPosition(layout.txtDt0.top, layout.lblDt0.top + 4 * py);
    SetExtent(layout.txtDt0.height, layout.lblDt0.height - 4 * py);
    SetPosition(layout.txtDt0.left, layout.lblDt0.left + 3 * px);
    SetExtent(layout.txtDt0.width, layout.lblDt0.width - 6 * px);
    SetPosition(layout.txtDt1.top, layout.lblDt1.top + 2 * py);
    SetExtent(layout.txtDt1.height, layout.lblDt1.height - 2 * py);
    SetPosition(layout.txtDt1.left, layout.txtDt0.left);
    SetExtent(layout.txtDt1.width, layout.txtDt0.width);

    // 8. The log's frame takes everything under the preview band.
    SetPosition(layout.frDescription.left, 0);
    SetPosition(layout.frDescription.top, layout.frValue.height);
    SetExtent(layout.frDescription.width, width);
    SetExtent(layout.frDescription.height, height - layout.frDescription.top);

    // 9. The log is inset 6 pixels at the top left and touches the frame's other edges.
    SetPosition(layout.txtDescription.left, 6 * px);
    SetPosition(layout.txtDescription.top, 6 * py);
    SetExtent(layout.txtDescription.width, layout.frDescription.width - 6 * px);
    SetExtent(layout.txtDescription.height, layout.frDescription.height - 6 * py);

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
