#pragma once

// The user's hands: pointer moves, clicks, key chords and typed text, all through SendInput so
// that they take the same road as real input (global hotkeys, focus, hit tests).
//
// Each function pumps this thread's messages for a moment after the input, so that windows of
// the driver's own (TargetWindow) see it before the function returns, and returns false when
// the system refused the input (or the pointer did not end on the point). Nothing here waits
// for another program to react: follow with WaitUntil.

#include "e2e/harness/Harness.h"

#include <functional>
#include <initializer_list>
#include <string_view>

namespace e2e
{

// Dispatches this thread's messages for the given time (at least one pass).
void PumpMessages(std::chrono::milliseconds duration);

// Puts the pointer on the screen point through a real mouse move, so that the system and the
// window under it see the movement, and makes sure it ends exactly there.
bool MovePointer(POINT screen);

// Presses the modifiers in order, presses and releases the key, then releases the modifiers in
// reverse order. Modifiers are virtual keys such as VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN.
bool PressChord(std::initializer_list<WORD> modifiers, WORD key);

// Holds the chord down while whileHeld runs, the key going down again repeats times as a
// keyboard repeats it (the first after a quarter of a second, Windows' shortest delay), then
// lets go of it whatever whileHeld did, and pauses as long; false when the system refused the
// input.
bool HoldChord(std::initializer_list<WORD> modifiers, WORD key, int repeats,
               const std::function<void()>& whileHeld);

// Moves the pointer to the point and clicks the left (or right) button there.
bool ClickAt(POINT screen, bool right = false);
bool DoubleClickAt(POINT screen);

// Types the text into the window with the keyboard focus, one UTF-16 unit at a time as
// Unicode keystrokes (VK_PACKET, which TranslateMessage turns into WM_CHAR), so any character
// comes through whatever the keyboard layout; a surrogate pair arrives as its two halves.
bool TypeText(std::wstring_view text);

// Whether some window, of any process on this desktop, holds the global hotkey: the driver
// tries to register it for itself and, when that works, gives it back at once.
bool IsHotkeyTaken(UINT modifiers, UINT virtualKey);

} // namespace e2e
