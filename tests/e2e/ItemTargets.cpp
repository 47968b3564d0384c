#include "e2e/ItemTargets.h"

#include "e2e/Input.h"

#include <cstring>

namespace e2e
{
namespace
{

constexpr const wchar_t* kItemsClass = L"MirufonE2eItems";

LRESULT CALLBACK ItemsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Only the destructor ends the window, so that no handle the test holds goes stale.
    if (message == WM_CLOSE)
    {
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void RegisterItemsClass()
{
    static const bool registered = []
    {
        INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX),
                                    ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
        ::InitCommonControlsEx(&common);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &ItemsWindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kItemsClass;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

HWND AddControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, RECT place)
{
    HWND control = ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, place.left,
                                     place.top, place.right - place.left, place.bottom - place.top,
                                     parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(control, WM_SETFONT,
                   reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

POINT ClientCentreOnScreen(HWND window, RECT client)
{
    POINT centre{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ::ClientToScreen(window, &centre);
    return centre;
}

void FillListView(HWND listView)
{
    int index = 0;
    for (const wchar_t* heading : ItemTargets::kColumns)
    {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 85;
        column.pszText = const_cast<wchar_t*>(heading);
        ::SendMessageW(listView, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++),
                       reinterpret_cast<LPARAM>(&column));
    }
    for (int row = 0; row < static_cast<int>(ItemTargets::kRows.size()); ++row)
    {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(ItemTargets::kRows[row][0]);
        ::SendMessageW(listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<wchar_t*>(ItemTargets::kRows[row][1]);
        ::SendMessageW(listView, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&item));
    }
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

} // namespace

ItemTargets::ItemTargets(POINT position, SIZE size)
{
    RegisterItemsClass();
    m_window = ::CreateWindowExW(
        WS_EX_TOPMOST, kItemsClass, kCaption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, position.x,
        position.y, size.cx, size.cy, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!m_window)
    {
        return;
    }
    CreateControls();
    ::ShowWindow(m_window, SW_SHOW);
    ::UpdateWindow(m_window);
    BringToFront();
}

ItemTargets::~ItemTargets()
{
    if (m_window)
    {
        ::DestroyWindow(m_window);
    }
}

void ItemTargets::CreateControls()
{
    m_listBox = AddControl(m_window, L"LISTBOX", L"", WS_BORDER | LBS_NOINTEGRALHEIGHT,
                           RECT{10, 10, 190, 120});
    for (const wchar_t* item : kListItems)
    {
        ::SendMessageW(m_listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    m_listView =
        AddControl(m_window, WC_LISTVIEWW, L"", WS_BORDER | LVS_REPORT, RECT{200, 10, 380, 120});
    FillListView(m_listView);
    m_treeView = AddControl(m_window, WC_TREEVIEWW, L"",
                            WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                            RECT{10, 130, 190, 260});
    m_treeItems[0] = AddTreeItem(m_treeView, TVI_ROOT, kTreeItems[0]);
    m_treeItems[1] = AddTreeItem(m_treeView, m_treeItems[0], kTreeItems[1]);
    m_treeItems[2] = AddTreeItem(m_treeView, m_treeItems[0], kTreeItems[2]);
    ::SendMessageW(m_treeView, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(m_treeItems[0]));
    // The group box first, then the page's controls, as a dialog template that lists a page's
    // frame before its controls makes them: a child created earlier lies above the later ones,
    // so the group box covers the page for a hit test that does not ask it (another program's).
    m_groupBox =
        AddControl(m_window, L"BUTTON", kGroupCaption, BS_GROUPBOX, RECT{200, 130, 380, 260});
    m_checkBox = AddControl(m_window, L"BUTTON", kCheckBoxCaption, BS_AUTOCHECKBOX,
                            RECT{215, 155, 365, 180});
    m_button =
        AddControl(m_window, L"BUTTON", kButtonCaption, BS_PUSHBUTTON, RECT{215, 190, 365, 220});
    m_password = AddControl(m_window, L"EDIT", kPassword, WS_BORDER | ES_PASSWORD | ES_AUTOHSCROLL,
                            RECT{10, 275, 190, 300});
}

POINT ItemTargets::ListItemCentre(int index) const
{
    RECT rect{};
    ::SendMessageW(m_listBox, LB_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&rect));
    return ClientCentreOnScreen(m_listBox, rect);
}

POINT ItemTargets::ListViewCellCentre(int row, int column) const
{
    RECT rect{};
    rect.top = column;
    rect.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    ::SendMessageW(m_listView, column == 0 ? LVM_GETITEMRECT : LVM_GETSUBITEMRECT,
                   static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    return ClientCentreOnScreen(m_listView, rect);
}

POINT ItemTargets::TreeItemCentre(int index) const
{
    RECT rect{};
    // TVM_GETITEMRECT takes the item in the rectangle's first bytes.
    std::memcpy(&rect, &m_treeItems.at(static_cast<std::size_t>(index)), sizeof(HTREEITEM));
    ::SendMessageW(m_treeView, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    return ClientCentreOnScreen(m_treeView, rect);
}

POINT ItemTargets::ControlCentre(HWND control)
{
    RECT rect{};
    ::GetWindowRect(control, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT ItemTargets::GroupBlankPoint() const
{
    // Below the button, above the group box's bottom edge.
    RECT button{};
    RECT group{};
    ::GetWindowRect(m_button, &button);
    ::GetWindowRect(m_groupBox, &group);
    return POINT{(button.left + button.right) / 2, (button.bottom + group.bottom) / 2};
}

void ItemTargets::BringToFront()
{
    ::SetWindowPos(m_window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(m_window);
    WaitUntil([this] { return ::GetForegroundWindow() == m_window; }, 2s);
    PumpMessages(30ms);
}

} // namespace e2e
