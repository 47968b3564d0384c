#include "capture/CopyCapture.h"

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
    DropReadUnderWay();
    m_clipboard.StopListening();
}

void CopyCapture::DropReadUnderWay()
{
    m_dropRead = m_reading;
    m_readAgain = false;
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
    ShowFailures();
}

void CopyCapture::StartRead()
{
    m_readAgain = false;
    if (const std::optional<ClipboardRead> failed = m_clipboard.StartRead())
    {
        // Nothing is under way, so the next change is read again.
        Take(*failed);
        return;
    }
    m_reading = true;
}

void CopyCapture::OnReadDone(const ClipboardRead& read)
{
    m_reading = false;
    const bool dropped = std::exchange(m_dropRead, false);
    if (!m_listening)
    {
        return;
    }
    if (!dropped)
    {
        Take(read);
    }
    // Started before an error box is shown, which may stay open a while.
    if (m_readAgain)
    {
        StartRead();
    }
    ShowFailures();
}

// The read's item, if any, in its place; a failure's box follows.
void CopyCapture::Take(const ClipboardRead& read)
{
    if (!read.ok)
    {
        m_append(kClipboardErrorMarker);
        m_failures.push_back(std::to_wstring(read.errorNumber) + L" " + read.errorDescription);
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

void CopyCapture::ShowFailures()
{
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
    }
}

} // namespace mirufon
