#include "platform/win32/settingsdialog/SettingsDialog.h"
#include "platform/win32/settingsdialog/SettingsDialogIds.h"
#include "platform/win32/settingsdialog/SettingsDialogLayout.h"
#include "platform/win32/window/Dpi.h"
#include "platform/win32/window/SystemMessage.h"
#include "shell/AppInfo.h"
#include "support/MessagePump.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mirufon::win32
{
namespace
{

constexpr wchar_t kDuplicateTitle[] = L"重複";
constexpr wchar_t kDuplicateText[] = L"キーが重複しています！";

// Letter indexes in the key lists.
constexpr int A = 0;
constexpr int B = 1;
constexpr int C = 2;
constexpr int E = 4;
constexpr int G = 6;
constexpr int L = 11;
constexpr int Z = 25;

// Watches this thread's windows for a message box with the title (the duplicate message unless
// told) while the dialog's handlers run (the box runs its own message loop, which serves this
// thread timer), notes what it shows and dismisses it with its OK button.
class DuplicateBoxWatch
{
  public:
    explicit DuplicateBoxWatch(std::wstring title = kDuplicateTitle) : m_title(std::move(title))
    {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 50, &DuplicateBoxWatch::Tick);
    }
    DuplicateBoxWatch(const DuplicateBoxWatch&) = delete;
    DuplicateBoxWatch& operator=(const DuplicateBoxWatch&) = delete;
    ~DuplicateBoxWatch()
    {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }

    int Seen() const { return m_seen; }
    HWND LastOwner() const { return m_owner; }
    const std::vector<std::wstring>& LastTexts() const { return m_texts; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ::EnumThreadWindows(::GetCurrentThreadId(), &DuplicateBoxWatch::Visit, 0);
    }

    static BOOL CALLBACK Visit(HWND window, LPARAM)
    {
        wchar_t title[64] = {};
        ::GetWindowTextW(window, title, 64);
        wchar_t className[16] = {};
        ::GetClassNameW(window, className, 16);
        if (!s_current || !::IsWindowVisible(window) || title != s_current->m_title ||
            std::wstring(className) != L"#32770")
        {
            return TRUE;
        }
        DuplicateBoxWatch& self = *s_current;
        ++self.m_seen;
        self.m_owner = ::GetWindow(window, GW_OWNER);
        self.m_texts.clear();
        ::EnumChildWindows(window, &DuplicateBoxWatch::CollectText,
                           reinterpret_cast<LPARAM>(&self.m_texts));
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(window, IDOK)));
        return TRUE;
    }

    static BOOL CALLBACK CollectText(HWND child, LPARAM texts)
    {
        wchar_t text[128] = {};
        ::GetWindowTextW(child, text, 128);
        reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(text);
        return TRUE;
    }

    static inline DuplicateBoxWatch* s_current = nullptr;
    std::wstring m_title;
    UINT_PTR m_timer = 0;
    int m_seen = 0;
    HWND m_owner = nullptr;
    std::vector<std::wstring> m_texts;
};

// Releases of each key this thread has taken from its queue, in whichever loop (the test's or a
// message box's): once a key's release is taken, what its press did has been handled.
std::array<int, 256> g_releases{};

LRESULT CALLBACK CountRelease(int code, WPARAM key, LPARAM flags)
{
    // Bit 31: the key is released. HC_NOREMOVE is only a look that leaves it queued.
    if (code == HC_ACTION && (flags & (1LL << 31)) != 0)
    {
        ++g_releases[key & 0xFF];
    }
    return ::CallNextHookEx(nullptr, code, key, flags);
}

class SettingsDialogTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        // The main window stands in as a hidden owner.
        m_owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                    nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_owner, nullptr);
        m_dpi = ScreenDpi();
        m_dialog.emplace(::GetModuleHandleW(nullptr), m_owner, m_settings);
        // Every test runs with the watch, so an unexpected message box is counted and closed
        // instead of waiting for a user.
        m_boxes.emplace();
        m_keyHook =
            ::SetWindowsHookExW(WH_KEYBOARD, &CountRelease, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(m_keyHook, nullptr);
    }

    void TearDown() override
    {
        m_dialog.reset();
        m_boxes.reset();
        ::UnhookWindowsHookEx(m_keyHook);
        ::DestroyWindow(m_owner);
        Pump(20);
    }

    void OpenDialog()
    {
        ASSERT_TRUE(m_dialog->Open());
        ASSERT_TRUE(m_dialog->IsOpen());
        Pump(50);
    }

    // The owner's loop: the dialog's keyboard first, then the usual dispatch.
    void Pump(DWORD milliseconds)
    {
        testsupport::DispatchFor(std::chrono::milliseconds(milliseconds), [this](MSG& message)
                                 { return m_dialog && m_dialog->TranslateDialogMessage(message); });
    }

    // Runs the owner's loop until the condition holds; false when it still does not after the
    // time limit, which is generous for a loaded machine.
    bool PumpUntil(const std::function<bool()>& condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!condition())
        {
            if (std::chrono::steady_clock::now() >= deadline)
            {
                return false;
            }
            Pump(20);
        }
        return true;
    }

    static std::function<bool()> FocusIs(HWND control)
    {
        return [control] { return ::GetFocus() == control; };
    }
    std::function<bool()> BoxesSeenAre(int count) const
    {
        return [this, count] { return BoxesSeen() == count; };
    }
    std::function<bool()> DialogClosed() const
    {
        return [this] { return !m_dialog->IsOpen(); };
    }

    int Px(int twips) const { return ::MulDiv(twips, m_dpi, 1440); }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog->Handle(), id); }
    HWND KeyList(int list) const { return Item(SettingsKeyListId(list)); }

    int Selected(HWND list) const
    {
        return static_cast<int>(::SendMessageW(list, CB_GETCURSEL, 0, 0));
    }

    static std::wstring TextOf(HWND window)
    {
        wchar_t text[256] = {};
        ::GetWindowTextW(window, text, 256);
        return text;
    }

    void Choose(HWND list, int entry)
    {
        ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
        ::SendMessageW(m_dialog->Handle(), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(list), CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list));
    }

    // The control's place in the dialog's client area, in pixels.
    RECT ClientRectOf(HWND control) const
    {
        RECT rect{};
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, m_dialog->Handle(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    static POINT CentreOf(HWND control)
    {
        RECT rect{};
        ::GetWindowRect(control, &rect);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    static bool PointerAt(POINT point)
    {
        POINT now{};
        return ::GetCursorPos(&now) && now.x == point.x && now.y == point.y;
    }

    // Moves the pointer with real mouse input and waits until it stays on the point: under an
    // X server the move arrives late, and a click sent before it lands where the pointer was.
    bool MovePointer(POINT point)
    {
        INPUT move{};
        move.type = INPUT_MOUSE;
        const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
        const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
        move.mi.dx = static_cast<LONG>(
            ((point.x - ::GetSystemMetrics(SM_XVIRTUALSCREEN)) * 65536LL + width - 1) / width);
        move.mi.dy = static_cast<LONG>(
            ((point.y - ::GetSystemMetrics(SM_YVIRTUALSCREEN)) * 65536LL + height - 1) / height);
        move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
        ::SendInput(1, &move, sizeof move);
        for (int attempt = 0; attempt < 20; ++attempt)
        {
            Pump(30);
            if (PointerAt(point))
            {
                Pump(30);
                if (PointerAt(point))
                {
                    return true;
                }
            }
            ::SetCursorPos(point.x, point.y);
        }
        return PointerAt(point);
    }

    // Clicks at the point with real mouse input and runs the loop until what the click should
    // lead to holds.
    bool ClickAt(POINT point, const std::function<bool()>& until)
    {
        if (!MovePointer(point))
        {
            return false;
        }
        INPUT inputs[2] = {};
        inputs[0].type = INPUT_MOUSE;
        inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        inputs[1].type = INPUT_MOUSE;
        inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        return ::SendInput(2, inputs, sizeof(INPUT)) == 2 && PumpUntil(until);
    }

    // Presses and releases the key (with Shift held if told) with real keyboard input, and runs
    // the loop until the condition holds, or without one until the release has been handled
    // (a key that closes the dialog leaves its release to whichever window is active then).
    bool PressKey(WORD key, bool shift = false, const std::function<bool()>& until = {})
    {
        std::vector<INPUT> inputs;
        auto add = [&inputs](WORD vk, bool up)
        {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        };
        if (shift)
        {
            add(VK_SHIFT, false);
        }
        add(key, false);
        add(key, true);
        if (shift)
        {
            add(VK_SHIFT, true);
        }
        const WORD lastReleased = shift ? WORD(VK_SHIFT) : key;
        const int releases = g_releases[lastReleased];
        const auto count = static_cast<UINT>(inputs.size());
        return ::SendInput(count, inputs.data(), sizeof(INPUT)) == count &&
               PumpUntil(until ? until : [&] { return g_releases[lastReleased] > releases; });
    }

    // Brings the dialog to the front with the focus on the control, as a user's click would.
    void FocusOn(HWND control)
    {
        m_dialog->BringToFront();
        ASSERT_TRUE(PumpUntil([this] { return ::GetForegroundWindow() == m_dialog->Handle(); }));
        ::SetFocus(control);
        ASSERT_TRUE(PumpUntil(FocusIs(control)));
    }

    int BoxesSeen() const { return m_boxes->Seen(); }

    Settings m_settings;
    HWND m_owner = nullptr;
    int m_dpi = 96;
    std::optional<SettingsDialog> m_dialog;
    std::optional<DuplicateBoxWatch> m_boxes;
    HHOOK m_keyHook = nullptr;
};

// EnumThreadWindows callback: notes the thread's tooltip window.
BOOL CALLBACK NoteTooltip(HWND window, LPARAM found)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (std::wstring(name) == TOOLTIPS_CLASSW)
    {
        *reinterpret_cast<HWND*>(found) = window;
    }
    return TRUE;
}

TEST_F(SettingsDialogTest, OpensWithTheStoredChoicesShown)
{
    OpenDialog();
    HWND dialog = m_dialog->Handle();

    wchar_t className[64] = {};
    ::GetClassNameW(dialog, className, 64);
    EXPECT_STREQ(className, kSettingsDialogClass);
    EXPECT_EQ(TextOf(dialog), GetAppTitle());
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), m_owner);
    const auto style = ::GetWindowLongPtrW(dialog, GWL_STYLE);
    const auto exStyle = ::GetWindowLongPtrW(dialog, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_CONTROLPARENT);

    // Rows 1 to 6: A, Z, E, B, G, L; the lists are indexed get name, newline, cancel last,
    // stop/resume, get value, harvest.
    EXPECT_EQ(Selected(KeyList(0)), A);
    EXPECT_EQ(Selected(KeyList(4)), Z);
    EXPECT_EQ(Selected(KeyList(1)), E);
    EXPECT_EQ(Selected(KeyList(2)), B);
    EXPECT_EQ(Selected(KeyList(3)), G);
    EXPECT_EQ(Selected(KeyList(5)), L);
    for (int list = 0; list < 6; ++list)
    {
        HWND control = KeyList(list);
        ASSERT_EQ(::SendMessageW(control, CB_GETCOUNT, 0, 0), 26) << list;
        wchar_t entry[8] = {};
        ::SendMessageW(control, CB_GETLBTEXT, 25, reinterpret_cast<LPARAM>(entry));
        EXPECT_STREQ(entry, L"Z");
        EXPECT_EQ(TextOf(Item(SettingsPrefixId(list))), L"Shift+") << list;
        EXPECT_TRUE(::GetWindowLongPtrW(control, GWL_STYLE) & WS_TABSTOP);
    }
    HWND modifier = Item(kIdSettingsModifier);
    EXPECT_EQ(Selected(modifier), 0);
    EXPECT_EQ(::SendMessageW(modifier, CB_GETCOUNT, 0, 0), 4);
    wchar_t entry[16] = {};
    ::SendMessageW(modifier, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(entry, L"Shift+Ctrl");
    EXPECT_EQ(::SendMessageW(Item(kIdSettingsAddCopy), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(::SendMessageW(Item(kIdSettingsTab), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(::GetFocus(), KeyList(0));

    // Open on the open dialog only brings it to the front: same window, not refilled.
    ::SendMessageW(KeyList(0), CB_SETCURSEL, Z, 0);
    ASSERT_TRUE(m_dialog->Open());
    EXPECT_EQ(m_dialog->Handle(), dialog);
    EXPECT_EQ(Selected(KeyList(0)), Z);
    EXPECT_TRUE(::GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(SettingsDialogTest, HandEditedValuesOpenAndOnlyWhatWasShownIsWrittenBack)
{
    m_settings.nameKey = L"q";
    m_settings.lineBreakKey = L"1";
    m_settings.modifier = L"alt";
    m_settings.captureCopies = 1;
    m_settings.tabSeparated = 2;
    OpenDialog();

    EXPECT_EQ(Selected(KeyList(0)), 16); // Q
    EXPECT_EQ(Selected(KeyList(1)), CB_ERR);
    EXPECT_EQ(Selected(Item(kIdSettingsModifier)), 2);
    EXPECT_EQ(TextOf(Item(SettingsPrefixId(1))), L"Alt+");
    EXPECT_EQ(::SendMessageW(Item(kIdSettingsAddCopy), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::SendMessageW(Item(kIdSettingsTab), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    ::SendMessageW(Item(kIdSettingsOk), BM_CLICK, 0, 0);
    Pump(20);
    ASSERT_FALSE(m_dialog->IsOpen());
    EXPECT_EQ(m_settings.nameKey, L"Q");
    EXPECT_EQ(m_settings.lineBreakKey, L"1");
    EXPECT_EQ(m_settings.modifier, L"Alt");
    EXPECT_EQ(m_settings.captureCopies, 1);
    EXPECT_EQ(m_settings.tabSeparated, 2);
}

bool Overlap(const RECT& a, const RECT& b)
{
    RECT common{};
    return ::IntersectRect(&common, &a, &b) != FALSE;
}

bool Holds(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Opened centred at its size in twips, and after a move to a monitor at 96 or 144 DPI: every
// control lies in the client area and in its frame, nothing a user clicks overlaps another
// control, the rows keep their order and the fonts their size.
TEST_F(SettingsDialogTest, LayoutHoldsTogetherAtEachScale)
{
    OpenDialog();
    HWND dialog = m_dialog->Handle();
    RECT outer{};
    ::GetWindowRect(dialog, &outer);
    RECT client{};
    ::GetClientRect(dialog, &client);
    EXPECT_NEAR(client.bottom, Px(kSettingsClientHeight), 1);
    EXPECT_NEAR(outer.right - outer.left, Px(kSettingsOuterWidth), 1);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((outer.left + outer.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, (work.top + work.bottom) / 2, 1);

    // Captions, the prefix labels right-aligned.
    EXPECT_EQ(TextOf(Item(kIdSettingsHotKeyFrame)), L"ホットキー");
    EXPECT_EQ(TextOf(Item(kIdSettingsOtherFrame)), L"その他");
    EXPECT_EQ(TextOf(Item(SettingsHeadingId(3))), L"停止/再開");
    EXPECT_EQ(TextOf(Item(SettingsHeadingId(7))), L"まとめて取得");
    EXPECT_EQ(TextOf(Item(kIdSettingsAddCopy)), L"コピーでも取得");
    EXPECT_EQ(TextOf(Item(kIdSettingsStartWithWindows)), L"Windows の起動時に開始");
    EXPECT_EQ(TextOf(Item(kIdSettingsCancel)), L"Cancel");
    EXPECT_EQ(::GetWindowLongPtrW(Item(SettingsPrefixId(0)), GWL_STYLE) & SS_TYPEMASK, SS_RIGHT);

    const std::vector<int> inOtherFrame = {kIdSettingsAddCopy, kIdSettingsTab,
                                           kIdSettingsStartWithWindows};
    std::vector<int> inHotKeyFrame = {kIdSettingsModifier};
    std::vector<int> clickable = {kIdSettingsModifier, kIdSettingsOk, kIdSettingsCancel};
    clickable.insert(clickable.end(), inOtherFrame.begin(), inOtherFrame.end());
    for (int i = 0; i < 8; ++i)
    {
        inHotKeyFrame.push_back(SettingsHeadingId(i));
        if (i < static_cast<int>(kKeyListCount))
        {
            inHotKeyFrame.insert(inHotKeyFrame.end(), {SettingsKeyListId(i), SettingsPrefixId(i)});
            clickable.push_back(SettingsKeyListId(i));
        }
    }
    for (const int dpi : {96, 144})
    {
        SCOPED_TRACE(dpi);
        ::GetWindowRect(dialog, &outer);
        ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&outer));
        // The frame is drawn at the system's scale, so that only Windows can show the client
        // area exact at another scale; anywhere it holds the whole layout.
        ::GetClientRect(dialog, &client);
        EXPECT_GE(client.bottom, ::MulDiv(kSettingsClientHeight, dpi, 1440) - 1);
        const RECT hotKeyFrame = ClientRectOf(Item(kIdSettingsHotKeyFrame));
        const RECT otherFrame = ClientRectOf(Item(kIdSettingsOtherFrame));
        EXPECT_FALSE(Overlap(hotKeyFrame, otherFrame));
        for (const int id :
             {kIdSettingsOk, kIdSettingsCancel, kIdSettingsHotKeyFrame, kIdSettingsOtherFrame})
        {
            EXPECT_TRUE(Holds(client, ClientRectOf(Item(id)))) << id;
        }
        for (const auto& [frame, ids] :
             {std::pair(hotKeyFrame, inHotKeyFrame), std::pair(otherFrame, inOtherFrame)})
        {
            for (const int id : ids)
            {
                EXPECT_TRUE(Holds(frame, ClientRectOf(Item(id)))) << id;
            }
        }
        std::vector<int> all = clickable;
        all.insert(all.end(), inHotKeyFrame.begin(), inHotKeyFrame.end());
        for (const int id : clickable)
        {
            for (const int other : all)
            {
                EXPECT_TRUE(other == id ||
                            !Overlap(ClientRectOf(Item(id)), ClientRectOf(Item(other))))
                    << id << " " << other;
            }
        }

        // Rows top to bottom: the key lists in row order, each with its prefix label to its
        // left on the same line, then the modifier; the check boxes in order below the hotkeys;
        // "OK" left of "Cancel" below everything.
        LONG above = hotKeyFrame.top;
        for (const int list : kKeyListRows)
        {
            const RECT rect = ClientRectOf(KeyList(list));
            const RECT prefix = ClientRectOf(Item(SettingsPrefixId(list)));
            EXPECT_TRUE(rect.top >= above && prefix.right <= rect.left &&
                        prefix.top < rect.bottom && rect.top < prefix.bottom)
                << list;
            above = rect.bottom;
        }
        EXPECT_GE(ClientRectOf(Item(kIdSettingsModifier)).top, above);
        above = hotKeyFrame.bottom;
        for (const int id : inOtherFrame)
        {
            EXPECT_GE(ClientRectOf(Item(id)).top, above) << id;
            above = ClientRectOf(Item(id)).bottom;
        }
        const RECT ok = ClientRectOf(Item(kIdSettingsOk));
        const RECT cancel = ClientRectOf(Item(kIdSettingsCancel));
        EXPECT_TRUE(ok.top >= otherFrame.bottom && ok.right <= cancel.left && ok.top == cancel.top);

        // Both fonts at 9.75 pt at the new scale.
        for (HWND control : {KeyList(0), Item(SettingsHeadingId(0)), Item(kIdSettingsOk)})
        {
            LOGFONTW font{};
            auto handle = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
            ASSERT_NE(handle, nullptr);
            ::GetObjectW(handle, sizeof font, &font);
            EXPECT_EQ(font.lfHeight, -::MulDiv(975, dpi, 7200));
        }
    }
}

TEST_F(SettingsDialogTest, NameLabelsAreBlueAndTipsNameTheirControls)
{
    OpenDialog();
    HWND dialog = m_dialog->Handle();
    HDC dc = ::CreateCompatibleDC(nullptr);
    for (int heading : {4, 5})
    {
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(Item(SettingsHeadingId(heading))));
        EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 255)) << heading;
    }
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(Item(SettingsHeadingId(0))));
    EXPECT_NE(::GetTextColor(dc), RGB(0, 0, 255));
    ::DeleteDC(dc);

    HWND tip = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &NoteTooltip, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(::GetWindow(tip, GW_OWNER), dialog);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 3);
    const std::pair<int, const wchar_t*> tips[] = {
        {kIdSettingsModifier, L"装飾キー"},
        {kIdSettingsAddCopy, L"コピーした文字列も取得する"},
        {kIdSettingsTab, L"項目区切りをタブ(x09)コード挿入"}};
    for (const auto& [id, text] : tips)
    {
        wchar_t buffer[80] = {};
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
        tool.lpszText = buffer;
        ::SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(buffer, text) << id;
    }
}

TEST_F(SettingsDialogTest, ChoosingAModifierRelabelsAllSixPrefixesAtOnce)
{
    OpenDialog();
    Choose(Item(kIdSettingsModifier), 3);
    for (int list = 0; list < 6; ++list)
    {
        EXPECT_EQ(TextOf(Item(SettingsPrefixId(list))), L"Shift+Ctrl+") << list;
    }
    Choose(Item(kIdSettingsModifier), 2);
    EXPECT_EQ(TextOf(Item(SettingsPrefixId(3))), L"Alt+");
    // Nothing is stored before the dialog closes.
    EXPECT_EQ(m_settings.modifier, L"Shift");
}

TEST_F(SettingsDialogTest, OuterWidthStaysAtItsTwipsWhateverResizingIsAttempted)
{
    OpenDialog();
    HWND dialog = m_dialog->Handle();
    RECT before{};
    ::GetWindowRect(dialog, &before);
    ::SetWindowPos(dialog, nullptr, 0, 0, before.right - before.left + 100,
                   before.bottom - before.top, SWP_NOMOVE | SWP_NOZORDER);
    RECT after{};
    ::GetWindowRect(dialog, &after);
    EXPECT_EQ(after.right - after.left, Px(kSettingsOuterWidth));

    // A drag of either edge keeps the width, anchored at the other edge.
    RECT dragged{100, 100, 600, 500};
    ::SendMessageW(dialog, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&dragged));
    EXPECT_EQ(dragged.left, 100);
    EXPECT_EQ(dragged.right, 100 + Px(kSettingsOuterWidth));
    dragged = RECT{100, 100, 600, 500};
    ::SendMessageW(dialog, WM_SIZING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&dragged));
    EXPECT_EQ(dragged.right, 600);
    EXPECT_EQ(dragged.left, 600 - Px(kSettingsOuterWidth));
}

TEST_F(SettingsDialogTest, OkStoresTheChoicesAndNothingElse)
{
    m_settings.startInTray = 1;
    m_settings.searchString = L"keep";
    OpenDialog();
    Choose(KeyList(0), 16); // Q
    Choose(KeyList(4), 17); // R
    Choose(KeyList(1), C);
    Choose(KeyList(2), 3); // D
    Choose(KeyList(3), Z);
    Choose(Item(kIdSettingsModifier), 1);
    ::SendMessageW(Item(kIdSettingsAddCopy), BM_CLICK, 0, 0);
    ::SendMessageW(Item(kIdSettingsTab), BM_CLICK, 0, 0);
    EXPECT_EQ(m_settings.nameKey, L"A");

    ::SendMessageW(Item(kIdSettingsOk), BM_CLICK, 0, 0);
    Pump(20);
    EXPECT_FALSE(m_dialog->IsOpen());
    EXPECT_EQ(m_dialog->Handle(), nullptr);
    EXPECT_EQ(m_settings.nameKey, L"Q");
    EXPECT_EQ(m_settings.valueKey, L"R");
    EXPECT_EQ(m_settings.lineBreakKey, L"C");
    EXPECT_EQ(m_settings.cancelKey, L"D");
    EXPECT_EQ(m_settings.stopKey, L"Z");
    EXPECT_EQ(m_settings.modifier, L"Ctrl");
    EXPECT_EQ(m_settings.captureCopies, 1);
    EXPECT_EQ(m_settings.tabSeparated, 1);
    EXPECT_EQ(m_settings.separator, L"\r\n");
    EXPECT_EQ(m_settings.startInTray, 1);
    EXPECT_EQ(m_settings.searchString, L"keep");

    // Opened again, the dialog is a new window filled from the stored choices.
    OpenDialog();
    EXPECT_EQ(Selected(KeyList(3)), Z);
    EXPECT_EQ(TextOf(Item(SettingsPrefixId(0))), L"Ctrl+");
}

TEST_F(SettingsDialogTest, CancelAndShutdownCloseStoreNothing)
{
    const Settings before = m_settings;
    OpenDialog();
    Choose(KeyList(0), 16);
    Choose(Item(kIdSettingsModifier), 2);
    ::SendMessageW(Item(kIdSettingsTab), BM_CLICK, 0, 0);
    ::SendMessageW(Item(kIdSettingsCancel), BM_CLICK, 0, 0);
    Pump(20);
    EXPECT_FALSE(m_dialog->IsOpen());
    EXPECT_EQ(m_settings.nameKey, before.nameKey);
    EXPECT_EQ(m_settings.modifier, before.modifier);
    EXPECT_EQ(m_settings.tabSeparated, before.tabSeparated);

    OpenDialog();
    Choose(KeyList(0), 16);
    m_dialog->Close();
    EXPECT_FALSE(m_dialog->IsOpen());
    EXPECT_EQ(m_settings.nameKey, before.nameKey);
}

TEST_F(SettingsDialogTest, CloseBoxStoresLikeOkEvenWithADuplicate)
{
    OpenDialog();
    ::SendMessageW(Item(kIdSettingsAddCopy), BM_CLICK, 0, 0);
    Choose(KeyList(1), A); // the newline list takes the get-name list's letter
    ::SetFocus(KeyList(1));
    ::SendMessageW(m_dialog->Handle(), WM_CLOSE, 0, 0);
    Pump(100);
    EXPECT_EQ(BoxesSeen(), 0);
    EXPECT_FALSE(m_dialog->IsOpen());
    EXPECT_EQ(m_settings.nameKey, L"A");
    EXPECT_EQ(m_settings.lineBreakKey, L"A");
    EXPECT_EQ(m_settings.captureCopies, 1);
}

TEST_F(SettingsDialogTest, ClicksAwayFromADuplicateListAreRefused)
{
    OpenDialog();
    Choose(KeyList(1), A);
    FocusOn(KeyList(1));

    ASSERT_TRUE(ClickAt(CentreOf(Item(kIdSettingsOk)), BoxesSeenAre(1)));
    EXPECT_EQ(m_boxes->LastOwner(), m_dialog->Handle());
    const std::vector<std::wstring>& texts = m_boxes->LastTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), kDuplicateText), texts.end());
    ASSERT_TRUE(m_dialog->IsOpen());
    EXPECT_EQ(::GetFocus(), KeyList(1));
    EXPECT_EQ(m_settings.lineBreakKey, L"E");

    // "Cancel", a check box and another list are refused the same way: the dialog stays, the
    // box keeps its state and the list stays closed.
    ASSERT_TRUE(ClickAt(CentreOf(Item(kIdSettingsCancel)), BoxesSeenAre(2)));
    ASSERT_TRUE(ClickAt(CentreOf(Item(kIdSettingsTab)), BoxesSeenAre(3)));
    ASSERT_TRUE(ClickAt(CentreOf(KeyList(2)), BoxesSeenAre(4)));
    ASSERT_TRUE(m_dialog->IsOpen());
    EXPECT_EQ(::GetFocus(), KeyList(1));
    EXPECT_EQ(::SendMessageW(Item(kIdSettingsTab), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(::SendMessageW(KeyList(2), CB_GETDROPPEDSTATE, 0, 0));

    // With another letter the click goes through.
    Choose(KeyList(1), C);
    ASSERT_TRUE(ClickAt(CentreOf(Item(kIdSettingsOk)), DialogClosed()));
    EXPECT_EQ(BoxesSeen(), 4);
    EXPECT_EQ(m_settings.lineBreakKey, L"C");
}

TEST_F(SettingsDialogTest, KeyListsIgnoreLettersAndArrowsButTabMovesOn)
{
    OpenDialog();
    FocusOn(KeyList(0));
    for (WORD key : {WORD('Q'), WORD(VK_DOWN), WORD(VK_UP), WORD(VK_END), WORD(VK_F4)})
    {
        ASSERT_TRUE(PressKey(key));
        EXPECT_EQ(Selected(KeyList(0)), A) << key;
        EXPECT_FALSE(::SendMessageW(KeyList(0), CB_GETDROPPEDSTATE, 0, 0)) << key;
    }
    EXPECT_EQ(::GetFocus(), KeyList(0));

    // Tab goes to the next row (the get-value list), Shift+Tab back; the harvest row is last.
    EXPECT_TRUE(PressKey(VK_TAB, false, FocusIs(KeyList(4))));
    EXPECT_TRUE(PressKey(VK_TAB, true, FocusIs(KeyList(0))));
    FocusOn(KeyList(3));
    EXPECT_TRUE(PressKey(VK_TAB, false, FocusIs(KeyList(5))));
    EXPECT_TRUE(PressKey(VK_TAB, false, FocusIs(Item(kIdSettingsModifier))));

    // The modifier list is an ordinary list: the keyboard chooses there.
    FocusOn(Item(kIdSettingsModifier));
    EXPECT_TRUE(
        PressKey(VK_DOWN, false, [this] { return Selected(Item(kIdSettingsModifier)) == 1; }));
    EXPECT_EQ(TextOf(Item(SettingsPrefixId(0))), L"Ctrl+");
}

TEST_F(SettingsDialogTest, KeysThatLeaveADuplicateListAreRefused)
{
    OpenDialog();
    Choose(KeyList(5), G); // the harvest takes stop/resume's letter
    FocusOn(KeyList(5));
    ASSERT_TRUE(PressKey(VK_TAB, false, BoxesSeenAre(1)));
    ASSERT_TRUE(PressKey(VK_RETURN, false, BoxesSeenAre(2))); // "OK"
    ASSERT_TRUE(PressKey(VK_ESCAPE, false, BoxesSeenAre(3))); // "Cancel"
    ASSERT_TRUE(m_dialog->IsOpen());
    EXPECT_EQ(::GetFocus(), KeyList(5));
    EXPECT_EQ(m_settings.harvestKey, L"L");

    // Resolved, Enter acts as "OK".
    Choose(KeyList(5), C);
    ASSERT_TRUE(PressKey(VK_RETURN, false, DialogClosed()));
    EXPECT_EQ(m_settings.harvestKey, L"C");
    EXPECT_EQ(m_settings.stopKey, L"G");
}

// Below a volatile key only volatile keys can be made: there the program's entry cannot be
// written, as where a policy forbids it. The failure is told, and the dialog closes as usual.
TEST_F(SettingsDialogTest, StartWithWindowsThatCannotBeWrittenIsToldAndTheDialogCloses)
{
    const std::wstring parent =
        L"Software\\MirufonTests-" + std::to_wstring(::GetCurrentProcessId());
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, parent.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    m_dialog.emplace(::GetModuleHandleW(nullptr), m_owner, m_settings, nullptr, SystemMonitors(),
                     RunAtLogon(L"C:\\mirufon.exe", parent + L"\\Run"));
    m_boxes.emplace(GetAppTitle());
    OpenDialog();
    HWND box = Item(kIdSettingsStartWithWindows);
    EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ::SendMessageW(box, BM_CLICK, 0, 0);
    ::SendMessageW(Item(kIdSettingsTab), BM_CLICK, 0, 0);
    const HWND dialog = m_dialog->Handle();
    ::SendMessageW(Item(kIdSettingsOk), BM_CLICK, 0, 0);
    Pump(50);
    EXPECT_EQ(BoxesSeen(), 1);
    EXPECT_EQ(m_boxes->LastOwner(), dialog);
    const std::wstring told = L"Windows の起動時に開始する設定を変更できませんでした。\r\n" +
                              SystemMessage(ERROR_CHILD_MUST_BE_VOLATILE);
    const std::vector<std::wstring>& texts = m_boxes->LastTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), told), texts.end());
    EXPECT_FALSE(m_dialog->IsOpen());
    EXPECT_EQ(m_settings.tabSeparated, 1);
    // Were it left behind, it would go with the session: it is volatile.
    ::RegDeleteKeyW(HKEY_CURRENT_USER, parent.c_str());
}

