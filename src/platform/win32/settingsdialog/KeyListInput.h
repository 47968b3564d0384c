#pragma once

#include "platform/win32/window/Handles.h"

#include <functional>
#include <optional>

namespace mirufon::win32
{

// The duplicate test the dialog runs before the focus moves to target (null: wherever a key
// moves it); true when the move is refused.
using FocusChangeGuard = std::function<bool(HWND target)>;

// A key list of the settings dialog takes no keyboard input: a letter is picked with the
// mouse from the open list.
// - Tab and Shift+Tab move the focus on, after the duplicate test; the list asks for Tab
//   itself, so that IsDialogMessage leaves the move (and the test) to it.
// - Escape closes an open list without a change; Enter does the same, since it would pick the
//   entry under the pointer. With the list closed, IsDialogMessage turns them into "Cancel"
//   and "OK" before they reach the list.
// - Every other key and character, Alt+Up and Alt+Down (which open the list) included, is
//   dropped, and so is the mouse wheel, which would step through the letters of a closed list.
// - A click on the list runs the duplicate test first.
// A result consumes the message; nothing passes it on to the list.
std::optional<LRESULT> OnKeyListMessage(HWND dialog, const FocusChangeGuard& refuse, HWND list,
                                        UINT message, WPARAM wParam, LPARAM lParam);

// Every other control that takes the focus on a click: the click is dropped while the
// focused key list clashes, so the button does not act, the box does not toggle and the list
// does not open.
std::optional<LRESULT> OnFocusGateMessage(const FocusChangeGuard& refuse, HWND control,
                                          UINT message);

} // namespace mirufon::win32
