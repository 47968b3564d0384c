// The harness's own pieces, proved without the program: synthetic key chords reach global
// hotkeys, the pointer goes where it is sent, the target window's controls are where it says,
// clicks and typing reach it, and the clipboard helpers round-trip text and really hold it.

#include "e2e/harness/Clipboard.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/Target.h"
#include "support/WindowObject.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace e2e
{
namespace
{

struct Hotkey
{
    int id;
    LPARAM lParam;
};

// A message-only window of the driver's thread that records the WM_HOTKEY it is sent; it also
// serves as a clipboard owner.
class Sink
{
  public:
    Sink()
    {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &Sink::WindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"MirufonE2eSink";
        ::RegisterClassExW(&windowClass); // fails harmlessly when already registered
        m_window = ::CreateWindowExW(0, L"MirufonE2eSink", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                     nullptr, ::GetModuleHandleW(nullptr), this);
    }
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;
    ~Sink()
    {
        if (m_window)
        {
            ::DestroyWindow(m_window);
        }
    }

    HWND Handle() const { return m_window; }
    const std::vector<Hotkey>& Hotkeys() const { return m_hotkeys; }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = testsupport::WindowObject<Sink>(window, message, lParam);
        if (self && message == WM_HOTKEY)
        {
            self->m_hotkeys.push_back(Hotkey{static_cast<int>(wParam), lParam});
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
    std::vector<Hotkey> m_hotkeys;
};

// A global hotkey whose id is a global atom taken as a signed 16-bit value, as the program
// registers its own; unregistered and the atom deleted at the end.
class AtomHotkey
{
  public:
    AtomHotkey(HWND window, const wchar_t* name, UINT modifiers, UINT key)
        : m_window(window), m_atom(::GlobalAddAtomW(name)), m_id(static_cast<SHORT>(m_atom)),
          m_registered(::RegisterHotKey(window, m_id, modifiers, key) != FALSE)
    {
    }
    AtomHotkey(const AtomHotkey&) = delete;
    AtomHotkey& operator=(const AtomHotkey&) = delete;
    ~AtomHotkey()
    {
        if (m_registered)
        {
            ::UnregisterHotKey(m_window, m_id);
        }
        ::GlobalDeleteAtom(m_atom);
    }

    int Id() const { return m_id; }
    bool Registered() const { return m_registered; }

  private:
    HWND m_window;
    ATOM m_atom;
    int m_id;
    bool m_registered;
};

bool KeyDown(int key)
{
    return (::GetAsyncKeyState(key) & 0x8000) != 0;
}

RECT WindowRectOf(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

POINT ClientPointOf(HWND window, POINT screen)
{
    ::ScreenToClient(window, &screen);
    return screen;
}

// The same text on another thread's clipboard access, as another program would see it.
std::optional<std::wstring> ClipboardTextFromOtherThread()
{
    std::optional<std::wstring> text;
    std::thread reader([&text] { text = GetClipboardText(); });
    reader.join();
    return text;
}

bool OtherThreadCanOpenClipboard()
{
    bool opened = false;
    std::thread opener(
        [&opened]
        {
            opened = ::OpenClipboard(nullptr) != FALSE;
            if (opened)
            {
                ::CloseClipboard();
            }
        });
    opener.join();
    return opened;
}

// Hotkeys ------------------------------------------------------------------------------------

TEST(HarnessSelfTest, ChordDeliversTheRegisteredHotkeyWithItsAtomId)
{
    Sink sink;
    ASSERT_NE(sink.Handle(), nullptr);
    // Combinations the program never uses by default (its own are Shift+A, Z, E, B and G).
    AtomHotkey twoModifiers(sink.Handle(), L"MIRUFON_E2E_SELFTEST_F9", MOD_SHIFT | MOD_CONTROL,
                            VK_F9);
    AtomHotkey oneModifier(sink.Handle(), L"MIRUFON_E2E_SELFTEST_Q", MOD_SHIFT, 'Q');
    ASSERT_TRUE(twoModifiers.Registered());
    ASSERT_TRUE(oneModifier.Registered());
    ASSERT_LT(twoModifiers.Id(), 0) << "an atom taken as a signed 16-bit id is negative";

    ASSERT_TRUE(PressChord({VK_SHIFT, VK_CONTROL}, VK_F9));
    ASSERT_TRUE(WaitUntil([&] { return sink.Hotkeys().size() == 1; }, 3s));
    EXPECT_EQ(sink.Hotkeys()[0].id, twoModifiers.Id());
    EXPECT_EQ(LOWORD(sink.Hotkeys()[0].lParam), MOD_SHIFT | MOD_CONTROL);
    EXPECT_EQ(HIWORD(sink.Hotkeys()[0].lParam), VK_F9);

    ASSERT_TRUE(PressChord({VK_SHIFT}, 'Q'));
    ASSERT_TRUE(WaitUntil([&] { return sink.Hotkeys().size() == 2; }, 3s));
    EXPECT_EQ(sink.Hotkeys()[1].id, oneModifier.Id());

    // Nothing more arrives: each chord is one press.
    EXPECT_FALSE(WaitUntil([&] { return sink.Hotkeys().size() != 2; }, 200ms))
        << sink.Hotkeys().size() << " hotkeys arrived";
}

TEST(HarnessSelfTest, ChordWithOtherModifiersDoesNotFireTheHotkey)
{
    Sink sink;
    AtomHotkey hotkey(sink.Handle(), L"MIRUFON_E2E_SELFTEST_F9", MOD_SHIFT | MOD_CONTROL, VK_F9);
    ASSERT_TRUE(hotkey.Registered());
    ASSERT_TRUE(PressChord({VK_CONTROL}, VK_F9));
    ASSERT_TRUE(PressChord({VK_SHIFT}, VK_F9));
    ASSERT_TRUE(PressChord({}, VK_F9));
    EXPECT_FALSE(WaitUntil([&] { return !sink.Hotkeys().empty(); }, 300ms))
        << "a chord with other modifiers fired the hotkey";
    // A chord that matches after all of those still fires, so no modifier was left stuck.
    ASSERT_TRUE(PressChord({VK_CONTROL, VK_SHIFT}, VK_F9));
    EXPECT_TRUE(WaitUntil([&] { return sink.Hotkeys().size() == 1; }, 3s));
}

TEST(HarnessSelfTest, ChordReleasesEveryKeyItPressed)
{
    ASSERT_TRUE(PressChord({VK_SHIFT, VK_CONTROL, VK_MENU}, VK_F11));
    EXPECT_FALSE(KeyDown(VK_SHIFT));
    EXPECT_FALSE(KeyDown(VK_CONTROL));
    EXPECT_FALSE(KeyDown(VK_MENU));
    EXPECT_FALSE(KeyDown(VK_F11));
}

TEST(HarnessSelfTest, HotkeyTakenIsSeenAndAFreeOneIsLeftFree)
{
    Sink sink;
    EXPECT_FALSE(IsHotkeyTaken(MOD_SHIFT | MOD_CONTROL, VK_F9));
    {
        AtomHotkey hotkey(sink.Handle(), L"MIRUFON_E2E_SELFTEST_F9", MOD_SHIFT | MOD_CONTROL,
                          VK_F9);
        ASSERT_TRUE(hotkey.Registered());
        EXPECT_TRUE(IsHotkeyTaken(MOD_SHIFT | MOD_CONTROL, VK_F9));
        // Another modifier set on the same key is another hotkey.
        EXPECT_FALSE(IsHotkeyTaken(MOD_SHIFT, VK_F9));
    }
    EXPECT_FALSE(IsHotkeyTaken(MOD_SHIFT | MOD_CONTROL, VK_F9));
    // The probe gave the combination back: a real registration still works.
    AtomHotkey again(sink.Handle(), L"MIRUFON_E2E_SELFTEST_F9", MOD_SHIFT | MOD_CONTROL, VK_F9);
    EXPECT_TRUE(again.Registered());
}

// Pointer and target window ------------------------------------------------------------------

TEST(HarnessSelfTest, PointerEndsExactlyWhereItIsSent)
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    // Odd positions and the far edges, where the scale of absolute moves rounds worst.
    for (const POINT point : {POINT{1, 1}, POINT{641, 333}, POINT{width - 1, height - 1},
                              POINT{877, 45}, POINT{3, height / 2 + 1}})
    {
        ASSERT_TRUE(MovePointer(point)) << point.x << "," << point.y;
        POINT now{};
        ASSERT_TRUE(::GetCursorPos(&now));
        EXPECT_EQ(now.x, point.x);
        EXPECT_EQ(now.y, point.y);
    }
}

TEST(HarnessSelfTest, PointerMoveIsSeenByTheWindowUnderIt)
{
    TargetWindow target;
    const POINT blank = target.BlankPoint();
    ASSERT_TRUE(MovePointer(POINT{blank.x - 5, blank.y - 5}));
    ASSERT_TRUE(MovePointer(blank));
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            const POINT last = target.LastMouseMove();
            const POINT expected = ClientPointOf(target.Handle(), blank);
            return last.x == expected.x && last.y == expected.y;
        },
        3s))
        << "the target never saw the pointer arrive at its client point";
    EXPECT_GE(target.MouseMoves(), 2);
}

