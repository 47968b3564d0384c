#include "capture/CopyCapture.h"

#include "capture/CaptureLog.h"

#include <utility>

namespace mirufon
{

CopyCapture::CopyCapture(
    ClipboardChainApi& api, WindowId mainWindow, MessagePump& pump,
    std::function<void(std::wstring_view)> append,
    std::function<void(std::wstring_view title, std::wstring_view text)> showError)
    : m_api(api), m_mainWindow(mainWindow), m_pump(pump), m_append(std::move(append)),
      m_showError(std::move(showError))
{
}

CopyCapture::~CopyCapture()
{
    if (m_joined)
    {
        End();
    }
}

void CopyCapture::Start()
{
    if (m_joined)
    {
        End();
    }
    m_next = m_api.JoinChain();
    m_joined = true;
}

void CopyCapture::End()
{
    m_joined = false;
    m_api.LeaveChain(m_next);
}

void CopyCapture::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message == kWmDrawClipboard)
    {
        CaptureCopy();
        // The next viewer is looked up only now: the chain may have been repaired while the
        // read waited.
        PassOn(message, wParam, lParam);
        return;
    }
    if (message == kWmChangeCbChain)
    {
        // A window handle of 0 never leaves the chain; with no next viewer there is nothing
        // to repair.
        if (m_next != 0 && wParam == m_next)
        {
            m_next = static_cast<WindowId>(lParam);
            return;
        }
        PassOn(message, wParam, lParam);
    }
}

std::wstring CopyCapture::GetTextRetry()
{
    // The last failure is kept here, not in the object: a clipboard change handled during a
    // wait runs its own reads and must not change what this read reports.
    ClipboardRead last;
    for (int attempt = 0; attempt < kClipboardReadTries; ++attempt)
    {
        ClipboardRead read = m_api.ReadText();
        if (read.ok)
        {
            // Success is the read's own verdict: a copied text that happens to equal the
            // error marker is still a text.
            return std::move(read.text);
        }
        last = std::move(read);
        Wait(m_pump, kClipboardReadRetryMs);
    }

    if (m_showError)
    {
        m_showError(kClipboardErrorTitle,
                    std::to_wstring(last.errorNumber) + L" " + last.errorDescription);
    }
    return std::wstring(kClipboardErrorMarker);
}

void CopyCapture::CaptureCopy()
{
    const WindowId foreground = m_api.Foreground();
    // A change made from the main window itself (copying part of the log) or with no window
    // in the foreground is not a copy to capture.
    if (foreground == 0 || foreground == m_mainWindow)
    {
        return;
    }
    if (!m_api.TextAvailable())
    {
        return;
    }
    const std::wstring text = GetTextRetry();
    if (m_append)
    {
        m_append(text);
    }
}

void CopyCapture::PassOn(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (m_next != 0)
    {
        m_api.SendToNext(m_next, message, wParam, lParam);
    }
}

} // namespace mirufon
