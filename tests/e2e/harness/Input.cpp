#include "e2e/harness/Input.h"

#include "support/MessagePump.h"

#include <iterator>
#include <vector>

namespace e2e
{

namespace
{

// Time for the input to travel through the system's queues and be dispatched.
constexpr auto kSettle = 30ms;
// A keyboard's shortest delay before it repeats a key, and a hand's before it presses again.
constexpr auto kHandPause = 250ms;

bool IsExtendedKey(WORD key)
{
    switch (key)
    {
    case VK_RMENU:
    case VK_RCONTROL:
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_NUMLOCK:
    case VK_DIVIDE:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
    case VK_SNAPSHOT:
        return true;
    default:
        return false;
    }
}

INPUT KeyInput(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags =
        (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

INPUT UnicodeInput(wchar_t unit, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = static_cast<WORD>(unit);
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

INPUT ButtonInput(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

bool Send(std::vector<INPUT>& inputs)
{
    const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    PumpMessages(kSettle);
    return sent == inputs.size();
}

// The pointer position on the 0..65535 scale of an absolute move over the whole virtual
// screen, rounded up so that the system's conversion back (which truncates) gives the pixel.
LONG Normalised(LONG pixel, int origin, int extent)
{
    if (extent <= 0)
    {
        return 0;
    }
    const long long scaled = (static_cast<long long>(pixel - origin) * 65536 + extent - 1) / extent;
    return static_cast<LONG>(scaled < 0 ? 0 : scaled > 65535 ? 65535 : scaled);
}

bool PointerAt(POINT screen)
{
    POINT now{};
    return ::GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
}

} // namespace

void PumpMessages(std::chrono::milliseconds duration)
{
    testsupport::DispatchFor(duration);
}

bool MovePointer(POINT screen)
{
    // An absolute move is mouse input like a real one: the window under the pointer gets
    // WM_MOUSEMOVE and hover tracking sees it. SetCursorPos alone only sets the position.
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = Normalised(screen.x, ::GetSystemMetrics(SM_XVIRTUALSCREEN),
                            ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
    move.mi.dy = Normalised(screen.y, ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                            ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    ::SendInput(1, &move, sizeof move);
    // The scale conversion may land a pixel off, and under an X server a late motion event can
    // move the pointer again: put it exactly on the point until it stays there.
    for (int attempt = 0; attempt < 20; ++attempt)
    {
        PumpMessages(kSettle);
        if (PointerAt(screen))
        {
            PumpMessages(kSettle);
            if (PointerAt(screen))
            {
                return true;
            }
        }
        ::SetCursorPos(screen.x, screen.y);
    }
    return PointerAt(screen);
}

bool PressChord(std::initializer_list<WORD> modifiers, WORD key)
{
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers)
    {
        inputs.push_back(KeyInput(modifier, false));
    }
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    for (auto modifier = std::rbegin(modifiers); modifier != std::rend(modifiers); ++modifier)
    {
        inputs.push_back(KeyInput(*modifier, true));
    }
    // One call: no real key press of the user can come between the events.
    return Send(inputs);
}

bool HoldChord(std::initializer_list<WORD> modifiers, WORD key, int repeats,
               const std::function<void()>& whileHeld)
{
    std::vector<INPUT> down, up{KeyInput(key, true)};
    for (WORD modifier : modifiers)
    {
        down.push_back(KeyInput(modifier, false));
        up.insert(up.begin() + 1, KeyInput(modifier, true));
    }
    down.push_back(KeyInput(key, false));
    std::vector<INPUT> repeat{KeyInput(key, false)};
    bool sent = Send(down);
    PumpMessages(kHandPause);
    for (int time = 0; time < repeats; ++time)
    {
        sent = Send(repeat) && sent;
    }
    whileHeld();
    sent = Send(up) && sent;
    PumpMessages(kHandPause);
    return sent;
}

bool ClickAt(POINT screen, bool right)
{
    if (!MovePointer(screen))
    {
        return false;
    }
    std::vector<INPUT> inputs{ButtonInput(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
                              ButtonInput(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)};
    return Send(inputs);
}

bool DoubleClickAt(POINT screen)
{
    if (!MovePointer(screen))
    {
        return false;
    }
    // Both clicks in one call, so they fall well inside the double-click time.
    std::vector<INPUT> inputs{ButtonInput(MOUSEEVENTF_LEFTDOWN), ButtonInput(MOUSEEVENTF_LEFTUP),
                              ButtonInput(MOUSEEVENTF_LEFTDOWN), ButtonInput(MOUSEEVENTF_LEFTUP)};
    return Send(inputs);
}

bool TypeText(std::wstring_view text)
{
    std::vector<INPUT> inputs;
    inputs.reserve(text.size() * 2);
    for (wchar_t unit : text)
    {
        inputs.push_back(UnicodeInput(unit, false));
        inputs.push_back(UnicodeInput(unit, true));
    }
    if (inputs.empty())
    {
        return true;
    }
    return Send(inputs);
}

bool IsHotkeyTaken(UINT modifiers, UINT virtualKey)
{
    // An id of the driver's own thread (no window), from the range left to applications.
    constexpr int kProbeId = 0xBFF0;
    if (!::RegisterHotKey(nullptr, kProbeId, modifiers, virtualKey))
    {
        return true;
    }
    ::UnregisterHotKey(nullptr, kProbeId);
    return false;
}

} // namespace e2e
