#pragma once

#include "capture/Harvest.h"
#include "platform/win32/reading/MessageReader.h"
#include "platform/win32/window/Handles.h"

#include <chrono>

namespace mirufon::win32
{

// Harvests what lies under the screen point into the sink, as one item's worth of lines:
// - over a list box, combo box (or its edit), drop-down list, list view, tree view, header,
//   status bar or tab control: its items, asked by its own window messages (HarvestControl);
// - over anything else, or a common control of a program of another bitness: the list,
//   outline or table that Active Accessibility finds at or above the point;
// - failing that: the texts of the top-level window under the point (HarvestWindowTexts).
// Each window message is answered within messageLimit or the harvest ends NotAnswering, its
// lines not to be used; Refused when the program refuses to be read (it runs as
// administrator); NothingToRead when no window lies there, over an owner-drawn list that
// keeps no strings, or when there was no line at all; Cancelled when the sink's progress says
// so. A control that goes away while it is read ends its part: what was read stands. Accessibility
// calls wait on the other program for as long as it takes: run this on a worker, with COM
// initialised (multithreaded, as the read workers have it), and give up on it by a deadline that
// grows as items arrive. Never throws. windowAtPoint is the window the pointer probe found there.
HarvestOutcome HarvestAt(HWND windowAtPoint, POINT screen, HarvestSink& sink,
                         std::chrono::milliseconds messageLimit = kControlMessageLimit) noexcept;

} // namespace mirufon::win32
