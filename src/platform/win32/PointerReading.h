#pragma once

#include "platform/PointerText.h"
#include "platform/TextBox.h"
#include "platform/win32/Handles.h"

namespace mirufon::win32
{

// Whether the point lies over the window or any of its children: the top-level window under
// the point, found as a walk up the parent chain finds it (the first ancestor, or the window
// itself, that is a child of the desktop), is that window. No window under the point counts
// as outside.
bool IsOverWindow(POINT screen, HWND topLevel);

// One tick of the pointer preview: the accessible name and value under the pointer into the
// two boxes, or both emptied while the pointer is over the main window. A box is written only
// when its text changes, so a resting pointer costs no repaint.
void PreviewTick(HWND mainWindow, TextBox& nameBox, TextBox& valueBox);

// The accessible name or value under the pointer, through Active Accessibility; nothing over
// the main window.
class Win32PointerText final : public PointerText
{
  public:
    explicit Win32PointerText(HWND mainWindow) : m_mainWindow(mainWindow) {}
    std::optional<std::wstring> ReadUnderPointer(PointTarget target) override;

  private:
    HWND m_mainWindow;
};

} // namespace mirufon::win32
