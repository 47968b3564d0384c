#include "e2e/harness/ItemTargets.h"

#include "e2e/harness/Input.h"
#include "support/ControlItems.h"

namespace e2e
{
namespace
{

using testsupport::AddControl;

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
        testsupport::RegisterTestClass(kItemsClass, &ItemsWindowProc);
        return true;
    }();
    (void)registered;
}

void FillListView(HWND listView)
{
    const auto& columns = ItemTargets::kColumns;
    testsupport::AddListViewColumns(listView, {columns[0], columns[1]}, 85);
    for (int row = 0; row < static_cast<int>(ItemTargets::kRows.size()); ++row)
    {
        const auto& cells = ItemTargets::kRows[static_cast<std::size_t>(row)];
        testsupport::AddListViewRow(listView, row, {cells[0], cells[1]});
    }
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
    m_treeItems[0] = testsupport::AddTreeItem(m_treeView, TVI_ROOT, kTreeItems[0]);
    m_treeItems[1] = testsupport::AddTreeItem(m_treeView, m_treeItems[0], kTreeItems[1]);
    m_treeItems[2] = testsupport::AddTreeItem(m_treeView, m_treeItems[0], kTreeItems[2]);
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
    return testsupport::ListBoxItemCentre(m_listBox, index);
}

POINT ItemTargets::ListViewCellCentre(int row, int column) const
{
    return testsupport::ListViewCellCentre(m_listView, row, column);
}

POINT ItemTargets::TreeItemCentre(int index) const
{
    return testsupport::TreeItemCentre(m_treeView, m_treeItems.at(static_cast<std::size_t>(index)));
}

POINT ItemTargets::ControlCentre(HWND control)
{
    return testsupport::CentreOf(control);
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
