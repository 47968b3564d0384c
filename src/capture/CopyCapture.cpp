#include "capture/CopyCapture.h"

#include "capture/CaptureLog.h"
#include "platform/ScopedFlag.h"
#include "text/UiText.h"

#include <utility>

namespace mirufon
{

bool TryRepeatedly(const std::function<bool()>& attempt, const std::function<void(int)>& sleep)
{
    for (int tried = 0; tried < kClipboardTries; ++tried)
    {
        if (attempt())
        {
            return true;
        }
        sleep(kClipboardRetryMs);
    }
    return false;
}

CopyCapture::CopyCapture(
    Clipboard& clipboard, WindowId mainWindow, std::function<void(std::wstring_view)> append,
    std::function<void(std::wstring_view title, std::wstring_view text)> showError)
    : m_clipboard(clipboard), m_mainWindow(mainWindow), m_append(std::move(append)),
      m_showError(std::move(showError))
{
}

CopyCapture::~CopyCapture()
{
    End();
}

void CopyCapture::Start()
{
    if (m_listening)
    {
        return;
    }
    m_clipboard.StartListening();
    m_listening = true;
}

void CopyCapture::End()
{
    if (!m_listening)
    {
        return;
    }
    m_listening = false;
    m_readAgain = false;
    m_clipboard.StopListening();
}

void CopyCapture::OnClipboardChanged()
{
    if (!m_listening)
    {
        return;
    }
    const WindowId foreground = m_clipboard.Foreground();
    // A change made from the main window itself (copying part of the log) or with no window
    // in the foreground is not a copy to capture.
    if (foreground == 0 || foreground == m_mainWindow || !m_clipboard.TextAvailable())
    {
        return;
    }
    if (m_reading)
    {
        m_readAgain = true;
        return;
    }
    StartRead();
}

void CopyCapture::StartRead()
{
    m_reading = true;
    m_readAgain = false;
    m_clipboard.StartRead();
}

void CopyCapture::OnReadDone(const ClipboardRead& read)
{
    m_reading = false;
    if (!m_listening)
    {
        return;
    }
    if (m_readAgain)
    {
        // Started before this read is handled: the error box below may stay open a while.
        StartRead();
    }
    if (!read.ok)
    {
        ReportFailure(read);
        return;
    }
    if (read.content != ClipboardContent::Text)
    {
        return;
    }
    if (read.sequence != 0)
    {
        if (read.sequence == m_lastAppended)
        {
            return;
        }
        m_lastAppended = read.sequence;
    }
    m_append(read.text);
}

void CopyCapture::ReportFailure(const ClipboardRead& read)
{
    m_failures.push_back(std::to_wstring(read.errorNumber) + L" " + read.errorDescription);
    if (m_showingError)
    {
        return;
    }
    const ScopedFlag showing(m_showingError);
    while (!m_failures.empty())
    {
        const std::wstring text = std::move(m_failures.front());
        m_failures.pop_front();
        m_showError(Text(UiText::ClipboardErrorTitle), text);
        m_append(kClipboardErrorMarker);
    }
}

} // namespace mirufon
