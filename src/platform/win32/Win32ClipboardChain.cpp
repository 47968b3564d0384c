#include "platform/win32/Win32ClipboardChain.h"

#include "platform/win32/SystemMessage.h"
#include "platform/win32/Win32Clipboard.h"

#include <string>

namespace mirufon::win32
{
namespace
{

ClipboardRead Failure(DWORD error, const wchar_t* fallback)
{
    std::wstring description = error ? SystemMessage(error) : std::wstring();
    if (description.empty())
    {
        description = fallback;
    }
    return ClipboardRead{false, {}, static_cast<long>(error), description};
}

} // namespace

WindowId Win32ClipboardChain::JoinChain()
{
    return reinterpret_cast<WindowId>(::SetClipboardViewer(m_window));
}

void Win32ClipboardChain::LeaveChain(WindowId next)
{
    ::ChangeClipboardChain(m_window, reinterpret_cast<HWND>(next));
}

void Win32ClipboardChain::SendToNext(WindowId next, unsigned message, std::uintptr_t wParam,
                                     std::intptr_t lParam)
{
    ::SendMessageW(reinterpret_cast<HWND>(next), message, static_cast<WPARAM>(wParam),
                   static_cast<LPARAM>(lParam));
}

WindowId Win32ClipboardChain::Foreground()
{
    return reinterpret_cast<WindowId>(::GetForegroundWindow());
}

bool Win32ClipboardChain::TextAvailable()
{
    return ::IsClipboardFormatAvailable(CF_TEXT) != FALSE;
}

// The Unicode text, so that every character of the copy arrives; the system converts text put
// on the clipboard in the ANSI code page.
ClipboardRead Win32ClipboardChain::ReadText()
{
    ::SetLastError(0);
    OpenedClipboard clipboard(m_window);
    if (!clipboard.IsOpen())
    {
        return Failure(::GetLastError() ? ::GetLastError() : ERROR_ACCESS_DENIED,
                       L"クリップボードを開けません。");
    }
    // Read while the clipboard is open, so that the number and the text belong to one state.
    const DWORD sequence = ::GetClipboardSequenceNumber();
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data)
    {
        return Failure(::GetLastError(), L"クリップボードに文字列がありません。");
    }
    const auto* text = static_cast<const wchar_t*>(::GlobalLock(data));
    if (!text)
    {
        return Failure(::GetLastError(), L"クリップボードの文字列を読めません。");
    }
    // Up to the first NUL, never past the memory block.
    const SIZE_T capacity = ::GlobalSize(data) / sizeof(wchar_t);
    SIZE_T length = 0;
    while (length < capacity && text[length] != L'\0')
    {
        ++length;
    }
    ClipboardRead read{true, std::wstring(text, length), 0, {}, sequence};
    ::GlobalUnlock(data);
    return read;
}

} // namespace mirufon::win32
