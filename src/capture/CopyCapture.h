#pragma once

#include "platform/ClipboardChain.h"
#include "platform/MessagePump.h"
#include "platform/WindowProcedureSlot.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace mirufon
{

// The two notifications of the clipboard viewer chain.
inline constexpr unsigned kWmDrawClipboard = 0x0308; // the clipboard's content changed
inline constexpr unsigned kWmChangeCbChain = 0x030D; // wParam leaves, lParam followed it

inline constexpr std::wstring_view kClipboardErrorTitle = L"クリップボードエラー";
inline constexpr int kClipboardReadTries = 10;
inline constexpr int kClipboardReadRetryMs = 100;

// Copy capture: while started, the main window is a member of the clipboard viewer chain and
// its window procedure is replaced by the copy procedure, so that every text another program
// copies is appended to the capture log as one item.
//
// The copy procedure and the hotkey procedure both replace the main window's procedure and
// each puts back exactly the one it replaced, so they must nest: Start and End only run while
// the hotkey procedure is not installed (start-up before the hotkeys are registered, the
// settings dialog's close before they are registered again, shutdown after they are
// unregistered).
class CopyCapture
{
  public:
    // append adds an item to the capture log; showError shows a modal message box with an OK
    // button and returns when the user has closed it. ownProcedure is the copy procedure to
    // put in the window's slot; mainWindow is compared with the foreground window.
    CopyCapture(ClipboardChainApi& api, WindowProcedureSlot& slot, ProcedureId ownProcedure,
                WindowId mainWindow, MessagePump& pump,
                std::function<void(std::wstring_view)> append,
                std::function<void(std::wstring_view title, std::wstring_view text)> showError);
    CopyCapture(const CopyCapture&) = delete;
    CopyCapture& operator=(const CopyCapture&) = delete;
    // Ends when still started, so neither the copy procedure nor the chain membership outlive
    // the object. The owner should still end explicitly, at the right point of the shutdown
    // order.
    ~CopyCapture();

    // Joins the viewer chain first and attaches the copy procedure second: a notification the
    // system delivers while joining reaches the old procedure, so the text that is already on
    // the clipboard is not taken for a copy. When already started, ends first, so a second
    // Start neither joins the chain twice (which would make the window its own successor) nor
    // keeps the copy procedure as the one to pass messages on to. When the window refuses the
    // replacement, leaves the chain again: without the copy procedure nobody would pass the
    // chain's notifications on to the next viewer.
    void Start();

    // Puts back the procedure Start replaced, if attached, then leaves the chain in every
    // case, telling it the last known next viewer. Next() keeps its value. Harmless when not
    // started or called twice.
    void End();

    // Called by the copy procedure for every message, before it passes the message on to
    // Previous(), read after this returns. Handles the two chain notifications:
    // - clipboard changed: unless the main window or no window is in the foreground, reads
    //   the clipboard's text (with retries) and appends it; then passes the notification on.
    //   The read's waits dispatch messages, so this may be re-entered; the copy is read and
    //   appended before the next viewer hears of the change.
    // - a window leaves the chain: when it is the next viewer, its successor becomes the next
    //   viewer and the notification goes no further; otherwise it is passed on.
    // When End runs meanwhile (the window is closed during a retry wait), Previous() is 0
    // afterwards: the procedure then passes the message to the one it saw before the call.
    void OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    // Reads the clipboard's text in up to ten attempts, waiting 100 ms after each failure (the
    // tenth included). After ten failures shows the error box with the number and description
    // of the last failure and returns the error marker as the item.
    std::wstring GetTextRetry();

    // The procedure the copy procedure passes messages on to; 0 when not attached.
    ProcedureId Previous() const { return m_previous; }
    bool IsAttached() const { return m_previous != 0; }
    bool IsJoined() const { return m_joined; }
    // The window that follows the main window in the chain; 0 when none.
    WindowId Next() const { return m_next; }

  private:
    void CaptureCopy();
    void PassOn(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    ClipboardChainApi& m_api;
    WindowProcedureSlot& m_slot;
    ProcedureId m_ownProcedure;
    WindowId m_mainWindow;
    MessagePump& m_pump;
    std::function<void(std::wstring_view)> m_append;
    std::function<void(std::wstring_view, std::wstring_view)> m_showError;
    WindowId m_next = 0;
    ProcedureId m_previous = 0;
    bool m_joined = false;
};

} // namespace mirufon
