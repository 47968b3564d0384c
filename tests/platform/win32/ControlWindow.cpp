#include "platform/win32/ControlWindow.h"

#include "support/MessagePump.h"

#include <cstring>
#include <string>

namespace mirufon::win32::testing
{
namespace
{

constexpr wchar_t kClassName[] = L"MirufonControlTestWindow";

void RegisterOnce()
{
    static const bool registered = []
    {
        INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX),
                                    ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&common);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClassName;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

} // namespace

ControlWindow::ControlWindow(POINT position, SIZE size)
{
    RegisterOnce();
    m_window =
        ::CreateWindowExW(WS_EX_TOPMOST, kClassName, L"読み取り試験",
                          WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, position.x, position.y, size.cx,
                          size.cy, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetForegroundWindow(m_window);
}

ControlWindow::~ControlWindow()
{
    ::DestroyWindow(m_window);
}

HWND ControlWindow::Add(const wchar_t* className, const wchar_t* text, DWORD style, RECT place,
                        HWND parent) const
{
    return ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, place.left,
                             place.top, place.right - place.left, place.bottom - place.top,
                             parent ? parent : m_window, nullptr, ::GetModuleHandleW(nullptr),
                             nullptr);
}

POINT CentreOf(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT ScreenCentre(HWND window, RECT client)
{
    POINT centre{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ::ClientToScreen(window, &centre);
    return centre;
}

POINT ListBoxItemCentre(HWND listBox, int index)
{
    RECT rect{};
    ::SendMessageW(listBox, LB_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&rect));
    return ScreenCentre(listBox, rect);
}

POINT ListViewCellCentre(HWND listView, int item, int subItem)
{
    RECT rect{};
    rect.top = subItem;
    rect.left = subItem == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    ::SendMessageW(listView, subItem == 0 ? LVM_GETITEMRECT : LVM_GETSUBITEMRECT,
                   static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect));
    return ScreenCentre(listView, rect);
}

POINT TreeItemCentre(HWND treeView, HTREEITEM item)
{
    RECT rect{};
    // TVM_GETITEMRECT takes the item in the rectangle's first bytes.
    std::memcpy(&rect, &item, sizeof(HTREEITEM));
    ::SendMessageW(treeView, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    return ScreenCentre(treeView, rect);
}

POINT HeaderItemCentre(HWND header, int index)
{
    RECT rect{};
    ::SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&rect));
    return ScreenCentre(header, rect);
}

POINT StatusPartCentre(HWND statusBar, int part)
{
    RECT rect{};
    ::SendMessageW(statusBar, SB_GETRECT, static_cast<WPARAM>(part),
                   reinterpret_cast<LPARAM>(&rect));
    return ScreenCentre(statusBar, rect);
}

HTREEITEM AddTreeItem(HWND treeView, HTREEITEM parent, const wchar_t* text)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(text);
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(treeView, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void AddListViewColumns(HWND listView, std::initializer_list<const wchar_t*> headings)
{
    int index = 0;
    for (const wchar_t* heading : headings)
    {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 150;
        column.pszText = const_cast<wchar_t*>(heading);
        ::SendMessageW(listView, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++),
                       reinterpret_cast<LPARAM>(&column));
    }
}

void AddListViewRow(HWND listView, int row, std::initializer_list<const wchar_t*> cells)
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

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    return testsupport::DispatchUntil(condition, timeout, std::chrono::milliseconds(10));
}

} // namespace mirufon::win32::testing