TEST(HarnessSelfTest, TargetWindowIsPlacedAndItsControlsAreUnderTheirCentres)
{
    TargetWindow target(POINT{860, 40}, SIZE{400, 260});
    ASSERT_NE(target.Handle(), nullptr);
    const RECT placed = WindowRectOf(target.Handle());
    EXPECT_EQ(placed.left, 860);
    EXPECT_EQ(placed.top, 40);
    EXPECT_EQ(placed.right - placed.left, 400);
    EXPECT_EQ(placed.bottom - placed.top, 260);
    EXPECT_TRUE(::GetWindowLongW(target.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(::GetForegroundWindow(), target.Handle());

    EXPECT_EQ(::WindowFromPoint(target.ButtonCentre()), target.Button());
    EXPECT_EQ(::WindowFromPoint(target.EditCentre()), target.Edit());
    EXPECT_EQ(::WindowFromPoint(target.LabelCentre()), target.Label());
    EXPECT_EQ(::WindowFromPoint(target.BlankPoint()), target.Handle());

    // The texts as a reader of the controls gets them, characters outside code page 932
    // included.
    EXPECT_EQ(Utf8(WindowText(target.Button())), Utf8(L"保存 Save Ω€"));
    EXPECT_EQ(Utf8(WindowText(target.Button())), Utf8(target.ButtonCaption()));
    EXPECT_EQ(Utf8(WindowText(target.Edit())), Utf8(target.EditValue()));
    EXPECT_EQ(Utf8(WindowText(target.Label())), "label");
}

TEST(HarnessSelfTest, BringToFrontLiftsTheWindowAboveAnotherTopmostOne)
{
    TargetWindow first;
    TargetWindow second; // same place, created later: on top
    ASSERT_EQ(::WindowFromPoint(first.ButtonCentre()), second.Button());
    first.BringToFront();
    EXPECT_EQ(::WindowFromPoint(first.ButtonCentre()), first.Button());
    EXPECT_EQ(::GetForegroundWindow(), first.Handle());

    // Without topmost a topmost window stays above it even when it is brought up.
    first.SetTopmost(false);
    EXPECT_FALSE(::GetWindowLongW(first.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(::WindowFromPoint(first.ButtonCentre()), second.Button());
}

TEST(HarnessSelfTest, DestroyedTargetLeavesNoWindowBehind)
{
    HWND window = nullptr;
    {
        TargetWindow target;
        window = target.Handle();
        ASSERT_TRUE(::IsWindow(window));
        // The close box does not end it: the test's handles stay valid until it goes.
        ::SendMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(::IsWindow(window));
    }
    EXPECT_FALSE(::IsWindow(window));
}

// Clicks and typing --------------------------------------------------------------------------

TEST(HarnessSelfTest, ClicksReachTheControlUnderThePointer)
{
    TargetWindow target;
    ASSERT_TRUE(ClickAt(target.ButtonCentre()));
    EXPECT_TRUE(WaitUntil([&] { return target.ButtonClicks() == 1; }, 3s));

    ASSERT_TRUE(ClickAt(target.ButtonCentre(), true));
    EXPECT_TRUE(WaitUntil([&] { return target.ContextMenus() == 1; }, 3s));
    EXPECT_FALSE(WaitUntil([&] { return target.ButtonClicks() != 1; }, 200ms))
        << "a right click must not press the button";

    ASSERT_TRUE(DoubleClickAt(target.LabelCentre()));
    EXPECT_TRUE(WaitUntil([&] { return target.LabelDoubleClicks() == 1; }, 3s));
    EXPECT_FALSE(WaitUntil([&] { return target.ButtonClicks() != 1; }, 200ms))
        << "a double click on the label pressed the button";
}

TEST(HarnessSelfTest, TypedTextArrivesWholeInTheFocusedEdit)
{
    TargetWindow target;
    ASSERT_TRUE(ClickAt(target.EditCentre()));
    ASSERT_TRUE(WaitUntil([&] { return target.Focus() == target.Edit(); }, 3s));
    ::SendMessageW(target.Edit(), EM_SETSEL, 0, -1);
    // Japanese, a character outside code page 932, and one outside the basic plane.
    const std::wstring typed = L"日本語 Ω€ abc \U0001F600!";
    ASSERT_TRUE(TypeText(typed));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(target.Edit()) == typed; }, 3s))
        << Utf8(WindowText(target.Edit()));
}

TEST(HarnessSelfTest, UnregisteredChordReachesTheFocusedWindowAsAKey)
{
    TargetWindow target;
    ASSERT_TRUE(ClickAt(target.EditCentre()));
    ASSERT_TRUE(WaitUntil([&] { return target.Focus() == target.Edit(); }, 3s));
    ::SetWindowTextW(target.Edit(), L"");
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'K'));
    ASSERT_TRUE(PressChord({}, 'K'));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(target.Edit()) == L"Kk"; }, 3s))
        << Utf8(WindowText(target.Edit()));
}

