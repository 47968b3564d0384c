#pragma once

// Making the controls of a test window, filling the common controls with items, and the screen
// points of those items: shared by the readers' tests and the end-to-end item targets.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <initializer_list>

namespace testsupport
{

// Registers a class of test windows: the procedure, the arrow, the dialog face. Once; again only
// fails.
inline void RegisterTestClass(const wchar_t* name, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    ::RegisterClassExW(&windowClass);
}

// A topmost top-level window with a caption, for the common controls the tests place in it
// (registered, and the common controls initialised, on first use).
inline HWND AddFrame(const wchar_t* title, POINT at, SIZE size)
{
    static const wchar_t* const frameClass = []
    {
        INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX),
                                    ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                        ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&common);
        RegisterTestClass(L"MirufonTestFrame", ::DefWindowProcW);
        return L"MirufonTestFrame";
    }();
    return ::CreateWindowExW(WS_EX_TOPMOST, frameClass, title,
                             WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, at.x, at.y, size.cx, size.cy,
                             nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

// A class of another toolkit built on the system's edit box, as WinForms' and Delphi's are,
// registered under the name (once; again only fails).
inline const wchar_t* EditClassOfAnotherToolkit(const wchar_t* name)
{
    WNDCLASSEXW edit{};
    edit.cbSize = sizeof edit;
    ::GetClassInfoExW(nullptr, L"EDIT", &edit);
    edit.hInstance = ::GetModuleHandleW(nullptr);
    edit.lpszClassName = name;
    ::RegisterClassExW(&edit);
    return name;
}

// A visible child of parent with the class, text, style, client place and id, in the GUI font.
inline HWND AddControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                       RECT place, int id = 0)
{
    HWND control = ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, place.left,
                                     place.top, place.right - place.left, place.bottom - place.top,
                                     parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(control, WM_SETFONT,
                   reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

// The centre of a window on the screen.
inline POINT CentreOf(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The centre of a rectangle given in the window's client coordinates, on the screen.
inline POINT ScreenCentre(HWND window, RECT client)
{
    POINT centre{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ::ClientToScreen(window, &centre);
    return centre;
}

inline POINT ListBoxItemCentre(HWND listBox, int index)
{
    RECT rect{};
    ::SendMessageW(listBox, LB_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&rect));
    return ScreenCentre(listBox, rect);
}

inline POINT ListViewCellCentre(HWND listView, int item, int subItem)
{
    RECT rect{};
    rect.top = subItem;
    rect.left = subItem == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    ::SendMessageW(listView, subItem == 0 ? LVM_GETITEMRECT : LVM_GETSUBITEMRECT,
                   static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect));
    return ScreenCentre(listView, rect);
}

inline POINT TreeItemCentre(HWND treeView, HTREEITEM item)
{
    RECT rect{};
    // TVM_GETITEMRECT takes the item in the rectangle's first bytes.
    std::memcpy(&rect, &item, sizeof(HTREEITEM));
    ::SendMessageW(treeView, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    return ScreenCentre(treeView, rect);
}

inline POINT HeaderItemCentre(HWND header, int index)
{
    RECT rect{};
    ::SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&rect));
    return ScreenCentre(header, rect);
}

inline POINT StatusPartCentre(HWND statusBar, int part)
{
    RECT rect{};
    ::SendMessageW(statusBar, SB_GETRECT, static_cast<WPARAM>(part),
                   reinterpret_cast<LPARAM>(&rect));
    return ScreenCentre(statusBar, rect);
}

inline HTREEITEM AddTreeItem(HWND treeView, HTREEITEM parent, const wchar_t* text)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(text);
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(treeView, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

// Report-view columns with the headings, each the width in pixels.
inline void AddListViewColumns(HWND listView, std::initializer_list<const wchar_t*> headings,
                               int width = 150)
{
    int index = 0;
    for (const wchar_t* heading : headings)
    {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = width;
        column.pszText = const_cast<wchar_t*>(heading);
        ::SendMessageW(listView, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++),
                       reinterpret_cast<LPARAM>(&column));
    }
}

// A row: the item's text, then its sub-items' texts.
inline void AddListViewRow(HWND listView, int row, std::initializer_list<const wchar_t*> cells)
{
    int subItem = 0;
    for (const wchar_t* cell : cells)
    {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.iSubItem = subItem;
        item.pszText = const_cast<wchar_t*>(cell);
        ::SendMessageW(listView, subItem == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW,
                       static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        ++subItem;
    }
}

} // namespace testsupport
