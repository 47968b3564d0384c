#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mirufon
{

// The message window: a small borderless, topmost window that shows a text for a while and
// then shrinks away towards its bottom-right corner. Lengths are in twips.

constexpr std::int32_t kMessageWindowWidth = 4680;
// The message label's top edge; the window's height is measured from it.
constexpr std::int32_t kMessageLabelTop = 90;
constexpr std::int32_t kMessageLineHeight = 500;
constexpr std::int32_t kMessageBottomMargin = 200;

// How long the start message stays before the window closes itself.
constexpr std::int32_t kStartMessageDurationMs = 1500;

// The number of non-overlapping occurrences of part in text, scanning from the start and
// comparing characters exactly ("aaa" holds "aa" once). An empty part occurs nowhere: 0.
std::int32_t CountOccurrences(std::wstring_view text, std::wstring_view part);

// Window height for a text: the label's top, 500 per line (lines are CR LF separated) and a
// bottom margin. Saturates at the largest 32-bit value for absurdly long texts.
std::int32_t MessageWindowHeight(std::wstring_view text);

// The message shown when the program starts in the notification area: the title, an empty
// line, then the notice.
std::wstring StartMessageText();

// A message is shown unless the "custom msg" setting is 0.
bool ShouldShowMessage(std::int32_t customMsg);

// The window closes itself only after a positive display time; otherwise it stays.
bool StartsCloseTimer(std::int32_t durationMs);

// A window's place for the closing animation, in any one unit (the window uses pixels).
struct ZoomFrame
{
    std::int32_t left;
    std::int32_t top;
    std::int32_t width;
    std::int32_t height;

    friend bool operator==(const ZoomFrame&, const ZoomFrame&) = default;
};

// The closing animation shrinks the window in 19 steps, from 19/20 of its size down to 1/20,
// one step per 10 ms tick.
constexpr int kZoomFirstStep = 19;
constexpr int kZoomStepMs = 10;

// The window's place at a step (19 down to 1) of the animation: step/20 of the full width and
// height, placed so that the right and bottom edges stay exactly where they were. A negative
// size counts as 0; a left or top edge beyond 32 bits is clamped.
ZoomFrame ZoomStepFrame(const ZoomFrame& full, int step);

} // namespace mirufon
