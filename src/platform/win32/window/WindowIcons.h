#pragma once

#include "platform/win32/window/Handles.h"

namespace mirufon::win32
{

// The program's icon (resource 1 of the executable) at a size in pixels: the icon's own image
// of that size, or the nearest one scaled when it has none. Null when the module has no icon.
UniqueIcon LoadProgramIcon(HINSTANCE instance, int size);

// A window's icons (its title bar and the taskbar take the small one, the task switcher the
// large one) at the sizes of the scale it is drawn at, so that neither is a 16 or 32 pixel
// image stretched. The window must go before this object.
class WindowIcons
{
  public:
    // Gives the window the program's icons for the scale, and lets go of the earlier ones.
    void Apply(HWND window, HINSTANCE instance, int dpi);

  private:
    UniqueIcon m_small;
    UniqueIcon m_large;
};

} // namespace mirufon::win32
