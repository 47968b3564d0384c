#pragma once

#include "capture/ElementReader.h"
#include "platform/win32/window/Handles.h"

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

// The kind of control a window class stands for, as far as reading it goes (case ignored):
// Edit and RichEdit*, ComboBox, ListBox and ComboLBox, SysListView32, SysTreeView32,
// SysHeader32, msctls_statusbar32; anything else is Other.
ControlKind KindOfClass(const wchar_t* className);

// Whether the window is an edit box that shows its text as a password, as the window manager
// sees it now. Such a box is never sent anything that could give its text away.
bool IsPasswordEdit(HWND window);

// The window's class name ("" when the window is gone).
std::wstring ClassNameOf(HWND window);

} // namespace mirufon::win32
