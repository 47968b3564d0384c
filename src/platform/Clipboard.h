#pragma once

#include "platform/WindowId.h"

#include <cstdint>
#include <optional>
#include <string>

namespace mirufon
{

// What a read found on the clipboard.
enum class ClipboardContent
{
    Text,    // a text, possibly empty
    NoText,  // no text any more by the time it was read
    Private, // a copy marked as not for clipboard monitors: not read at all
};

// A read of the clipboard's text, with its tries.
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
    // When ok: what the clipboard held. Only a text is appended; a copy that the program that
    // made it marked as not for clipboard monitors (password managers do) is private.
    ClipboardContent content = ClipboardContent::Text;
};

// The system clipboard as the main window's copy capture and the log's clearing need it. Every
// call acts for the main window, returns at once and never throws: nothing here waits on
// another program. What may wait (a program holding the clipboard open, an owner slow to render
// its data) happens on a worker thread of its own, one job after another in the order asked.
class Clipboard
{
  public:
    Clipboard() = default;
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;
    virtual ~Clipboard() = default;

    // Starts or stops telling the main window of every change of the clipboard's content
    // (a clipboard format listener). Starting gives no notice of what the clipboard already
    // holds. Either is harmless when already so.
    virtual void StartListening() = 0;
    virtual void StopListening() = 0;

    // The foreground top-level window, 0 when there is none.
    virtual WindowId Foreground() = 0;
    // True when the clipboard holds text (the system reports plain text for Unicode text as
    // well). False on any failure.
    virtual bool TextAvailable() = 0;

    // Reads the clipboard's text as Unicode, up to the first NUL and never beyond its memory,
    // in up to kClipboardTries attempts kClipboardRetryMs apart while the clipboard cannot be
    // opened or read; the outcome reaches the main window later (the controller's
    // OnClipboardRead), however long the window takes to take it. A clipboard that holds no
    // text at the moment of the read, or a copy marked private, reads as ok with that content
    // and no text. When the read cannot even start (no worker), returns its failure at once,
    // and nothing comes later.
    virtual std::optional<ClipboardRead> StartRead() = 0;
    // Empties the clipboard, in up to kClipboardTries attempts; a clipboard that stays locked
    // is not reported.
    virtual void StartEmpty() = 0;
};

// How often a read or the emptying of the clipboard is tried, and the pause after each failed
// try: another program may hold the clipboard open for a moment.
inline constexpr int kClipboardTries = 10;
inline constexpr int kClipboardRetryMs = 100;

} // namespace mirufon
