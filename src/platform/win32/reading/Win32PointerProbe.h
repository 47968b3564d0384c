#pragma once

#include "platform/PointerProbe.h"
#include "platform/win32/window/Handles.h"

namespace mirufon::win32
{

// The pointer and the window under it, seen from the main window's thread. WindowFromPoint
// asks only windows of the calling thread for hit tests, so a program that does not answer
// cannot hold this up.
class Win32PointerProbe final : public PointerProbe
{
  public:
    explicit Win32PointerProbe(HWND mainWindow) : m_mainWindow(mainWindow) {}
    PointerTarget Current() override;
    PointerPosition Position() override;

  private:
    HWND m_mainWindow;
};

} // namespace mirufon::win32
