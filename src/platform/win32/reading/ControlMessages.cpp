#include "platform/win32/reading/ControlMessages.h"

#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/TargetCalls.h"

#include <algorithm>

namespace mirufon::win32
{
namespace
{

// Up to this many characters a read asks for its whole limit at once: one message, and a
// buffer of a few kilobytes. Longer reads ask the text's length first.
constexpr std::size_t kAskLengthAbove = 64 * 1024;

// Whether the control draws its caption with ampersand prefixes: buttons, and static
// controls without SS_NOPREFIX.
bool DrawsPrefixes(HWND control)
{
    const std::wstring className = ClassNameOf(control);
    if (::CompareStringOrdinal(className.c_str(), -1, L"Button", -1, TRUE) == CSTR_EQUAL)
    {
        return true;
    }
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_STYLE));
    return ::CompareStringOrdinal(className.c_str(), -1, L"Static", -1, TRUE) == CSTR_EQUAL &&
           (style & SS_NOPREFIX) == 0;
}

} // namespace

ControlMessenger::ControlMessenger(HWND control, std::chrono::milliseconds limit)
    : m_control(control), m_limitMs(static_cast<UINT>(std::max<long long>(1, limit.count())))
{
}

std::optional<LRESULT> ControlMessenger::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_failure)
    {
        return std::nullopt;
    }
    // Not SMTO_BLOCK: should the control send something back to the calling thread while it
    // answers, that thread must be able to take it, or both would wait for the limit.
    DWORD_PTR result = 0;
    ::SetLastError(ERROR_SUCCESS);
    if (CallsIntoTargets().sendMessageTimeout(m_control, message, wParam, lParam,
                                              SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT, m_limitMs,
                                              &result))
    {
        return static_cast<LRESULT>(result);
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_ACCESS_DENIED)
    {
        m_failure = MessageFailure::Refused;
    }
    else if (error == ERROR_INVALID_WINDOW_HANDLE || !::IsWindow(m_control))
    {
        m_failure = MessageFailure::Gone;
    }
    else
    {
        m_failure = MessageFailure::NotAnswering;
    }
    return std::nullopt;
}

std::optional<std::wstring> ControlMessenger::WindowText(std::size_t maxChars)
{
    std::size_t capacity = std::min(maxChars, kMaxWindowTextChars);
    if (capacity > kAskLengthAbove)
    {
        const std::optional<LRESULT> length = Send(WM_GETTEXTLENGTH);
        if (!length)
        {
            return std::nullopt;
        }
        capacity = std::min(capacity, static_cast<std::size_t>(std::max<LRESULT>(*length, 0)));
    }
    std::wstring text(capacity + 1, L'\0');
    const std::optional<LRESULT> copied =
        Send(WM_GETTEXT, capacity + 1, reinterpret_cast<LPARAM>(text.data()));
    if (!copied)
    {
        return std::nullopt;
    }
    text.resize(std::min(capacity, static_cast<std::size_t>(std::max<LRESULT>(*copied, 0))));
    text.resize(std::min(text.size(), text.find(L'\0')));
    return text;
}

std::wstring WithoutPrefixMarks(std::wstring_view text)
{
    std::wstring shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != L'&')
        {
            shown += text[i];
            continue;
        }
        // The mark itself never shows; what follows it does, a second '&' included.
        if (i + 1 < text.size())
        {
            shown += text[++i];
        }
    }
    return shown;
}

std::wstring ShownCaption(ControlMessenger& messenger, std::size_t maxChars)
{
    HWND control = messenger.Control();
    if (!DrawsPrefixes(control))
    {
        return messenger.WindowText(maxChars).value_or(std::wstring());
    }
    // The marks take characters of their own: the text is read with room for them, then cut
    // to what shows.
    const std::size_t withMarks = maxChars > kMaxWindowTextChars / 2 ? maxChars : maxChars * 2;
    std::wstring shown = WithoutPrefixMarks(messenger.WindowText(withMarks).value_or(L""));
    if (shown.size() > maxChars)
    {
        shown.resize(maxChars);
    }
    return shown;
}

} // namespace mirufon::win32
