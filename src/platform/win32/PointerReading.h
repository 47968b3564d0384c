#pragma once

#include "platform/PointerProbe.h"
#include "platform/win32/Handles.h"

namespace mirufon::win32
{

// Whether the point lies over the window or any of its children: the top-level window under
// the point, found as a walk up the parent chain finds it (the first ancestor, or the window
// itself, that is a child of the desktop), is that window. No window under the point counts
// as outside.
bool IsOverWindow(POINT screen, HWND topLevel);

// The pointer and the window under it, seen from the main window's thread. WindowFromPoint
// asks only windows of the calling thread for hit tests, so a program that does not answer
// cannot hold this up.
class Win32PointerProbe final : public PointerProbe
{
  public:
    explicit Win32PointerProbe(HWND mainWindow) : m_mainWindow(mainWindow) {}
    PointerTarget Current() override;

  private:
    HWND m_mainWindow;
};

} // namespace mirufon::win32
