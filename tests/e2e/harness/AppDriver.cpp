#include "e2e/harness/AppDriver.h"

#include "e2e/harness/Input.h"
#include "platform/win32/reading/ControlMessages.h"
#include "platform/win32/window/Fonts.h"
#include "text/AsciiCase.h"

#include <algorithm>
#include <optional>

namespace e2e
{

bool PopupMenuShown(HWND window)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    for (HWND menu = nullptr;
         (menu = ::FindWindowExW(nullptr, menu, L"#32768", nullptr)) != nullptr;)
    {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(menu, &owner);
        if (owner == process && ::IsWindowVisible(menu))
        {
            return true;
        }
    }
    return false;
}

std::wstring ControlText(HWND mainWindow, int id)
{
    return WindowText(Control(mainWindow, id));
}

::testing::AssertionResult WaitForText(HWND mainWindow, int id, const std::wstring& expected,
                                       std::chrono::milliseconds timeout)
{
    std::wstring actual;
    if (WaitUntil(
            [&]
            {
                actual = ControlText(mainWindow, id);
                return actual == expected;
            },
            timeout))
    {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "control " << id << " shows \"" << Utf8(actual)
                                         << "\", expected \"" << Utf8(expected) << "\"";
}

::testing::AssertionResult StaysText(HWND mainWindow, int id, const std::wstring& expected,
                                     std::chrono::milliseconds period)
{
    std::wstring actual;
    const bool changed = WaitUntil(
        [&]
        {
            actual = ControlText(mainWindow, id);
            return actual != expected;
        },
        period);
    if (!changed)
    {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "control " << id << " changed to \"" << Utf8(actual)
                                         << "\", expected it to stay \"" << Utf8(expected) << "\"";
}

::testing::AssertionResult Eventually(const std::function<::testing::AssertionResult()>& check,
                                      std::chrono::milliseconds timeout)
{
    ::testing::AssertionResult last = ::testing::AssertionFailure();
    if (WaitUntil(
            [&]
            {
                last = check();
                return static_cast<bool>(last);
            },
            timeout))
    {
        return ::testing::AssertionSuccess();
    }
    return last;
}

::testing::AssertionResult Throughout(const std::function<::testing::AssertionResult()>& check,
                                      std::chrono::milliseconds period)
{
    ::testing::AssertionResult last = ::testing::AssertionSuccess();
    if (WaitUntil(
            [&]
            {
                last = check();
                return !last;
            },
            period))
    {
        return last;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult WaitForHotkeys(UINT modifiers, std::wstring_view taken,
                                          std::wstring_view free, std::chrono::milliseconds timeout)
{
    return Eventually(
        [&]
        {
            std::string wrong;
            for (const wchar_t key : taken)
            {
                if (!IsHotkeyTaken(modifiers, key))
                {
                    wrong += std::string(" ") + static_cast<char>(key) + " is free;";
                }
            }
            for (const wchar_t key : free)
            {
                if (IsHotkeyTaken(modifiers, key))
                {
                    wrong += std::string(" ") + static_cast<char>(key) + " is taken;";
                }
            }
            if (wrong.empty())
            {
                return ::testing::AssertionSuccess();
            }
            return ::testing::AssertionFailure()
                   << "expected taken \"" << Utf8(std::wstring(taken)) << "\" and free \""
                   << Utf8(std::wstring(free)) << "\" (modifiers " << modifiers << "), but"
                   << wrong;
        },
        timeout);
}

bool InMenuMode(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) &&
           (info.flags & GUI_INMENUMODE) != 0;
}

bool Activate(HWND window)
{
    // A second click on the title bar soon after the first would be a double click, which
    // maximizes the window.
    if (::GetForegroundWindow() == window)
    {
        return true;
    }
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const int caption = ::GetSystemMetrics(SM_CYCAPTION);
    ClickAt(POINT{rect.left + (rect.right - rect.left) / 3, rect.top + caption / 2 + 2});
    return WaitUntil([&] { return ::GetForegroundWindow() == window; }, 3s);
}

bool ChooseMenu(HWND mainWindow, int top, int sub)
{
    if (!Activate(mainWindow))
    {
        ADD_FAILURE() << "could not activate the main window; the foreground is \""
                      << Utf8(WindowText(::GetForegroundWindow())) << "\"";
        return false;
    }
    PressChord({}, VK_F10);
    if (!WaitUntil([&] { return InMenuMode(mainWindow); }, 3s))
    {
        ADD_FAILURE() << "F10 did not open the menu bar";
        return false;
    }
    for (int i = 0; i < top; ++i)
    {
        PressChord({}, VK_RIGHT);
    }
    if (sub >= 0)
    {
        // Down opens the drop-down menu with its first item chosen.
        PressChord({}, VK_DOWN);
        if (!WaitUntil([&] { return PopupMenuShown(mainWindow); }, 3s))
        {
            ADD_FAILURE() << "Down did not open the drop-down menu";
            return false;
        }
        for (int i = 0; i < sub; ++i)
        {
            PressChord({}, VK_DOWN);
        }
    }
    PressChord({}, VK_RETURN);
    // The menu posts the command as it closes.
    if (!WaitUntil([&] { return !InMenuMode(mainWindow); }, 3s))
    {
        ADD_FAILURE() << "the menu stayed open after Enter";
        return false;
    }
    return true;
}

HWND WaitForMessageBox(const App& app, const std::wstring& title, std::chrono::milliseconds timeout)
{
    HWND box = nullptr;
    WaitUntil(
        [&]
        {
            box = app.FindWindowOf(L"#32770", title);
            return box && ::IsWindowVisible(box) && ::GetDlgItem(box, IDOK) &&
                   ::IsWindowVisible(::GetDlgItem(box, IDOK));
        },
        timeout);
    return box;
}

std::wstring MessageBoxText(HWND box)
{
    return WindowText(::GetDlgItem(box, 0xFFFF));
}

bool DismissMessageBox(HWND box)
{
    // Enter presses the default button, OK, of the box in front. (A click would do too, but
    // a topmost window of the program may sit over the box's button for hit testing.)
    for (int attempt = 0; attempt < 3 && ::IsWindow(box); ++attempt)
    {
        ::SetForegroundWindow(box);
        WaitUntil([&] { return ::GetForegroundWindow() == box; }, 2s);
        PressChord({}, VK_RETURN);
        WaitUntil([&] { return !::IsWindow(box); }, 2s);
    }
    return !::IsWindow(box);
}

bool IsTopMost(HWND window)
{
    return (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

COLORREF ScreenPixel(POINT screen)
{
    HDC dc = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(dc, screen.x, screen.y);
    ::ReleaseDC(nullptr, dc);
    return colour;
}

std::vector<COLORREF> MenuBarPixels(HWND mainWindow)
{
    POINT origin{0, 0};
    ::ClientToScreen(mainWindow, &origin);
    RECT client{};
    ::GetClientRect(mainWindow, &client);
    const int height = ::GetSystemMetrics(SM_CYMENU);
    return ScreenPixels(
        RECT{origin.x, origin.y - height + 2, origin.x + client.right, origin.y - 1});
}

std::vector<COLORREF> DrawnMenuBar(HWND mainWindow, std::chrono::milliseconds timeout)
{
    // Drawn: the bar's background and its captions' text both show.
    const COLORREF text = ::GetSysColor(COLOR_MENUTEXT);
    std::vector<COLORREF> previous;
    std::vector<COLORREF> now;
    const bool drawn = WaitUntil(
        [&]
        {
            previous = std::move(now);
            now = MenuBarPixels(mainWindow);
            const auto texts = std::count(now.begin(), now.end(), text);
            return texts > 0 && texts < static_cast<std::ptrdiff_t>(now.size()) && now == previous;
        },
        timeout);
    return drawn ? now : std::vector<COLORREF>{};
}

COLORREF LogFrameColour(HWND mainWindow)
{
    RECT log{};
    ::GetWindowRect(Control(mainWindow, mirufon::win32::kIdLog), &log);
    // The frame shows in the margin left of the log box.
    return ScreenPixel(POINT{log.left - 3, log.top + 10});
}

::testing::AssertionResult WaitForLogFrame(HWND mainWindow, COLORREF expected,
                                           std::chrono::milliseconds timeout)
{
    COLORREF actual = CLR_INVALID;
    if (WaitUntil(
            [&]
            {
                actual = LogFrameColour(mainWindow);
                return actual == expected;
            },
            timeout))
    {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << std::hex << "the log's frame is 0x" << actual << ", expected 0x" << expected;
}

void KeepScreenshot(HWND window, const std::wstring& name)
{
    // Let the window finish painting first.
    PumpMessages(400ms);
    SaveWindowScreenshot(window, ArtifactFolder() + L"\\" + name + L".bmp");
}

::testing::AssertionResult IsIntroduction(const std::wstring& text,
                                          const std::wstring& separatorWord,
                                          const std::wstring& modify, const std::wstring& keys)
{
    std::vector<std::wstring> lines;
    for (std::size_t at = 0;;)
    {
        const std::size_t end = text.find(L"\r\n", at);
        lines.push_back(text.substr(at, end == std::wstring::npos ? end : end - at));
        if (end == std::wstring::npos)
        {
            break;
        }
        at = end + 2;
    }
    const auto failure = [&] { return ::testing::AssertionFailure() << "not the introduction: "; };
    if (lines.size() < 3 + keys.size() || !lines[0].empty() || lines[1].empty())
    {
        return failure() << "no opening line after a line break in \"" << Utf8(text) << "\"";
    }
    if (std::find(lines.begin(), lines.end(), L"区切り：" + separatorWord) == lines.end())
    {
        return failure() << "no separator line for " << Utf8(separatorWord) << " in \""
                         << Utf8(text) << "\"";
    }
    // The key lines close the text, one a command, in command order.
    const std::size_t first = lines.size() - keys.size();
    for (std::size_t i = 0; i < keys.size(); ++i)
    {
        const std::wstring label = modify + L"+" + keys.substr(i, 1) + L"：";
        if (!lines[first + i].starts_with(label))
        {
            return failure() << "line " << first + i << " is \"" << Utf8(lines[first + i])
                             << "\", expected it to start with \"" << Utf8(label) << "\"";
        }
    }
    return ::testing::AssertionSuccess();
}

namespace
{

struct Extent
{
    int needed = 0;
    int has = 0;
};

// What a child control's text needs beside the text itself: a check box its box, a push
// button and a frame a margin either side; none when it is no text-bearing control.
std::optional<int> ChromeOf(HWND control)
{
    const std::wstring className = ClassName(control);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_STYLE));
    if (mirufon::EqualsIgnoringAsciiCase(className, L"Static"))
    {
        return (style & SS_TYPEMASK) <= SS_RIGHT ? std::optional<int>(0) : std::nullopt;
    }
    if (!mirufon::EqualsIgnoringAsciiCase(className, L"Button"))
    {
        return std::nullopt;
    }
    switch (style & BS_TYPEMASK)
    {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return ::GetSystemMetrics(SM_CXMENUCHECK) + 4;
    case BS_GROUPBOX:
        return 16;
    default:
        return 6;
    }
}

} // namespace

std::vector<std::string> LabelsThatDoNotFit(HWND window)
{
    const mirufon::win32::UniqueFont font =
        mirufon::win32::CreateProgramFont(mirufon::win32::FontRole::Label, ScreenDpi());
    HDC screen = ::GetDC(nullptr);
    const HGDIOBJ previous = ::SelectObject(screen, font.Get());
    std::vector<std::string> misfits;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        const std::optional<int> chrome = ChromeOf(child);
        const std::wstring text = mirufon::win32::WithoutPrefixMarks(WindowText(child));
        if (!chrome || text.empty() || !::IsWindowVisible(child))
        {
            continue;
        }
        SIZE size{};
        ::GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
        RECT client{};
        ::GetClientRect(child, &client);
        const Extent extent{size.cx + *chrome, client.right - client.left};
        if (extent.needed > extent.has)
        {
            misfits.push_back(Utf8(text) + ": " + std::to_string(extent.needed) + "/" +
                              std::to_string(extent.has));
        }
    }
    ::SelectObject(screen, previous);
    ::ReleaseDC(nullptr, screen);
    return misfits;
}

} // namespace e2e
