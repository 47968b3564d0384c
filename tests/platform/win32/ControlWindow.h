#pragma once

// A topmost window of the test's own with controls placed at client positions, and the screen
// points of the controls' items, for the readers' tests. Everything lives on the thread that
// creates it.

#include "platform/win32/window/Handles.h"
#include "support/ControlItems.h"

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

// The item helpers, under the names these tests have always used.
using testsupport::AddListViewColumns;
using testsupport::AddListViewRow;
using testsupport::AddTreeItem;
using testsupport::CentreOf;
using testsupport::EditClassOfAnotherToolkit;
using testsupport::HeaderItemCentre;
using testsupport::ListBoxItemCentre;
using testsupport::ListViewCellCentre;
using testsupport::ScreenCentre;
using testsupport::StatusPartCentre;
using testsupport::TreeItemCentre;

// Polls the condition, pumping this thread's messages in between, until it holds or the time
// is up; true when it held.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

} // namespace mirufon::win32::testing
