#include "support/HarvestTargets.h"

#include "support/ControlItems.h"

#include <commctrl.h>

namespace testsupport
{
namespace
{

void AddStrings(HWND list, UINT message, std::initializer_list<const wchar_t*> items)
{
    for (const wchar_t* item : items)
    {
        ::SendMessageW(list, message, 0, reinterpret_cast<LPARAM>(item));
    }
}

HWND AddListView(HWND parent)
{
    HWND view =
        AddControl(parent, WC_LISTVIEWW, L"", WS_BORDER | LVS_REPORT, RECT{10, 120, 420, 230});
    AddListViewColumns(view, {L"名前", L"種類", L"隠し", L"サイズ"}, 90);
    ::SendMessageW(view, LVM_SETCOLUMNWIDTH, 2, 0);
    int order[] = {3, 0, 2, 1};
    ::SendMessageW(view, LVM_SETCOLUMNORDERARRAY, 4, reinterpret_cast<LPARAM>(order));
    AddListViewRow(view, 0, {L"a.txt", L"文書", L"x", L"1 KB"});
    AddListViewRow(view, 1, {L"b.png", L"", L"y", L"2 KB"});
    AddListViewRow(view, 2, {L"c", L"two\r\nlines", L"z", L""});
    return view;
}

HWND AddTreeView(HWND parent)
{
    // Three rows high: scrolled to its last item, the first ones are out of view.
    HWND tree = AddControl(parent, WC_TREEVIEWW, L"", WS_BORDER | TVS_HASBUTTONS | TVS_LINESATROOT,
                           RECT{210, 240, 420, 300});
    HTREEITEM a = AddTreeItem(tree, TVI_ROOT, L"根 A");
    HTREEITEM a1 = AddTreeItem(tree, a, L"枝 A1");
    AddTreeItem(tree, a1, L"葉 A1a");
    HTREEITEM a2 = AddTreeItem(tree, a, L"枝 A2");
    AddTreeItem(tree, a2, L"隠れ hidden");
    HTREEITEM b = AddTreeItem(tree, TVI_ROOT, L"根 B");
    ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(a));
    ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(a1));
    ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(b));
    return tree;
}

HWND AddTabControl(HWND parent)
{
    HWND tabs = AddControl(parent, WC_TABCONTROLW, L"", 0, RECT{10, 310, 420, 340});
    int index = 0;
    for (const wchar_t* caption : {L"一般 general", L"詳細", L"表示 view"})
    {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(caption);
        ::SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(index++),
                       reinterpret_cast<LPARAM>(&item));
    }
    return tabs;
}

HWND AddStatusBar(HWND parent)
{
    HWND status = AddControl(parent, STATUSCLASSNAMEW, L"", 0, RECT{});
    const int edges[] = {150, 250, -1};
    ::SendMessageW(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    // A tab only aligns a part's text: the last part is centred.
    const wchar_t* parts[] = {L"準備完了 ready", L"", L"\t行 1"};
    for (int part = 0; part < 3; ++part)
    {
        ::SendMessageW(status, SB_SETTEXTW, static_cast<WPARAM>(part),
                       reinterpret_cast<LPARAM>(parts[part]));
    }
    return status;
}

AccessibleNode Simple(LONG role, const wchar_t* name, LONG state = 0)
{
    return AccessibleNode{role, name, state, false, {}};
}

AccessibleNode Object(LONG role, const wchar_t* name, std::vector<AccessibleNode> children,
                      LONG state = 0)
{
    return AccessibleNode{role, name, state, true, std::move(children)};
}

const AccessibleNode& ListNode()
{
    static const AccessibleNode list{
        ROLE_SYSTEM_LIST,
        L"一覧",
        0,
        false,
        {Simple(ROLE_SYSTEM_LISTITEM, L"一つ目 first"), Simple(ROLE_SYSTEM_LISTITEM, L"two\tparts"),
         Simple(ROLE_SYSTEM_LISTITEM, L"見えない invisible", STATE_SYSTEM_INVISIBLE),
         Simple(ROLE_SYSTEM_LISTITEM, L"三つ目")}};
    return list;
}

const AccessibleNode& TableNode()
{
    const auto row = [](const wchar_t* first, const wchar_t* second)
    {
        return Object(ROLE_SYSTEM_ROW, L"row",
                      {Simple(ROLE_SYSTEM_CELL, first), Simple(ROLE_SYSTEM_CELL, second)});
    };
    static const AccessibleNode table{
        ROLE_SYSTEM_TABLE, L"表", 0, false, {row(L"名前", L"値"), row(L"a", L"1"), row(L"b", L"")}};
    return table;
}

const AccessibleNode& OutlineNode()
{
    static const AccessibleNode outline{
        ROLE_SYSTEM_OUTLINE,
        L"木",
        0,
        false,
        {Object(ROLE_SYSTEM_OUTLINEITEM, L"根 root",
                {Object(ROLE_SYSTEM_OUTLINEITEM, L"子 child",
                        {Object(ROLE_SYSTEM_OUTLINEITEM, L"孫 grandchild", {})})}),
         Object(ROLE_SYSTEM_OUTLINEITEM, L"閉 closed",
                {Object(ROLE_SYSTEM_OUTLINEITEM, L"見えない hidden", {})}, STATE_SYSTEM_COLLAPSED),
         Object(ROLE_SYSTEM_OUTLINEITEM, L"次 next", {})}};
    return outline;
}

} // namespace

