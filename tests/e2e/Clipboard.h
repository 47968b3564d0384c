#pragma once

// The clipboard as the tests use it: putting a copy on it as another program would, reading
// what is on it, and keeping it open to play a program that holds it too long.

#include "e2e/Harness.h"

#include <optional>
#include <string>
#include <string_view>

namespace e2e
{

// Keeps the clipboard open, with owner as the window that opened it, until destroyed or
// released: meanwhile every other window's OpenClipboard fails. Opening waits up to the
// timeout for whoever holds it now.
class ClipboardHold
{
  public:
    explicit ClipboardHold(HWND owner = nullptr, std::chrono::milliseconds timeout = 1s);
    ClipboardHold(const ClipboardHold&) = delete;
    ClipboardHold& operator=(const ClipboardHold&) = delete;
    ~ClipboardHold();

    bool Held() const { return m_held; }
    void Release();

  private:
    bool m_held = false;
};

// Replaces the clipboard's contents with the text as CF_UNICODETEXT. owner becomes the
// clipboard owner; it should be a window of this thread, as Windows refuses data on a
// clipboard emptied without an owner. False when the clipboard stayed busy or the data was
// refused; the clipboard then holds no text of this call.
bool SetClipboardText(HWND owner, std::wstring_view text);

// The clipboard's CF_UNICODETEXT up to its first NUL, or nothing when it holds no text or
// stayed busy.
std::optional<std::wstring> GetClipboardText();

// Empties the clipboard; false when it stayed busy.
bool ClearClipboard(HWND owner);

} // namespace e2e
