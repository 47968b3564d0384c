#include "e2e/harness/HungTarget.h"

#include "e2e/harness/Clipboard.h"
#include "support/WindowObject.h"

namespace e2e
{
namespace
{

constexpr const wchar_t* kHungClass = L"MirufonE2eHung";
constexpr UINT kHangMessage = WM_APP + 1; // wParam: milliseconds
constexpr UINT kPingMessage = WM_APP + 2;
constexpr UINT kQuitMessage = WM_APP + 3;
constexpr UINT kOfferMessage = WM_APP + 4;

void RegisterHungClass(WNDPROC procedure)
{
    static const bool registered = [procedure]
    {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kHungClass;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

} // namespace

HungTarget::HungTarget(POINT position, SIZE size)
{
    m_thread = std::thread([this, position, size] { Run(position, size); });
    WaitUntil([this] { return m_ready.load(); }, 5s);
}

HungTarget::~HungTarget()
{
    ::SetEvent(m_wake.Get());
    if (HWND window = m_window)
    {
        ::PostMessageW(window, kQuitMessage, 0, 0);
    }
    if (m_thread.joinable())
    {
        m_thread.join();
    }
}

void HungTarget::Run(POINT position, SIZE size)
{
    RegisterHungClass(&HungTarget::WindowProc);
    HWND window = ::CreateWindowExW(
        WS_EX_TOPMOST, kHungClass, kCaption, WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, position.x,
        position.y, size.cx, size.cy, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (window)
    {
        m_button = ::CreateWindowExW(0, L"BUTTON", kButtonCaption,
                                     WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 200, 40, window,
                                     nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetForegroundWindow(window);
        m_window = window;
    }
    m_ready = true;
    MSG message;
    while (window && ::GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

LRESULT CALLBACK HungTarget::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = testsupport::WindowObject<HungTarget>(window, message, lParam);
    if (!self)
    {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message)
    {
    case kHangMessage:
        self->Hang(static_cast<DWORD>(wParam));
        return 0;
    case kPingMessage:
        self->m_lastPing = std::chrono::steady_clock::now();
        ++self->m_pings;
        return 0;
    case kOfferMessage:
        if (::OpenClipboard(window))
        {
            // Delayed rendering: the data comes only when someone asks (WM_RENDERFORMAT).
            ::EmptyClipboard();
            ::SetClipboardData(CF_UNICODETEXT, nullptr);
            ::CloseClipboard();
            ++self->m_offers;
        }
        return 0;
    case WM_RENDERFORMAT:
        self->Hang(self->m_renderDelayMs);
        if (HGLOBAL text = TextForClipboard(self->m_offeredText);
            text && !::SetClipboardData(CF_UNICODETEXT, text))
        {
            ::GlobalFree(text);
        }
        return 0;
    case kQuitMessage:
        self->m_window = nullptr;
        ::DestroyWindow(window);
        ::PostQuitMessage(0);
        return 0;
    case WM_CLOSE:
        // Only the destructor ends the window, so that no handle the test holds goes stale.
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

void HungTarget::Hang(DWORD milliseconds)
{
    m_hung = true;
    // Neither pumping nor alertable: sent messages wait as well as posted ones.
    ::WaitForSingleObject(m_wake.Get(), milliseconds);
    m_lastRecovery = std::chrono::steady_clock::now();
    m_hung = false;
    ++m_recoveries;
}

POINT HungTarget::ButtonCentre() const
{
    RECT rect{};
    ::GetWindowRect(m_button, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool HungTarget::StopResponding(std::chrono::milliseconds duration)
{
    const int recovered = m_recoveries;
    ::PostMessageW(m_window, kHangMessage, static_cast<WPARAM>(duration.count()), 0);
    // A hang too short to be seen has already ended when the count went up.
    return WaitUntil([&] { return m_hung.load() || m_recoveries > recovered; }, 2s);
}

bool HungTarget::WaitUntilRecovered(std::chrono::milliseconds timeout)
{
    return WaitUntil([this] { return !m_hung.load(); }, timeout);
}

bool HungTarget::OfferSlowText(const std::wstring& text, std::chrono::milliseconds renderDelay)
{
    m_offeredText = text;
    m_renderDelayMs = static_cast<DWORD>(renderDelay.count());
    const int offered = m_offers;
    // The thread reads both only once it handles the message.
    ::PostMessageW(m_window, kOfferMessage, 0, 0);
    return WaitUntil([&] { return m_offers > offered; }, 2s);
}

void HungTarget::PostPing() const
{
    ::PostMessageW(m_window, kPingMessage, 0, 0);
}

} // namespace e2e
