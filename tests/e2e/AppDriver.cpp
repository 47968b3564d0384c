#include "e2e/AppDriver.h"

#include "e2e/Input.h"

namespace e2e
{

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
    PumpMessages(150ms);
    for (int i = 0; i < top; ++i)
    {
        PressChord({}, VK_RIGHT);
    }
    if (sub >= 0)
    {
        // Down opens the drop-down menu with its first item chosen.
        PressChord({}, VK_DOWN);
        PumpMessages(150ms);
        for (int i = 0; i < sub; ++i)
        {
            PressChord({}, VK_DOWN);
        }
    }
    PressChord({}, VK_RETURN);
    PumpMessages(150ms);
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

int ScreenDpi()
{
    HDC dc = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSX);
    ::ReleaseDC(nullptr, dc);
    return dpi;
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
    std::vector<COLORREF> pixels;
    HDC dc = ::GetDC(nullptr);
    for (int y = origin.y - height + 2; y < origin.y - 1; ++y)
    {
        for (int x = origin.x; x < origin.x + client.right; ++x)
        {
            pixels.push_back(::GetPixel(dc, x, y));
        }
    }
    ::ReleaseDC(nullptr, dc);
    return pixels;
}

COLORREF LogFrameColour(HWND mainWindow)
{
    RECT log{};
    ::GetWindowRect(Control(mainWindow, mirufon::win32::kIdLog), &log);
    // The frame shows in the margin left of the log box.
    return ScreenPixel(POINT{log.left - 3, log.top + 10});
}

void KeepScreenshot(HWND window, const std::wstring& name)
{
    // Let the window finish painting first.
    PumpMessages(400ms);
    SaveWindowScreenshot(window, ArtifactFolder() + L"\\" + name + L".bmp");
}

std::wstring Introduction(const std::wstring& separatorWord, const std::wstring& modify,
                          const std::wstring& keys)
{
    const auto key = [&](size_t i) { return modify + L"+" + keys.substr(i, 1); };
    return L"\r\nポイント位置の文字列を連続取得します。\r\n区切り：" + separatorWord +
           L"\r\n\r\n操作用のホットキー\r\n\r\n" + key(0) +
           L"：ポイント位置文字列取得 accName\r\n" + key(1) +
           L"：ポイント位置文字列取得 accValue\r\n" + key(2) + L"：改行\r\n" + key(3) +
           L"：取り消し（前回取得項目キャンセル）\r\n" + key(4) + L"：停止/再開";
}

} // namespace e2e
