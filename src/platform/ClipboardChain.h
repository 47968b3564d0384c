#pragma once

#include <cstdint>
#include <string>

namespace mirufon
{

// A window handle as an integer, 0 standing for none.
using WindowId = std::uintptr_t;

// One attempt to read the clipboard's text.
struct ClipboardRead
{
    bool ok = false;
    std::wstring text;             // the text read when ok (possibly empty); empty otherwise
    long errorNumber = 0;          // when !ok: the platform's error number
    std::wstring errorDescription; // when !ok: what went wrong, for the error box
    // When ok: the clipboard's sequence number, read while the clipboard was open, so that it
    // names the very state the text came from. Every change of the clipboard gives a new
    // number; 0 when the system keeps none.
    std::uint32_t sequence = 0;
};

// The clipboard viewer chain and the clipboard's text, as the main window's copy capture needs
// them. Every call acts for the main window. None of these calls throws.
class ClipboardChainApi
{
  public:
    ClipboardChainApi() = default;
    ClipboardChainApi(const ClipboardChainApi&) = delete;
    ClipboardChainApi& operator=(const ClipboardChainApi&) = delete;
    virtual ~ClipboardChainApi() = default;

    // Puts the main window at the head of the clipboard viewer chain (SetClipboardViewer) and
    // returns the window that now follows it, 0 when the chain was empty. A failed call also
    // gives 0: there is then nobody to pass notifications on to. While this call runs the
    // system may already send the window a clipboard-change notification.
    virtual WindowId JoinChain() = 0;

    // Takes the main window out of the chain (ChangeClipboardChain), telling the chain that
    // next follows it. The result is not reported; calling it when the window is not in the
    // chain does no harm.
    virtual void LeaveChain(WindowId next) = 0;

    // Sends a chain notification on to the next viewer (SendMessage) and returns once that
    // window has handled it. A next viewer that no longer exists makes the call do nothing;
    // nothing is reported.
    virtual void SendToNext(WindowId next, unsigned message, std::uintptr_t wParam,
                            std::intptr_t lParam) = 0;

    // The foreground top-level window (GetForegroundWindow), 0 when there is none.
    virtual WindowId Foreground() = 0;

    // True when the clipboard holds text (IsClipboardFormatAvailable(CF_TEXT); the system
    // reports CF_TEXT for Unicode text as well). False on any failure.
    virtual bool TextAvailable() = 0;

    // One attempt to open the clipboard and read its text as CF_UNICODETEXT, up to the first
    // NUL and never beyond the clipboard's memory block; the clipboard is closed again before
    // returning. Reading Unicode rather than CF_TEXT keeps every character: the ANSI form
    // turns characters outside the code page into "?". A clipboard that holds no text at the
    // moment of the read (it changed since TextAvailable) reads as ok with an empty text.
    // When the clipboard cannot be opened (another program holds it) or its data cannot be
    // read, ok is false and the error number and description say why. A successful read also
    // gives the clipboard's sequence number.
    virtual ClipboardRead ReadText() = 0;
};

} // namespace mirufon
