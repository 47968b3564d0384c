#pragma once

#include "platform/ClipboardChain.h"
#include "platform/MessagePump.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mirufon
{

// The two notifications of the clipboard viewer chain.
inline constexpr unsigned kWmDrawClipboard = 0x0308; // the clipboard's content changed
inline constexpr unsigned kWmChangeCbChain = 0x030D; // wParam leaves, lParam followed it

inline constexpr std::wstring_view kClipboardErrorTitle = L"クリップボードエラー";
inline constexpr int kClipboardReadTries = 10;
inline constexpr int kClipboardReadRetryMs = 100;

// A copy as read from the clipboard: its text and the clipboard's sequence number at the read,
// 0 when unknown (the system keeps none, or the read failed and the text is the error marker).
struct CopiedText
{
    std::wstring text;
    std::uint32_t sequence = 0;
};

// Copy capture: while joined, the main window is a member of the clipboard viewer chain and
// hands the chain's two notifications to OnMessage, so that every text another program copies
// is appended to the capture log as one item and the chain stays intact.
class CopyCapture
{
  public:
    // append adds an item to the capture log; showError shows a modal message box with an OK
    // button and returns when the user has closed it. mainWindow is compared with the
    // foreground window.
    CopyCapture(ClipboardChainApi& api, WindowId mainWindow, MessagePump& pump,
                std::function<void(std::wstring_view)> append,
                std::function<void(std::wstring_view title, std::wstring_view text)> showError);
    CopyCapture(const CopyCapture&) = delete;
    CopyCapture& operator=(const CopyCapture&) = delete;
    // Leaves the chain when still joined. The owner should still end explicitly, at the right
    // point of the shutdown order.
    ~CopyCapture();

    // Joins the viewer chain. The window counts as joined only once joining has returned: a
    // notification the system delivers while joining is neither taken for a copy (the text
    // already on the clipboard is not appended) nor passed on. When already joined, leaves
    // first, so the window never becomes its own successor.
    void Start();

    // Leaves the chain in every case, telling it the last known next viewer; Next() keeps its
    // value. Harmless when not joined or called twice.
    void End();

    // The window's handling of the two chain notifications while joined:
    // - clipboard changed: unless the main window or no window is in the foreground, reads
    //   the clipboard's text (with retries) and appends it; then passes the notification on.
    //   The read's waits dispatch messages, so this may be re-entered: a change notified
    //   meanwhile is read once the read under way is done (one more read for any number of
    //   them), and each notification is passed on after the read that covers it. A clipboard
    //   state that was appended already is not appended again: notifications pile up while
    //   the clipboard changes quickly, and each would read the latest state.
    // - a window leaves the chain: when it is the next viewer, its successor becomes the next
    //   viewer and the notification goes no further; otherwise it is passed on.
    // Other messages are ignored.
    void OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    // Reads the clipboard's text in up to ten attempts, waiting 100 ms after each failure (the
    // tenth included). After ten failures shows the error box with the number and description
    // of the last failure and returns the error marker as the item, with sequence number 0.
    CopiedText GetTextRetry();

    // Whether the window is in the chain and handles its notifications.
    bool IsJoined() const { return m_joined; }
    // The window that follows the main window in the chain; 0 when none.
    WindowId Next() const { return m_next; }

  private:
    struct Notification
    {
        std::uintptr_t wParam = 0;
        std::intptr_t lParam = 0;
    };

    void OnClipboardChanged(const Notification& notification);
    void CaptureCopy();
    void PassOn(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    ClipboardChainApi& m_api;
    WindowId m_mainWindow;
    MessagePump& m_pump;
    std::function<void(std::wstring_view)> m_append;
    std::function<void(std::wstring_view, std::wstring_view)> m_showError;
    WindowId m_next = 0;
    bool m_joined = false;
    // The sequence number of the clipboard state appended last; 0 when none is known.
    std::uint32_t m_lastAppended = 0;
    // While a copy is read and appended: the change notifications that arrived meanwhile.
    bool m_capturing = false;
    std::vector<Notification> m_pending;
};

} // namespace mirufon
