#pragma once

// The clipboard as the tests use it: putting a copy on it as another program would, reading
// what is on it, and keeping it open to play a program that holds it too long.

#include "e2e/harness/Harness.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// A registered clipboard format put beside a copy's text, holding a DWORD: how programs mark a
// copy for clipboard monitors.
struct ClipboardMark
{
    const wchar_t* format = L"";
    DWORD value = 0;
};

// Replaces the clipboard's contents with the text as CF_UNICODETEXT, and the marks. owner
// becomes the clipboard owner; it should be a window of this thread, as Windows refuses data on
// a clipboard emptied without an owner. False when the clipboard stayed busy or the data was
// refused; the clipboard then holds no text of this call.
bool SetClipboardText(HWND owner, std::wstring_view text,
                      const std::vector<ClipboardMark>& marks = {});

// The text in memory the clipboard can take (GMEM_MOVEABLE, NUL-terminated); the caller owns
// it until SetClipboardData accepts it.
HGLOBAL TextForClipboard(std::wstring_view text);

// The clipboard's CF_UNICODETEXT up to its first NUL, or nothing when it holds no text or
// stayed busy.
std::optional<std::wstring> GetClipboardText();

// Empties the clipboard; false when it stayed busy.
bool ClearClipboard(HWND owner);

} // namespace e2e
