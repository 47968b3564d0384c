#include "platform/win32/MessageWindow.h"

#include "platform/ZoomTarget.h"
#include "platform/win32/Fonts.h"
#include "platform/win32/Win32Clipboard.h"
#include "shell/Layout.h"
#include "shell/MessageWindow.h"

#include <cmath>
#include <memory>
#include <vector>

namespace mirufon::win32
{
namespace
{

constexpr COLORREF kBackground = RGB(192, 255, 255);
constexpr COLORREF kText = RGB(0, 0, 255);
constexpr UINT_PTR kTimer1 = 1;
constexpr int kMessageFontSize = 1575; // 15.75 pt

int ScreenDpi()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen)
    {
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

// One message on screen; it deletes nothing itself, its owner (DispMsg) outlives it.
class MessageWindow final : public ZoomTarget
{
  public:
    explicit MessageWindow(HINSTANCE instance)
        : m_instance(instance), m_twipsPerPixel(TwipsPerPixel(ScreenDpi())),
          m_background(::CreateSolidBrush(kBackground))
    {
    }
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;
    ~MessageWindow() override
    {
        if (m_window)
        {
            ::DestroyWindow(m_window);
        }
    }

    bool Show(const std::wstring& msgText)
    {
        const MsgParts parts = ParseMsgText(msgText);
        RegisterClass();
        const int width = Pixels(kMessageWindowWidth);
        const int height = Pixels(MessageWindowHeight(parts.text));
        // Centred on the screen: the main window it belongs to is not shown yet.
        const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
        m_window =
            ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kMessageWindowClass, L"", WS_POPUP,
                              left, top, width, height, nullptr, nullptr, m_instance, this);
        if (!m_window)
        {
            return false;
        }
        m_font = CreateJapaneseFont(L"ＭＳ Ｐゴシック", kMessageFontSize, ScreenDpi());
        m_label =
            ::CreateWindowExW(0, L"STATIC", parts.text.c_str(),
                              WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, Pixels(90), Pixels(90),
                              Pixels(7995), Pixels(4515), m_window, nullptr, m_instance, nullptr);
        ::SendMessageW(m_label, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
        ::SetWindowPos(m_window, HWND_TOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (parts.durationMs > 0)
        {
            ::SetTimer(m_window, kTimer1, static_cast<UINT>(parts.durationMs), nullptr);
        }
        ::ShowWindow(m_window, SW_SHOWNOACTIVATE);
        ::UpdateWindow(m_window);
        return true;
    }

    bool IsOpen() const { return m_window != nullptr; }

    ZoomSize SetSize(std::int32_t width, std::int32_t height) override
    {
        ::SetWindowPos(m_window, nullptr, 0, 0, Pixels(width), Pixels(height),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT rect{};
        ::GetWindowRect(m_window, &rect);
        return ZoomSize{(rect.right - rect.left) * m_twipsPerPixel,
                        (rect.bottom - rect.top) * m_twipsPerPixel};
    }

    void Move(std::int32_t left, std::int32_t top) override
    {
        ::SetWindowPos(m_window, nullptr, Pixels(left), Pixels(top), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = WindowOwner<MessageWindow>(window, message, lParam);
        if (self)
        {
            switch (message)
            {
            case WM_TIMER:
                if (wParam == kTimer1)
                {
                    self->OnTimer1();
                }
                return 0;
            case WM_ERASEBKGND:
            {
                RECT client{};
                ::GetClientRect(window, &client);
                ::FillRect(reinterpret_cast<HDC>(wParam), &client, self->m_background.Get());
                return 1;
            }
            case WM_CTLCOLORSTATIC:
                ::SetTextColor(reinterpret_cast<HDC>(wParam), kText);
                ::SetBkColor(reinterpret_cast<HDC>(wParam), kBackground);
                return reinterpret_cast<LRESULT>(self->m_background.Get());
            case WM_NCDESTROY:
                ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
                self->m_window = nullptr;
                break;
            default:
                break;
            }
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    void RegisterClass()
    {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &MessageWindow::WindowProc;
        windowClass.hInstance = m_instance;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kMessageWindowClass;
        ::RegisterClassExW(&windowClass);
    }

    // The display time is over: shrink towards the bottom-right corner, then close.
    void OnTimer1()
    {
        ::KillTimer(m_window, kTimer1);
        RECT rect{};
        ::GetWindowRect(m_window, &rect);
        Win32MessagePump pump;
        Zoom(*this, pump, rect.left * m_twipsPerPixel, rect.top * m_twipsPerPixel,
             (rect.right - rect.left) * m_twipsPerPixel,
             (rect.bottom - rect.top) * m_twipsPerPixel);
        if (m_window)
        {
            ::DestroyWindow(m_window);
        }
    }

    int Pixels(std::int32_t twips) const
    {
        return static_cast<int>(std::lround(static_cast<double>(twips) / m_twipsPerPixel));
    }

    HINSTANCE m_instance;
    std::int32_t m_twipsPerPixel;
    HWND m_window = nullptr;
    HWND m_label = nullptr;
    UniqueFont m_font;
    UniqueBrush m_background;
};

} // namespace

void DispMsg(HINSTANCE instance, const std::wstring& text, std::int32_t durationMs, bool modal,
             std::int32_t customMsg)
{
    if (!ShouldShowMessage(customMsg))
    {
        return;
    }
    auto window = std::make_unique<MessageWindow>(instance);
    if (!window->Show(MakeMsgText(text, durationMs)))
    {
        return;
    }
    if (!modal)
    {
        // Nobody waits for it: kept until a later message finds it closed.
        static std::vector<std::unique_ptr<MessageWindow>> shown;
        std::erase_if(shown, [](const auto& old) { return !old->IsOpen(); });
        shown.push_back(std::move(window));
        return;
    }
    MSG message;
    while (window->IsOpen() && ::GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (window->IsOpen())
    {
        // The program is ending (WM_QUIT): leave the quit for the main loop.
        ::PostQuitMessage(0);
    }
}

} // namespace mirufon::win32
