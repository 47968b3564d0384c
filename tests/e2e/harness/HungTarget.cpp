#include "e2e/harness/HungTarget.h"

#include "e2e/harness/Clipboard.h"
#include "support/ControlItems.h"
#include "support/WindowObject.h"

namespace e2e
{
namespace
{

constexpr const wchar_t* kHungClass = L"MirufonE2eHung";
constexpr UINT kPingMessage = WM_APP + 1;
constexpr UINT kOfferMessage = WM_APP + 2;

} // namespace

HungTarget::HungTarget(POINT position, SIZE size)
    : m_thread([this, position, size] { return Build(position, size); })
{
}

HungTarget::~HungTarget() = default;

std::vector<HWND> HungTarget::Build(POINT position, SIZE size)
{
    testsupport::RegisterTestClass(kHungClass, &HungTarget::WindowProc);
    HWND window = ::CreateWindowExW(
        WS_EX_TOPMOST, kHungClass, kCaption, WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, position.x,
        position.y, size.cx, size.cy, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!window)
    {
        return {};
    }
    m_button =
        ::CreateWindowExW(0, L"BUTTON", kButtonCaption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20,
                          20, 200, 40, window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetForegroundWindow(window);
    m_window = window;
    return {window};
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
        self->m_thread.StallHere(self->m_renderDelay);
        if (HGLOBAL text = TextForClipboard(self->m_offeredText);
            text && !::SetClipboardData(CF_UNICODETEXT, text))
        {
            ::GlobalFree(text);
        }
        return 0;
    case WM_NCDESTROY:
        self->m_window = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    case WM_CLOSE:
        // Only the destructor ends the window, so that no handle the test holds goes stale.
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

POINT HungTarget::ButtonCentre() const
{
    return testsupport::CentreOf(m_button);
}

bool HungTarget::StopResponding(std::chrono::milliseconds duration)
{
    const int recovered = m_thread.StallsEnded();
    m_thread.Stall(duration);
    // A hang too short to be seen has already ended when the count went up.
    return WaitUntil([&] { return m_thread.Stalled() || m_thread.StallsEnded() > recovered; }, 2s);
}

bool HungTarget::WaitUntilRecovered(std::chrono::milliseconds timeout)
{
    return WaitUntil([this] { return !m_thread.Stalled(); }, timeout);
}

bool HungTarget::OfferSlowText(const std::wstring& text, std::chrono::milliseconds renderDelay)
{
    m_offeredText = text;
    m_renderDelay = renderDelay;
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
