#include "platform/win32/reading/MessageReader.h"

#include "platform/win32/reading/ControlMessages.h"
#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/ItemMessages.h"

namespace mirufon::win32
{
namespace
{

// Whether the window is an edit box that shows its text as a password, as the window manager
// sees it now, whatever the target said.
bool IsPasswordEdit(HWND control)
{
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_STYLE));
    return (style & ES_PASSWORD) != 0 &&
           KindOfClass(ClassNameOf(control).c_str()) == ControlKind::Edit;
}

std::wstring Caption(ControlMessenger& messenger, std::size_t maxChars)
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

// A control that holds items: the item under the point, else the control's own text.
void ReadItems(const ReadTarget& target, ControlMessenger& messenger, ReaderAnswer& answer)
{
    POINT client{target.x, target.y};
    ::ScreenToClient(messenger.Control(), &client);
    if (auto item = ItemTextAt(target.kind, messenger, client, target.maxChars))
    {
        answer.level = TextLevel::Item;
        answer.name = std::move(*item);
        return;
    }
    answer.name = messenger.WindowText(target.maxChars).value_or(L"");
}

} // namespace

ReaderAnswer MessageReader::Read(const ReadTarget& target, WantedTexts wanted)
{
    ReaderAnswer answer;
    HWND control = reinterpret_cast<HWND>(target.control);
    if (target.isPassword || (control && IsPasswordEdit(control)))
    {
        answer.isProtected = true;
        return answer;
    }
    if (!control || !::IsWindow(control))
    {
        return answer;
    }
    ControlMessenger messenger(control, m_messageLimit);
    if (target.kind == ControlKind::Edit || target.kind == ControlKind::ComboBox)
    {
        if (wanted.value)
        {
            answer.value = messenger.WindowText(target.maxChars).value_or(L"");
        }
        return answer;
    }
    if (!wanted.name)
    {
        return answer;
    }
    if (HoldsItems(target.kind))
    {
        ReadItems(target, messenger, answer);
        return answer;
    }
    answer.name = Caption(messenger, target.maxChars);
    return answer;
}

} // namespace mirufon::win32