// Clipboard ----------------------------------------------------------------------------------

TEST(HarnessSelfTest, ClipboardTextRoundTripsExactly)
{
    Sink owner;
    const std::wstring text = L"日本語\tTab\r\nline Ω€";
    ASSERT_TRUE(SetClipboardText(owner.Handle(), text));
    EXPECT_EQ(GetClipboardText(), text);
    EXPECT_EQ(ClipboardTextFromOtherThread(), text);

    // An empty text is a text, not the absence of one.
    ASSERT_TRUE(SetClipboardText(owner.Handle(), L""));
    EXPECT_EQ(GetClipboardText(), std::wstring());

    ASSERT_TRUE(ClearClipboard(owner.Handle()));
    EXPECT_FALSE(GetClipboardText().has_value());
}

TEST(HarnessSelfTest, ClipboardHoldKeepsOthersOutUntilReleased)
{
    Sink owner;
    ASSERT_TRUE(SetClipboardText(owner.Handle(), L"held text"));
    {
        ClipboardHold hold(owner.Handle());
        ASSERT_TRUE(hold.Held());
        EXPECT_FALSE(OtherThreadCanOpenClipboard());
        EXPECT_FALSE(ClipboardTextFromOtherThread().has_value())
            << "a reader must give up, not read, while the clipboard is held";
        hold.Release();
        EXPECT_FALSE(hold.Held());
        EXPECT_TRUE(OtherThreadCanOpenClipboard());
    }
    {
        ClipboardHold hold(owner.Handle());
        ASSERT_TRUE(hold.Held());
        EXPECT_FALSE(OtherThreadCanOpenClipboard());
    }
    EXPECT_TRUE(OtherThreadCanOpenClipboard()) << "the destructor must close the clipboard";
    EXPECT_EQ(ClipboardTextFromOtherThread(), L"held text");
}

TEST(HarnessSelfTest, ClipboardWritersWaitForAShortHoldAndGiveUpOnALongOne)
{
    Sink owner;
    ASSERT_TRUE(SetClipboardText(owner.Handle(), L"before"));

    // Another thread holds the clipboard for a moment, then lets go.
    std::atomic<bool> held{false};
    std::thread shortHolder(
        [&held]
        {
            ClipboardHold hold;
            held = hold.Held();
            ::Sleep(300);
        });
    ASSERT_TRUE(WaitUntil([&] { return held.load(); }, 3s));
    EXPECT_TRUE(SetClipboardText(owner.Handle(), L"after a short wait"));
    shortHolder.join();
    EXPECT_EQ(GetClipboardText(), L"after a short wait");

    // Held longer than the writer waits: it fails and the old text stays.
    held = false;
    std::thread longHolder(
        [&held]
        {
            ClipboardHold hold;
            held = hold.Held();
            ::Sleep(2500);
        });
    ASSERT_TRUE(WaitUntil([&] { return held.load(); }, 3s));
    EXPECT_FALSE(SetClipboardText(owner.Handle(), L"never written"));
    longHolder.join();
    EXPECT_EQ(GetClipboardText(), L"after a short wait");
}

} // namespace
} // namespace e2e
