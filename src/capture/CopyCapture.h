#pragma once

#include "platform/Clipboard.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace mirufon
{

// The item a copy that could not be read leaves in the log.
inline constexpr std::wstring_view kClipboardErrorMarker = L"%%%% error addclip %%%%";

// Runs the attempt up to kClipboardTries times until it succeeds, sleeping kClipboardRetryMs
// after each failure (the last included); true when an attempt succeeded. For the clipboard's
// worker thread, where sleep blocks.
bool TryRepeatedly(const std::function<bool()>& attempt, const std::function<void(int)>& sleep);

// Copy capture: while it listens, every text another program copies is appended to the
// capture log as one item. The main window's thread only takes note of a change; the text is
// read on the clipboard's worker and appended when it arrives, so that a program that holds
// the clipboard or renders its data slowly never holds up the window.
class CopyCapture
{
  public:
    // append adds an item to the capture log; showError shows a modal message box with an OK
    // button and returns when the user has closed it (messages are dispatched meanwhile).
    // mainWindow is compared with the foreground window.
    CopyCapture(Clipboard& clipboard, WindowId mainWindow,
                std::function<void(std::wstring_view)> append,
                std::function<void(std::wstring_view title, std::wstring_view text)> showError);
    CopyCapture(const CopyCapture&) = delete;
    CopyCapture& operator=(const CopyCapture&) = delete;
    // Stops listening when still listening.
    ~CopyCapture();

    // Starts or stops listening for changes; harmless when already so. A read still under way
    // when listening stops appends nothing, even when listening starts again before it ends.
    void Start();
    void End();

    // The log is being cleared: a read still under way, and the changes that came during it,
    // were copies made before, and append nothing.
    void DropReadUnderWay();

    // The clipboard's content changed. Unless the main window or no window is in the
    // foreground, or the clipboard holds no text, its text is read. A change that comes while a
    // read is under way is read once that read is done: one more read for any number of them,
    // as each would read the latest state.
    void OnClipboardChanged();

    // A read has ended. Its text is appended, unless that clipboard state was appended already,
    // the clipboard held no text by then or the copy is private. A read that failed every try,
    // or could not start, appends the marker as its item, in its place among the other items,
    // and then the error box shows the number and description of the last failure; failures
    // that come while a box is open wait for it, so that one box shows at a time.
    void OnReadDone(const ClipboardRead& read);

  private:
    void StartRead();
    void Take(const ClipboardRead& read);
    void ShowFailures();

    Clipboard& m_clipboard;
    WindowId m_mainWindow;
    std::function<void(std::wstring_view)> m_append;
    std::function<void(std::wstring_view, std::wstring_view)> m_showError;
    bool m_listening = false;
    bool m_reading = false;
    bool m_readAgain = false;
    // The read under way appends nothing when it ends.
    bool m_dropRead = false;
    // The sequence number of the clipboard state appended last; 0 when none is known.
    std::uint32_t m_lastAppended = 0;
    // Error texts of the markers appended, waiting for their boxes.
    std::deque<std::wstring> m_failures;
    bool m_showingError = false;
};

} // namespace mirufon
