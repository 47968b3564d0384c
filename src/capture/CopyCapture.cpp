#include "capture/CopyCapture.h"

#include "capture/CaptureLog.h"
#include "platform/ScopedFlag.h"

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
        OnClipboardChanged(Notification{wParam, lParam});
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

// A notification that arrives while a copy is being captured (the system dispatches them
// during the read's waits and during calls that wait on other programs) is only queued: the
// capture under way reads the clipboard once more when it is done. Capturing inside the
// capture instead nests without bound when another program changes the clipboard quickly,
// and under Wine the window calls deep inside such a nest silently fail, losing the copy.
void CopyCapture::OnClipboardChanged(const Notification& notification)
{
    m_pending.push_back(notification);
    if (m_capturing)
    {
        return;
    }
    const ScopedFlag capturing(m_capturing);
    while (!m_pending.empty())
    {
        const std::vector<Notification> covered = std::exchange(m_pending, {});
        if (m_joined)
        {
            CaptureCopy();
        }
        // Each viewer hears of a change only after the copy it brought was read. The next
        // viewer is looked up only now: the chain may have been repaired while the read
        // waited.
        for (const Notification& passed : covered)
        {
            PassOn(kWmDrawClipboard, passed.wParam, passed.lParam);
        }
    }
}

CopiedText CopyCapture::GetTextRetry()
{
    ClipboardRead last;
    for (int attempt = 0; attempt < kClipboardReadTries; ++attempt)
    {
        ClipboardRead read = m_api.ReadText();
        if (read.ok)
        {
            // Success is the read's own verdict: a copied text that happens to equal the
            // error marker is still a text.
            return CopiedText{std::move(read.text), read.sequence};
        }
        last = std::move(read);
        Wait(m_pump, kClipboardReadRetryMs);
    }

    if (m_showError)
    {
        m_showError(kClipboardErrorTitle,
                    std::to_wstring(last.errorNumber) + L" " + last.errorDescription);
    }
    return CopiedText{std::wstring(kClipboardErrorMarker), 0};
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
    const CopiedText copied = GetTextRetry();
    if (copied.sequence != 0)
    {
        if (copied.sequence == m_lastAppended)
        {
            return;
        }
        // Noted before appending: appending may dispatch a notification that reads the same
        // state again.
        m_lastAppended = copied.sequence;
    }
    if (m_append)
    {
        m_append(copied.text);
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
