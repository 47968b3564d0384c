#pragma once

#include <optional>
#include <string_view>

namespace mirufon
{

// The running state lives in the caption of the stop/resume menu item: while capture runs the
// item offers to stop, while stopped it offers to resume. No other variable holds the state.
inline constexpr std::wstring_view kRunningCaption = L"停止";
inline constexpr std::wstring_view kStoppedCaption = L"再開";

// What the stop/resume command does for the item's present caption: "停止" asks for the
// stopped state (false), "再開" for the running state (true); any other caption does nothing.
std::optional<bool> RunFromCaption(std::wstring_view caption);

// The caption the item shows in a state.
std::wstring_view CaptionFor(bool running);

// Whether the caption says capture is running, i.e. whether all five hotkeys belong
// registered (the settings dialog re-registers by this when it closes).
bool IsRunningCaption(std::wstring_view caption);

} // namespace mirufon
