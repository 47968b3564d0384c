#include "platform/win32/ControlWindow.h"
#include "platform/win32/reading/ControlMessages.h"
#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/MessageReader.h"
#include "platform/win32/window/ControlSubclass.h"

#include <gtest/gtest.h>

#include <string>

namespace mirufon::win32
{
namespace
{

using namespace mirufon::win32::testing;

constexpr WantedTexts kName{true, false};
constexpr WantedTexts kValue{false, true};
constexpr WantedTexts kBoth{true, true};

HWND ControlOf(const ReadTarget& target)
{
    return reinterpret_cast<HWND>(target.control);
}

ReaderAnswer ReadAt(POINT screen, WantedTexts wanted = kBoth, std::size_t maxChars = kWholeText)
{
    MessageReader reader;
    return reader.Read(TargetAt(screen, maxChars), wanted);
}

// The item's text as the name, at item level.
void ExpectItem(POINT screen, const std::wstring& text)
{
    const ReaderAnswer answer = ReadAt(screen, kName);
    EXPECT_EQ(answer.level, TextLevel::Item) << screen.x << "," << screen.y;
    EXPECT_EQ(answer.name, text) << screen.x << "," << screen.y;
    EXPECT_TRUE(answer.value.empty());
}

void ExpectNoItem(POINT screen)
{
    const ReaderAnswer answer = ReadAt(screen, kName);
    EXPECT_EQ(answer.level, TextLevel::Control) << screen.x << "," << screen.y;
    EXPECT_TRUE(answer.name.empty()) << screen.x << "," << screen.y;
}

TEST(ControlProbeTest, FindsTheSmallestControlPassingOverGroupBoxesButNotDisabledOnes)
{
    ControlWindow window;
    // A group box over a check box and a button (above them, as a page's frame listed first
    // in a dialog template lies), a disabled button, and a panel holding a label of its own.
    HWND group = window.Add(L"BUTTON", L"group", BS_GROUPBOX, RECT{10, 10, 300, 200});
    HWND check = window.Add(L"BUTTON", L"check", BS_AUTOCHECKBOX, RECT{30, 40, 150, 60});
    HWND button = window.Add(L"BUTTON", L"button", BS_PUSHBUTTON, RECT{30, 80, 150, 110});
    HWND disabled = window.Add(L"BUTTON", L"off", WS_DISABLED, RECT{320, 20, 440, 50});
    HWND panel = window.Add(L"STATIC", L"", SS_NOTIFY, RECT{320, 100, 600, 300});
    HWND label = window.Add(L"STATIC", L"inner", SS_NOTIFY, RECT{20, 20, 120, 40}, panel);
    HWND hidden = window.Add(L"BUTTON", L"hidden", 0, RECT{330, 220, 400, 260});
    ::ShowWindow(hidden, SW_HIDE);
    HWND password = window.Add(L"EDIT", L"pw", ES_PASSWORD, RECT{30, 260, 200, 285});
    HWND edit = window.Add(L"EDIT", L"plain", 0, RECT{30, 300, 200, 325});
    // Password boxes of other toolkits, and a button whose style has the same bit.
    HWND winForms = window.Add(EditClassOfAnotherToolkit(L"WindowsForms10.EDIT.app.0.141b42a"),
                               L"pw", ES_PASSWORD, RECT{30, 340, 200, 365});
    HWND delphi = window.Add(EditClassOfAnotherToolkit(L"TEdit"), L"pw", ES_PASSWORD,
                             RECT{30, 380, 200, 405});
    HWND leftText = window.Add(L"BUTTON", L"left", BS_LEFTTEXT, RECT{30, 420, 200, 445});
    ASSERT_TRUE(check && button && group && disabled && label && password && edit && winForms &&
                delphi && leftText);
    ASSERT_EQ(static_cast<DWORD>(BS_LEFTTEXT), static_cast<DWORD>(ES_PASSWORD));

    // WindowFromPoint passes the disabled button by; the probe does not.
    ASSERT_EQ(::WindowFromPoint(CentreOf(disabled)), window.Handle());
    RECT groupArea{};
    ::GetWindowRect(group, &groupArea);
    const POINT insideGroupOnly{groupArea.right - 20, groupArea.bottom - 20};
    const struct
    {
        POINT point;
        HWND expected;
        ControlKind kind;
        bool isPassword;
    } cases[] = {
        {CentreOf(check), check, ControlKind::Other, false},
        {CentreOf(button), button, ControlKind::Other, false},
        {insideGroupOnly, window.Handle(), ControlKind::Other, false},
        {CentreOf(disabled), disabled, ControlKind::Other, false},
        {CentreOf(label), label, ControlKind::Other, false},
        {CentreOf(hidden), panel, ControlKind::Other, false},
        {CentreOf(password), password, ControlKind::Edit, true},
        {CentreOf(edit), edit, ControlKind::Edit, false},
        {CentreOf(winForms), winForms, ControlKind::Other, true},
        {CentreOf(delphi), delphi, ControlKind::Other, true},
        {CentreOf(leftText), leftText, ControlKind::Other, false},
    };
    for (const auto& probe : cases)
    {
        const ReadTarget target = TargetAt(probe.point, 77);
        EXPECT_EQ(ControlOf(target), probe.expected) << probe.point.x << "," << probe.point.y;
        EXPECT_EQ(target.kind, probe.kind) << probe.point.x << "," << probe.point.y;
        EXPECT_EQ(IsPasswordBox(ControlOf(target), kControlMessageLimit), probe.isPassword)
            << probe.point.x << "," << probe.point.y;
        EXPECT_EQ(target.x, probe.point.x);
        EXPECT_EQ(target.maxChars, 77u);
    }
}

TEST(MessageReaderTest, ListBoxGivesTheItemUnderThePointAndNothingOverBlankSpace)
{
    ControlWindow window;
    HWND list =
        window.Add(L"LISTBOX", L"", WS_BORDER | LBS_NOINTEGRALHEIGHT, RECT{20, 20, 220, 220});
    for (const wchar_t* item : {L"一番目 first", L"second", L"三番目"})
    {
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    HWND ownerDrawn =
        window.Add(L"LISTBOX", L"", WS_BORDER | LBS_OWNERDRAWFIXED, RECT{240, 20, 440, 220});
    ::SendMessageW(ownerDrawn, LB_ADDSTRING, 0, 12345);

    ExpectItem(ListBoxItemCentre(list, 0), L"一番目 first");
    ExpectItem(ListBoxItemCentre(list, 2), L"三番目");
    // Below the last item the list box names the nearest item, flagged as outside it.
    ExpectNoItem(POINT{CentreOf(list).x, CentreOf(list).y + 80});
    ExpectNoItem(ListBoxItemCentre(ownerDrawn, 0));
    // A limited read cuts the item.
    EXPECT_EQ(ReadAt(ListBoxItemCentre(list, 0), kName, 3).name, L"一番目");
}

// LB_GETTEXT takes no buffer size. An item that grows after its length was told (here as the
// list box tells it) is read whole as it is by then, into a buffer of the reader's item limit:
// into one of the length told, the list box writes far past it and this test does not survive.
TEST(MessageReaderTest, ListBoxItemThatGrowsAfterItsLengthDoesNotOverrunTheBuffer)
{
    ControlWindow window;
    HWND list =
        window.Add(L"LISTBOX", L"", WS_BORDER | LBS_NOINTEGRALHEIGHT, RECT{20, 20, 220, 220});
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"short"));
    const std::wstring grown(300'000, L'長');
    ControlSubclass grows(
        list,
        [&grown](HWND control, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT>
        {
            if (message != LB_GETTEXTLEN)
            {
                return std::nullopt;
            }
            const LRESULT length = ::DefSubclassProc(control, message, wParam, lParam);
            ::DefSubclassProc(control, LB_DELETESTRING, 0, 0);
            ::DefSubclassProc(control, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(grown.c_str()));
            return length;
        });
    ExpectItem(ListBoxItemCentre(list, 0), grown);
}

TEST(MessageReaderTest, ListViewGivesTheItemOrSubItemUnderThePoint)
{
    ControlWindow window;
    HWND view = window.Add(WC_LISTVIEWW, L"", LVS_REPORT | WS_BORDER, RECT{20, 20, 420, 220});
    AddListViewColumns(view, {L"名前", L"種類"});
    AddListViewRow(view, 0, {L"項目 one", L"sub 一"});
    const std::wstring longText(3000, L'長');
    AddListViewRow(view, 1, {L"two", longText.c_str()});

    ExpectItem(ListViewCellCentre(view, 0, 0), L"項目 one");
    ExpectItem(ListViewCellCentre(view, 0, 1), L"sub 一");
    ExpectItem(ListViewCellCentre(view, 1, 0), L"two");
    // A whole read grows its buffer in the control's memory until the text fits.
    ExpectItem(ListViewCellCentre(view, 1, 1), longText);
    EXPECT_EQ(ReadAt(ListViewCellCentre(view, 1, 1), kName, 100).name, longText.substr(0, 100));
    ExpectNoItem(POINT{CentreOf(view).x, CentreOf(view).y + 80});
    // The heading row is a header control of its own.
    ExpectItem(HeaderItemCentre(ListView_GetHeader(view), 1), L"種類");
}

TEST(MessageReaderTest, TreeViewHeaderAndStatusBarGiveTheirItemUnderThePoint)
{
    ControlWindow window;
    HWND tree = window.Add(WC_TREEVIEWW, L"", WS_BORDER | TVS_HASBUTTONS | TVS_LINESATROOT,
                           RECT{20, 20, 220, 220});
    HTREEITEM root = AddTreeItem(tree, TVI_ROOT, L"根 root");
    HTREEITEM child = AddTreeItem(tree, root, L"子 child");
    ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    HWND header = window.Add(WC_HEADERW, L"", HDS_HORZ, RECT{240, 20, 600, 44});
    for (const wchar_t* text : {L"見出し A", L"heading B"})
    {
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.cxy = 150;
        item.pszText = const_cast<wchar_t*>(text);
        ::SendMessageW(header, HDM_INSERTITEMW, 5, reinterpret_cast<LPARAM>(&item));
    }
    HWND status = window.Add(STATUSCLASSNAMEW, L"", 0, RECT{});
    const int edges[] = {150, 300, -1};
    ::SendMessageW(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    const wchar_t* parts[] = {L"部分 0", L"part 1", L"最後 last"};
    for (int part = 0; part < 3; ++part)
    {
        ::SendMessageW(status, SB_SETTEXTW, static_cast<WPARAM>(part),
                       reinterpret_cast<LPARAM>(parts[part]));
    }

    ExpectItem(TreeItemCentre(tree, root), L"根 root");
    ExpectItem(TreeItemCentre(tree, child), L"子 child");
    ExpectNoItem(POINT{CentreOf(tree).x, CentreOf(tree).y + 80});
    ExpectItem(HeaderItemCentre(header, 0), L"見出し A");
    ExpectItem(HeaderItemCentre(header, 1), L"heading B");
    for (int part = 0; part < 3; ++part)
    {
        ExpectItem(StatusPartCentre(status, part), parts[part]);
    }
    EXPECT_EQ(ReadAt(StatusPartCentre(status, 2), kName, 2).name, L"最後");
    // A text of 64K characters or more, whose told length wraps round, is still read whole.
    const std::wstring longPart(70'000, L'長');
    ::SendMessageW(status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(longPart.c_str()));
    ExpectItem(StatusPartCentre(status, 1), longPart);
    // In simple mode the bar shows one text across its whole width.
    ::SendMessageW(status, SB_SIMPLE, TRUE, 0);
    ::SendMessageW(status, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(L"単純 simple"));
    ExpectItem(StatusPartCentre(status, 0), L"単純 simple");
}

TEST(MessageReaderTest, PasswordEditIsProtectedAndNeverSentAnything)
{
    ControlWindow window;
    HWND password = window.Add(L"EDIT", L"秘密 secret", ES_PASSWORD, RECT{20, 20, 220, 44});
    int messages = 0;
    ControlSubclass counter(password,
                            [&messages](HWND, UINT, WPARAM, LPARAM) -> std::optional<LRESULT>
                            {
                                ++messages;
                                return std::nullopt;
                            });
    ::SendMessageW(password, WM_NULL, 0, 0);
    ASSERT_GT(messages, 0) << "the counter sees the box's messages";
    ReadTarget target = TargetAt(CentreOf(password), kWholeText);
    target.isPassword = IsPasswordBox(password, kControlMessageLimit);
    ASSERT_TRUE(target.isPassword);
    // Asking for its password character gives nothing away; the reader sends nothing at all.
    messages = 0;
    MessageReader reader;
    const ReaderAnswer answer = reader.Read(target, kBoth);
    EXPECT_TRUE(answer.isProtected);
    EXPECT_TRUE(answer.name.empty() && answer.value.empty());
    EXPECT_EQ(messages, 0);
}

TEST(MessageReaderTest, CaptionsShowAsDrawnAndTextsAsTheyAre)
{
    ControlWindow window;
    HWND button = window.Add(L"BUTTON", L"&Save && Close", 0, RECT{20, 20, 200, 50});
    HWND label = window.Add(L"STATIC", L"&File", SS_NOTIFY, RECT{20, 60, 200, 80});
    HWND plain = window.Add(L"STATIC", L"A && B", SS_NOTIFY | SS_NOPREFIX, RECT{20, 90, 200, 110});
    HWND edit = window.Add(L"EDIT", L"値 & value", 0, RECT{20, 120, 200, 145});
    HWND combo = window.Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST, RECT{20, 160, 200, 300});
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"選択 chosen"));
    ::SendMessageW(combo, CB_SETCURSEL, 0, 0);

    const struct
    {
        POINT point;
        std::wstring name;
        std::wstring value;
    } cases[] = {
        {CentreOf(button), L"Save & Close", L""}, {CentreOf(label), L"File", L""},
        {CentreOf(plain), L"A && B", L""},        {CentreOf(edit), L"", L"値 & value"},
        {CentreOf(combo), L"", L"選択 chosen"},
    };
    for (const auto& read : cases)
    {
        const ReaderAnswer answer = ReadAt(read.point);
        EXPECT_EQ(answer.name, read.name);
        EXPECT_EQ(answer.value, read.value);
        EXPECT_EQ(answer.level, TextLevel::Control);
        EXPECT_FALSE(answer.isProtected);
    }
    // Only what is wanted is read; a limited caption is cut after the marks are gone.
    EXPECT_TRUE(ReadAt(CentreOf(edit), kName).value.empty());
    EXPECT_TRUE(ReadAt(CentreOf(button), kValue).name.empty());
    EXPECT_EQ(ReadAt(CentreOf(button), kName, 6).name, L"Save &");
}

TEST(MessageReaderTest, LongTextIsReadUpToTheLimitOrWhole)
{
    ControlWindow window;
    HWND edit = window.Add(L"EDIT", L"", ES_AUTOHSCROLL, RECT{20, 20, 300, 44});
    ::SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    std::wstring text;
    for (int i = 0; text.size() < 20000; ++i)
    {
        text += std::to_wstring(i % 10);
    }
    ::SetWindowTextW(edit, text.c_str());
    ASSERT_EQ(::GetWindowTextLengthW(edit), 20000);
    WPARAM largestAsk = 0;
    ControlSubclass asks(
        edit,
        [&largestAsk](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT>
        {
            if (message == WM_GETTEXT)
            {
                largestAsk = std::max(largestAsk, wParam);
            }
            return std::nullopt;
        });

    const ReaderAnswer preview = ReadAt(CentreOf(edit), kValue, kPreviewChars);
    EXPECT_EQ(preview.value, text.substr(0, kPreviewChars));
    EXPECT_EQ(largestAsk, kPreviewChars + 1) << "a limited read asks for no more than it wants";
    EXPECT_EQ(ReadAt(CentreOf(edit), kValue, kWholeText).value, text);
}

TEST(MessageReaderTest, PrefixMarksAreRemovedAsControlsDrawThem)
{
    EXPECT_EQ(WithoutPrefixMarks(L"&Save && Close"), L"Save & Close");
    EXPECT_EQ(WithoutPrefixMarks(L"&&&x&"), L"&x");
    EXPECT_EQ(WithoutPrefixMarks(L"保存(&S)"), L"保存(S)");
    EXPECT_EQ(WithoutPrefixMarks(L""), L"");
}

} // namespace
} // namespace mirufon::win32
