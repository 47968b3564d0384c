#include "hotkeys/RunState.h"

namespace mirufon
{

std::optional<bool> RunFromCaption(std::wstring_view caption)
{
    if (caption == kRunningCaption)
    {
        return false;
    }
    if (caption == kStoppedCaption)
    {
        return true;
    }
    return std::nullopt;
}

std::wstring_view CaptionFor(bool running)
{
    return running ? kRunningCaption : kStoppedCaption;
}

bool IsRunningCaption(std::wstring_view caption)
{
    return caption == kRunningCaption;
}

} // namespace mirufon
