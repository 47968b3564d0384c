#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mirufon
{

// The notification-area icon's identifier; the window and this id name the icon to the shell.
constexpr unsigned kTrayIconId = 1;

// Mouse events the shell reports for the icon (the low word of the callback's lParam).
constexpr unsigned kTrayLeftDoubleClick = 0x203; // WM_LBUTTONDBLCLK
constexpr unsigned kTrayRightButtonDown = 0x204; // WM_RBUTTONDOWN

// When the shell does not take the icon (its taskbar still starting, or too busy to answer in
// time) it is offered again every second, ten times; if the shell still has not taken it, the
// window comes out, so that the program is never out of reach.
constexpr std::int64_t kTrayIconRetryMs = 1000;
constexpr int kTrayIconRetries = 10;

enum class TrayAction
{
    None,
    OpenSettings,
    ShowPopupMenu,
};

// What a mouse event on the icon does: a left double click opens the settings dialog, pressing
// the right button opens the pop-up menu; every other event (a single click, a button release,
// a move) does nothing.
TrayAction TrayActionFor(unsigned mouseEvent);

// The icon's tip as the shell's fixed tip buffer of `capacity` characters takes it: the title,
// cut to capacity - 1 characters to leave room for the terminating NUL, without padding. The
// cut never separates a high surrogate from the low surrogate after it (UTF-16 text); it
// drops the whole pair instead. A capacity of 0 or 1 gives an empty tip.
std::wstring TrayTip(std::wstring_view title, std::size_t capacity);

} // namespace mirufon