HarvestTargets::HarvestTargets(POINT listsAt, POINT dialogAt, POINT accessibleAt)
    : m_thread(std::make_unique<WindowThread>(
          [this, listsAt, dialogAt, accessibleAt]
          {
              return std::vector<HWND>{BuildLists(listsAt), BuildDialog(dialogAt),
                                       BuildAccessible(accessibleAt)};
          }))
{
}

HWND HarvestTargets::BuildLists(POINT at)
{
    HWND frame = AddFrame(L"ミルフォン まとめて取得 一覧", at, SIZE{440, 440});
    m_listBox = AddControl(frame, L"LISTBOX", L"", WS_BORDER | LBS_NOINTEGRALHEIGHT,
                           RECT{10, 10, 150, 110});
    AddStrings(m_listBox, LB_ADDSTRING, {L"林檎 apple", L"", L"tab\there", L"桜桃 cherry Ω€"});
    m_ownerDrawn =
        AddControl(frame, L"LISTBOX", L"", WS_BORDER | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT,
                   RECT{160, 10, 230, 55});
    ::SendMessageW(m_ownerDrawn, LB_ADDSTRING, 0, 12345);
    m_editableCombo = AddControl(frame, L"COMBOBOX", L"", CBS_DROPDOWN, RECT{160, 65, 230, 200});
    AddStrings(m_editableCombo, CB_ADDSTRING, {L"甲 first", L"乙 second"});
    m_comboBox =
        AddControl(frame, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, RECT{240, 10, 420, 200});
    AddStrings(m_comboBox, CB_ADDSTRING, {L"一 one", L"二 two", L"三 three"});
    ::SendMessageW(m_comboBox, CB_SETCURSEL, 1, 0);
    m_listView = AddListView(frame);
    m_plainListView =
        AddControl(frame, WC_LISTVIEWW, L"", WS_BORDER | LVS_REPORT | LVS_NOCOLUMNHEADER,
                   RECT{10, 240, 200, 300});
    AddListViewColumns(m_plainListView, {L"見えない", L"見出し"}, 80);
    AddListViewRow(m_plainListView, 0, {L"p", LongCell().c_str()});
    AddListViewRow(m_plainListView, 1, {L"r", L""});
    m_treeView = AddTreeView(frame);
    m_tabControl = AddTabControl(frame);
    m_statusBar = AddStatusBar(frame);
    return frame;
}

HWND HarvestTargets::BuildDialog(POINT at)
{
    m_dialog = AddFrame(L"設定 dialog", at, SIZE{340, 260});
    const struct
    {
        const wchar_t* className;
        const wchar_t* text;
        DWORD style;
        RECT place;
    } controls[] = {
        {L"STATIC", L"名前(&N):", 0, {10, 12, 90, 30}},
        {L"EDIT", L"山田 太郎", WS_BORDER, {100, 10, 300, 32}},
        {L"STATIC", L"&Password:", 0, {10, 42, 90, 60}},
        {L"EDIT", kDialogPassword, WS_BORDER | ES_PASSWORD, {100, 40, 300, 62}},
        {L"BUTTON", L"オプション", BS_GROUPBOX, {10, 72, 310, 172}},
        {L"BUTTON", L"&Bold", BS_AUTOCHECKBOX, {20, 92, 150, 112}},
        {L"BUTTON", L"Save && exit", BS_AUTOCHECKBOX, {160, 92, 300, 112}},
        {L"BUTTON", L"&OK", BS_PUSHBUTTON, {110, 180, 190, 205}},
        {L"BUTTON", L"キャンセル(&C)", BS_PUSHBUTTON, {200, 180, 300, 205}},
        {L"STATIC", L"", 0, {10, 210, 100, 225}},
        {L"STATIC", L"#32516", SS_ICON, {110, 210, 142, 242}},
        // Beyond the client area's right edge.
        {L"STATIC", L"外 outside", 0, {400, 10, 480, 30}},
    };
    for (const auto& control : controls)
    {
        HWND made =
            AddControl(m_dialog, control.className, control.text, control.style, control.place);
        m_dialogLabel = m_dialogLabel ? m_dialogLabel : made;
    }
    HWND combo = AddControl(m_dialog, L"COMBOBOX", L"", CBS_DROPDOWNLIST, RECT{20, 125, 150, 250});
    AddStrings(combo, CB_ADDSTRING, {L"小", L"中", L"大"});
    ::SendMessageW(combo, CB_SETCURSEL, 1, 0);
    HWND list = AddControl(m_dialog, L"LISTBOX", L"", WS_BORDER | LBS_NOINTEGRALHEIGHT,
                           RECT{160, 122, 300, 168});
    AddStrings(list, LB_ADDSTRING, {L"項目 1", L"項目 2"});
    HWND hidden =
        AddControl(m_dialog, L"BUTTON", L"隠れ hidden", BS_PUSHBUTTON, RECT{10, 180, 100, 205});
    ::ShowWindow(hidden, SW_HIDE);
    return m_dialog;
}

HWND HarvestTargets::BuildAccessible(POINT at)
{
    HWND frame = AddFrame(L"ミルフォン まとめて取得 MSAA", at, SIZE{440, 170});
    const struct
    {
        HWND* window;
        const AccessibleNode& root;
        int left;
    } lists[] = {{&m_accessibleList, ListNode(), 10},
                 {&m_accessibleTable, TableNode(), 150},
                 {&m_accessibleOutline, OutlineNode(), 290}};
    for (const auto& list : lists)
    {
        m_trees.push_back(std::make_unique<AccessibleTree>(list.root));
        *list.window = m_trees.back()->AddWindow(frame, RECT{list.left, 10, list.left + 130, 120});
    }
    return frame;
}

} // namespace testsupport
