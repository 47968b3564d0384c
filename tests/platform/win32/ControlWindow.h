#pragma once

// A topmost window of the test's own with controls placed at client positions, and the screen
// points of the controls' items, for the readers' tests. Everything lives on the thread that
// creates it.

#include "platform/win32/Handles.h"

#include <commctrl.h>

#include <chrono>
#include <functional>
#include <initializer_list>

namespace mirufon::win32::testing
{

class ControlWindow
{
  public:
    explicit ControlWindow(POINT position = POINT{40, 40}, SIZE size = SIZE{640, 520});
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;
    ~ControlWindow();

    HWND Handle() const { return m_window; }
    // A visible child (of the window, or of parent) with the class, text and style.
    HWND Add(const wchar_t* className, const wchar_t* text, DWORD style, RECT place,
             HWND parent = nullptr) const;

  private:
    HWND m_window = nullptr;
};

POINT CentreOf(HWND window);
// The centre of a rectangle given in the window's client coordinates, on the screen.
POINT ScreenCentre(HWND window, RECT client);

POINT ListBoxItemCentre(HWND listBox, int index);
POINT ListViewCellCentre(HWND listView, int item, int subItem);
POINT TreeItemCentre(HWND treeView, HTREEITEM item);
POINT HeaderItemCentre(HWND header, int index);
POINT StatusPartCentre(HWND statusBar, int part);

HTREEITEM AddTreeItem(HWND treeView, HTREEITEM parent, const wchar_t* text);
void AddListViewColumns(HWND listView, std::initializer_list<const wchar_t*> headings);
void AddListViewRow(HWND listView, int row, std::initializer_list<const wchar_t*> cells);

// Polls the condition, pumping this thread's messages in between, until it holds or the time
// is up; true when it held.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

} // namespace mirufon::win32::testing
