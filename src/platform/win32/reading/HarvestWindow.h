#pragma once

#include "capture/Harvest.h"
#include "platform/win32/reading/ControlSession.h"

#include <chrono>

namespace mirufon::win32
{

// Adds the texts of a top-level window to the sink: its title first, then the texts of its
// visible controls (visible, and inside their parents' client areas) in reading order, one per
// line: captions as they show (without their "&" marks), group-box captions included, a combo
// box's current text, and for a list box, list view, tree view, header, status bar or tab
// control its items as HarvestControl gives them. Blank texts are left out (they count toward
// the limits); a password box is sent nothing that could give its text away. NotAnswering as
// soon as a window leaves a message unanswered, Refused when one refuses to be read; a control
// that goes away meanwhile only ends its own part.
ControlRead HarvestWindowTexts(HWND topLevel, HarvestSink& sink, ReadMemory& memory,
                               std::chrono::milliseconds messageLimit);

} // namespace mirufon::win32
