#pragma once

#include "platform/win32/window/Handles.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace mirufon::win32
{

// The longest texts a read takes from a control, whatever it was asked for: sane bounds on
// what a misbehaving control can make this program allocate. A window text says its length
// before it is read, so a long one costs no more than it is; an item's text is read into
// buffers that grow until it fits.
inline constexpr std::size_t kMaxWindowTextChars = std::size_t{16} << 20;
inline constexpr std::size_t kMaxItemTextChars = std::size_t{1} << 20;

// The window messages of one read of a control, which may belong to another program. Each
// message waits for the answer no longer than the limit, whether or not the system considers
// the control's thread hung (it does so only after seconds without pumping). Once a message
// goes unanswered the control is not asked again during this read: every later message fails
// at once, so that a stuck control costs one limit and no more.
class ControlMessenger
{
  public:
    ControlMessenger(HWND control, std::chrono::milliseconds limit);
    ControlMessenger(const ControlMessenger&) = delete;
    ControlMessenger& operator=(const ControlMessenger&) = delete;

    HWND Control() const { return m_control; }
    // The control's answer; nothing when it did not answer within the limit, is gone, or an
    // earlier message of this read went unanswered.
    std::optional<LRESULT> Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Whether a message of this read went unanswered.
    bool Unanswered() const { return m_unanswered; }

    // The control's window text (WM_GETTEXT), at most maxChars characters of it. A limited
    // read asks for no more than it wants; a longer one asks the length first.
    std::optional<std::wstring> WindowText(std::size_t maxChars);

  private:
    HWND m_control;
    UINT m_limitMs;
    bool m_unanswered = false;
};

// The text as a control that draws ampersand prefixes shows it: "&&" shows as "&", and a
// single "&" only underlines the character after it (one at the very end shows nothing).
std::wstring WithoutPrefixMarks(std::wstring_view text);

// Whether the control draws its caption with ampersand prefixes: buttons, and static
// controls without SS_NOPREFIX.
bool DrawsPrefixes(HWND control);

// The control's window text as it shows it, at most maxChars characters: without the
// ampersand marks where it draws prefixes. "" when it does not answer.
std::wstring ShownCaption(ControlMessenger& messenger, std::size_t maxChars);

} // namespace mirufon::win32
