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

// Why a message to a control brought no answer.
enum class MessageFailure
{
    NotAnswering, // not within the limit, or its thread is hung
    Refused,      // the system would not deliver it: the program runs as administrator
    Gone,         // the control no longer exists
};

// The window messages of one read of a control, which may belong to another program. Each
// message waits for the answer no longer than the limit, whether or not the system considers
// the control's thread hung (it does so only after seconds without pumping). Once a message
// fails the control is not asked again during this read: every later message fails at once,
// so that a stuck control costs one limit and no more.
class ControlMessenger
{
  public:
    ControlMessenger(HWND control, std::chrono::milliseconds limit);
    ControlMessenger(const ControlMessenger&) = delete;
    ControlMessenger& operator=(const ControlMessenger&) = delete;

    HWND Control() const { return m_control; }
    // The control's answer; nothing when this or an earlier message of the read failed.
    std::optional<LRESULT> Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Why a message of this read failed, if one did.
    std::optional<MessageFailure> Failure() const { return m_failure; }
    bool Failed() const { return m_failure.has_value(); }
    // Whether a message of this read went unanswered: the control may still act on it later.
    bool Unanswered() const { return m_failure == MessageFailure::NotAnswering; }

    // The control's window text (WM_GETTEXT), at most maxChars characters of it, up to its
    // first NUL. A limited read asks for no more than it wants; a longer one asks the length
    // first.
    std::optional<std::wstring> WindowText(std::size_t maxChars);

  private:
    HWND m_control;
    UINT m_limitMs;
    std::optional<MessageFailure> m_failure;
};

// The text as a control that draws ampersand prefixes shows it: "&&" shows as "&", and a
// single "&" only underlines the character after it (one at the very end shows nothing).
std::wstring WithoutPrefixMarks(std::wstring_view text);

// The control's window text as it shows it, at most maxChars characters: without the
// ampersand marks where it draws prefixes. "" when it does not answer.
std::wstring ShownCaption(ControlMessenger& messenger, std::size_t maxChars);

} // namespace mirufon::win32
