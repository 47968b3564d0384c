#pragma once

#include "capture/ControlKind.h"
#include "capture/ReadTarget.h"
#include "platform/win32/window/Handles.h"

#include <chrono>
#include <cstddef>
#include <string>

namespace mirufon::win32
{

// The control at a screen point, found from the top-level window there: among the visible
// children that contain the point, the one with the smallest area, level by level down to a
// window with no such child (the top-level window itself when it has none there). Group
// boxes are passed over, as they often cover a whole page of controls that are not their
// children; their own children are still looked at. Disabled windows count, though
// WindowFromPoint passes them by. Only asks the window manager, never another thread's windows
// (the system's hit test sends WM_NCHITTEST to the calling thread's own windows alone), so it
// is cheap and cannot block. control is 0 when there is no window at the point.
// windowAtPoint is the window the pointer probe found there (WindowFromPoint), so that the
// point is resolved to a window once per read; the overload without it looks it up.
ReadTarget TargetAt(HWND windowAtPoint, POINT screen, std::size_t maxChars);
ReadTarget TargetAt(POINT screen, std::size_t maxChars);

ControlKind KindOfWindow(HWND window);

// Whether the window is a password box, of any toolkit: its style has ES_PASSWORD and it tells
// a password character when asked (EM_GETPASSWORDCHAR, answered within the limit; one that
// does not answer is taken for one). Other classes answer 0, whatever their style bit means to
// them. Such a box is never sent anything that could give its text away.
bool IsPasswordBox(HWND window, std::chrono::milliseconds limit);

// The point of the window's client area under a screen point, in the window's own units. This
// program is per-monitor aware and sees the screen in physical pixels; a window of a program
// that is not (unaware or system aware, on a scaled monitor) reads the points of its messages
// in its own logical units.
POINT ClientPointOf(HWND window, POINT screen);

// The window's class name ("" when the window is gone).
std::wstring ClassNameOf(HWND window);

} // namespace mirufon::win32
