#pragma once

// The driver's own way into the controls of another program: their window messages, with
// memory of that program for the messages that take pointers. Every message waits at most a
// few seconds, so a program that stops answering fails a test instead of stalling it.

#include "e2e/harness/Harness.h"
#include "platform/win32/reading/RemoteMemory.h"

#include <commctrl.h>

#include <optional>
#include <string>

namespace e2e
{

class RemoteControls
{
  public:
    // For the controls of the program that owns the window.
    explicit RemoteControls(HWND anyWindow);

    // Whether that program's memory could be opened (same bitness as the driver).
    bool Ready() const { return m_ready; }

    std::optional<LRESULT> Send(HWND control, UINT message, WPARAM wParam = 0,
                                LPARAM lParam = 0) const;

    // Tree views: the first root item or the first child, the next sibling, an item's text,
    // and its label's rectangle in the tree's client coordinates.
    HTREEITEM TreeChild(HWND tree, HTREEITEM parent) const;
    HTREEITEM TreeNext(HWND tree, HTREEITEM item) const;
    std::wstring TreeItemText(HWND tree, HTREEITEM item) const;
    std::optional<RECT> TreeItemRect(HWND tree, HTREEITEM item) const;

    // List views: the number of items, a cell's text, and a cell's rectangle in the list's
    // client coordinates (column 0: the item's label).
    int ListViewCount(HWND list) const;
    std::wstring ListViewText(HWND list, int item, int column) const;
    std::optional<RECT> ListViewCellRect(HWND list, int item, int column) const;
    // The first item whose text in the column is the text, case ignored; -1 when none.
    int FindListViewItem(HWND list, const std::wstring& text, int column = 0) const;

  private:
    // A block in that program's memory, of the given size; empty when it cannot be had.
    mirufon::win32::RemoteBlock Block(std::size_t bytes) const;

    HWND m_window;
    bool m_ready;
};

// The centre of the part of a client rectangle of the window that lies inside its client
// area, on the screen; nothing when no part of it does (a cell scrolled or sized out of view).
std::optional<POINT> VisibleCentreOf(HWND window, const RECT& client);

} // namespace e2e