// A handler in a nested loop (the duplicate box) may see its subclass go, as at a shutdown under
// that box: what the handler holds stays alive until it returns.
TEST(ControlSubclassTest, MayGoWhileItsHandlerRuns)
{
    HWND control = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr);
    auto held = std::make_shared<int>();
    const std::weak_ptr<int> watch = held;
    bool heldAfterReset = false;
    std::unique_ptr<ControlSubclass> subclass = std::make_unique<ControlSubclass>(
        control,
        [held = std::move(held), owner = &subclass, watch = &watch,
         seen = &heldAfterReset](HWND, UINT message, WPARAM, LPARAM)
        {
            if (message != WM_APP)
            {
                return std::optional<LRESULT>();
            }
            // Copied to the stack: after the reset only these are read.
            const std::weak_ptr<int>* const observed = watch;
            bool* const result = seen;
            owner->reset();
            *result = !observed->expired();
            return std::optional<LRESULT>(7);
        });
    EXPECT_EQ(::SendMessageW(control, WM_APP, 0, 0), 7);
    EXPECT_TRUE(heldAfterReset) << "the handler was destroyed while it ran";
    EXPECT_TRUE(watch.expired()) << "the handler outlived its call";
    ::DestroyWindow(control);
}

} // namespace
} // namespace mirufon::win32
