#include "platform/win32/mainwindow/Win32TextBox.h"

#include <algorithm>
#include <string>

namespace mirufon::win32
{
namespace
{

// A selection bound past any text: the control clamps it to the end.
constexpr LPARAM kEnd = 0x7FFFFFFF;

// A locked view of a multi-line EDIT's own buffer; empty when the control does not lend it.
class LockedEditBuffer
{
  public:
    explicit LockedEditBuffer(HWND edit)
    {
        // The handle stays owned by the control; it is only locked for the read.
        m_memory = reinterpret_cast<HLOCAL>(::SendMessageW(edit, EM_GETHANDLE, 0, 0));
        if (m_memory)
        {
            m_text = static_cast<const wchar_t*>(::LocalLock(m_memory));
        }
    }
    LockedEditBuffer(const LockedEditBuffer&) = delete;
    LockedEditBuffer& operator=(const LockedEditBuffer&) = delete;
    ~LockedEditBuffer()
    {
        if (m_text)
        {
            ::LocalUnlock(m_memory);
        }
    }
    const wchar_t* Text() const { return m_text; }

  private:
    HLOCAL m_memory = nullptr;
    const wchar_t* m_text = nullptr;
};

} // namespace

void LiftTextLimit(HWND edit)
{
    ::SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
}

std::size_t Win32TextBox::Length() const
{
    return static_cast<std::size_t>(::GetWindowTextLengthW(m_edit));
}

std::wstring Win32TextBox::Slice(std::size_t from, std::size_t count) const
{
    const std::size_t length = Length();
    if (from >= length || count == 0)
    {
        return {};
    }
    count = std::min(count, length - from);
    LockedEditBuffer buffer(m_edit);
    if (buffer.Text())
    {
        return std::wstring(buffer.Text() + from, count);
    }
    return Text().substr(from, count);
}

std::wstring Win32TextBox::Text() const
{
    std::wstring text(Length() + 1, L'\0');
    const int copied = ::GetWindowTextW(m_edit, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

void Win32TextBox::SetText(std::wstring_view text)
{
    ::SetWindowTextW(m_edit, std::wstring(text).c_str());
    if (m_caretToEndOnSet)
    {
        CaretToEnd();
    }
}

// Placing the caret costs time in proportion to the text in some EDIT implementations, so it
// is only moved when it is not already at the end (it is, after every edit of the log's own).
// EM_REPLACESEL leaves the caret after the inserted text and scrolls it into view.
void Win32TextBox::Append(std::wstring_view text)
{
    if (!CaretIsAtEnd())
    {
        ::SendMessageW(m_edit, EM_SETSEL, kEnd, kEnd);
    }
    // No undo: keeping the replaced text for undo is pointless at the end of the log.
    ::SendMessageW(m_edit, EM_REPLACESEL, FALSE,
                   reinterpret_cast<LPARAM>(std::wstring(text).c_str()));
}

void Win32TextBox::Truncate(std::size_t length)
{
    ::SendMessageW(m_edit, EM_SETSEL, static_cast<WPARAM>(length), kEnd);
    ::SendMessageW(m_edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

bool Win32TextBox::CaretIsAtEnd() const
{
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    const DWORD length = static_cast<DWORD>(Length());
    return start == length && end == length;
}

void Win32TextBox::SetTextColor(Rgb colour)
{
    m_text = static_cast<COLORREF>(colour);
    ::InvalidateRect(m_edit, nullptr, TRUE);
}

void Win32TextBox::SetBackground(COLORREF colour)
{
    m_background = colour;
    m_brush.Reset(::CreateSolidBrush(colour));
    ::InvalidateRect(m_edit, nullptr, TRUE);
}

HBRUSH Win32TextBox::PaintColours(HDC dc) const
{
    ::SetTextColor(dc, m_text);
    ::SetBkColor(dc, m_background);
    return m_brush.Get();
}

void Win32TextBox::SelectAll()
{
    ::SendMessageW(m_edit, EM_SETSEL, 0, -1);
}

void Win32TextBox::Focus()
{
    ::SetFocus(m_edit);
}

void Win32TextBox::CaretToEnd() const
{
    ::SendMessageW(m_edit, EM_SETSEL, kEnd, kEnd);
    ::SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
}

} // namespace mirufon::win32
