#include "e2e/harness/Clipboard.h"

#include <cstring>
#include <memory>
#include <type_traits>

namespace e2e
{

namespace
{

struct GlobalFreer
{
    void operator()(void* memory) const { ::GlobalFree(memory); }
};
using UniqueGlobal = std::unique_ptr<std::remove_pointer_t<HGLOBAL>, GlobalFreer>;

} // namespace

ClipboardHold::ClipboardHold(HWND owner, std::chrono::milliseconds timeout)
{
    // Another program (the one under test reading a copy) may have it open for a moment.
    m_held = WaitUntil([owner] { return ::OpenClipboard(owner) != FALSE; }, timeout);
}

ClipboardHold::~ClipboardHold()
{
    Release();
}

void ClipboardHold::Release()
{
    if (m_held)
    {
        ::CloseClipboard();
        m_held = false;
    }
}

HGLOBAL TextForClipboard(std::wstring_view text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    auto* units = memory ? static_cast<wchar_t*>(::GlobalLock(memory.get())) : nullptr;
    if (!units)
    {
        return nullptr;
    }
    std::memcpy(units, text.data(), text.size() * sizeof(wchar_t));
    units[text.size()] = L'\0';
    ::GlobalUnlock(memory.get());
    return memory.release();
}

bool SetClipboardText(HWND owner, std::wstring_view text, const std::vector<ClipboardMark>& marks)
{
    UniqueGlobal memory(TextForClipboard(text));
    ClipboardHold hold(owner);
    if (!memory || !hold.Held() || !::EmptyClipboard())
    {
        return false;
    }
    for (const ClipboardMark& mark : marks)
    {
        UniqueGlobal value(::GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD)));
        if (!value)
        {
            return false;
        }
        *static_cast<DWORD*>(::GlobalLock(value.get())) = mark.value;
        ::GlobalUnlock(value.get());
        if (!::SetClipboardData(::RegisterClipboardFormatW(mark.format), value.get()))
        {
            return false;
        }
        // The system owns the memory from here on.
        static_cast<void>(value.release());
    }
    if (!::SetClipboardData(CF_UNICODETEXT, memory.get()))
    {
        return false;
    }
    static_cast<void>(memory.release());
    return true;
}

std::optional<std::wstring> GetClipboardText()
{
    ClipboardHold hold;
    if (!hold.Held())
    {
        return std::nullopt;
    }
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data)
    {
        return std::nullopt;
    }
    const auto* units = static_cast<const wchar_t*>(::GlobalLock(data));
    if (!units)
    {
        return std::nullopt;
    }
    // Never past the block, whether or not the writer put a NUL at its end.
    const size_t capacity = ::GlobalSize(data) / sizeof(wchar_t);
    size_t length = 0;
    while (length < capacity && units[length] != L'\0')
    {
        ++length;
    }
    std::wstring text(units, length);
    ::GlobalUnlock(data);
    return text;
}

bool ClearClipboard(HWND owner)
{
    ClipboardHold hold(owner);
    return hold.Held() && ::EmptyClipboard();
}

} // namespace e2e
