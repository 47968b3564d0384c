#pragma once

#include "capture/Harvest.h"
#include "platform/win32/window/Handles.h"

namespace mirufon::win32
{

// Harvests, through Active Accessibility, the list, outline or table that the element at the
// screen point is or lies in (HarvestAccessible): where lists of programs that draw their own
// controls, and of Windows' own, can be read. False when there is none; nothing is added
// then. control is the control at the point: a list view's column headings are asked of its
// header. Every call waits on the other program for as long as it takes: run it on a worker.
// COM must be initialised on the calling thread.
bool HarvestAccessibleAt(POINT screen, HWND control, HarvestSink& sink);

} // namespace mirufon::win32
