#include "shell/TransientMessage.h"

#include "shell/AppInfo.h"
#include "text/UiText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace mirufon
{
namespace
{

constexpr int kZoomSteps = 20;

std::int32_t ClampToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

std::int32_t CountOccurrences(std::wstring_view text, std::wstring_view part)
{
    // An empty part would match at every position without ever advancing.
    if (part.empty())
    {
        return 0;
    }
    std::int32_t count = 0;
    std::size_t pos = text.find(part);
    while (pos != std::wstring_view::npos && count < std::numeric_limits<std::int32_t>::max())
    {
        ++count;
        pos = text.find(part, pos + part.size());
    }
    return count;
}

std::int32_t MessageWindowHeight(std::wstring_view text)
{
    const std::int64_t lines = std::int64_t{CountOccurrences(text, L"\r\n")} + 1;
    return ClampToInt32(kMessageLabelTop + lines * kMessageLineHeight + kMessageBottomMargin);
}

std::wstring StartMessageText()
{
    std::wstring text = GetAppTitle();
    text += L"\r\n";
    text += L"\r\n";
    text += Text(UiText::TrayNotice);
    return text;
}

bool ShouldShowMessage(std::int32_t customMsg)
{
    return customMsg != 0;
}

bool StartsCloseTimer(std::int32_t durationMs)
{
    return durationMs > 0;
}

ZoomFrame ZoomStepFrame(const ZoomFrame& full, int step)
{
    // 64-bit throughout: width * 19 and left + width can leave the 32-bit range.
    const std::int64_t width = std::max<std::int32_t>(full.width, 0);
    const std::int64_t height = std::max<std::int32_t>(full.height, 0);
    const std::int64_t right = full.left + width;
    const std::int64_t bottom = full.top + height;
    // Each fraction is at most the full size, so it fits 32 bits.
    const auto stepWidth = static_cast<std::int32_t>(width * step / kZoomSteps);
    const auto stepHeight = static_cast<std::int32_t>(height * step / kZoomSteps);
    return ZoomFrame{ClampToInt32(right - stepWidth), ClampToInt32(bottom - stepHeight), stepWidth,
                     stepHeight};
}

} // namespace mirufon
