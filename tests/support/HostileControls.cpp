#include "support/HostileControls.h"

#include "support/ControlItems.h"

#include <commctrl.h>

#include <cstring>
#include <string_view>
#include <utility>

namespace testsupport
{
namespace
{

constexpr const wchar_t* kBrowserClass = L"Chrome_RenderWidgetHostHWND";

using Handler = HostileControls::Handler;

// The subclass procedure of every hostile control: the handler it was given, then the control.
LRESULT CALLBACK Hostile(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                         DWORD_PTR data)
{
    if (message == WM_NCDESTROY)
    {
        ::RemoveWindowSubclass(window, &Hostile, 1);
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    const Handler& handler = *reinterpret_cast<const Handler*>(data);
    if (const std::optional<LRESULT> answer = handler(window, message, wParam, lParam))
    {
        return *answer;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

// Serves the tree's root as the window's client object.
Handler Serving(const AccessibleTree& tree)
{
    return [&tree](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT>
    {
        if (message == WM_GETOBJECT)
        {
            if (const LRESULT served = tree.Serve(wParam, lParam))
            {
                return served;
            }
        }
        return std::nullopt;
    };
}

// What a control answers for one of its items in place of its own answer: the result, after
// the text (with what follows a NUL inside it) and its terminator copied into the buffer.
struct Answer
{
    UINT message;
    WPARAM item;
    LRESULT result;
    std::optional<std::wstring_view> text;
};

Handler Answering(std::vector<Answer> answers)
{
    return [answers](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT>
    {
        for (const Answer& answer : answers)
        {
            if (answer.message == message && answer.item == wParam)
            {
                if (answer.text)
                {
                    auto* buffer = reinterpret_cast<wchar_t*>(lParam);
                    std::memcpy(buffer, answer.text->data(), answer.text->size() * sizeof(wchar_t));
                    buffer[answer.text->size()] = L'\0';
                }
                return answer.result;
            }
        }
        return std::nullopt;
    };
}

} // namespace

HostileControls::HostileControls(POINT controlsAt, POINT blankRowsAt)
    : m_thread(std::make_unique<WindowThread>(
          [this, controlsAt, blankRowsAt]
          {
              return std::vector<HWND>{BuildControls(controlsAt), BuildBlankRows(blankRowsAt),
                                       BuildPassword(POINT{blankRowsAt.x, blankRowsAt.y + 230})};
          }))
{
}

HostileControls::~HostileControls() = default;

void HostileControls::Subclass(HWND window, Handler handler)
{
    // Kept until the fixture goes, after its windows: a handler may destroy its own window.
    m_handlers.push_back(std::make_unique<Handler>(std::move(handler)));
    ::SetWindowSubclass(window, &Hostile, 1, reinterpret_cast<DWORD_PTR>(m_handlers.back().get()));
}

HWND HostileControls::BuildControls(POINT at)
{
    HWND frame = AddFrame(L"ミルフォン 敵対的な部品", at, SIZE{430, 440});
    lyingList = AddLyingList(frame);
    loopingTree = AddLoopingTree(frame);

    vanishingTabs = AddControl(frame, WC_TABCONTROLW, L"", 0, RECT{300, 10, 420, 40});
    int index = 0;
    for (const wchar_t* caption : {L"一", L"二", L"三"})
    {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(caption);
        ::SendMessageW(vanishingTabs, TCM_INSERTITEMW, static_cast<WPARAM>(index++),
                       reinterpret_cast<LPARAM>(&item));
    }
    // The second tab is gone by the time it is asked for.
    Subclass(vanishingTabs, Answering({{TCM_GETITEMW, 1, FALSE, std::nullopt}}));

    AccessibleNode gapped{ROLE_SYSTEM_LIST, L"隙間"};
    gapped.enumerates = true;
    gapped.children.emplace_back(ROLE_SYSTEM_LISTITEM, L"最初");
    for (int entry = 1; entry < 512; ++entry)
    {
        AccessibleNode empty(ROLE_SYSTEM_LISTITEM, L"?");
        (entry == 256 ? empty.notGiven : empty.notAnElement) = true;
        gapped.children.push_back(empty);
    }
    gapped.children.emplace_back(ROLE_SYSTEM_LISTITEM, L"x");
    gapped.children.emplace_back(ROLE_SYSTEM_LISTITEM, L"y");
    m_trees.push_back(std::make_unique<AccessibleTree>(gapped));
    gappedList = m_trees.back()->AddWindow(frame, RECT{300, 50, 420, 110});

    vanishingList = AddControl(frame, WC_LISTVIEWW, L"",
                               WS_BORDER | LVS_REPORT | LVS_NOCOLUMNHEADER, RECT{10, 90, 150, 160});
    AddListViewColumns(vanishingList, {L"列"}, 120);
    AddListViewRow(vanishingList, 0, {L"残る"});
    AddListViewRow(vanishingList, 1, {L"消える"});
    AddListViewRow(vanishingList, 2, {L"後"});
    // Answers for its second row, then goes away.
    Subclass(vanishingList,
             [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT>
             {
                 if (message != LVM_GETITEMTEXTW || wParam != 1)
                 {
                     return std::nullopt;
                 }
                 const LRESULT answer = ::DefSubclassProc(window, message, wParam, lParam);
                 ::DestroyWindow(window);
                 return answer;
             });

    browser = AddBrowser(frame);
    rowAnsweringList = AddRowAnsweringList(frame);
    slowList = AddSlowList(frame);

    longStatus = AddControl(frame, STATUSCLASSNAMEW, L"", 0, RECT{});
    const int edges[] = {150, -1};
    ::SendMessageW(longStatus, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    ::SendMessageW(longStatus, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"短い"));
    const std::wstring longPart = LongPart();
    ::SendMessageW(longStatus, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(longPart.c_str()));
    return frame;
}

HWND HostileControls::AddLyingList(HWND frame)
{
    HWND list =
        AddControl(frame, L"LISTBOX", L"", WS_BORDER | LBS_NOINTEGRALHEIGHT, RECT{10, 10, 150, 80});
    for (const wchar_t* item : {L"一番目 first item", L"前後ろ", L"ab"})
    {
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    // The second item holds a NUL and goes on after it; the third says it is 20 characters.
    Subclass(list, Answering({{LB_GETTEXTLEN, 1, 4, std::nullopt},
                              {LB_GETTEXT, 1, 4, std::wstring_view(L"前\0後ろ", 4)},
                              {LB_GETTEXTLEN, 2, 20, std::nullopt},
                              {LB_GETTEXT, 2, 20, L"ab"}}));
    return list;
}

HWND HostileControls::AddLoopingTree(HWND frame)
{
    HWND tree = AddControl(frame, WC_TREEVIEWW, L"", WS_BORDER, RECT{160, 10, 290, 80});
    HTREEITEM first = AddTreeItem(tree, TVI_ROOT, L"甲");
    AddTreeItem(tree, TVI_ROOT, L"乙");
    HTREEITEM last = AddTreeItem(tree, TVI_ROOT, L"丙");
    // The item after the last root is the first again.
    Subclass(
        tree,
        [first, last](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT>
        {
            if (message == TVM_GETNEXTITEM && wParam == TVGN_NEXT &&
                reinterpret_cast<HTREEITEM>(lParam) == last)
            {
                return reinterpret_cast<LRESULT>(first);
            }
            return std::nullopt;
        });
    return tree;
}

HWND HostileControls::AddRowAnsweringList(HWND frame)
{
    HWND list =
        AddControl(frame, WC_LISTVIEWW, L"", WS_BORDER | LVS_REPORT, RECT{10, 170, 420, 260});
    AddListViewColumns(list, {L"名前", L"サイズ", L"種類", L"更新日"}, 95);
    AccessibleNode rows{ROLE_SYSTEM_LIST, L""};
    for (int row = 0; row < 2; ++row)
    {
        AddListViewRow(list, row, {kRows[row][0], kRows[row][1], kRows[row][2], kRows[row][3]});
        AccessibleNode item(ROLE_SYSTEM_LISTITEM, kRows[row][0]);
        item.description = std::wstring(L"サイズ: ") + kRows[row][1] + L", 種類: " + kRows[row][2] +
                           L", 更新日: " + kRows[row][3];
        rows.children.push_back(item);
    }
    // By row, whichever column lies under the point.
    m_trees.push_back(std::make_unique<AccessibleTree>(
        rows,
        [list](POINT screen)
        {
            LVHITTESTINFO hit{};
            hit.pt = screen;
            ::ScreenToClient(list, &hit.pt);
            const auto row = ::SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            return row >= 0 ? static_cast<LONG>(row + 1) : static_cast<LONG>(CHILDID_SELF);
        }));
    Subclass(list, Serving(*m_trees.back()));

    AccessibleNode headings{ROLE_SYSTEM_LIST, L""};
    for (const wchar_t* heading : {L"名前", L"サイズ", L"種類", L"更新日"})
    {
        headings.children.emplace_back(ROLE_SYSTEM_COLUMNHEADER, heading);
    }
    m_trees.push_back(std::make_unique<AccessibleTree>(headings));
    Subclass(ListView_GetHeader(list), Serving(*m_trees.back()));
    return list;
}

HWND HostileControls::AddBrowser(HWND frame)
{
    AccessibleNode page{ROLE_SYSTEM_DOCUMENT, L"page"};
    page.children.emplace_back(ROLE_SYSTEM_PUSHBUTTON, kBrowserButton);
    // Until it has been asked once, the page is all it tells.
    m_trees.push_back(std::make_unique<AccessibleTree>(
        page, [asked = std::make_shared<bool>(false)](POINT)
        { return std::exchange(*asked, true) ? 1L : static_cast<LONG>(CHILDID_SELF); }));
    return m_trees.back()->AddWindow(frame, RECT{160, 90, 290, 160}, kBrowserClass);
}

namespace
{

constexpr int kSlowRows = 70;
constexpr int kSlowColumns = 4;

std::wstring SlowCell(int row, int column)
{
    return L"遅 " + std::to_wstring(row) + L"." + std::to_wstring(column);
}

} // namespace

std::wstring HostileControls::SlowListText()
{
    std::wstring text = L"一\t二\t三\t四";
    for (int row = 0; row < kSlowRows; ++row)
    {
        for (int column = 0; column < kSlowColumns; ++column)
        {
            text += (column == 0 ? L"\r\n" : L"\t") + SlowCell(row, column);
        }
    }
    return text;
}

HWND HostileControls::AddSlowList(HWND frame)
{
    HWND list =
        AddControl(frame, WC_LISTVIEWW, L"", WS_BORDER | LVS_REPORT, RECT{10, 270, 420, 370});
    AddListViewColumns(list, {L"一", L"二", L"三", L"四"}, 95);
    for (int row = 0; row < kSlowRows; ++row)
    {
        const std::wstring cells[] = {SlowCell(row, 0), SlowCell(row, 1), SlowCell(row, 2),
                                      SlowCell(row, 3)};
        AddListViewRow(list, row,
                       {cells[0].c_str(), cells[1].c_str(), cells[2].c_str(), cells[3].c_str()});
    }
    Subclass(list,
             [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT>
             {
                 if (message == LVM_GETITEMTEXTW)
                 {
                     ::Sleep(8);
                 }
                 return std::nullopt;
             });
    return list;
}

HWND HostileControls::BuildBlankRows(POINT at)
{
    HWND frame = AddFrame(kBlankRowsTitle, at, SIZE{380, 220});
    blankRowsButton =
        AddControl(frame, L"BUTTON", kButtonCaption, BS_PUSHBUTTON, RECT{10, 10, 110, 40});
    // Its items are asked of the frame, which tells nothing: every row is blank.
    blankRows = AddControl(frame, WC_LISTVIEWW, L"",
                           WS_BORDER | LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER,
                           RECT{10, 50, 340, 170});
    AddListViewColumns(blankRows, {L"空"}, 300);
    ::SendMessageW(blankRows, LVM_SETITEMCOUNT, kBlankRowCount, 0);
    return frame;
}

HWND HostileControls::BuildPassword(POINT at)
{
    HWND frame = AddFrame(L"ログイン login", at, SIZE{380, 100});
    passwordLabel = AddControl(frame, L"STATIC", L"パスワード:", 0, RECT{10, 15, 110, 35});
    foreignPassword =
        AddControl(frame, EditClassOfAnotherToolkit(L"WindowsForms10.EDIT.app.0.141b42a_r6_ad1"),
                   kPassword, WS_BORDER | ES_PASSWORD, RECT{120, 10, 340, 40});
    return frame;
}

} // namespace testsupport
